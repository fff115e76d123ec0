// EngineMain.cpp - runs the tests of the engine's classes with the engine's
// application object made as the module entry makes it, on this program's own
// resources.
#include "../../qor/QorApp.h"
#include "HeapCheck.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ValidateHeapsAfterEachTest();
    if (!DllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr)) {
        fprintf(stderr, "the module entry refused the attach\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
