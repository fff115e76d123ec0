// SettingDlg.h - the Settings dialog: the definition file's path.
#pragma once
#include "../qor/QorString.h"
#include "../qor/QorWnd.h"

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
