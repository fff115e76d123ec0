// Answering.cpp - host window and window records for the reliability tests.
#include "Answering.h"
#include "TestSupport.h"
#include "WindowWatcher.h"
#include "../../res/resource.h"

namespace {

const int kMessageBoxTextId = 0xFFFF;

bool ShowsItem(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowVisible(item);
}

std::vector<std::string> ListLines(HWND list)
{
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int n = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string line(n + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        line.resize(n);
        lines.push_back(line);
    }
    return lines;
}

} // namespace

HostWindow::HostWindow()
    : hwnd(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                           400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr))
{
}

HostWindow::~HostWindow()
{
    if (hwnd)
        DestroyWindow(hwnd);
}

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::kSettingDialog: return "SettingDialog";
    case Kind::kAboutDialog: return "AboutDialog";
    case Kind::kEngineBox: return "EngineBox";
    case Kind::kMemoryBox: return "MemoryBox";
    case Kind::kFrameworkBox: return "FrameworkBox";
    default: return "Other";
    }
}

SeenWindow Inspect(HWND hwnd)
{
    SeenWindow seen;
    seen.hwnd = hwnd;
    seen.caption = WindowText(hwnd);
    seen.owner = GetWindow(hwnd, GW_OWNER);
    if (GetDlgItem(hwnd, IDC_DEFFILE) && GetDlgItem(hwnd, IDC_BROWSE)) {
        seen.kind = Kind::kSettingDialog;
        seen.edit = ItemText(hwnd, IDC_DEFFILE);
    } else if (GetDlgItem(hwnd, IDC_RULES)) {
        seen.kind = Kind::kAboutDialog;
        seen.label = ItemText(hwnd, IDC_VERSION);
        seen.lines = ListLines(GetDlgItem(hwnd, IDC_RULES));
    } else if (GetDlgItem(hwnd, kMessageBoxTextId)) {
        seen.text = MessageBoxText(hwnd);
        seen.icon = MessageBoxIcon(hwnd);
        if (seen.caption == EngineCaption())
            seen.kind = Kind::kEngineBox;
        else if (seen.caption.empty())
            seen.kind = ShowsItem(hwnd, IDCANCEL) ? Kind::kFrameworkBox : Kind::kMemoryBox;
    }
    return seen;
}

void PressAndWait(HWND hwnd, int id)
{
    Press(hwnd, id);
    for (int waited = 0; IsWindow(hwnd) && waited < 5000; waited += 10)
        Sleep(10);
}

std::string Kinds(const std::vector<SeenWindow>& seen)
{
    std::string kinds;
    for (const SeenWindow& s : seen)
        kinds += std::string(kinds.empty() ? "" : " ") + KindName(s.kind);
    return kinds.empty() ? "(none)" : kinds;
}

std::string MemoryMessage() { return Sjis(L"メモリが不足しています。"); }
std::string LoadFailedMessage() { return Sjis(L"変換定義ファイルの読み込みに失敗しました。"); }
std::string FileMissingMessage() { return Sjis(L"指定されたファイルは存在しません。"); }
std::string EngineCaption() { return Sjis(L"Varioエンジン"); }
