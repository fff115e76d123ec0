// ScreenshotMain.cpp - opens the About and Settings dialogs of Vario.tfe
// with Japanese rules loaded and holds each still, its caret hidden, while
// the screen is taken (tools/screenshots.sh). For each dialog it writes
// NAME.rect ("x y w h", screen pixels) into the directory given as its
// argument and waits for NAME.done there before it closes the dialog.
#include "Owner.h"
#include "TestSupport.h"
#include "WindowWatcher.h"
#include <stdio.h>

namespace {

std::string g_dir;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs on the thread of the window the message goes to.
LRESULT CALLBACK HideCaretHook(int code, WPARAM wParam, LPARAM lParam)
{
    HideCaret(nullptr);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Hides the caret of the window's thread, so that its blinking cannot
// change a picture: only that thread can hide it.
void HideCaretOf(HWND window)
{
    const OwnedHook hook(SetWindowsHookExA(WH_CALLWNDPROC, HideCaretHook, nullptr,
                                           GetWindowThreadProcessId(window, nullptr)));
    SendMessageA(window, WM_NULL, 0, 0);
}

// Hands the window's rectangle to the script and waits until it has taken it.
WindowStep Capture(const char* name, bool* taken)
{
    return [=](HWND window) {
        HideCaretOf(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
        RECT r = {};
        GetWindowRect(window, &r);
        const std::string base = g_dir + "\\" + name;
        FILE* file = fopen((base + ".rect").c_str(), "w");
        if (file) {
            fprintf(file, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            fclose(file);
        }
        for (int waited = 0; file && waited < 10000 && !*taken; waited += 100) {
            Sleep(100);
            *taken = Exists(base + ".done");
        }
        Press(window, IDCANCEL);
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: dialog_shots DIR\n");
        return 2;
    }
    g_dir = argv[1];
    const std::string rules = Sjis(L"// 長いタイトルを短くする\r\n"
                                   L"[ブラウザ]\r\n"
                                   L" - Mozilla Firefox,\r\n"
                                   L"メモ帳,Notepad\r\n"
                                   L"無題,(新規)\r\n"
                                   L"[エディタ]\r\n"
                                   L"Microsoft Word,ワード\r\n"
                                   L"東京,とうきょう\r\n");
    // The file sits in a fixed folder, so that the path the Settings picture
    // shows is the same in every run.
    const std::string folder = "C:\\Vario";
    const std::string file = folder + "\\" + Sjis(L"変換定義.txt");
    CreateDirectoryA(folder.c_str(), nullptr /* default security */);
    CopyFileA(WriteScratchFile(Sjis(L"変換定義.txt"), rules).c_str(), file.c_str(),
              FALSE /* replace an earlier run's */);
    DeleteSettingsKey();
    if (!StartEngineWith(file)) {
        fprintf(stderr, "the rules did not load\n");
        return 1;
    }
    bool about = false, settings = false;
    Drive([] { Engine().OnAbout(nullptr); }, {Capture("about", &about)}, 15000);
    Drive([] { Engine().OnSetting(nullptr); }, {Capture("settings", &settings)}, 15000);
    Engine().ExitEngine();
    DeleteSettingsKey();
    if (!about || !settings) {
        fprintf(stderr, "a screenshot was not taken\n");
        return 1;
    }
    return 0;
}
