// ForeignHostTests.cpp - the engine called by a host another compiler built:
// every export through the host's own thunk (ForeignCall.S) at every stack
// residue modulo 16, with that host's floating-point controls; conversions
// on two threads at once; bad caption pointers; an exit with no start; and
// failed allocations under the exports; threads killed inside a conversion,
// and a process that exits while its threads convert; a host in C (CHost.c).
#include "Answering.h"
#include "FaultInjection.h"
#include "HeapCheck.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <stddef.h>
#include <stdio.h>

namespace {

const DWORD kHostControlWord = 0x027F; // x87: double precision, exceptions masked
const DWORD kHostMxcsr = 0x1F80;
const DWORD kHostRegisters[4] = {0xEB0EB0EB, 0xE51E51E5, 0xED1ED1ED, 0xEB9EB9EB};

// An exception that reached the host: its code, where, what it touched.
struct Fault {
    DWORD code;
    const void* at;
    ULONG_PTR address;
};

// A call through the thunk, and what the callee left behind.
struct ForeignCall {
    const void* function;
    const DWORD* args;
    DWORD argc;
    DWORD residue; // of the stack pointer modulo 16 at the call
    DWORD keep[4]; // ebx, esi, edi and ebp before the call
    DWORD result;  // eax
    DWORD popped;  // the bytes the callee took off the stack
    DWORD kept[4]; // ebx, esi, edi and ebp after it
    DWORD flags;
    DWORD mxcsr;
    DWORD fpu[7]; // fnstenv: x87 control, status and tag words first
    DWORD thread;
    Fault fault; // code 0: none
};
static_assert(offsetof(ForeignCall, keep) == 16 && offsetof(ForeignCall, result) == 32
                  && offsetof(ForeignCall, kept) == 40 && offsetof(ForeignCall, fpu) == 64,
              "the layout ForeignCall.S uses");

} // namespace

extern "C" {
extern ForeignCall* foreignCallInFlight;
void ForeignCallThunk(ForeignCall* call);
void ForeignCallResume();
// CHost.c, a host written in C.
int CHostFound(HMODULE module);
char* CHostConvert(HMODULE module, DWORD reserved, const char* caption, int size, int* asked);
}

