// AboutDlg.h - the About dialog: the version and the rules in force.
#pragma once
#include "../qor/QorString.h"
#include "../qor/QorWnd.h"

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
