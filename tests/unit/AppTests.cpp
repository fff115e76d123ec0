// AppTests.cpp - the module entry and the application object.
#include "../../engine/VarioConv.h"
#include "../../qor/QorException.h"
#include "FaultInjection.h"
#include <gtest/gtest.h>

namespace {

class ModuleEntry : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fault::Install(GetModuleHandleA(nullptr));
        // The runtime keeps what it sets up for the first exception thrown
        // in the program for good: have that done before blocks are counted.
        try {
            QorThrowMemoryException();
        } catch (CQorException*) {
        }
    }
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

TEST_F(ModuleEntry, SecondAttachIsRefusedWithoutLeaking)
{
    CQorApp* app = QorGetApp();
    const long heap = fault::LiveHeapBlocks();
    const long global = fault::LiveGlobalBlocks();
    EXPECT_FALSE(DllMain(reinterpret_cast<HINSTANCE>(0x1230000), DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(app, QorGetApp());
    EXPECT_EQ(GetModuleHandleA(nullptr), app->instance);
    EXPECT_EQ(heap, fault::LiveHeapBlocks());
    EXPECT_EQ(global, fault::LiveGlobalBlocks());
}

// The application object, then the engine's path string inside it.
TEST_F(ModuleEntry, AttachWithoutMemoryIsRefusedNotCrashed)
{
    CQorApp* app = QorGetApp();
    for (int n = 1; n <= 2; ++n) {
        const long heap = fault::LiveHeapBlocks();
        const long global = fault::LiveGlobalBlocks();
        BOOL attached;
        bool failed;
        {
            fault::CFailAt fail(n);
            attached = DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
            failed = fault::Failed();
        }
        EXPECT_TRUE(failed) << "allocation " << n << " was never made";
        EXPECT_FALSE(attached) << "allocation " << n;
        EXPECT_EQ(app, QorGetApp()) << "allocation " << n;
        EXPECT_EQ(heap, fault::LiveHeapBlocks()) << "allocation " << n << " leaked";
        EXPECT_EQ(global, fault::LiveGlobalBlocks()) << "allocation " << n << " leaked";
    }
}

TEST(AppVersion, VersionStringIsExactlySized)
{
    const CQorString version = CQorApp::GetVersionString();
    EXPECT_STREQ("1.00", version.data);
    EXPECT_EQ(4, version.length);
    EXPECT_EQ(5, version.capacity);
}

} // namespace
