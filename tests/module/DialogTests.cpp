// DialogTests.cpp - the About and Settings dialogs opened through the
// exports, as the host opens them, and answered as a user answers them.
#include "FaultInjection.h"
#include "TestSupport.h"
#include "WindowWatcher.h"
#include <commdlg.h>
#include <gtest/gtest.h>

namespace {

const int kPathEdit = 1000;
const int kBrowse = 1001;
const int kRules = 1003;
const char kArrow[] = "\x20\x81\xA8\x20";

// A plain top-level window standing in for the host's main window.
class CHostWindow {
public:
    CHostWindow(int x, int y, int w, int h)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VarioTestHost";
        RegisterClassA(&wc);        // fails harmlessly when already registered
        hwnd = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~CHostWindow() { DestroyWindow(hwnd); }
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    HWND hwnd;
};

// What a step saw of a dialog or message box.
struct Seen {
    std::string caption;
    std::vector<std::string> texts;     // the child windows' texts in order
    std::vector<std::string> lines;     // the About dialog's rule list
    RECT rect = {};
    HWND owner = reinterpret_cast<HWND>(1);
    UINT icon = 0;
};

Seen Look(HWND window)
{
    Seen seen;
    seen.caption = WindowText(window);
    seen.texts = ChildTexts(window);
    GetWindowRect(window, &seen.rect);
    seen.owner = GetWindow(window, GW_OWNER);
    if (GetDlgItem(window, kRules))
        seen.lines = ListBoxLines(window, kRules);
    return seen;
}

Seen LookAtBox(HWND box)
{
    Seen seen = Look(box);
    seen.texts = {MessageBoxText(box)};
    seen.icon = MessageBoxIcon(box);
    return seen;
}

// The rectangle a dialog is centred on: its owner's, or the work area.
RECT Reference(HWND parent)
{
    RECT reference = {};
    if (parent)
        GetWindowRect(parent, &reference);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &reference, 0);
    return reference;
}

void ExpectCentred(HWND parent, const RECT& rect, const char* what)
{
    const RECT a = Reference(parent);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    EXPECT_EQ(a.left + (a.right - a.left) / 2 - w / 2, rect.left) << what << ": x";
    EXPECT_EQ(a.top + (a.bottom - a.top) / 2 - h / 2, rect.top) << what << ": y";
}

void ExpectDriven(const DriveResult& r, size_t windows, const char* what)
{
    EXPECT_FALSE(r.timedOut) << what << ": a window did not come";
    EXPECT_EQ(0, r.unexpected) << what << ": windows nobody expected";
    EXPECT_EQ(windows, r.windows.size()) << what;
}

std::string StoredPath()
{
    DWORD type = 0;
    std::string bytes;
    if (!ReadSetting(&type, &bytes))
        return "<none>";
    return bytes.c_str();
}

// Ends the run and reads back what the engine remembers.
std::string PathKeptAtExit()
{
    Engine().ExitEngine();
    return StoredPath();
}

std::vector<std::string> SettingTexts(const std::string& path)
{
    return {Sjis(L"変換定義ファイル(&F):"), path, Sjis(L"参照(&B)..."), "OK", Sjis(L"ｷｬﾝｾﾙ")};
}

// ---------------------------------------------------------------------------
// About

class AboutDialog : public testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { Engine().ExitEngine(); }
};

TEST_F(AboutDialog, ListsTheRulesInTableOrderCentredOnTheHost)
{
    const std::string rules = Sjis(L"[section]\r\n// comment\r\nabc,xyz\r\n東京,とうきょう\r\n"
                                   L",empty source\r\nempty replacement,\r\nabc,xyz\r\n"
                                   L"a,b,c\r\nno comma\r\n");
    ASSERT_TRUE(StartEngineWith(WriteScratchFile("about.txt", rules)));
    CHostWindow host(123, 77, 601, 433);
    Seen seen;
    const DriveResult r = Drive([&] { Engine().OnAbout(host.hwnd); },
                                {[&](HWND dialog) {
                                    seen = Look(dialog);
                                    Press(dialog, IDOK);
                                }});
    ExpectDriven(r, 1, "About");
    EXPECT_EQ(Sjis(L"VarioEngineのバージョン情報"), seen.caption) << Escaped(seen.caption);
    const std::vector<std::string> texts = {
        "VarioEngine for TitleForge", "Version 1.00", "(C) 2026 Vario Project",
        Sjis(L"現在の変換設定"), "", "OK", Sjis(L"バージョン情報"),
    };
    EXPECT_EQ(texts, seen.texts);
    const std::vector<std::string> lines = {
        std::string("abc") + kArrow + "xyz",
        Sjis(L"東京") + kArrow + Sjis(L"とうきょう"),
        std::string(kArrow) + "empty source",
        std::string("empty replacement") + kArrow,
        std::string("abc") + kArrow + "xyz",
        std::string("a") + kArrow + "b,c",
    };
    ASSERT_EQ(lines.size(), seen.lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], seen.lines[i]) << "line " << i << ": " << Escaped(seen.lines[i]);
    EXPECT_EQ(host.hwnd, seen.owner);
    ExpectCentred(host.hwnd, seen.rect, "About on the host");
    EXPECT_EQ("xyz", Convert("abc")) << "showing the rules changed them";
}

