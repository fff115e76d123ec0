// Answering.cpp - the host window and the records of what windows showed.
#include "Answering.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <commdlg.h>
#include <gtest/gtest.h>

namespace {

const int kMessageBoxTextId = 0xFFFF;
const int kOpenFileName = 0x47C;    // cmb13, the open-file dialog's name field
const int kOpenFileNameOld = 0x480; // edt1 in older layouts

bool ShowsItem(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowVisible(item);
}

// A control's kind: the style bits of its class, whether it is shown and
// enabled, its tab stop and group, and the scroll bars it shows. Its frame
// the platform adjusts.
const LONG kKindStyles = 0xFFFF | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP | WS_VSCROLL
    | WS_HSCROLL;

std::vector<std::string> Controls(HWND dialog)
{
    std::vector<std::string> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char control[64];
        snprintf(control, sizeof control, "%d %s %08lX ", static_cast<short>(GetDlgCtrlID(child)),
                 ClassName(child).c_str(), GetWindowLongA(child, GWL_STYLE) & kKindStyles);
        controls.push_back(control + WindowText(child));
    }
    return controls;
}

std::string Font(HWND dialog)
{
    LOGFONTA font = {};
    const HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!handle || !GetObjectA(handle, sizeof font, &font))
        return "";
    return std::string(font.lfFaceName) + " " + std::to_string(font.lfHeight);
}

const char* KindName(Kind kind)
{
    static const char* const names[] = {"SettingDialog", "AboutDialog", "OpenFileDialog",
                                        "EngineBox",     "MemoryBox",   "FrameworkBox",
                                        "Other"};
    return names[static_cast<int>(kind)];
}

} // namespace

HostWindow::HostWindow(int x, int y, int w, int h)
    : window(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)),
      hwnd(window.get())
{
}

SeenWindow Inspect(HWND hwnd)
{
    SeenWindow seen;
    seen.hwnd = hwnd;
    seen.owner = GetWindow(hwnd, GW_OWNER);
    GetWindowRect(hwnd, &seen.rect);
    seen.caption = WindowText(hwnd);
    seen.style = GetWindowLongA(hwnd, GWL_STYLE);
    seen.font = Font(hwnd);
    seen.controls = Controls(hwnd);
    if (GetDlgItem(hwnd, IDC_DEFFILE) && GetDlgItem(hwnd, IDC_BROWSE)) {
        seen.kind = Kind::kSettingDialog;
        seen.edit = ItemText(hwnd, IDC_DEFFILE);
    } else if (GetDlgItem(hwnd, IDC_RULES)) {
        seen.kind = Kind::kAboutDialog;
        seen.label = ItemText(hwnd, IDC_VERSION);
        seen.lines = ListBoxLines(GetDlgItem(hwnd, IDC_RULES));
    } else if (GetDlgItem(hwnd, kOpenFileName) || GetDlgItem(hwnd, kOpenFileNameOld)) {
        seen.kind = Kind::kOpenFileDialog;
        seen.edit = ItemText(hwnd, kOpenFileName);
        if (seen.edit.empty())
            seen.edit = ItemText(hwnd, kOpenFileNameOld);
        char folder[MAX_PATH] = "";
        SendMessageA(hwnd, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
        seen.folder = folder;
    } else if (GetDlgItem(hwnd, kMessageBoxTextId)) {
        seen.text = MessageBoxText(hwnd);
        seen.icon = MessageBoxIcon(hwnd);
        if (seen.caption == EngineCaption())
            seen.kind = Kind::kEngineBox;
        else if (seen.caption.empty() && ShowsItem(hwnd, IDOK))
            seen.kind = ShowsItem(hwnd, IDCANCEL) ? Kind::kFrameworkBox : Kind::kMemoryBox;
    }
    return seen;
}

WindowStep SeeAndPress(SeenWindow* seen, int button)
{
    return [seen, button](HWND hwnd) {
        *seen = Inspect(hwnd);
        Press(hwnd, button);
    };
}

void PressAndWait(HWND hwnd, int id)
{
    Press(hwnd, id);
    WaitForClose(hwnd, 5000);
}

std::string Kinds(const std::vector<SeenWindow>& seen)
{
    std::string kinds;
    for (const SeenWindow& s : seen)
        kinds += std::string(kinds.empty() ? "" : " ") + KindName(s.kind);
    return kinds.empty() ? "(none)" : kinds;
}

std::string ListBoxLine(HWND list, int index)
{
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length < 0)
        return "<LB_ERR>";
    std::string line(length + 1, '\0');
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&line[0]));
    return line.c_str();
}

std::vector<std::string> ListBoxLines(HWND list)
{
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        lines.push_back(ListBoxLine(list, i));
    return lines;
}

std::string EngineCaption()
{
    return Sjis(L"Varioエンジン");
}
std::string OpenFileTitle()
{
    return Sjis(L"変換定義ファイルを選択");
}
std::string FileFilter()
{
    return Sjis(L"すべてのファイル(*.*)|*.*|");
}
std::string RuleSeparator()
{
    return Sjis(L" → ");
}
std::string LoadFailedMessage()
{
    return Sjis(L"変換定義ファイルの読み込みに失敗しました。");
}
std::string FileMissingMessage()
{
    return Sjis(L"指定されたファイルは存在しません。");
}
std::string MemoryMessage()
{
    return Sjis(L"メモリが不足しています。");
}

std::string AboutLine(const std::string& source, const std::string& replacement)
{
    return source + RuleSeparator() + replacement;
}

std::vector<SeenWindow> SettingsOk(HWND host, const char* typed)
{
    std::vector<SeenWindow> seen;
    HWND settings = nullptr;
    const DriveResult r = DriveAll([&] { Engine().OnSetting(host); },
                                   [&](HWND h) {
                                       seen.push_back(Inspect(h));
                                       if (seen.back().kind == Kind::kSettingDialog) {
                                           settings = h;
                                           if (typed)
                                               SetDlgItemTextA(h, IDC_DEFFILE, typed);
                                           Press(h, IDOK);
                                       } else {
                                           const bool again = seen.back().kind
                                               == Kind::kFrameworkBox;
                                           PressAndWait(h, IDOK);
                                           if (settings && IsWindow(settings))
                                               Press(settings, again ? IDOK : IDCANCEL);
                                       }
                                   });
    EXPECT_FALSE(r.timedOut);
    return seen;
}

InitRun InitAnswered()
{
    InitRun run;
    const DriveResult r = DriveAll([&] { run.result = Engine().InitEngine(); },
                                   [&](HWND h) {
                                       run.seen.push_back(Inspect(h));
                                       Press(h, IDOK);
                                   });
    EXPECT_FALSE(r.timedOut);
    return run;
}

void ExpectLoadFailureBox(const std::vector<SeenWindow>& seen, bool box)
{
    ASSERT_EQ(box ? "EngineBox" : "(none)", Kinds(seen));
    if (box) {
        EXPECT_EQ(LoadFailedMessage(), seen[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), seen[0].icon);
        EXPECT_EQ(nullptr, seen[0].owner);
    }
}
