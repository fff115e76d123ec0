// DialogTests.cpp - the About and Settings dialogs opened through the
// exports, as the host opens them, and answered as a user answers them.
// Their allocation failures are swept in reliability/FaultSweepTests.cpp.
#include "Answering.h"
#include "Owner.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <commdlg.h>
#include <gtest/gtest.h>
#include <memory>

namespace {

void ExpectDriven(const DriveResult& r, size_t windows, const std::string& what)
{
    EXPECT_FALSE(r.timedOut) << what << ": a window did not come";
    EXPECT_EQ(0, r.unexpected) << what << ": windows nobody expected";
    EXPECT_EQ(windows, r.windows.size()) << what;
}

std::string Rect(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right)
        + "," + std::to_string(r.bottom);
}

// ---------------------------------------------------------------------------
// Both dialogs

class Dialogs : public testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { Engine().ExitEngine(); }
};

// Where each dialog stands, and what it shows: its frame, its font, and each control with its
// id, kind and text in tab order. About is 347 x 316 pixels, Settings 339 x 131; each half of
// the centring is truncated on its own (300 - 173, not 253 / 2).
TEST_F(Dialogs, CentredOnTheHostOrOnTheWorkArea)
{
    std::string rules = "a,b\r\n";
    for (int i = 0; i < 30; ++i) // more than the list shows at once
        rules += "k" + std::to_string(i) + ",v\r\n";
    const std::string path = WriteScratchFile("placed.txt", rules);
    ASSERT_TRUE(StartEngineWith(path));
    RECT workArea = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    ASSERT_EQ("0,0 - 1280,1024", Rect(workArea)) << "not the test display";
    // Kinds: shown 10000000, a scroll bar 00200000, a group 00020000, a tab stop 00010000, and
    // the class's bits (1: default button, 7: group box, 80: scrolls sideways, 101: notifies,
    // any height).
    const std::vector<std::string> aboutControls = {
        "-1 Static 10020000 VarioEngine for TitleForge",
        "1002 Static 10020000 Version 1.00",
        "-1 Static 10020000 (C) 2026 Vario Project",
        "-1 Static 10020000 " + Sjis(L"現在の変換設定"),
        "1003 ListBox 10210101 ",
        "1 Button 10010001 OK",
        "-1 Button 10000007 " + Sjis(L"バージョン情報"),
    };
    const std::vector<std::string> settingControls = {
        "-1 Static 10020000 " + Sjis(L"変換定義ファイル(&F):"),
        "1000 Edit 10010080 " + path,
        "1001 Button 10010000 " + Sjis(L"参照(&B)..."),
        "1 Button 10010001 OK",
        "2 Button 10010000 " + Sjis(L"ｷｬﾝｾﾙ"),
    };
    const struct {
        const char* what;
        void(WINAPI* open)(HWND);
        RECT host; // x, y, w, h; w 0: no host
        const char* rect;
        std::string caption;
        const std::vector<std::string>* controls;
    } cases[] = {
        {"About on the host",
         Engine().OnAbout,
         {123, 77, 600, 433},
         "250,135 - 597,451",
         Sjis(L"VarioEngineのバージョン情報"),
         &aboutControls},
        {"About on the work area",
         Engine().OnAbout,
         {},
         "467,354 - 814,670",
         Sjis(L"VarioEngineのバージョン情報"),
         &aboutControls},
        {"Settings on the host",
         Engine().OnSetting,
         {40, 500, 900, 300},
         "321,585 - 660,716",
         Sjis(L"VarioEngineの設定"),
         &settingControls},
        {"Settings on the work area",
         Engine().OnSetting,
         {},
         "471,447 - 810,578",
         Sjis(L"VarioEngineの設定"),
         &settingControls},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<HostWindow> host;
        if (c.host.right)
            host.reset(new HostWindow(c.host.left, c.host.top, c.host.right, c.host.bottom));
        const HWND parent = host ? host->hwnd : nullptr;
        SeenWindow seen;
        ExpectDriven(Drive([&] { c.open(parent); }, {SeeAndPress(&seen, IDCANCEL)}), 1, c.what);
        EXPECT_EQ(c.rect, Rect(seen.rect));
        EXPECT_EQ(parent, seen.owner);
        EXPECT_EQ(c.caption, seen.caption) << Escaped(seen.caption);
        // The platform adds these three to the style of a dialog.
        EXPECT_EQ(0x80C800C0u, seen.style & ~(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK));
        EXPECT_EQ(Sjis(L"ＭＳ Ｐゴシック") + " -12", seen.font) << "9 points";
        EXPECT_EQ(*c.controls, seen.controls);
    }
    EXPECT_EQ("b", Convert("a")) << "a dialog changed the rules";
    EXPECT_EQ(path, ExitAndReadPath()) << "a dialog changed the path";
}

