// QorWnd.h - window objects and modal dialogs.
//
// A CQorDialog is bound to its window from WM_INITDIALOG to WM_NCDESTROY
// through g_wndMap, and QorDialogProc, shared by every dialog, passes each
// message to the object's DialogProc. The base DialogProc centres the
// dialog, ends it on OK and Cancel and reflects WM_NOTIFY to the object
// registered for the sending control. A framework exception thrown while a
// message is handled ends in an error box, never in the dialog manager.
#pragma once
#include <windows.h>

class CQorWnd {
public:
    CQorWnd();
    virtual ~CQorWnd();
    CQorWnd(const CQorWnd&) = delete;
    CQorWnd& operator=(const CQorWnd&) = delete;

    // Called on the object registered for a child control when its parent
    // gets WM_NOTIFY from it. Nonzero: handled, and *result holds the answer.
    virtual BOOL OnChildNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* result);
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd;
    WNDPROC prevWndProc;
};

class CQorDialog : public CQorWnd {
public:
    explicit CQorDialog(UINT templateId);

    INT_PTR DoModal(HWND parent);
    virtual INT_PTR DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance;
    UINT templateId;
};

// Where a dialog of size (w, h) goes to stand centred on reference.
POINT QorCentredOrigin(const RECT& reference, int w, int h);

struct CQorWndMapNode {
    HWND handle;
    CQorWnd* object;
    CQorWndMapNode* next;
};

class CQorWndMap {
public:
    CQorWndMap();
    virtual ~CQorWndMap();
    CQorWndMap(const CQorWndMap&) = delete;
    CQorWndMap& operator=(const CQorWndMap&) = delete;

    BOOL Add(HWND handle, CQorWnd* object);
    CQorWnd* Remove(HWND handle);
    CQorWnd* Lookup(HWND handle) const;

    CQorWndMapNode* buckets[256];
};

extern CQorWndMap g_wndMap;

INT_PTR CALLBACK QorDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
