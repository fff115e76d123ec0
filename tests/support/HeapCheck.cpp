// HeapCheck.cpp - every heap of the test program validated after each test.
#include "HeapCheck.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <stdlib.h>
#include <string.h>

namespace {

// Walks every heap of the process when a test has ended. The walk runs on
// the test's own thread when no other thread of the test is left, so a
// block that another thread is freeing at that moment cannot pass for
// damage. A damaged heap stays damaged: it fails only the first test after
// which it was found.
class HeapValidation : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override
    {
        for (HANDLE heap : ProcessHeaps()) {
            if (HeapValidate(heap, 0, nullptr) || !damaged.insert(heap).second)
                continue;
            ADD_FAILURE() << "heap " << heap
                          << (heap == GetProcessHeap() ? " (the process heap)" : "")
                          << " is damaged after " << test.test_suite_name() << "." << test.name()
                          << ": something it ran wrote past a block or into a freed one";
        }
    }

    std::set<HANDLE> damaged; // heaps already reported
};

} // namespace

std::vector<HANDLE> ProcessHeaps()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(std::min<size_t>(heaps.size(), GetProcessHeaps(heaps.size(), heaps.data())));
    return heaps;
}

double HeapBytesInUse()
{
    double total = 0;
    for (HANDLE heap : ProcessHeaps()) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heap);
    }
    return total;
}

void ValidateHeapsAfterEachTest()
{
    const char* check = getenv("VARIO_HEAP_CHECK");
    if (check && strcmp(check, "1") == 0)
        testing::UnitTest::GetInstance()->listeners().Append(new HeapValidation);
}