TEST_F(AboutDialog, EmptyTableGivesAnEmptyListOnTheWorkArea)
{
    ASSERT_TRUE(Engine().InitEngine());
    Seen seen;
    const DriveResult r = Drive([&] { Engine().OnAbout(nullptr); },
                                {[&](HWND dialog) {
                                    seen = Look(dialog);
                                    Press(dialog, IDOK);
                                }});
    ExpectDriven(r, 1, "About");
    EXPECT_TRUE(seen.lines.empty()) << seen.lines.size() << " lines, first "
                                    << Escaped(seen.lines.empty() ? "" : seen.lines[0]);
    ASSERT_EQ(7u, seen.texts.size());
    EXPECT_EQ("Version 1.00", seen.texts[1]);
    EXPECT_EQ(nullptr, seen.owner);
    ExpectCentred(nullptr, seen.rect, "About without a host");
}

// The ways a user closes a dialog without OK.
struct CloseWay {
    const char* name;
    void (*close)(HWND dialog);
};

const CloseWay kCloseWays[] = {
    {"Cancel command", [](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }},
    {"Esc key", [](HWND d) {
         // Typed into the path box, or into the About dialog's OK button.
         HWND target = GetDlgItem(d, kPathEdit);
         PostMessageA(target ? target : GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
     }},
    {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
};

TEST_F(AboutDialog, ClosesWithEscAndTheCloseBox)
{
    ASSERT_TRUE(Engine().InitEngine());
    for (const CloseWay& way : kCloseWays) {
        const DriveResult r = Drive([&] { Engine().OnAbout(nullptr); }, {way.close}, 3000);
        ExpectDriven(r, 1, way.name);
    }
}

// ---------------------------------------------------------------------------
// Settings

class SettingDialog : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteSettingsKey();
        path = WriteScratchFile("settings.txt", "a,b\r\n");
        ASSERT_TRUE(StartEngineWith(path));
        ASSERT_EQ("b", Convert("a"));
        // What a reload would find from now on.
        WriteScratchFile("settings.txt", "a,c\r\n");
    }
    void TearDown() override { Engine().ExitEngine(); }

    std::string path;
};

TEST_F(SettingDialog, ShowsThePathCentredOnTheHost)
{
    CHostWindow host(40, 500, 900, 301);
    Seen seen;
    const DriveResult r = Drive([&] { Engine().OnSetting(host.hwnd); },
                                {[&](HWND dialog) {
                                    seen = Look(dialog);
                                    Press(dialog, IDCANCEL);
                                }});
    ExpectDriven(r, 1, "Settings");
    EXPECT_EQ(Sjis(L"VarioEngineの設定"), seen.caption) << Escaped(seen.caption);
    EXPECT_EQ(SettingTexts(path), seen.texts);
    EXPECT_EQ(host.hwnd, seen.owner);
    ExpectCentred(host.hwnd, seen.rect, "Settings on the host");
}

TEST_F(SettingDialog, ClosingWithoutOkChangesNothing)
{
    const std::string other = WriteScratchFile("other.txt", "a,other\r\n");
    for (const CloseWay& way : kCloseWays) {
        Seen seen;
        const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                    {[&](HWND dialog) {
                                        seen = Look(dialog);
                                        SetDlgItemTextA(dialog, kPathEdit, other.c_str());
                                        way.close(dialog);
                                    }},
                                    3000);
        ExpectDriven(r, 1, way.name);
        ExpectCentred(nullptr, seen.rect, way.name);
        EXPECT_EQ("b", Convert("a")) << way.name << ": the rules were loaded again";
    }
    EXPECT_EQ(path, PathKeptAtExit());
}

