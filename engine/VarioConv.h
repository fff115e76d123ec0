// VarioConv.h - the engine as a module: its application object, and the
// About and Settings dialogs.
#pragma once
#include "ConvEngine.h"
#include "../qor/QorApp.h"
#include "../qor/QorWnd.h"

class CEngineApp : public CQorApp {
public:
    CConvEngine engine;
};

CConvEngine& QorGetEngine();

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
