// HeapCheck.h - every heap of the test program validated after each test.
#pragma once

// With VARIO_HEAP_CHECK=1 in the environment (the heap-checked stage of
// tools/run-tests.sh), validates every heap of the process after each test,
// once the test has joined its threads, and fails the test that left a heap
// damaged. Call once, after testing::InitGoogleTest.
void ValidateHeapsAfterEachTest();