// The ways a user closes a dialog without OK.
struct CloseWay {
    const char* name;
    void (*close)(HWND dialog);
};

const CloseWay kCloseWays[] = {
    {"Cancel command", [](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }},
    {"Esc key",
     [](HWND d) {
         // Typed into the path box, or into the About dialog's OK button.
         HWND target = GetDlgItem(d, IDC_DEFFILE);
         PostMessageA(target ? target : GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
     }},
    {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
};

// Settings closed without OK takes nothing of what was typed.
TEST_F(Dialogs, ClosingWithoutOkChangesNothing)
{
    const std::string path = WriteScratchFile("closed.txt", "a,b\r\n");
    ASSERT_TRUE(StartEngineWith(path));
    WriteScratchFile("closed.txt", "a,c\r\n"); // what a reload would find
    const std::string other = WriteScratchFile("other.txt", "a,other\r\n");
    for (auto open : {Engine().OnAbout, Engine().OnSetting}) {
        for (const CloseWay& way : kCloseWays) {
            const std::string what = std::string(open == Engine().OnAbout ? "About, "
                                                                          : "Settings, ")
                + way.name;
            const DriveResult r = Drive([&] { open(nullptr); }, {[&](HWND dialog) {
                                            SetDlgItemTextA(dialog, IDC_DEFFILE, other.c_str());
                                            way.close(dialog);
                                        }},
                                        3000);
            ExpectDriven(r, 1, what);
            EXPECT_EQ("b", Convert("a")) << what << ": the rules were loaded again";
        }
    }
    EXPECT_EQ(path, ExitAndReadPath());
}

// ---------------------------------------------------------------------------
// About

// Each rule is one line, whatever bytes its texts end in.
TEST_F(Dialogs, AboutListsEveryRuleOnALineOfItsOwn)
{
    const std::string lead = "\x83";
    const std::string shownLead = "\x81\x45"; // "・": the list box shows a lone lead byte so
    const struct {
        const char* what;
        std::string rules;
        std::vector<std::string> lines;
    } cases[] = {
        {"rules in table order",
         Sjis(L"[section]\r\n// comment\r\nabc,xyz\r\n東京,とうきょう\r\n,empty source\r\n"
              L"empty replacement,\r\nabc,xyz\r\na,b,c\r\nno comma\r\n"),
         {AboutLine("abc", "xyz"), AboutLine(Sjis(L"東京"), Sjis(L"とうきょう")),
          AboutLine("", "empty source"), AboutLine("empty replacement", ""),
          AboutLine("abc", "xyz"), AboutLine("a", "b,c")}},
        {"no rules", "", {}},
        {"a replacement ending in a lone lead byte",
         "a," + lead + "\r\nc,d\r\n",
         {AboutLine("a", shownLead), AboutLine("c", "d")}},
        {"the only rule ends in a lone lead byte",
         "a," + lead + "\r\n",
         {AboutLine("a", shownLead)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(StartEngineWith(WriteScratchFile("about.txt", c.rules)));
        const std::string probe = Convert("abc");
        SeenWindow seen;
        ExpectDriven(Drive([&] { Engine().OnAbout(nullptr); }, {SeeAndPress(&seen, IDOK)}), 1,
                     c.what);
        EXPECT_EQ("Version 1.00", seen.label);
        auto escaped = [](std::vector<std::string> lines) {
            for (std::string& line : lines)
                line = Escaped(line);
            return lines;
        };
        EXPECT_EQ(escaped(c.lines), escaped(seen.lines));
        EXPECT_EQ(probe, Convert("abc")) << "showing the rules changed them";
    }
}

DWORD WINAPI StartEngine(LPVOID)
{
    return Engine().InitEngine();
}

// Another thread starts the engine again while the About dialog is open: the dialog shows its
// own copy of the listing and holds no table, so the start does not wait for it to close.
TEST_F(Dialogs, StartOnAnotherThreadWhileAboutIsOpen)
{
    ASSERT_TRUE(StartEngineWith(WriteScratchFile("about-start.txt", "a,b\r\n")));
    DWORD started = WAIT_FAILED;
    ExpectDriven(Drive([] { Engine().OnAbout(nullptr); }, {[&](HWND about) {
                           const OwnedHandle start(
                               CreateThread(nullptr, 0, StartEngine, nullptr, 0, nullptr));
                           started = WaitForSingleObject(start.get(), 5000);
                           Press(about, IDOK);
                           WaitForSingleObject(start.get(), INFINITE);
                       }}),
                 1, "About");
    EXPECT_EQ(WAIT_OBJECT_0, started) << "TFEInitEngine waited for the About dialog to close";
    EXPECT_EQ("b", Convert("a"));
}

// ---------------------------------------------------------------------------
// Settings

class SettingDialog : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        Restart();
    }

    // Starts on "a,b" in settings.txt, which then reads "a,c", as a reload would find it.
    void Restart()
    {
        path = WriteScratchFile("settings.txt", "a,b\r\n");
        ASSERT_TRUE(StartEngineWith(path));
        ASSERT_EQ("b", Convert("a"));
        WriteScratchFile("settings.txt", "a,c\r\n");
    }

    std::string path;
};

// OK loads at once what the box holds, at most 259 bytes, also the path in force.
TEST_F(SettingDialog, OkLoadsThePathInTheBox)
{
    const std::string other = WriteScratchFile(Sjis(L"規則.txt"), Sjis(L"a,ア\r\n"));
    // A file whose full path is exactly 259 bytes; the typed text goes on.
    const size_t room = 259 - ScratchDir().size() - 1;
    const std::string longPath = WriteScratchFile(std::string(room - 4, 'n') + ".txt", "a,cut\r\n");
    ASSERT_EQ(259u, longPath.size());
    const struct {
        const char* what;
        std::string typed; // empty: the box is left as it opened
        const std::string converted;
        const std::string& kept;
    } cases[] = {
        {"the same path reloads the file", "", "c", path},
        {"another file", other, Sjis(L"ア"), other},
        {"typed text cut to 259 bytes", longPath + "-and-more", "cut", longPath},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        EXPECT_EQ("SettingDialog",
                  Kinds(SettingsOk(nullptr, c.typed.empty() ? nullptr : c.typed.c_str())));
        EXPECT_EQ(c.converted, Convert("a"));
        EXPECT_EQ(c.kept, ExitAndReadPath());
    }
}

// A path pasted into the box stops where OK cuts it, so that the user sees the cut.
TEST_F(SettingDialog, PastedPathStopsWhereOkCutsIt)
{
    HostWindow host;
    for (size_t size : {259u, 260u, 400u}) {
        SCOPED_TRACE(std::to_string(size) + " bytes pasted");
        const std::string pasted(size, 'p');
        ASSERT_TRUE(OpenClipboard(host.hwnd));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size + 1);
        lstrcpyA(static_cast<char*>(GlobalLock(block)), pasted.c_str());
        GlobalUnlock(block);
        EXPECT_TRUE(SetClipboardData(CF_TEXT, block)); // the clipboard owns the block now
        CloseClipboard();
        std::string held;
        ExpectDriven(Drive([&] { Engine().OnSetting(host.hwnd); }, {[&](HWND d) {
                               SetDlgItemTextA(d, IDC_DEFFILE, "");
                               SendDlgItemMessageA(d, IDC_DEFFILE, WM_PASTE, 0, 0);
                               held = ItemText(d, IDC_DEFFILE);
                               Press(d, IDCANCEL);
                           }}),
                     1, "paste");
        EXPECT_EQ(pasted.substr(0, 259), held);
    }
}

// OK with a path that does not load. No file there: a warning over the dialog, which stays open
// as it was, and the rules and the path in force stay. A directory: it is taken, and the failed
// load is warned of once the dialog has closed, over the host if there is one.
TEST_F(SettingDialog, OkWithAPathThatDoesNotLoadWarns)
{
    HostWindow host;
    const std::string dir = ScratchDir();
    const struct {
        const char* what;
        HWND parent;
        const char* typed; // null: the box as it opened, on the file in force, deleted
        std::string message;
        bool stays; // the dialog stays open and owns the warning
        const char* converted;
        const std::string& stored;
    } cases[] = {
        {"an empty box", nullptr, "", FileMissingMessage(), true, "b", path},
        {"the file in force deleted", nullptr, nullptr, FileMissingMessage(), true, "b", path},
        {"a directory, with a host", host.hwnd, dir.c_str(), LoadFailedMessage(), false, "a", dir},
        {"a directory, without a host", nullptr, dir.c_str(), LoadFailedMessage(), false, "a", dir},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        ASSERT_TRUE(c.typed || DeleteFileA(path.c_str()));
        SeenWindow dialog, box;
        bool openAtTheWarning = false, stayed = false;
        std::string kept = "<unread>";
        const DriveResult r = Drive([&] { Engine().OnSetting(c.parent); },
                                    {
                                        [&](HWND d) {
                                            dialog = Inspect(d);
                                            if (c.typed)
                                                SetDlgItemTextA(d, IDC_DEFFILE, c.typed);
                                            Press(d, IDOK);
                                        },
                                        [&](HWND b) {
                                            openAtTheWarning = IsWindow(dialog.hwnd);
                                            box = Inspect(b);
                                            PressAndWait(b, IDOK);
                                            Sleep(100);
                                            stayed = IsWindow(dialog.hwnd)
                                                && IsWindowVisible(dialog.hwnd);
                                            if (stayed) {
                                                kept = ItemText(dialog.hwnd, IDC_DEFFILE);
                                                Press(dialog.hwnd, IDCANCEL);
                                            }
                                        },
                                    });
        ExpectDriven(r, 2, c.what);
        EXPECT_EQ("SettingDialog EngineBox", Kinds({dialog, box}));
        EXPECT_EQ(c.message, box.text) << Escaped(box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.icon);
        EXPECT_EQ(c.stays ? dialog.hwnd : c.parent, box.owner) << "the warning's owner";
        EXPECT_EQ(c.stays, openAtTheWarning) << "the dialog was open at the warning";
        EXPECT_EQ(c.stays, stayed) << "the dialog stayed open";
        if (c.stays) {
            EXPECT_EQ(c.typed ? c.typed : path, kept) << "the box changed";
        }
        EXPECT_EQ(c.converted, Convert("a")) << "the rules in force";
        EXPECT_EQ(c.stored, ExitAndReadPath());
    }
}

// Browse opens on the name and folder of the path the dialog opened with, each time, unless that
// path is too long for its buffer (300 bytes, which fail to load at start-up); a file chosen
// reaches the box, a cancelled browse leaves it, and Cancel then changes nothing.
TEST_F(SettingDialog, BrowseStartsFromTheOpeningPathEachTime)
{
    const std::string chosen = WriteScratchFile("chosen.txt", "a,chosen\r\n");
    const std::string tooLong = ScratchDir() + "\\" + std::string(299 - ScratchDir().size(), 'x');
    ASSERT_EQ(300u, tooLong.size());
    const struct {
        const char* what;
        const std::string& opening;
        const char* name; // in the open-file dialog
        const char* converted;
    } cases[] = {
        {"the path in force", path, "settings.txt", "b"},
        {"a path too long for the buffer", tooLong, "", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.opening != path) { // remembered, as if from an earlier run
            Engine().ExitEngine();
            StorePath(c.opening);
            ExpectDriven(Drive([] { Engine().InitEngine(); }, {[](HWND box) { Press(box, IDOK); }}),
                         1, "the start's load failure");
        }
        SeenWindow dialog, first, second;
        std::string afterFirst, afterSecond;
        const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                    {
                                        [&](HWND d) {
                                            dialog = Inspect(d);
                                            SetDlgItemTextA(d, IDC_DEFFILE, "typed.txt");
                                            Press(d, IDC_BROWSE);
                                        },
                                        [&](HWND box) {
                                            first = Inspect(box);
                                            SendMessageA(box, CDM_SETCONTROLTEXT, 0x47C,
                                                         reinterpret_cast<LPARAM>(chosen.c_str()));
                                            PostMessageA(box, WM_COMMAND, IDOK, 0);
                                            WaitForClose(box);
                                            afterFirst = ItemText(dialog.hwnd, IDC_DEFFILE);
                                            Press(dialog.hwnd, IDC_BROWSE);
                                        },
                                        [&](HWND box) {
                                            second = Inspect(box);
                                            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                                            WaitForClose(box);
                                            afterSecond = ItemText(dialog.hwnd, IDC_DEFFILE);
                                            Press(dialog.hwnd, IDCANCEL);
                                        },
                                    });
        ExpectDriven(r, 3, c.what);
        EXPECT_EQ(c.opening, dialog.edit);
        for (const SeenWindow& browse : {first, second}) {
            EXPECT_EQ("OpenFileDialog", Kinds({browse}));
            EXPECT_EQ(OpenFileTitle(), browse.caption) << Escaped(browse.caption);
            EXPECT_EQ(c.name, browse.edit) << Escaped(browse.edit);
            if (*c.name) {
                EXPECT_EQ(ScratchDir(), browse.folder);
            }
        }
        EXPECT_EQ(chosen, afterFirst) << "the chosen file did not reach the edit box";
        EXPECT_EQ(chosen, afterSecond) << "cancelling the open-file dialog changed the edit box";
        EXPECT_EQ(c.converted, Convert("a")) << "Cancel loaded the rules";
        EXPECT_EQ(c.opening, ExitAndReadPath()) << "Cancel after browsing changed the path";
    }
}

} // namespace