TEST_F(SettingDialog, OkWithAnEmptyBoxWarnsAndStaysOpen)
{
    HWND dialog = nullptr;
    Seen box;
    bool stayed = false;
    std::string kept = "<unread>";
    const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                {
                                    [&](HWND d) {
                                        dialog = d;
                                        SetDlgItemTextA(d, kPathEdit, "");
                                        Press(d, IDOK);
                                    },
                                    [&](HWND b) {
                                        box = LookAtBox(b);
                                        Press(b, IDOK);
                                        WaitForClose(b);
                                        Sleep(100);
                                        stayed = IsWindow(dialog) && IsWindowVisible(dialog);
                                        kept = ItemText(dialog, kPathEdit);
                                        Press(dialog, IDCANCEL);
                                    },
                                });
    ExpectDriven(r, 2, "empty path");
    EXPECT_EQ(Sjis(L"Varioエンジン"), box.caption) << Escaped(box.caption);
    EXPECT_EQ(std::vector<std::string>{Sjis(L"指定されたファイルは存在しません。")}, box.texts);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.icon);
    EXPECT_EQ(dialog, box.owner) << "the warning is not owned by the Settings dialog";
    EXPECT_TRUE(stayed) << "the Settings dialog closed";
    EXPECT_EQ("", kept);
    EXPECT_EQ("b", Convert("a"));
    EXPECT_EQ(path, PathKeptAtExit());
}

TEST_F(SettingDialog, OkWithADirectoryTakesItAndWarnsOwnedByTheHost)
{
    CHostWindow host(0, 0, 300, 200);
    for (HWND parent : {host.hwnd, static_cast<HWND>(nullptr)}) {
        const char* which = parent ? "with a host" : "without a host";
        ASSERT_TRUE(StartEngineWith(path));
        HWND dialog = nullptr;
        Seen box;
        bool dialogGone = false;
        const DriveResult r = Drive([&] { Engine().OnSetting(parent); },
                                    {
                                        [&](HWND d) {
                                            dialog = d;
                                            SetDlgItemTextA(d, kPathEdit, ScratchDir().c_str());
                                            Press(d, IDOK);
                                        },
                                        [&](HWND b) {
                                            dialogGone = !IsWindow(dialog);
                                            box = LookAtBox(b);
                                            Press(b, IDOK);
                                        },
                                    });
        ExpectDriven(r, 2, which);
        EXPECT_TRUE(dialogGone) << which << ": the warning came before the dialog closed";
        EXPECT_EQ(Sjis(L"Varioエンジン"), box.caption) << which;
        EXPECT_EQ(std::vector<std::string>{Sjis(L"変換定義ファイルの読み込みに失敗しました。")},
                  box.texts) << which;
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.icon) << which;
        EXPECT_EQ(parent, box.owner) << which;
        EXPECT_EQ("a", Convert("a")) << which << ": rules left after a failed load";
        EXPECT_EQ(ScratchDir(), PathKeptAtExit()) << which;
    }
}

TEST_F(SettingDialog, OkWithTheSamePathReloadsTheFile)
{
    const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                {[&](HWND dialog) { Press(dialog, IDOK); }});
    ExpectDriven(r, 1, "same path");
    EXPECT_EQ("c", Convert("a")) << "the file was not read again";
    EXPECT_EQ(path, PathKeptAtExit());
}

TEST_F(SettingDialog, OkWithAnotherFileLoadsIt)
{
    const std::string other = WriteScratchFile(Sjis(L"規則.txt"), Sjis(L"a,ア\r\n"));
    const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                {[&](HWND dialog) {
                                    SetDlgItemTextA(dialog, kPathEdit, other.c_str());
                                    Press(dialog, IDOK);
                                }});
    ExpectDriven(r, 1, "another file");
    EXPECT_EQ(Sjis(L"ア"), Convert("a"));
    EXPECT_EQ(other, PathKeptAtExit());
}

TEST_F(SettingDialog, TypedTextIsCutTo259Bytes)
{
    // A file whose full path is exactly 259 bytes; the typed text goes on.
    const size_t room = 259 - ScratchDir().size() - 1;
    const std::string name = std::string(room - 4, 'n') + ".txt";
    const std::string longPath = WriteScratchFile(name, "a,cut\r\n");
    ASSERT_EQ(259u, longPath.size());
    const std::string typed = longPath + "\\more\\than\\fits";
    const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                {[&](HWND dialog) {
                                    SetDlgItemTextA(dialog, kPathEdit, typed.c_str());
                                    Press(dialog, IDOK);
                                }});
    ExpectDriven(r, 1, "long text");
    EXPECT_EQ("cut", Convert("a"));
    EXPECT_EQ(longPath, PathKeptAtExit());
}

