// FaultInjection.cpp - counts a module's allocations and fails one on demand.
#include "FaultInjection.h"
#include "../../qor/QorString.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace fault {
namespace {

int g_failAt = 0;
int g_attempts = 0;
bool g_failed = false;
long g_liveGlobal = 0;
long g_liveHeap = 0;

HGLOBAL(WINAPI* realGlobalAlloc)(UINT, SIZE_T);
HGLOBAL(WINAPI* realGlobalReAlloc)(HGLOBAL, SIZE_T, UINT);
HGLOBAL(WINAPI* realGlobalFree)(HGLOBAL);
void*(__cdecl* realMalloc)(size_t);
void*(__cdecl* realCalloc)(size_t, size_t);
void*(__cdecl* realRealloc)(void*, size_t);
void(__cdecl* realFree)(void*);

volatile LONG g_holdThread = 0; // the thread whose next allocation waits
HANDLE g_holdInside = nullptr;
HANDLE g_holdRelease = nullptr;

// Counts one attempt, after holding the thread when it asked; true when
// this one is to fail.
bool ShouldFail()
{
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    if (g_holdThread == self) {
        const HANDLE inside = g_holdInside, release = g_holdRelease;
        g_holdThread = 0;
        SetEvent(inside);
        WaitForSingleObject(release, INFINITE);
    }
    ++g_attempts;
    if (g_failAt != 0 && g_attempts == g_failAt) {
        g_failed = true;
        return true;
    }
    return false;
}

HGLOBAL WINAPI HookGlobalAlloc(UINT flags, SIZE_T size)
{
    if (ShouldFail())
        return nullptr;
    HGLOBAL block = realGlobalAlloc(flags, size);
    if (block)
        ++g_liveGlobal;
    return block;
}

HGLOBAL WINAPI HookGlobalReAlloc(HGLOBAL block, SIZE_T size, UINT flags)
{
    if (ShouldFail())
        return nullptr;
    return realGlobalReAlloc(block, size, flags);
}

HGLOBAL WINAPI HookGlobalFree(HGLOBAL block)
{
    HGLOBAL result = realGlobalFree(block);
    if (block && !result)
        --g_liveGlobal;
    return result;
}

void* __cdecl HookMalloc(size_t size)
{
    if (ShouldFail())
        return nullptr;
    void* p = realMalloc(size);
    if (p)
        ++g_liveHeap;
    return p;
}

void* __cdecl HookCalloc(size_t count, size_t size)
{
    if (ShouldFail())
        return nullptr;
    void* p = realCalloc(count, size);
    if (p)
        ++g_liveHeap;
    return p;
}

void* __cdecl HookRealloc(void* block, size_t size)
{
    if (ShouldFail())
        return nullptr;
    void* p = realRealloc(block, size);
    if (!block && p)
        ++g_liveHeap;
    else if (block && size == 0)
        --g_liveHeap;
    return p;
}

void __cdecl HookFree(void* block)
{
    if (block)
        --g_liveHeap;
    realFree(block);
}

int g_sse2Asks = 0;
BOOL(WINAPI* realIsProcessorFeaturePresent)(DWORD);

BOOL WINAPI HookIsProcessorFeaturePresent(DWORD feature)
{
    if (feature != PF_XMMI64_INSTRUCTIONS_AVAILABLE)
        return realIsProcessorFeaturePresent(feature);
    ++g_sse2Asks;
    return FALSE;
}

struct Hook {
    const char* dll;
    const char* name;
    void* hook;
    void** real;
};

// A hook of the type of the function it stands in for.
template <typename F>
Hook Entry(const char* dll, const char* name, F hook, F* real)
{
    return {dll, name, reinterpret_cast<void*>(hook), reinterpret_cast<void**>(real)};
}

const Hook kHooks[] = {
    Entry("kernel32.dll", "GlobalAlloc", HookGlobalAlloc, &realGlobalAlloc),
    Entry("kernel32.dll", "GlobalReAlloc", HookGlobalReAlloc, &realGlobalReAlloc),
    Entry("kernel32.dll", "GlobalFree", HookGlobalFree, &realGlobalFree),
    Entry("msvcrt.dll", "malloc", HookMalloc, &realMalloc),
    Entry("msvcrt.dll", "calloc", HookCalloc, &realCalloc),
    Entry("msvcrt.dll", "realloc", HookRealloc, &realRealloc),
    Entry("msvcrt.dll", "free", HookFree, &realFree),
};

// Rewrites one import slot of the module; false when it has none by that name.
bool Patch(HMODULE module, const Hook& hook)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const IMAGE_IMPORT_DESCRIPTOR* d =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), hook.dll) != 0)
            continue;
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
            base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
                base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), hook.name) != 0)
                continue;
            DWORD old;
            if (!VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old))
                return false;
            void* current = reinterpret_cast<void*>(slots->u1.Function);
            if (current != hook.hook) {
                if (!*hook.real)
                    *hook.real = current;
                slots->u1.Function = reinterpret_cast<DWORD_PTR>(hook.hook);
            }
            VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return true;
        }
    }
    return false;
}

} // namespace

