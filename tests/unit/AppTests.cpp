// AppTests.cpp - the module entry and the application object.
#include "../../engine/EngineApp.h"
#include "FaultInjection.h"
#include <gtest/gtest.h>

namespace {

class ModuleEntry : public testing::Test {
protected:
    static void SetUpTestSuite() { fault::InstallHere(); }
};

TEST_F(ModuleEntry, AttachMadeTheEngineAppTheSingleton)
{
    CQorApp* app = QorGetApp();
    ASSERT_NE(nullptr, app);
    EXPECT_NE(nullptr, dynamic_cast<CEngineApp*>(app));
    EXPECT_EQ(GetModuleHandleA(nullptr), app->instance);
}

TEST_F(ModuleEntry, NotificationsAfterAttach)
{
    CQorApp* app = QorGetApp();
    HINSTANCE other = reinterpret_cast<HINSTANCE>(0x1230000);
    const struct {
        DWORD reason;
        BOOL result;
    } cases[] = {
        {DLL_THREAD_ATTACH, TRUE}, {DLL_THREAD_DETACH, TRUE}, {4, FALSE}, {5, FALSE},
        {0xFFFFFFFF, FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, DllMain(other, c.reason, nullptr)) << "reason " << c.reason;
        EXPECT_EQ(app, QorGetApp()) << "reason " << c.reason;
        EXPECT_EQ(GetModuleHandleA(nullptr), app->instance) << "reason " << c.reason;
    }
}

// A second attach is refused, and so is one that finds no memory for the
// application object or for the engine's path strings inside it.
TEST_F(ModuleEntry, AttachWhileAttachedOrWithoutMemoryIsRefused)
{
    CQorApp* app = QorGetApp();
    BOOL attached = TRUE;
    const int failures = fault::Sweep(
        nullptr,
        [&] {
            attached = DllMain(reinterpret_cast<HINSTANCE>(0x1230000), DLL_PROCESS_ATTACH, nullptr);
        },
        [&](int) {
            EXPECT_FALSE(attached);
            EXPECT_EQ(app, QorGetApp());
            EXPECT_EQ(GetModuleHandleA(nullptr), app->instance);
        });
    EXPECT_EQ(3, failures) << "the application object, its path, the stored path it saw";
}

} // namespace