// What a step saw of an open-file dialog.
struct BrowseSeen {
    std::string title, fileName, folder;
};

BrowseSeen LookAtOpenFile(HWND box)
{
    BrowseSeen seen;
    seen.title = WindowText(box);
    seen.fileName = ItemText(box, 0x47C);       // cmb13, the file name field
    if (seen.fileName.empty())
        seen.fileName = ItemText(box, 0x480);   // edt1 in older layouts
    char folder[MAX_PATH] = "";
    SendMessageA(box, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    seen.folder = folder;
    return seen;
}

TEST_F(SettingDialog, BrowseStartsFromTheOpeningPathEachTime)
{
    const std::string chosen = WriteScratchFile("chosen.txt", "a,chosen\r\n");
    HWND dialog = nullptr;
    BrowseSeen first, second;
    std::string afterFirst, afterSecond;
    const DriveResult r = Drive(
        [&] { Engine().OnSetting(nullptr); },
        {
            [&](HWND d) {
                dialog = d;
                SetDlgItemTextA(d, kPathEdit, "typed.txt");
                Press(d, kBrowse);
            },
            [&](HWND box) {
                first = LookAtOpenFile(box);
                SendMessageA(box, CDM_SETCONTROLTEXT, 0x47C,
                             reinterpret_cast<LPARAM>(chosen.c_str()));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                WaitForClose(box);
                afterFirst = ItemText(dialog, kPathEdit);
                Press(dialog, kBrowse);
            },
            [&](HWND box) {
                second = LookAtOpenFile(box);
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                WaitForClose(box);
                afterSecond = ItemText(dialog, kPathEdit);
                Press(dialog, IDCANCEL);
            },
        });
    ExpectDriven(r, 3, "browse");
    for (const BrowseSeen* seen : {&first, &second}) {
        const char* which = seen == &first ? "first" : "second";
        EXPECT_EQ(Sjis(L"変換定義ファイルを選択"), seen->title) << which << ": " << Escaped(seen->title);
        EXPECT_EQ("settings.txt", seen->fileName) << which;
        EXPECT_EQ(ScratchDir(), seen->folder) << which;
    }
    EXPECT_EQ(chosen, afterFirst) << "the chosen file did not reach the edit box";
    EXPECT_EQ(chosen, afterSecond) << "cancelling the open-file dialog changed the edit box";
    EXPECT_EQ("b", Convert("a")) << "Cancel loaded the rules";
    EXPECT_EQ(path, PathKeptAtExit()) << "Cancel after browsing changed the path";
}

TEST_F(SettingDialog, BrowseWithAPathTooLongForItsBufferStartsWithoutAName)
{
    // A remembered path of 300 bytes: it fails to load at start-up.
    const std::string tooLong = ScratchDir() + "\\" + std::string(299 - ScratchDir().size(), 'x');
    ASSERT_EQ(300u, tooLong.size());
    Engine().ExitEngine();
    StorePath(tooLong);
    const DriveResult start = Drive([] { Engine().InitEngine(); },
                                    {[](HWND box) { Press(box, IDOK); }});
    ExpectDriven(start, 1, "start-up");

    HWND dialog = nullptr;
    std::string shown;
    BrowseSeen seen;
    const DriveResult r = Drive([&] { Engine().OnSetting(nullptr); },
                                {
                                    [&](HWND d) {
                                        dialog = d;
                                        shown = ItemText(d, kPathEdit);
                                        Press(d, kBrowse);
                                    },
                                    [&](HWND box) {
                                        seen = LookAtOpenFile(box);
                                        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                                        WaitForClose(box);
                                        Press(dialog, IDCANCEL);
                                    },
                                });
    ExpectDriven(r, 2, "browse");
    EXPECT_EQ(tooLong, shown);
    EXPECT_EQ("", seen.fileName) << Escaped(seen.fileName);
    EXPECT_EQ(tooLong, PathKeptAtExit());
}

} // namespace

// ---------------------------------------------------------------------------
// Running out of memory while a dialog is shown

struct FaultRun {
    int dialogs = 0;
    std::vector<Seen> boxes;
    std::vector<bool> dialogOpen;       // per box: an engine dialog existed
};

