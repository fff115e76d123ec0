// AboutDlg.cpp - the About dialog.
#include "AboutDlg.h"

#include "../qor/QorApp.h"
#include "../res/resource.h"
#include <string.h>

CAboutDlg::CAboutDlg() : CQorDialog(IDD_ABOUT), rulesText(kQorWorkingCapacity) {}

BOOL CAboutDlg::OnInitDialog()
{
    CQorString prefix(kQorWorkingCapacity);
    prefix.LoadString(IDS_VERSION_PREFIX);
    const CQorString label = Concat(prefix, CQorApp::GetVersionString());
    SetDlgItemTextA(hwnd, IDC_VERSION, label.data);

    HWND list = GetDlgItem(hwnd, IDC_RULES);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // Each rule is one line, whatever bytes its texts end in: the listing
    // splits at every 0x0A byte, which is never the second byte of a
    // character, so a text that ends in a lone lead byte keeps its line.
    const char* text = rulesText.data;
    for (const char* end; (end = static_cast<const char*>(
                               memchr(text, '\n', rulesText.data + rulesText.length - text)));
         text = end + 1) {
        const CQorString line = rulesText.Mid(static_cast<int>(text - rulesText.data),
                                              static_cast<int>(end - text));
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.data));
    }
    return CQorDialog::OnInitDialog();
}
