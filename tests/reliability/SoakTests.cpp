// SoakTests.cpp - a long run of conversions and of start, reload and stop
// cycles, with the process's memory measured before and after: it must
// stay flat. The counts come from VARIO_SOAK_CONVERSIONS and
// VARIO_SOAK_CYCLES when set; by default a million conversions and 2,000
// cycles (each cycle opens a real dialog: 10,000 take one to five minutes);
// and 5,000 loads and unloads of the module (VARIO_SOAK_LOADS).
#include "FaultInjection.h"
#include "HeapCheck.h"
#include "Owner.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <gtest/gtest.h>
#include <functional>
#include <psapi.h>
#include <stdio.h>

namespace {

const SIZE_T kPrivateTolerance = 512 * 1024; // bytes of growth allowed after warm-up

// The process's committed private memory. PrivateUsage when the platform
// reports it; else the committed private regions of the address space,
// counted one by one.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)
        && counters.PrivateUsage != 0)
        return counters.PrivateUsage;
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE* p = nullptr; VirtualQuery(p, &region, sizeof region) == sizeof region;
         p = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize < p)
            break; // the end of the address space
    }
    return total;
}

struct Memory {
    SIZE_T privateBytes = PrivateBytes();
    fault::LiveBlocks blocks;
};

// Runs step() warmUp times, then count times between two measures of the
// memory: every run must succeed, and the memory stay flat.
void ExpectFlat(const char* what, int warmUp, int count, const std::function<bool()>& step)
{
    int wrong = 0;
    for (int i = 0; i < warmUp; ++i)
        wrong += !step();
    ASSERT_EQ(0, wrong) << what << ": the warm-up went wrong";
    const Memory before;
    const DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i)
        wrong += !step();
    const DWORD ms = GetTickCount() - start;
    const Memory after;
    printf("[ soak     ] %s x %d in %lu ms: private bytes %lu -> %lu, engine blocks "
           "global %ld -> %ld, heap %ld -> %ld\n",
           what, count, ms, static_cast<unsigned long>(before.privateBytes),
           static_cast<unsigned long>(after.privateBytes), before.blocks.global,
           after.blocks.global, before.blocks.heap, after.blocks.heap);
    EXPECT_EQ(0, wrong) << what << " that went wrong";
    EXPECT_NE(0u, before.privateBytes) << "the platform reports no private bytes";
    EXPECT_EQ(before.blocks, after.blocks) << what << ": engine blocks";
    EXPECT_LE(after.privateBytes, before.privateBytes + kPrivateTolerance)
        << what << ": private bytes grew";
}

struct Caption {
    std::string text;
    std::string converted;
};

const char kRules[] = "[captions]\r\nfoo,bar\r\n@,at\r\nab,a\r\n// comment,none\r\n";

std::vector<Caption> Captions()
{
    std::string longText, longConverted;
    for (int i = 0; i < 100; ++i) {
        longText += "foo abbb @ ";
        longConverted += "bar abb at ";
    }
    return {
        {"foo", "bar"},
        {"", ""},
        {"no rule applies here", "no rule applies here"},
        {"aaabbb", "aaabb"}, // "ab" once, left to right
        {"@@~~@", "atat~~at"},
        {Sjis(L"表示") + " foo", Sjis(L"ひょうじ") + " bar"},
        {Sjis(L"表") + "@", Sjis(L"表") + "at"},
        {Sjis(L"\x3000") + "@", Sjis(L"\x3000") + "at"}, // 0x81 0x40: its "@" is no "@"
        {"\x81@", "\x81@"},
        {longText, longConverted},
    };
}

TEST(Soak, MillionConversionsKeepMemoryFlat)
{
    const std::string file = WriteScratchFile("soak-captions.txt",
                                              kRules + Sjis(L"表示,ひょうじ") + "\r\n");
    ASSERT_TRUE(StartEngineWith(file));
    const std::vector<Caption> captions = Captions();
    size_t i = 0;
    char buffer[4096];
    ExpectFlat("conversions", 1000, EnvironmentNumber("VARIO_SOAK_CONVERSIONS", 1000000), [&] {
        const Caption& c = captions[i++ % captions.size()];
        return Engine().ConvertCaptionString(0, c.text.c_str(), buffer, sizeof buffer)
            && c.converted == buffer;
    });
    Engine().ExitEngine();
}

// Answers the Settings dialog with OK as soon as it is set up, on this
// thread; any other dialog (a message box) is cancelled and counted.
int g_otherDialogs = 0;

