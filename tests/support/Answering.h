// Answering.h - what the reliability tests share: a host window to own the
// engine's dialogs, and a record of every window a call opened, sorted by
// kind and answered as a user would answer it.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A visible top-level window standing for the host's main window.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND hwnd;
};

enum class Kind {
    kSettingDialog,     // the engine's Settings dialog
    kAboutDialog,       // the engine's About dialog
    kEngineBox,         // CQorApp::ShowMessage: the engine's caption
    kMemoryBox,         // an export's memory failure: empty caption, OK only
    kFrameworkBox,      // the dialog procedure's error box: empty caption, OK and Cancel
    kOther,
};

const char* KindName(Kind kind);

struct SeenWindow {
    Kind kind = Kind::kOther;
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;                   // a message box's text
    UINT icon = 0;                      // a message box's icon
    HWND owner = nullptr;
    std::string label;                  // the About dialog's version label
    std::vector<std::string> lines;     // the About dialog's list
    std::string edit;                   // the Settings dialog's path, as it opened
};

// Reads what a window shows; to be called on the watcher thread.
SeenWindow Inspect(HWND hwnd);

// Presses a button and waits (at most 5 s) until the window is gone.
void PressAndWait(HWND hwnd, int id);

// Kinds in the order they came, e.g. "SettingDialog MemoryBox".
std::string Kinds(const std::vector<SeenWindow>& seen);

// The engine's message texts in code page 932.
std::string MemoryMessage();
std::string LoadFailedMessage();
std::string FileMissingMessage();
std::string EngineCaption();
