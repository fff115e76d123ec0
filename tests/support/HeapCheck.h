// HeapCheck.h - the heaps of the test program: validated after each test,
// and the bytes in use in them.
#pragma once
#include <windows.h>
#include <vector>

// Every heap of the process, the process heap and the C runtime's among them.
std::vector<HANDLE> ProcessHeaps();

// The bytes of the blocks in use in every heap of the process: exact, where
// the process's private bytes count whole pages.
double HeapBytesInUse();

// With VARIO_HEAP_CHECK=1 in the environment (the heap-checked stage of
// tools/run-tests.sh), validates every heap of the process after each test,
// once the test has joined its threads, and fails the test that left a heap
// damaged. Call once, after testing::InitGoogleTest.
void ValidateHeapsAfterEachTest();