LRESULT CALLBACK PressOkOnSettings(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* msg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITDIALOG) {
        const bool settings = GetDlgItem(msg->hwnd, IDC_DEFFILE) != nullptr;
        g_otherDialogs += !settings;
        PostMessageA(msg->hwnd, WM_COMMAND, settings ? IDOK : IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Soak, StartReloadStopCyclesKeepMemoryFlat)
{
    StorePath(WriteScratchFile("soak-cycles.txt", kRules + Sjis(L"表示,ひょうじ") + "\r\n"));
    const OwnedHook answerer(
        SetWindowsHookExA(WH_CALLWNDPROCRET, PressOkOnSettings, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(answerer.valid());
    g_otherDialogs = 0;
    char buffer[64];
    ExpectFlat("start/reload/stop cycles", 50, EnvironmentNumber("VARIO_SOAK_CYCLES", 2000), [&] {
        const BOOL started = Engine().InitEngine();
        Engine().OnSetting(nullptr); // OK on the path in force: reloads it
        const BOOL converted = Engine().ConvertCaptionString(0, "foo", buffer, sizeof buffer);
        Engine().ExitEngine();
        return started && converted && std::string(buffer) == "bar";
    });
    EXPECT_EQ(0, g_otherDialogs) << "message boxes during the cycles";
}

// The TLS indexes free in the process: taken one by one until none is left,
// then given back.
int FreeTlsIndexes()
{
    std::vector<DWORD> taken;
    for (DWORD index; (index = TlsAlloc()) != TLS_OUT_OF_INDEXES;)
        taken.push_back(index);
    for (DWORD index : taken)
        TlsFree(index);
    return static_cast<int>(taken.size());
}

// A host that loads the engine for each use, as a tool may, for ever: a
// load, a start, a conversion, a stop and an unload keep no TLS index and no
// more heap than loading and unloading a C module built the same way. A
// module that keeps a TLS index at each load ends its host about the
// thousandth load, inside LoadLibrary: the cycles stop once one is lost
// (counted every 100 cycles).
TEST(Soak, LoadUnloadCyclesCostNoMoreThanACModule)
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string folder = std::string(program, strrchr(program, '\\') + 1);
    // A copy, so that the load is the first one: this process has loaded Vario.tfe.
    const std::string engine = EngineCopy("Cycled.tfe");
    StorePath(WriteScratchFile("cycles.txt", kRules));
    const int cycles = EnvironmentNumber("VARIO_SOAK_LOADS", 5000);
    const auto perCycle = [](const char* what, int count, const std::function<bool()>& cycle) {
        for (int i = 0; i < 20; ++i)
            cycle();
        const int tls = FreeTlsIndexes();
        const double before = HeapBytesInUse();
        const DWORD start = GetTickCount();
        int done = 0, wrong = 0;
        for (; done < count && (done % 100 != 0 || FreeTlsIndexes() == tls); ++done)
            wrong += !cycle();
        const double grown = HeapBytesInUse() - before;
        printf("[ loads    ] %s: %d cycles in %lu ms, %.0f heap bytes a cycle\n", what, done,
               GetTickCount() - start, grown / done);
        EXPECT_EQ(tls, FreeTlsIndexes()) << what << ": TLS indexes kept in " << done << " cycles";
        EXPECT_EQ(0, wrong) << what << ": cycles that went wrong";
        return grown / done;
    };
    // A tenth as many for the baseline, whose every load asks for random bytes
    // to guard stacks with: under Wine, as long as the engine's own load.
    const double control = perCycle("C module", cycles / 10 + 1, [&] {
        const HMODULE module = LoadLibraryA((folder + "ControlModule.dll").c_str());
        const auto length = reinterpret_cast<int (*)(const char*)>(
            reinterpret_cast<void*>(module ? GetProcAddress(module, "ControlLength") : nullptr));
        const bool right = length && length("foo") == 3;
        return FreeLibrary(module) && right;
    });
    const double used = perCycle("engine", cycles, [&] {
        CEngineModule module;
        CEngineLoadFailure why;
        char buffer[64];
        if (!module.Load(engine, why) || !module.InitEngine())
            return false;
        const BOOL converted = module.ConvertCaptionString(0, "foo", buffer, sizeof buffer);
        module.ExitEngine();
        return converted && std::string(buffer) == "bar";
    });
    EXPECT_LE(used, control + 1024) << "heap bytes a cycle, against the C module's";
}

} // namespace
