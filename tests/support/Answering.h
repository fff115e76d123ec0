// Answering.h - the one kit for the windows a call opens: a host window to
// own them, a record of what each window showed, sorted by kind, and the
// engine's message texts to compare with. Inspect() runs on the watcher
// thread (WindowWatcher.h); the test checks the records afterwards.
#pragma once
#include "Owner.h"
#include "WindowWatcher.h"
#include <string>
#include <vector>

// A visible top-level window standing for the host's main window, with the
// window rectangle (x, y, w, h) the test chose.
class HostWindow {
public:
    HostWindow(int x = 10, int y = 10, int w = 400, int h = 300);

    OwnedWindow window;
    const HWND hwnd;
};

enum class Kind {
    kSettingDialog,  // the engine's Settings dialog
    kAboutDialog,    // the engine's About dialog
    kOpenFileDialog, // the open-file dialog of "参照(B)..."
    kEngineBox,      // CQorApp::ShowMessage: the engine's caption
    kMemoryBox,      // an export's memory failure: empty caption, OK only
    kFrameworkBox,   // the dialog procedure's error box: empty caption, OK and Cancel
    kOther,
};

// What a window showed when it came.
struct SeenWindow {
    Kind kind = Kind::kOther;
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    RECT rect = {}; // screen coordinates
    std::string caption;
    DWORD style = 0;
    std::string font; // a dialog's: face and height
    // A dialog's child windows in their order, which is the tab order, each
    // as "id class kind text" (kind: the style bits listed in Answering.cpp).
    std::vector<std::string> controls;
    std::string text;               // a message box's text
    UINT icon = 0;                  // a message box's icon: MB_ICONERROR, ... or 0
    std::string label;              // the About dialog's version label
    std::vector<std::string> lines; // the About dialog's list
    std::string edit;               // the Settings dialog's path, the open-file dialog's name
    std::string folder;             // the open-file dialog's folder
};

// Reads what a window shows.
SeenWindow Inspect(HWND hwnd);

// A step that records the window into *seen and presses the button.
WindowStep SeeAndPress(SeenWindow* seen, int button);

// Presses a button and waits (at most 5 s) until the window is gone.
void PressAndWait(HWND hwnd, int id);

// Kinds in the order they came, e.g. "SettingDialog MemoryBox"; "(none)".
std::string Kinds(const std::vector<SeenWindow>& seen);

// The lines of a list box, in its order; one line of it.
std::vector<std::string> ListBoxLines(HWND list);
std::string ListBoxLine(HWND list, int index);

// TFEInitEngine with every window it opens recorded and answered with OK.
struct InitRun {
    BOOL result = -1;
    std::vector<SeenWindow> seen;
};
InitRun InitAnswered();

// Checks that the windows seen are the start's ownerless load failure box alone, when `box`,
// or none at all.
void ExpectLoadFailureBox(const std::vector<SeenWindow>& seen, bool box);

// Opens Settings through the export and presses OK, after typing `typed` into the path box
// unless it is null; a box that follows is answered with OK and the dialog, if still open,
// cancelled, but after the framework's error box the user tries OK once more. What each window
// showed, in order; a failure if a call did not return.
std::vector<SeenWindow> SettingsOk(HWND host, const char* typed);

// The engine's texts in code page 932: its string resources by id, and
// the framework's memory message.
std::string EngineCaption();      // 1
std::string OpenFileTitle();      // 2: the open-file dialog's caption
std::string FileFilter();         // 3: the open-file dialog's filter list
std::string RuleSeparator();      // 5: between a rule's texts in the About dialog
std::string LoadFailedMessage();  // 100
std::string FileMissingMessage(); // 101
std::string MemoryMessage();

// The About dialog's line for a rule.
std::string AboutLine(const std::string& source, const std::string& replacement);
