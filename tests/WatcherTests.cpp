// WatcherTests.cpp - the engine's message box, found and answered as a
// user would answer it.
#include "TestSupport.h"
#include "WindowWatcher.h"
#include <gtest/gtest.h>

namespace {

TEST(StartupMessage, FailedLoadShowsOwnerlessErrorBox)
{
    std::string caption, text;
    UINT icon = 0;
    HWND owner = reinterpret_cast<HWND>(1);
    BOOL started = TRUE;
    const std::string missing = ScratchDir() + "\\missing.txt";
    const DriveResult r = Drive([&] { started = StartEngineWith(missing); },
                                {[&](HWND box) {
                                    caption = WindowText(box);
                                    text = MessageBoxText(box);
                                    icon = MessageBoxIcon(box);
                                    owner = GetWindow(box, GW_OWNER);
                                    Press(box, IDOK);
                                }});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(0, r.unexpected);
    EXPECT_FALSE(started);
    EXPECT_EQ(Sjis(L"Varioエンジン"), caption) << Escaped(caption);
    EXPECT_EQ(Sjis(L"変換定義ファイルの読み込みに失敗しました。"), text) << Escaped(text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), icon);
    EXPECT_EQ(nullptr, owner);
    Engine().ExitEngine();
    DWORD type = 0;
    std::string stored;
    ASSERT_TRUE(ReadSetting(&type, &stored));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(missing, stored.c_str());
}

} // namespace
