// SettingDlg.h - the Settings dialog: the definition file's path.
#pragma once
#include "../qor/QorString.h"
#include "../qor/QorWnd.h"

// The Settings dialog: the definition file's path.
class CSettingDlg : public CQorDialog {
public:
    // Template 102, an empty path. Throws on no memory.
    CSettingDlg();

    CQorString path; // as the dialog opened; the chosen one after IDOK

protected:
    // Puts path into the path box, limits what can be typed or pasted there
    // to what OnOK reads (259), and centres the dialog: FALSE.
    BOOL OnInitDialog() override;
    // "参照(B)..." to OnBrowse (TRUE), other commands to the base.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Takes the box's text (259 bytes at most) into path and ends the
    // dialog with IDOK when it names something that exists; else warns and
    // stays, path unchanged. Throws on no memory, path unchanged.
    void OnOK() override;

private:
    // The open-file dialog on path; a chosen file goes into the box.
    void OnBrowse();
};
