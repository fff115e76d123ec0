// FaultInjection.h - counts a module's allocations and fails one on demand.
//
// Install() rewrites a module's import table so that its calls to the
// global-memory and C runtime heap allocators come here first. Nothing in
// the module itself changes: the shipped Vario.tfe is tested as it is.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace fault {

// Routes the module's allocator imports through the counters. Returns the
// number of imports rewritten (a module need not import every allocator).
int Install(HMODULE module);

// The n-th allocation from now fails (1 = the next one); 0 fails none.
void FailAt(int n);

// Routes the allocator imports of this test program, into which the
// framework is linked, once, and throws its first exception (see
// WarmUpExceptions); the test fails when they were not found.
void InstallHere();

// The calling thread's next allocation through the counters sets inside
// and then waits until release is set: the thread stays in the middle of
// the call that allocated, as if suspended there, until the test lets it
// go. One thread at a time: another may ask once inside is set.
void HoldNextAllocation(HANDLE inside, HANDLE release);

// Allocations attempted since the last FailAt or Reset.
int Attempts();

// Whether the planned failure has happened.
bool Failed();

// The blocks live at one moment: global memory and C runtime heap. Printed
// as "global 5, heap 12", so that a failed EXPECT_EQ shows both counts.
struct LiveBlocks {
    LiveBlocks(); // the blocks live now
    LiveBlocks(long global, long heap);
    long global;
    long heap;
};
bool operator==(const LiveBlocks& a, const LiveBlocks& b);
std::ostream& operator<<(std::ostream& out, const LiveBlocks& blocks);

// Stops failing and restarts the attempt count.
void Reset();

// The C++ runtime keeps for good what it sets up for the first exception
// thrown in a module. Runs call() once with its first allocation failing,
// catching what it throws, so that this is done before blocks are counted;
// the test fails when call() allocated nothing.
void WarmUpExceptions(const std::function<void()>& call);

// Fails the allocations of call() in turn, the first, then the second, and
// so on, until a run meets no failure. prepare(n), when given, runs before
// the run that fails allocation n and check(n) after it, nothing failing, n
// being 0 when the run met no failure (the last run); a fatal failure in
// either ends the sweep. Each run is traced with the allocation set to fail,
// and the blocks live before prepare() must be live again after check().
// Returns how many runs met a failure; -1 after a fatal failure, or when
// the limit of runs came first (which fails the test).
int Sweep(const std::function<void(int n)>& prepare, const std::function<void()>& call,
          const std::function<void(int n)>& check, int limit = 1000);

// Sweeps call(), which gives what it returned and showed as text; after
// each run, nothing failing, after() gives the state it left, and the
// outcome is "call / after". The run that meets no failure must give whole,
// and the others together each of failed and no other. Prints and returns
// how often each outcome of a failure came.
std::map<std::string, int> ExpectOutcomes(const std::function<void(int n)>& prepare,
                                          const std::function<std::string()>& call,
                                          const std::function<std::string()>& after,
                                          const std::string& whole,
                                          std::vector<std::string> failed);

// Routes the module's IsProcessorFeaturePresent through a processor without
// SSE2, which says no to PF_XMMI64_INSTRUCTIONS_AVAILABLE: false when the
// module does not import it.
bool DenySse2(HMODULE module);
// How often the module has asked for SSE2 since DenySse2.
int Sse2Asks();

// Points the module's import of name from dll at hook: the function it
// replaced, or null when the module does not import it.
void* PatchImport(HMODULE module, const char* dll, const char* name, void* hook);

// Fails the n-th allocation while it lives; restores on destruction.
class CFailAt {
public:
    explicit CFailAt(int n) { FailAt(n); }
    ~CFailAt() { Reset(); }
    CFailAt(const CFailAt&) = delete;
    CFailAt& operator=(const CFailAt&) = delete;
};

} // namespace fault
