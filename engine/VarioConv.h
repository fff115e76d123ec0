// VarioConv.h - the engine as a module: the engine (its definition file,
// remembered in the registry, and its rule table), the application object
// that holds it, and the About and Settings dialogs. The exports are in
// VarioExports.h.
#pragma once
#include "RuleTable.h"
#include "../qor/QorApp.h"
#include "../qor/QorWnd.h"

// The engine's whole state: the definition file and the rules read from it.
class CConvEngine {
public:
    // No file, no rules; the stored path is kept until Init reads it.
    CConvEngine();
    virtual ~CConvEngine();
    CConvEngine(const CConvEngine&) = delete;
    CConvEngine& operator=(const CConvEngine&) = delete;

    // The rules of the file at path in place of the table's: TRUE, or FALSE
    // with no rules. Throws on no memory, with no rules.
    BOOL LoadDefinitionFile(const char* path);
    // Empties the rule table; makes no allocation.
    void ClearRules();
    // The caption through the rules into buffer, cut to size - 1 bytes
    // (size > 0); TRUE. Throws on no memory, buffer untouched.
    BOOL Convert(const char* caption, char* buffer, int size) const;

    // Empties the table and loads the file the registry names: FALSE, after
    // a message box, when that file does not load. Throws on no memory.
    BOOL Init();
    // Stores the path in the registry, unless the stored value must be kept,
    // and empties the table; nothing when the key cannot be made.
    void Exit();

    // The About dialog, owned by parent. Throws on no memory.
    void OnAbout(HWND parent);
    // The Settings dialog, owned by parent; OK takes the path and loads its
    // file at once. Throws on no memory.
    void OnSetting(HWND parent);

    CQorString definitionFile;
    CRuleTable rules;
    // Set until Init has read the stored value, and while it could not be
    // read, for want of memory or because it is not a string: Exit then
    // leaves the value alone instead of overwriting it with a path the
    // engine never had, until the user chooses a file in Settings.
    BOOL keepStoredPath;
};

// The engine's application object: the module's one CQorApp.
class CEngineApp : public CQorApp {
public:
    CConvEngine engine; // the whole state of the engine
};

// The engine of the application object; the module must be attached.
CConvEngine& TheEngine();

// The About dialog: the version and the rules in force.
class CAboutDlg : public CQorDialog {
public:
    // Template 101, an empty listing. Throws on no memory.
    CAboutDlg();
    // WM_INITDIALOG to OnInitDialog, the rest to CQorDialog::DialogProc.
    INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Shows "Version 1.00" and each line of rulesText ended by "\n" in the
    // list: FALSE. Throws on no memory, the dialog showing what it had.
    INT_PTR OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    CQorString rulesText; // one line per rule, each ended by "\n"
};

// The Settings dialog: the definition file's path.
class CSettingDlg : public CQorDialog {
public:
    // Template 102, an empty path. Throws on no memory.
    CSettingDlg();
    // WM_INITDIALOG and WM_COMMAND to the handlers below, the rest to
    // CQorDialog::DialogProc.
    INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Puts path into the path box, limits what can be typed or pasted there
    // to what OnOK reads (259), and centres the dialog: FALSE.
    INT_PTR OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // OK and "参照(B)..." to their handlers, other commands to the base.
    INT_PTR OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes the box's text (259 bytes at most) into path and ends the
    // dialog with IDOK when it names something that exists; else warns and
    // stays, path unchanged: FALSE. Throws on no memory, path unchanged.
    INT_PTR OnOK(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The open-file dialog on path; a chosen file goes into the box: FALSE.
    INT_PTR OnBrowse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    CQorString path; // as the dialog opened; the chosen one after IDOK
};
