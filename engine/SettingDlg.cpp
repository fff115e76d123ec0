// SettingDlg.cpp - the Settings dialog.
#include "SettingDlg.h"

#include "../qor/QorApp.h"
#include "../res/resource.h"
#include <commdlg.h>
#include <io.h>

CSettingDlg::CSettingDlg() : CQorDialog(IDD_SETTING), path(kQorWorkingCapacity)
{
    path.Empty();
}

BOOL CSettingDlg::OnInitDialog()
{
    SetDlgItemTextA(hwnd, IDC_DEFFILE, path.data);
    // The box takes no more typed or pasted text than OnOK reads: 259 bytes
    // in this ANSI box on Windows (Wine's box counts characters instead).
    SendDlgItemMessageA(hwnd, IDC_DEFFILE, EM_LIMITTEXT, MAX_PATH - 1, 0);
    return CQorDialog::OnInitDialog();
}

BOOL CSettingDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != IDC_BROWSE)
        return CQorDialog::OnCommand(wParam, lParam);
    OnBrowse();
    return TRUE;
}

void CSettingDlg::OnOK()
{
    char text[MAX_PATH];
    GetDlgItemTextA(hwnd, IDC_DEFFILE, text, sizeof text);
    if (_access(text, 0) == -1) {
        CQorApp::ShowMessage(hwnd, IDS_FILE_MISSING, MB_ICONWARNING);
        return;
    }
    path.Assign(text);
    CQorDialog::OnOK();
}

void CSettingDlg::OnBrowse()
{
    CQorString title(kQorWorkingCapacity);
    title.LoadString(IDS_BROWSE_TITLE);
    char filter[128];
    LoadFilterString(IDS_FILE_FILTER, filter, sizeof filter);
    // The open-file dialog starts from the path this dialog opened with. A
    // path too long for its buffer would be cut into another file's name,
    // so the dialog then starts without one.
    char file[MAX_PATH] = "";
    if (path.length < MAX_PATH)
        lstrcpyA(file, path.data);

    OPENFILENAMEA ofn;
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = title.data;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn))
        SetDlgItemTextA(hwnd, IDC_DEFFILE, file);
    else
        CommDlgExtendedError();
}
