// HeapCheck.cpp - every heap of the test program validated after each test.
#include "HeapCheck.h"
#include <windows.h>
#include <gtest/gtest.h>
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
        HANDLE heaps[256];
        DWORD count = GetProcessHeaps(256, heaps);
        if (count > 256)
            count = 256;
        for (DWORD i = 0; i < count; ++i) {
            if (HeapValidate(heaps[i], 0, nullptr) || !damaged.insert(heaps[i]).second)
                continue;
            ADD_FAILURE() << "heap " << heaps[i]
                          << (heaps[i] == GetProcessHeap() ? " (the process heap)" : "")
                          << " is damaged after " << test.test_suite_name() << "." << test.name()
                          << ": something it ran wrote past a block or into a freed one";
        }
    }

    std::set<HANDLE> damaged; // heaps already reported
};

} // namespace

void ValidateHeapsAfterEachTest()
{
    const char* check = getenv("VARIO_HEAP_CHECK");
    if (check && strcmp(check, "1") == 0)
        testing::UnitTest::GetInstance()->listeners().Append(new HeapValidation);
}