int Install(HMODULE module)
{
    int patched = 0;
    for (const Hook& hook : kHooks)
        patched += Patch(module, hook);
    return patched;
}

void InstallHere()
{
    static const int patched = [] {
        const int n = Install(GetModuleHandleA(nullptr));
        WarmUpExceptions([] { CQorString first(128); });
        return n;
    }();
    EXPECT_GE(patched, 3) << "the test program's allocator imports were not found";
}

void* PatchImport(HMODULE module, const char* dll, const char* name, void* hook)
{
    void* replaced = nullptr;
    return Patch(module, {dll, name, hook, &replaced}) ? replaced : nullptr;
}

bool DenySse2(HMODULE module)
{
    return Patch(module,
                 Entry("kernel32.dll", "IsProcessorFeaturePresent", HookIsProcessorFeaturePresent,
                       &realIsProcessorFeaturePresent));
}

int Sse2Asks()
{
    return g_sse2Asks;
}

void HoldNextAllocation(HANDLE inside, HANDLE release)
{
    g_holdInside = inside;
    g_holdRelease = release;
    InterlockedExchange(&g_holdThread, static_cast<LONG>(GetCurrentThreadId()));
}

void FailAt(int n)
{
    g_failAt = n;
    g_attempts = 0;
    g_failed = false;
}

int Attempts()
{
    return g_attempts;
}
bool Failed()
{
    return g_failed;
}

LiveBlocks::LiveBlocks() : global(g_liveGlobal), heap(g_liveHeap) {}
LiveBlocks::LiveBlocks(long global, long heap) : global(global), heap(heap) {}

bool operator==(const LiveBlocks& a, const LiveBlocks& b)
{
    return a.global == b.global && a.heap == b.heap;
}

std::ostream& operator<<(std::ostream& out, const LiveBlocks& blocks)
{
    return out << "global " << blocks.global << ", heap " << blocks.heap;
}

void Reset()
{
    FailAt(0);
}

void WarmUpExceptions(const std::function<void()>& call)
{
    CFailAt fail(1);
    try {
        call();
    } catch (...) {
    }
    EXPECT_TRUE(Failed()) << "no allocation to fail, no exception thrown";
}

int Sweep(const std::function<void(int n)>& prepare, const std::function<void()>& call,
          const std::function<void(int n)>& check, int limit)
{
    for (int n = 1; n <= limit; ++n) {
        // The trace lives across both counts: its own blocks are not counted.
        SCOPED_TRACE("allocation " + std::to_string(n) + " set to fail");
        const LiveBlocks before;
        if (prepare)
            prepare(n);
        if (testing::Test::HasFatalFailure())
            return -1;
        bool failed = false;
        {
            CFailAt fail(n);
            call();
            failed = Failed();
        }
        check(failed ? n : 0);
        EXPECT_EQ(before, LiveBlocks()) << "blocks leaked";
        if (testing::Test::HasFatalFailure())
            return -1;
        if (!failed)
            return n - 1;
    }
    ADD_FAILURE() << "the call still met a failure after " << limit << " runs";
    return -1;
}

std::map<std::string, int> ExpectOutcomes(const std::function<void(int n)>& prepare,
                                          const std::function<std::string()>& call,
                                          const std::function<std::string()>& after,
                                          const std::string& whole, std::vector<std::string> failed)
{
    std::string outcome;
    std::map<std::string, int> counts;
    Sweep(
        prepare, [&] { outcome = call(); },
        [&](int n) {
            outcome += " / " + after();
            if (n == 0)
                EXPECT_EQ(whole, outcome) << "nothing failed";
            else
                ++counts[outcome];
        });
    std::vector<std::string> seen;
    for (const auto& c : counts) {
        printf("[ sweep    ] %d times: %s\n", c.second, c.first.c_str());
        seen.push_back(c.first);
    }
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, seen) << "the outcomes of the failures";
    return counts;
}

} // namespace fault
