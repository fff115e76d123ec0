// ModuleMain.cpp - runs the tests of the built Vario.tfe.
#include "FaultInjection.h"
#include "HeapCheck.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ValidateHeapsAfterEachTest();
    if (!EngineModule()) {
        fprintf(stderr, "Vario.tfe could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    if (getenv("VARIO_NO_SSE2") && fault::Sse2Asks() == 0) {
        fprintf(stderr, "VARIO_NO_SSE2: the engine never asked the processor for SSE2\n");
        return 1;
    }
    return result;
}
