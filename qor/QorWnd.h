// QorWnd.h - window objects, modal dialogs and the filter list of the
// open-file dialog.
//
// A CQorDialog is bound to its window from WM_INITDIALOG to WM_NCDESTROY
// through g_wndMap, and QorDialogProc, shared by every dialog, passes each
// message to the object's DialogProc. The base DialogProc calls the hooks
// that a dialog overrides (OnInitDialog, OnCommand, OnOK, OnCancel) and
// reflects WM_NOTIFY to the object registered for the sending control. A
// framework exception thrown while a message is handled ends in an error
// box, never in the dialog manager.
//
// Example:
//   class CNameDlg : public CQorDialog {
//       BOOL OnInitDialog() override { /* fill the controls */ return CQorDialog::OnInitDialog(); }
//       void OnOK() override { /* read the controls */ CQorDialog::OnOK(); }
//   };
#pragma once
#include <windows.h>

class CQorWnd {
public:
    // Bound to no window.
    CQorWnd();
    // Destroys the bound window, if any.
    virtual ~CQorWnd();
    CQorWnd(const CQorWnd&) = delete;
    CQorWnd& operator=(const CQorWnd&) = delete;

    // Called on the object registered for a child control when its parent
    // gets WM_NOTIFY from it. Nonzero: handled, and *result holds the answer.
    virtual BOOL OnChildNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* result);
    // The window's procedure: WM_NOTIFY reflected as above, everything else
    // to the procedure the window had before, or DefWindowProcA.
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd;           // the bound window, or null
    WNDPROC prevWndProc; // a subclassed window's old procedure, or null
};

class CQorDialog : public CQorWnd {
public:
    // A dialog on template templateId (its low 16 bits) of the application's module.
    explicit CQorDialog(UINT templateId);

    // Shows the dialog owned by parent (may be null) until it ends: the
    // EndDialog value; IDCANCEL when the window map has no room for it.
    INT_PTR DoModal(HWND parent);

    HINSTANCE instance; // the module that holds the template
    UINT templateId;

protected:
    // WM_INITDIALOG to OnInitDialog, WM_COMMAND to OnCommand, each answered
    // with the hook's result; reflects WM_NOTIFY (TRUE when handled); FALSE else.
    virtual INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // At WM_INITDIALOG, hwnd bound: centres the dialog on its owner (on the
    // work area without one). FALSE: the platform sets no keyboard focus.
    virtual BOOL OnInitDialog();
    // At WM_COMMAND: IDOK to OnOK, IDCANCEL to OnCancel, TRUE; FALSE for any
    // other command.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();

private:
    // The procedure of every dialog, which passes each message to DialogProc.
    friend INT_PTR CALLBACK QorDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// Where a dialog of size (w, h) goes to stand centred on reference: each
// half truncated toward zero on its own.
POINT QorCentredOrigin(const RECT& reference, int w, int h);

// Fills buffer with string resource stringId cut to size - 1 bytes, every
// '|' turned into a zero byte: the filter list of the open-file dialog. A
// null buffer or a size below 1 is not written. Throws on no memory.
void LoadFilterString(UINT stringId, char* buffer, int size);

struct CQorWndMapNode {
    HWND handle;
    CQorWnd* object;
    CQorWndMapNode* next;
};

class CQorWndMap {
public:
    // Empty.
    CQorWndMap();
    // Frees every node, once; a second run does nothing.
    virtual ~CQorWndMap();
    CQorWndMap(const CQorWndMap&) = delete;
    CQorWndMap& operator=(const CQorWndMap&) = delete;

    // Adds an entry before any other of its bucket: FALSE, unchanged, when
    // no node can be allocated. Throws nothing.
    BOOL Add(HWND handle, CQorWnd* object);
    // Removes the latest entry of handle: its object, or null when none.
    CQorWnd* Remove(HWND handle);
    // The object of handle's latest entry, or null.
    CQorWnd* Lookup(HWND handle) const;

    CQorWndMapNode* buckets[256]; // chains by bits 1 to 8 of the handle
};

// The map of every dialog bound to its object.
extern CQorWndMap g_wndMap;

// The one procedure of every CQorDialog: binds the object at WM_INITDIALOG,
// unbinds it at WM_NCDESTROY and passes each message to its DialogProc. A
// framework exception ends in an ownerless error box (Cancel posts a quit
// message) and the answer 0; a window with no object is answered 0.
INT_PTR CALLBACK QorDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