namespace {

DWORD g_mainThread;
Fault g_threadFault; // the first fault that ended another thread

// A fault in a foreign call ends the call, recorded; one on another thread
// ends that thread. The host lives to tell which.
LONG WINAPI CatchFault(EXCEPTION_POINTERS* e)
{
    const EXCEPTION_RECORD& r = *e->ExceptionRecord;
    const Fault fault = {r.ExceptionCode, r.ExceptionAddress,
                         r.NumberParameters >= 2 ? r.ExceptionInformation[1] : 0};
    ForeignCall* call = foreignCallInFlight;
    if (call && call->thread == GetCurrentThreadId()) {
        call->fault = fault;
        e->ContextRecord->Eip = reinterpret_cast<DWORD>(ForeignCallResume);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (GetCurrentThreadId() == g_mainThread)
        return EXCEPTION_CONTINUE_SEARCH;
    if (!InterlockedCompareExchange(reinterpret_cast<LONG*>(&g_threadFault.code), fault.code, 0))
        g_threadFault = fault;
    ExitThread(fault.code);
}

DWORD Arg(const void* pointer)
{
    return reinterpret_cast<DWORD>(pointer);
}

template <typename Function>
const void* Code(Function function)
{
    return reinterpret_cast<const void*>(function);
}

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

// "exception 0xC0000005 at Vario.tfe+0x1A2B touching 0x10".
std::string Describe(const Fault& fault)
{
    const DWORD offset = Arg(fault.at) - Arg(EngineModule());
    return "exception " + Hex(fault.code) + " at "
        + (offset < 0x100000 ? "Vario.tfe+" + Hex(offset) : Hex(Arg(fault.at))) + " touching "
        + Hex(fault.address);
}

ForeignCall CallForeign(const void* function, const std::vector<DWORD>& args, DWORD residue)
{
    ForeignCall call = {};
    call.function = function;
    call.args = args.data();
    call.argc = static_cast<DWORD>(args.size());
    call.residue = residue;
    std::copy(kHostRegisters, kHostRegisters + 4, call.keep);
    call.thread = GetCurrentThreadId();
    ForeignCallThunk(&call);
    return call;
}

// Checks what the callee left as the calling convention says it must.
void ExpectContract(const ForeignCall& c, const std::string& what)
{
    if (c.fault.code) {
        ADD_FAILURE() << what << ": " << Describe(c.fault) << " reached the host";
        return;
    }
    EXPECT_EQ(4 * c.argc, c.popped) << what << ": bytes of arguments the callee popped";
    const char* names[] = {"ebx", "esi", "edi", "ebp"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Hex(c.keep[i]), Hex(c.kept[i])) << what << ": " << names[i] << " not kept";
    EXPECT_EQ(Hex(0), Hex(c.flags & 0x400)) << what << ": the direction flag";
    EXPECT_EQ(Hex(kHostControlWord), Hex(c.fpu[0] & 0xFFFF)) << what << ": x87 control word";
    EXPECT_EQ(Hex(kHostMxcsr), Hex(c.mxcsr)) << what << ": MXCSR";
    EXPECT_EQ(Hex(0xFFFF), Hex(c.fpu[2] & 0xFFFF)) << what << ": x87 tag word (registers in use)";
}

// Words of three bytes, "ab0", each the source of a rule that writes it in
// capitals; from 16 rules on, the engine keys them by their first two bytes.
std::string Word(int i, char a = 'a')
{
    return {static_cast<char>(a + i % 26), static_cast<char>(a + i / 26 % 26),
            static_cast<char>('0' + i / 676)};
}

std::string WordRules(int count)
{
    std::string rules;
    for (int i = 0; i < count; ++i)
        rules += Word(i) + "," + Word(i, 'A') + "\r\n";
    return WriteScratchFile("words-" + std::to_string(count) + ".txt", rules);
}

// A notepad title with the given words, and its conversion.
std::pair<std::string, std::string> Caption(std::initializer_list<int> words)
{
    std::string caption = "Untitled - Notepad", converted = caption;
    for (int i : words) {
        caption += " " + Word(i);
        converted += " " + Word(i, 'A');
    }
    return {caption, converted};
}

// Init has never run in this process: this test comes first.
TEST(ForeignHost, ExitWithNoStartLeavesTheStoredValueByteForByte)
{
    const std::string value = Sjis(L"C:\\ユーザー\\変換.def") + '\0';
    StoreSetting(REG_SZ, value);
    ExpectContract(CallForeign(Code(Engine().ExitEngine), {}, 4), "TFEExitEngine");
    DWORD type = 0;
    std::string stored;
    ASSERT_TRUE(ReadSetting(&type, &stored));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(Escaped(value), Escaped(stored));
}

TEST(ForeignHost, EveryExportAtEveryStackResidueKeepsTheCallingConvention)
{
    const CEngineModule& e = Engine();
    const std::string rules = WordRules(100);
    const std::string prior = WriteScratchFile("foreign-prior.txt", "p,q\r\n");
    const auto caption = Caption({3, 30, 57, 99});
    ASSERT_TRUE(StartEngineWith(rules));
    ASSERT_EQ(caption.second, Convert(caption.first));
    HostWindow host;
    char text[64];
    const auto start = [](const std::string& path) {
        return [path] { ASSERT_TRUE(StartEngineWith(path)); };
    };
    const auto stored = [&] {
        e.ExitEngine();
        StorePath(rules);
    };
    const struct {
        const char* name;
        const void* function;
        std::vector<DWORD> args;
        std::function<void()> before; // the engine's state before the call
    } calls[] = {
        {"TFEGetAPIVersion", Code(e.GetAPIVersion), {}, [] {}},
        {"TFEGetEngineDescription", Code(e.GetEngineDescription), {Arg(text), 64}, [] {}},
        {"TFEGetEngineVersion", Code(e.GetEngineVersion), {Arg(text), 64}, [] {}},
        {"TFEInitEngine", Code(e.InitEngine), {}, stored},
        {"TFEConvertCaptionString",
         Code(e.ConvertCaptionString),
         {0, Arg(caption.first.c_str()), Arg(text), 64},
         start(rules)},
        {"TFEOnAbout", Code(e.OnAbout), {Arg(host.hwnd)}, start(rules)},
        {"TFEOnSetting", Code(e.OnSetting), {Arg(host.hwnd)}, start(prior)}, // OK loads `rules`
        {"TFEExitEngine", Code(e.ExitEngine), {}, start(rules)},
    };
    for (const auto& call : calls) {
        std::string aligned;
        for (DWORD residue : {0, 4, 8, 12}) {
            const std::string what = call.name + std::string(" at residue ")
                + std::to_string(residue);
            call.before();
            memset(text, '#', sizeof text);
            ForeignCall c = {};
            std::vector<SeenWindow> seen;
            const DriveResult r = DriveAll(
                [&] { c = CallForeign(call.function, call.args, residue); },
                [&](HWND h) {
                    seen.push_back(Inspect(h));
                    if (seen.back().kind == Kind::kSettingDialog)
                        SetDlgItemTextA(h, IDC_DEFFILE, rules.c_str());
                    Press(h, IDOK);
                });
            EXPECT_FALSE(r.timedOut) << what;
            ExpectContract(c, what);
            std::string outcome = "returned " + Hex(c.result) + ", wrote "
                + Escaped(std::string(text, sizeof text)) + ", windows " + Kinds(seen);
            for (const SeenWindow& s : seen)
                outcome += ", " + std::to_string(s.lines.size()) + " lines, path " + s.edit;
            outcome += ", converts to " + Convert(caption.first) + ", stored " + StoredPath();
            if (residue == 0)
                aligned = outcome;
            else
                EXPECT_EQ(aligned, outcome) << what << ": not what the aligned call gave";
        }
    }
}

// A host in C built from the shipped header alone: it finds every function
// by the header's name, and learns the length a result needs by asking
// again with a larger buffer while the result fills the one it gave, since
// a cut result is converted too. The first argument is not read.
TEST(ForeignHost, HostInCFromTheShippedHeader)
{
    EXPECT_EQ(8, CHostFound(EngineModule()));
    ASSERT_TRUE(StartEngineOn("a,bb"));
    const struct {
        DWORD reserved;
        std::string caption;
        int size;
        std::string expected;
        int asked;
    } cases[] = {
        {0, "cat", 16, "cbbt", 1},
        {0, "cat", 5, "cbbt", 2}, // "cbbt" fills 5 bytes: it may have been cut
        {0xFFFFFFFF, "cat", 4, "cbbt", 2},
        {0, std::string(1023, 'a'), 16, std::string(2046, 'b'), 8},
        {0xDEADBEEF, std::string(5000, 'a') + "t", 1024, std::string(10000, 'b') + "t", 5},
    };
    for (const auto& c : cases) {
        int asked = -1;
        char* result = CHostConvert(EngineModule(), c.reserved, c.caption.c_str(), c.size, &asked);
        EXPECT_EQ(Escaped(c.expected), result ? Escaped(result) : "null")
            << c.caption.size() << " bytes from a buffer of " << c.size << ", first argument "
            << Hex(c.reserved);
        EXPECT_EQ(c.asked, asked) << "calls for " << c.caption.size() << " bytes from " << c.size;
        free(result);
    }
}

using Captions = std::vector<std::pair<std::string, std::string>>; // and their conversions

// Long captions of many words, each the source of a rule that fires, and
// what one thread alone converts them to.
Captions ManyWordCaptions(int rules)
{
    Captions captions;
    for (int i = 0; i < 8; ++i) {
        std::string caption = Sjis(L"変換 - ");
        for (int w = 0; w < 60; ++w)
            caption += Word((i * 131 + w * 37) % rules) + (w % 7 ? " " : Sjis(L"　"));
        captions.push_back({caption, Convert(caption)});
        EXPECT_NE(caption, captions.back().second) << "no rule fires";
    }
    return captions;
}

// One thread's conversions, each compared with the one-thread result.
struct Converter {
    const Captions* captions;
    size_t offset;       // where in the captions it starts
    HANDLE start;        // set once every thread is ready
    const LONG* stop;    // set when the thread may end, after its share
    bool mayBeUnchanged; // a reload may leave no rules in force for a moment
    int done = 0;
    int wrong = 0;
    std::string first = {}; // the first wrong result
};

const int kConversionsPerThread = 20000;

// A thread starts on a stack aligned to 4 bytes only: this realigns it, so
// that its calls are aligned ones and the threads alone are tried.
__attribute__((force_align_arg_pointer)) DWORD WINAPI ConvertMany(LPVOID parameter)
{
    Converter& c = *static_cast<Converter*>(parameter);
    WaitForSingleObject(c.start, INFINITE);
    for (; c.done < kConversionsPerThread || !*c.stop; ++c.done) {
        const auto& caption = (*c.captions)[(c.done + c.offset) % c.captions->size()];
        const std::string converted = Convert(caption.first);
        if (converted != caption.second && !(c.mayBeUnchanged && converted == caption.first)
            && c.wrong++ == 0)
            c.first = Escaped(caption.first) + " gave " + Escaped(converted);
    }
    return 0;
}

// Four threads convert the captions, released together; meanwhile this
// thread calls reload(), if given, over and over for two seconds.
void ConvertOnThreads(const Captions& captions, const std::function<void()>& reload = nullptr,
                      bool mayBeUnchanged = false)
{
    g_threadFault = {};
    const OwnedHandle start(CreateEventA(nullptr, TRUE /* manual reset */, FALSE, nullptr));
    LONG stop = reload ? FALSE : TRUE;
    std::vector<Converter> converters;
    for (size_t i = 0; i < 4; ++i)
        converters.push_back({&captions, 3 * i, start.get(), &stop, mayBeUnchanged});
    std::vector<OwnedHandle> owned;
    std::vector<HANDLE> threads;
    for (Converter& c : converters) {
        owned.emplace_back(CreateThread(nullptr, 0, ConvertMany, &c, 0, nullptr));
        threads.push_back(owned.back().get());
    }
    SetEvent(start.get());
    int reloads = 0;
    for (const DWORD begun = GetTickCount(); reload && GetTickCount() - begun < 2000; ++reloads)
        reload();
    InterlockedExchange(&stop, TRUE);
    WaitForMultipleObjects(threads.size(), threads.data(), TRUE, INFINITE);
    std::string done;
    for (const Converter& c : converters)
        done += " " + std::to_string(c.done);
    ASSERT_EQ(0u, g_threadFault.code)
        << "a converting thread died of " << Describe(g_threadFault) << " after" << done
        << " conversions, " << reloads << " reloads";
    for (const Converter& c : converters)
        EXPECT_EQ(0, c.wrong) << "of " << c.done << ", first: " << c.first;
}

TEST(ForeignHost, ThreadsConvertAtOnce)
{
    for (int count : {3, 1000}) {
        SCOPED_TRACE(std::to_string(count) + " rules");
        ASSERT_TRUE(StartEngineWith(WordRules(count)));
        ConvertOnThreads(ManyWordCaptions(count));
    }
}

// The host's main thread reloads the rules, the same file, while its worker
// threads convert: Settings OK, a new start, a stop and a start.
TEST(ForeignHost, ThreadsConvertWhileAnotherReloads)
{
    HostWindow host;
    const CEngineModule& e = Engine();
    for (int count : {3, 1000}) {
        const std::string rules = WordRules(count);
        ASSERT_TRUE(StartEngineWith(rules));
        const Captions captions = ManyWordCaptions(count);
        SCOPED_TRACE(std::to_string(count) + " rules");
        {
            SCOPED_TRACE("Settings OK");
            ConvertOnThreads(captions, [&] { SettingsOk(host.hwnd, nullptr); });
        }
        {
            SCOPED_TRACE("TFEInitEngine");
            ConvertOnThreads(
                captions, [&] { e.InitEngine(); }, true /* empty while it starts */);
        }
        {
            SCOPED_TRACE("TFEExitEngine, TFEInitEngine");
            ConvertOnThreads(
                captions,
                [&] {
                    e.ExitEngine();
                    e.InitEngine();
                },
                true);
        }
        EXPECT_EQ(rules, StoredPath());
    }
}

void ReleasePages(void* pages)
{
    VirtualFree(pages, 0, MEM_RELEASE);
}

bool Guarded(const void* page)
{
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(page, &info, sizeof info) == sizeof info && (info.Protect & PAGE_GUARD);
}

// A caption the engine cannot read, or a buffer it cannot write, is a
// failure: 0, never a blank or cut title reported as converted; a guard
// page it touches, such as the one below another thread's stack, keeps its
// guard. With rules and without.
TEST(ForeignHost, PointersTheHostGotWrong)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    // Pages: writable, no access, read-only, guard.
    const CQorOwner<void*, ReleasePages> pages(
        VirtualAlloc(nullptr, 4 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(pages.valid());
    BYTE* writable = static_cast<BYTE*>(pages.get());
    BYTE* noAccess = writable + page;
    BYTE* readOnly = writable + 2 * page;
    BYTE* guard = writable + 3 * page;
    memset(writable, 'a', page);
    memcpy(readOnly, "read-only", 10);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(noAccess, page, PAGE_NOACCESS, &old));
    ASSERT_TRUE(VirtualProtect(readOnly, page, PAGE_READONLY, &old));
    ASSERT_TRUE(VirtualProtect(guard, page, PAGE_READWRITE | PAGE_GUARD, &old));
    char text[16] = "";
    const void* const bad = reinterpret_cast<const void*>(0x10);
    const struct {
        const char* what;
        const void* caption;
        const void* buffer;
        DWORD size;
        const char* expected; // result and the buffer after
    } cases[] = {
        {"caption at 0x10", bad, text, sizeof text, "0x0 \"untouched\""},
        {"caption with no terminator before an unreadable page", writable, text, sizeof text,
         "0x0 \"untouched\""},
        {"caption on an unreadable page", noAccess, text, sizeof text, "0x0 \"untouched\""},
        {"caption on a guard page", guard, text, sizeof text, "0x0 \"untouched\""},
        {"empty caption", "", text, sizeof text, "0x1 \"\""},
        {"buffer on a read-only page", "Untitled", readOnly, 64, "0x0 \"read-only\""},
        {"buffer 8 bytes before an unreadable page", "Untitled - Notepad", noAccess - 8, 64, "0x0"},
        {"buffer on a guard page", "Untitled", guard, 64, "0x0"},
        {"buffer at 0x10", "Untitled", bad, 64, "0x0"},
    };
    for (int rules : {100, 0}) {
        ASSERT_TRUE(StartEngineWith(WordRules(rules)));
        for (const auto& c : cases) {
            strcpy(text, "untouched");
            const ForeignCall call = CallForeign(Code(Engine().ConvertCaptionString),
                                                 {0, Arg(c.caption), Arg(c.buffer), c.size}, 0);
            ExpectContract(call, c.what);
            std::string outcome = Hex(call.result);
            if (c.buffer == text || c.buffer == readOnly)
                outcome += " " + Escaped(static_cast<const char*>(c.buffer));
            EXPECT_EQ(c.expected, outcome) << c.what << ", " << rules << " rules";
            EXPECT_TRUE(Guarded(guard)) << c.what << " took the guard off its page";
            VirtualProtect(guard, page, PAGE_READWRITE | PAGE_GUARD, &old);
        }
    }
    for (const void* buffer :
         {static_cast<const void*>(readOnly), bad, static_cast<const void*>(guard)}) {
        const auto& e = Engine();
        for (const void* export_ : {Code(e.GetEngineDescription), Code(e.GetEngineVersion)}) {
            const ForeignCall call = CallForeign(export_, {Arg(buffer), 64}, 0);
            ExpectContract(call, "a name or version into a buffer it cannot write");
            EXPECT_EQ(Hex(0), Hex(call.result)) << "into " << buffer;
            EXPECT_TRUE(Guarded(guard)) << "a name or version took the guard off its page";
        }
    }
}

// Windows' own x86 memmove: a range that overlaps upwards is copied from
// its end down, with the direction flag set until it is done.
void* __cdecl BackwardMove(void* to, const void* from, size_t n)
{
    char* d = static_cast<char*>(to) + n - 1;
    const char* s = static_cast<const char*>(from) + n - 1;
    if (n && to > from)
        asm volatile("std\n\trep movsb\n\tcld" : "+D"(d), "+S"(s), "+c"(n) : : "memory", "cc");
    else
        memcpy(to, from, n); // the tests overlap only upwards
    return to;
}

// Such a copy that faults (the caption copied one byte on, into a read-only
// page) comes back to the host with the direction flag clear.
TEST(ForeignHost, ABackwardCopyThatFaultsLeavesTheDirectionFlagClear)
{
    const DWORD page = 4096;
    const CQorOwner<void*, ReleasePages> pages(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(pages.valid());
    char* caption = static_cast<char*>(pages.get()) + page - 8;
    strcpy(caption, "Untitled read-only");
    DWORD old;
    ASSERT_TRUE(VirtualProtect(caption + 8, page, PAGE_READONLY, &old));
    ASSERT_TRUE(StartEngineWith(WordRules(0)));
    void* real = fault::PatchImport(EngineModule(), "msvcrt.dll", "memmove",
                                    reinterpret_cast<void*>(BackwardMove));
    ASSERT_NE(nullptr, real) << "the engine does not import memmove";
    for (DWORD residue : {0, 4, 8, 12}) {
        const ForeignCall call = CallForeign(Code(Engine().ConvertCaptionString),
                                             {0, Arg(caption), Arg(caption + 1), 64}, residue);
        ExpectContract(call, "a backward copy into a read-only page, residue " + Hex(residue));
        EXPECT_EQ(Hex(0), Hex(call.result));
    }
    fault::PatchImport(EngineModule(), "msvcrt.dll", "memmove", real);
}

struct Toggle {
    char* page;
    LONG stop;
};

DWORD WINAPI ToggleForEver(LPVOID parameter)
{
    Toggle& t = *static_cast<Toggle*>(parameter);
    for (DWORD old; !InterlockedCompareExchange(&t.stop, 0, 0);) {
        VirtualProtect(t.page, 4096, PAGE_NOACCESS, &old);
        SwitchToThread();
        VirtualProtect(t.page, 4096, PAGE_READWRITE, &old);
        SwitchToThread();
    }
    return 0;
}

// Another thread of the host takes the last page of a long caption away and
// gives it back, again and again, while the engine converts it: each call
// gives the conversion or 0, and no fault reaches the host.
TEST(ForeignHost, ACaptionWhosePageComesAndGoesGivesItsConversionOrZero)
{
    const DWORD page = 4096, size = 256 * page;
    const CQorOwner<void*, ReleasePages> pages(
        VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(pages.valid());
    char* caption = static_cast<char*>(pages.get());
    for (DWORD i = 0; i < size - 1; ++i)
        caption[i] = "aa0 "[i % 4];
    caption[size - 1] = '\0';
    ASSERT_TRUE(StartEngineWith(WordRules(1)));
    std::string expected(caption), out(size, '\0');
    for (size_t i = 0; i < expected.size(); i += 4)
        expected.replace(i, 3, "AA0");
    Toggle toggle = {caption + size - page, FALSE};
    const OwnedHandle toggler(CreateThread(nullptr, 0, ToggleForEver, &toggle, 0, nullptr));
    int converted = 0, failed = 0;
    for (int i = 0; i < 400; ++i) {
        const ForeignCall call = CallForeign(Code(Engine().ConvertCaptionString),
                                             {0, Arg(caption), Arg(&out[0]), size}, 0);
        ExpectContract(call, "conversion " + std::to_string(i));
        if (call.fault.code)
            break;
        if (call.result)
            EXPECT_TRUE(out.c_str() == expected && ++converted) << "conversion " << i;
        else
            ++failed;
    }
    InterlockedExchange(&toggle.stop, TRUE);
    WaitForSingleObject(toggler.get(), INFINITE);
    printf("[ toggled  ] %d converted, %d gave 0\n", converted, failed);
}

struct Victim {
    const char* caption;
    const char* expected = nullptr; // its conversion, checked when given
    volatile LONG inside = 0;       // in a call, or about to make one
    volatile LONG stop = 0;
    volatile LONG done = 0;
    int wrong = 0;
    char buffer[1024] = {};
};

DWORD WINAPI ConvertForEver(LPVOID parameter)
{
    Victim& v = *static_cast<Victim*>(parameter);
    while (!v.stop) {
        v.inside = 1;
        Engine().ConvertCaptionString(0, v.caption, v.buffer, sizeof v.buffer);
        v.inside = 0;
        v.wrong += v.expected && strcmp(v.buffer, v.expected) != 0;
        ++v.done;
    }
    return 0;
}

template <auto function>
DWORD WINAPI Call(LPVOID)
{
    (Engine().*function)();
    return 0;
}

// Runs call on a thread of its own: "returned" when it did within 5 s.
std::string Within(LPTHREAD_START_ROUTINE call)
{
    const DWORD start = GetTickCount();
    const OwnedHandle thread(CreateThread(nullptr, 0, call, nullptr, 0, nullptr));
    if (WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0)
        return "still waiting after 10 s";
    const DWORD took = GetTickCount() - start;
    return took < 5000 ? "returned" : "returned after " + std::to_string(took) + " ms";
}

// A host thread that stops inside a conversion and never comes back (ended
// by TerminateThread), or comes back only after the stop and the start
// that follow (suspended there): neither holds up those calls for more than
// a second, the one that comes back finishes on the table it took, and the
// rules in force after are right.
TEST(ForeignHostEnds, AThreadThatStopsInsideAConversionHoldsUpNoLaterCall)
{
    ASSERT_TRUE(StartEngineWith(WordRules(1000)));
    const Captions captions = ManyWordCaptions(1000);
    const BYTE* base = reinterpret_cast<const BYTE*>(EngineModule());
    const DWORD image = reinterpret_cast<const IMAGE_NT_HEADERS*>(
                            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew)
                            ->OptionalHeader.SizeOfImage;
    for (int round = 0; round < 4; ++round) {
        const bool killed = round % 2 == 0;
        SCOPED_TRACE(std::string(killed ? "killed" : "suspended") + ", round "
                     + std::to_string(round));
        Victim victim;
        victim.caption = captions[round].first.c_str();
        victim.expected = captions[round].second.c_str();
        const OwnedHandle thread(CreateThread(nullptr, 0, ConvertForEver, &victim, 0, nullptr));
        // Stopped where it runs the engine's code, between its calls' entry and exit.
        for (CONTEXT context;;) {
            Sleep(1);
            SuspendThread(thread.get());
            context.ContextFlags = CONTEXT_CONTROL;
            if (victim.inside && GetThreadContext(thread.get(), &context)
                && context.Eip - reinterpret_cast<DWORD>(base) < image)
                break;
            ResumeThread(thread.get());
        }
        if (killed) {
            ASSERT_TRUE(TerminateThread(thread.get(), 0));
            WaitForSingleObject(thread.get(), INFINITE);
        }
        EXPECT_EQ("returned", Within(Call<&CEngineModule::ExitEngine>)) << "TFEExitEngine";
        EXPECT_EQ("returned", Within(Call<&CEngineModule::InitEngine>)) << "TFEInitEngine";
        if (!killed) {
            const LONG done = victim.done;
            ResumeThread(thread.get());
            while (victim.done < done + 2)
                Sleep(1);
            victim.stop = TRUE;
            WaitForSingleObject(thread.get(), INFINITE);
            EXPECT_EQ(0, victim.wrong) << "of " << victim.done << " conversions";
        }
        EXPECT_EQ(captions[4].second, Convert(captions[4].first));
    }
}

// A conversion held inside the engine on a thread of its own, from its first
// allocation (the copy of its long caption) until it is let go: as a thread
// suspended there, it holds the table it took all that time.
struct Held {
    const CEngineModule* engine;
    const char* caption;
    OwnedHandle inside{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    OwnedHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    OwnedHandle thread{};
    char buffer[4096] = {};
    BOOL result = FALSE;
};

DWORD WINAPI ConvertHeld(LPVOID parameter)
{
    Held& h = *static_cast<Held*>(parameter);
    fault::HoldNextAllocation(h.inside.get(), h.release.get());
    h.result = h.engine->ConvertCaptionString(0, h.caption, h.buffer, sizeof h.buffer);
    return 0;
}

// Starts a held conversion of caption; returns once it is held.
std::unique_ptr<Held> Hold(const std::string& caption, const CEngineModule& engine = Engine())
{
    std::unique_ptr<Held> h(new Held{&engine, caption.c_str()});
    h->thread.reset(CreateThread(nullptr, 0, ConvertHeld, h.get(), 0, nullptr));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h->inside.get(), 10000))
        << "the conversion was not held";
    return h;
}

// Lets the conversion end: what it gave, "<0>" when it failed.
std::string LetGo(Held& h)
{
    SetEvent(h.release.get());
    WaitForSingleObject(h.thread.get(), INFINITE);
    return h.result ? h.buffer : "<0>";
}

const int kHeldRules = 3000;    // a table of about 240 KB
const double kKept = 50 * 1024; // growth below a fifth of it: no table kept

// A caption long enough to be copied to the heap, and its conversion.
std::pair<std::string, std::string> LongCaption()
{
    std::string caption = "Untitled - Notepad", converted = caption;
    for (int w = 0; w < 300; ++w) {
        caption += " " + Word(w * 7 % kHeldRules);
        converted += " " + Word(w * 7 % kHeldRules, 'A');
    }
    return {caption, converted};
}

// Conversions that stay inside the engine across reloads, one taken before
// each reload, more of them at once than the engine's eight counts of
// readers: ten suspended threads resumed after the last reload, or twelve
// slow ones that each end eight reloads after their own; while the last
// are held, four threads convert as another reloads. Each converts with
// the table it took, and two reloads after the last has ended, the heap in
// use is back to the start's: every table replaced meanwhile is freed.
TEST(ForeignHostEnds, TablesThatLongConversionsTookAreFreedOnceTheyEnd)
{
    const std::string rules = WordRules(kHeldRules);
    const auto [caption, converted] = LongCaption();
    Engine().ExitEngine();
    const double empty = HeapBytesInUse();
    ASSERT_TRUE(StartEngineWith(rules));
    EXPECT_GT(HeapBytesInUse() - empty, 4 * kKept) << "too small a table to tell";
    const Captions racing = ManyWordCaptions(kHeldRules);
    const struct {
        int readers;
        size_t outstanding; // held at once at most
    } sequences[] = {{10, 10}, {12, 8}};
    for (const auto& s : sequences) {
        SCOPED_TRACE(std::to_string(s.outstanding) + " held at most");
        LetGo(*Hold(caption)); // the threads' first costs, before the measure
        ASSERT_TRUE(Engine().InitEngine());
        const double start = HeapBytesInUse();
        std::vector<std::unique_ptr<Held>> held;
        size_t ended = 0;
        for (int i = 0; i < s.readers; ++i) {
            held.push_back(Hold(caption));
            const DWORD begun = GetTickCount();
            EXPECT_TRUE(Engine().InitEngine()) << "reload " << i;
            EXPECT_TRUE(i > 0 || GetTickCount() - begun >= 900) << "the reload waited for none";
            if (held.size() - ended == s.outstanding) {
                EXPECT_EQ(converted, LetGo(*held[ended])) << "reader " << ended;
                ++ended;
            }
        }
        ConvertOnThreads(
            racing, [] { Engine().InitEngine(); }, true);
        for (; ended < held.size(); ++ended)
            EXPECT_EQ(converted, LetGo(*held[ended])) << "reader " << ended;
        held.clear();
        ASSERT_TRUE(Engine().InitEngine());
        ASSERT_TRUE(Engine().InitEngine());
        const double grown = HeapBytesInUse() - start;
        printf("[ held     ] %d readers, %zu at once: heap %+.1f KB after\n", s.readers,
               s.outstanding, grown / 1024);
        EXPECT_LT(grown, kKept) << "tables kept after their readers ended";
    }
}

// Threads ended inside conversions, one before each of seven reloads (all
// but one of the engine's counts of readers): five later reloads free what
// they replace, and unloading the module frees what those threads held.
TEST(ForeignHostEnds, TablesThatEndedThreadsHeldAreFreedAtUnload)
{
    const std::string engine = EngineCopy("Killed.tfe");
    StorePath(WordRules(kHeldRules));
    const std::string caption = LongCaption().first;
    const double before = HeapBytesInUse();
    double later = 0;
    {
        CEngineModule module;
        CEngineLoadFailure why;
        ASSERT_TRUE(module.Load(engine, why)) << why.Text();
        fault::Install(module.Handle());
        ASSERT_TRUE(module.InitEngine());
        for (int i = 0; i < 7; ++i) {
            const std::unique_ptr<Held> h = Hold(caption, module);
            ASSERT_TRUE(TerminateThread(h->thread.get(), 0));
            WaitForSingleObject(h->thread.get(), INFINITE);
            EXPECT_TRUE(module.InitEngine()) << "reload " << i;
        }
        const double killed = HeapBytesInUse();
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(module.InitEngine());
        later = HeapBytesInUse() - killed;
        module.ExitEngine();
    }
    const double after = HeapBytesInUse() - before;
    printf("[ killed   ] heap %+.1f KB after 5 later reloads, %+.1f KB after the unload\n",
           later / 1024, after / 1024);
    EXPECT_LT(later, kKept) << "later reloads kept the tables they replaced";
    EXPECT_LT(after, kKept) << "the unload left the tables that the ended threads held";
}

const std::string kEndingViews = "Software\\vario-ending\\";

// The host's child: a host whose own module (EndingHost.dll) stops the
// engine at its process detach, and that calls ExitProcess while four of
// its threads convert.
int EndWhileConverting()
{
    // The setting in a registry view of this process's own, which the test
    // reads and then deletes.
    HKEY view = nullptr;
    const std::string key = kEndingViews + std::to_string(GetCurrentProcessId());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &view, nullptr)
            != ERROR_SUCCESS
        || RegOverridePredefKey(HKEY_CURRENT_USER, view) != ERROR_SUCCESS)
        return 3;
    if (!LoadLibraryA("EndingHost.dll") || !EngineModule() || !StartEngineWith(WordRules(1000)))
        return 2;
    static const Captions captions = ManyWordCaptions(1000);
    static Victim workers[4];
    for (Victim& worker : workers) {
        worker.caption = captions[&worker - workers].first.c_str();
        CloseHandle(CreateThread(nullptr, 0, ConvertForEver, &worker, 0, nullptr));
    }
    for (const Victim& worker : workers)
        while (!worker.inside)
            Sleep(1);
    Sleep(50);
    ExitProcess(0);
}

TEST(ForeignHostEnds, AProcessThatExitsWhileItsThreadsConvertEnds)
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string ended = ScratchDir() + "\\ended.txt";
    SetEnvironmentVariableA("VARIO_ENDED_FILE", ended.c_str());
    for (int run = 0; run < 3; ++run) {
        DeleteFileA(ended.c_str());
        std::string command = std::string("\"") + program + "\" --end-while-converting";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        ASSERT_TRUE(CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        const OwnedHandle owned(process.hProcess), thread(process.hThread);
        const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
        if (waited != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        ASSERT_EQ(WAIT_OBJECT_0, waited) << "run " << run << ": the host still runs after 20 s";
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(0u, code) << "run " << run;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ended.c_str()))
            << "run " << run << ": TFEExitEngine did not return at the host's detach";
        const std::string view = kEndingViews + std::to_string(process.dwProcessId);
        std::string path;
        EXPECT_TRUE(ReadValue((view + "\\" + kSettingsKey).c_str(), "DefFile", nullptr, &path)
                    && path.find("words-1000.txt") != std::string::npos)
            << "run " << run << ": the path stored at exit: " << Escaped(path);
        RegDeleteTreeA(HKEY_CURRENT_USER, view.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, view.c_str());
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kEndingViews.c_str());
}