BOOL CALLBACK FindEngineDialog(HWND window, LPARAM found)
{
    if (GetDlgItem(window, kRules) || GetDlgItem(window, kPathEdit))
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// Answers whatever comes: OK in the engine's dialogs and in every box.
std::vector<WindowStep> AnswerEverything(FaultRun* run)
{
    return std::vector<WindowStep>(6, [run](HWND window) {
        if (GetDlgItem(window, kRules) || GetDlgItem(window, kPathEdit)) {
            ++run->dialogs;
        } else {
            bool open = false;
            EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), FindEngineDialog,
                              reinterpret_cast<LPARAM>(&open));
            run->dialogOpen.push_back(open);
            run->boxes.push_back(LookAtBox(window));
        }
        Press(window, IDOK);
    });
}

// Runs the dialog once without failures; the number of allocations it made.
int CleanRun(const char* name, void(WINAPI* open)(HWND), HWND host)
{
    fault::Reset();
    FaultRun clean;
    const DriveResult r = Drive([&] { open(host); }, AnswerEverything(&clean));
    EXPECT_FALSE(r.timedOut) << name;
    EXPECT_EQ(1, clean.dialogs) << name;
    EXPECT_TRUE(clean.boxes.empty()) << name;
    return fault::Attempts();
}

// Fails each allocation of one run of the dialog in turn. Every failure is
// told in exactly one box: the framework's ownerless one while the dialog
// handles a message, the export's one owned by the host otherwise, or the
// load failure when the definition file's buffer is refused.
void SweepAllocations(const char* name, void(WINAPI* open)(HWND), HWND host,
                      const std::string& loadFailed)
{
    {
        // The first exception of the process makes the unwinder's tables,
        // which stay: it is thrown before the blocks are counted.
        FaultRun first;
        fault::CFailAt fail(1);
        Drive([&] { open(host); }, AnswerEverything(&first), 3000);
    }
    const int attempts = CleanRun(name, open, host);
    ASSERT_GT(attempts, 0) << name;
    const long globalBefore = fault::LiveGlobalBlocks(), heapBefore = fault::LiveHeapBlocks();
    const std::string noMemory = Sjis(L"メモリが不足しています。");
    int silent = 0;
    for (int n = 1; n <= attempts; ++n) {
        FaultRun run;
        DriveResult r;
        {
            fault::CFailAt fail(n);
            r = Drive([&] { open(host); }, AnswerEverything(&run), 3000);
            EXPECT_TRUE(fault::Failed()) << name << " allocation " << n << " was not made";
        }
        EXPECT_FALSE(r.timedOut) << name << " allocation " << n;
        if (run.boxes.empty() && run.dialogs == 0) {
            ++silent;                   // the window map's node for the dialog
            continue;
        }
        ASSERT_EQ(1u, run.boxes.size()) << name << " allocation " << n;
        const Seen& box = run.boxes[0];
        if (box.texts[0] == loadFailed) {
            EXPECT_EQ(host, box.owner) << name << " allocation " << n;
            EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.icon) << name << " allocation " << n;
            continue;
        }
        EXPECT_EQ(noMemory, box.texts[0]) << name << " allocation " << n << ": " << Escaped(box.texts[0]);
        EXPECT_EQ("", box.caption) << name << " allocation " << n;
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.icon) << name << " allocation " << n;
        // Inside the dialog the box has no owner; out of the export, the host.
        EXPECT_EQ(run.dialogOpen[0] ? nullptr : host, box.owner)
            << name << " allocation " << n << (run.dialogOpen[0] ? " in" : " out of") << " the dialog";
    }
    // Only the dialog's entry in the window map may fail unseen: the
    // dialog then ends before it is shown.
    EXPECT_EQ(1, silent) << name << ": failures that showed nothing";
    CleanRun(name, open, host);
    EXPECT_EQ(globalBefore, fault::LiveGlobalBlocks()) << name << ": string buffers leaked";
    EXPECT_EQ(heapBefore, fault::LiveHeapBlocks()) << name << ": heap blocks leaked";
}

TEST_F(AboutDialog, EveryAllocationFailureIsToldOnce)
{
    ASSERT_TRUE(StartEngineWith(WriteScratchFile("sweep.txt", "one,1\r\ntwo,2\r\n")));
    CHostWindow host(200, 100, 400, 300);
    SweepAllocations("About", Engine().OnAbout, host.hwnd, "");
    EXPECT_EQ("12", Convert("onetwo")) << "showing the rules changed them";
}

TEST_F(SettingDialog, EveryAllocationFailureIsToldOnce)
{
    CHostWindow host(200, 100, 400, 300);
    SweepAllocations("Settings", Engine().OnSetting, host.hwnd,
                     Sjis(L"変換定義ファイルの読み込みに失敗しました。"));
    EXPECT_EQ(path, PathKeptAtExit());
}
