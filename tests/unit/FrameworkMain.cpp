// FrameworkMain.cpp - runs the framework's tests. The program links the
// framework alone: its application object is a plain CQorApp, attached to
// this program, which carries its own copy of the resources.
#include "../../qor/QorApp.h"
#include "HeapCheck.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ValidateHeapsAfterEachTest();
    static CQorApp app;
    if (!app.OnDllMain(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH, nullptr)) {
        fprintf(stderr, "the application object refused the attach\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
