// ModuleMain.cpp - runs the tests of the built Vario.tfe.
#include "TestSupport.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!EngineModule()) {
        fprintf(stderr, "Vario.tfe could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    return RUN_ALL_TESTS();
}
