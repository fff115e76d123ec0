// FaultInjection.h - counts a module's allocations and fails one on demand.
//
// Install() rewrites a module's import table so that its calls to the
// global-memory and C runtime heap allocators come here first. Nothing in
// the module itself changes: the shipped Vario.tfe is tested as it is.
#pragma once
#include <windows.h>
#include <functional>

namespace fault {

// Routes the module's allocator imports through the counters. Returns the
// number of imports rewritten (a module need not import every allocator).
int Install(HMODULE module);

// The n-th allocation from now fails (1 = the next one); 0 fails none.
void FailAt(int n);

// Allocations attempted since the last FailAt or Reset.
int Attempts();

// Whether the planned failure has happened.
bool Failed();

// Blocks currently live: global memory and C runtime heap.
long LiveGlobalBlocks();
long LiveHeapBlocks();

// Stops failing and restarts the attempt count.
void Reset();

// Runs call() with its first allocation failing, then with its second, and so
// on, until a run meets no failure; prepare() runs before each run and
// check(n) after it, with nothing failing, n being the allocation that
// failed, 0 in the last run. Returns how many runs met a failure, or -1
// when the limit of runs came first.
int Sweep(const std::function<void()>& prepare, const std::function<void()>& call,
          const std::function<void(int n)>& check, int limit = 1000);

// Fails the n-th allocation while it lives; restores on destruction.
class CFailAt {
public:
    explicit CFailAt(int n) { FailAt(n); }
    ~CFailAt() { Reset(); }
    CFailAt(const CFailAt&) = delete;
    CFailAt& operator=(const CFailAt&) = delete;
};

} // namespace fault
