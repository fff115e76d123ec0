// VarioConv.h - the Vario conversion engine.
//
// CConvEngine holds the definition file path and the rule table read from
// that file, converts captions with the rules in file order, remembers the
// path in the registry and shows the About and Settings dialogs.
#pragma once
#include "../qor/QorApp.h"
#include "../qor/QorColl.h"
#include "../qor/QorWnd.h"

class CConvRule {
public:
    CConvRule();

    CQorString source;
    CQorString replacement;
};

class CConvEngine {
public:
    CConvEngine();
    virtual ~CConvEngine();
    CConvEngine(const CConvEngine&) = delete;
    CConvEngine& operator=(const CConvEngine&) = delete;

    BOOL LoadDefinitionFile(const char* path);
    BOOL ParseLine(CQorString& line);
    void ClearRules();

    BOOL Convert(const char* caption, CQorString& out);
    CQorString ReplaceAll(const CQorString& text, const char* source, const char* replacement);

    BOOL Init();
    void Exit();

    void OnAbout(HWND parent);
    void OnSetting(HWND parent);

    CQorString definitionFile;
    CQorPtrArray rules;                 // CConvRule*, in file order; owned here
    // Set while the stored value could not be read, for want of memory or
    // because it is not a string: Exit then leaves it alone instead of
    // overwriting it, until the user chooses a file in Settings.
    BOOL keepStoredPath;
};

class CEngineApp : public CQorApp {
public:
    CConvEngine engine;
};

CConvEngine& QorGetEngine();

// A definition file read whole into memory and cut into lines in place.
class CDefinitionText {
public:
    CDefinitionText();
    ~CDefinitionText();
    CDefinitionText(const CDefinitionText&) = delete;
    CDefinitionText& operator=(const CDefinitionText&) = delete;

    // One open, one size query, one read. FALSE when the file cannot be
    // opened, is too large to hold, or cannot be read whole.
    BOOL Read(const char* path);
    // The next line with its LF (and a CR before it) cut off, or null after
    // the last line. The text ends at the first NUL byte.
    char* NextLine();

private:
    HANDLE file;
    char* buffer;
    char* next;
    char* end;
};

enum DefLineKind { kSectionLine, kCommentLine, kRuleLine, kOtherLine };

// How a line of a definition file is taken; for a rule line, *comma is the
// offset of the comma that splits it.
DefLineKind ClassifyDefinitionLine(const CQorString& line, int* comma);

class CAboutDlg : public CQorDialog {
public:
    CAboutDlg();
    INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    CQorString rulesText;               // one line per rule, each ended by "\n"
};

class CSettingDlg : public CQorDialog {
public:
    CSettingDlg();
    INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnOK(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnBrowse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    CQorString path;
};
