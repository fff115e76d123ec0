// AboutDlg.h - the About dialog: the version and the rules in force.
#pragma once
#include "../qor/QorString.h"
#include "../qor/QorWnd.h"

// The About dialog: the version and the rules in force.
class CAboutDlg : public CQorDialog {
public:
    // Template 101, an empty listing. Throws on no memory.
    CAboutDlg();

    CQorString rulesText; // one line per rule, each ended by "\n"

protected:
    // Shows "Version 1.00" and each line of rulesText ended by "\n" in the
    // list, and centres the dialog: FALSE. Throws on no memory, the dialog
    // showing what it had.
    BOOL OnInitDialog() override;
};