// A probe of the table: "rules" (the words) or "no rules".
const auto kProbe = Caption({5, 19});

std::string Probe()
{
    const std::string converted = Convert(kProbe.first);
    if (converted == kProbe.second)
        return "rules";
    if (converted == kProbe.first)
        return "no rules";
    return Escaped(converted);
}

// A table this large gives each conversion's rule queue a std::vector.
TEST(ForeignHostFaults, ConversionThroughALargeKeyedTable)
{
    const std::string rules = WordRules(6500);
    Engine().ExitEngine();
    fault::ExpectOutcomes([&](int) { ASSERT_TRUE(StartEngineWith(rules)); },
                          [] {
                              char text[64] = "untouched";
                              const BOOL result = Engine().ConvertCaptionString(
                                  0, kProbe.first.c_str(), text, sizeof text);
                              return Hex(result) + " " + Escaped(text);
                          },
                          [] {
                              const std::string table = Probe();
                              Engine().ExitEngine();
                              return table;
                          },
                          "0x1 " + Escaped(kProbe.second) + " / rules",
                          {"0x0 \"untouched\" / rules"});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--end-while-converting") == 0)
        return EndWhileConverting();
    testing::InitGoogleTest(&argc, argv);
    ValidateHeapsAfterEachTest();
    g_mainThread = GetCurrentThreadId();
    SetUnhandledExceptionFilter(CatchFault);
    // A host's own floating-point controls, before the module comes.
    asm volatile("fldcw %0\n\tldmxcsr %1" : : "m"(kHostControlWord), "m"(kHostMxcsr));
    if (!EngineModule()) {
        fprintf(stderr, "Vario.tfe could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    return RUN_ALL_TESTS();
}
