// QorWnd.cpp - window objects, modal dialogs and the filter list of the
// open-file dialog.
#include "QorWnd.h"
#include "QorApp.h"
#include "QorException.h"
#include "QorString.h"
#include <new>

CQorWndMap g_wndMap __attribute__((init_priority(103)));

namespace {

unsigned BucketOf(HWND handle)
{
    return (static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle)) >> 1) & 0xFF;
}

// The object registered for the control that sent a WM_NOTIFY, if it
// handles the notification.
BOOL ReflectNotify(HWND hwnd, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    CQorWnd* child = g_wndMap.Lookup(header->hwndFrom);
    return child && child->OnChildNotify(hwnd, WM_NOTIFY, wParam, lParam, result);
}

} // namespace

CQorWnd::CQorWnd() : hwnd(nullptr), prevWndProc(nullptr) {}

CQorWnd::~CQorWnd()
{
    if (hwnd)
        DestroyWindow(hwnd);
}

BOOL CQorWnd::OnChildNotify(HWND, UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

LRESULT CQorWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (message == WM_NOTIFY && ReflectNotify(hwnd, wParam, lParam, &result))
        return result;
    if (prevWndProc)
        return CallWindowProcA(prevWndProc, hwnd, message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

CQorDialog::CQorDialog(UINT templateId)
    : instance(QorGetApp()->instance), templateId(LOWORD(templateId))
{
}

INT_PTR CQorDialog::DoModal(HWND parent)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), parent, QorDialogProc,
                           reinterpret_cast<LPARAM>(this));
}

POINT QorCentredOrigin(const RECT& reference, int w, int h)
{
    // Each half is truncated on its own, not their difference.
    POINT origin;
    origin.x = reference.left + (reference.right - reference.left) / 2 - w / 2;
    origin.y = reference.top + (reference.bottom - reference.top) / 2 - h / 2;
    return origin;
}

void LoadFilterString(UINT stringId, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    CQorString text(kQorWorkingCapacity);
    text.LoadString(stringId);
    lstrcpynA(buffer, text.data, size);
    for (char* p = buffer; *p; ++p)
        if (*p == '|')
            *p = '\0';
}

INT_PTR CQorDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!ReflectNotify(hwnd, wParam, lParam, &result))
            return FALSE;
        SetWindowLongA(hwnd, DWL_MSGRESULT, static_cast<LONG>(result));
        return TRUE;
    }
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    default:
        return FALSE;
    }
}

BOOL CQorDialog::OnInitDialog()
{
    RECT reference = {};
    HWND parent = GetParent(hwnd);
    if (parent)
        GetWindowRect(parent, &reference);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &reference, 0);
    RECT own = {};
    GetWindowRect(hwnd, &own);
    const int w = own.right - own.left;
    const int h = own.bottom - own.top;
    const POINT origin = QorCentredOrigin(reference, w, h);
    MoveWindow(hwnd, origin.x, origin.y, w, h, FALSE);
    return FALSE; // no initial keyboard focus from the platform
}

BOOL CQorDialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

void CQorDialog::OnOK()
{
    EndDialog(hwnd, IDOK);
}

void CQorDialog::OnCancel()
{
    EndDialog(hwnd, IDCANCEL);
}

CQorWndMap::CQorWndMap() : buckets() {}

CQorWndMap::~CQorWndMap()
{
    for (CQorWndMapNode*& head : buckets) {
        while (head) {
            CQorWndMapNode* next = head->next;
            delete head;
            head = next;
        }
    }
}

BOOL CQorWndMap::Add(HWND handle, CQorWnd* object)
{
    CQorWndMapNode*& head = buckets[BucketOf(handle)];
    CQorWndMapNode* node = new (std::nothrow) CQorWndMapNode{handle, object, head};
    if (!node)
        return FALSE;
    head = node;
    return TRUE;
}

CQorWnd* CQorWndMap::Remove(HWND handle)
{
    for (CQorWndMapNode** link = &buckets[BucketOf(handle)]; *link; link = &(*link)->next) {
        CQorWndMapNode* node = *link;
        if (node->handle == handle) {
            *link = node->next;
            CQorWnd* object = node->object;
            delete node;
            return object;
        }
    }
    return nullptr;
}

CQorWnd* CQorWndMap::Lookup(HWND handle) const
{
    for (const CQorWndMapNode* node = buckets[BucketOf(handle)]; node; node = node->next)
        if (node->handle == handle)
            return node->object;
    return nullptr;
}

INT_PTR CALLBACK QorDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CQorDialog* dialog = nullptr;
    switch (message) {
    case WM_NCDESTROY:
        dialog = static_cast<CQorDialog*>(g_wndMap.Remove(hwnd));
        break;
    case WM_INITDIALOG:
        dialog = reinterpret_cast<CQorDialog*>(lParam);
        if (!dialog)
            return FALSE;
        if (!g_wndMap.Add(hwnd, dialog)) {
            EndDialog(hwnd, IDCANCEL);
            return FALSE;
        }
        dialog->hwnd = hwnd;
        break;
    default:
        dialog = static_cast<CQorDialog*>(g_wndMap.Lookup(hwnd));
        break;
    }
    if (!dialog)
        return FALSE;

    const INT_PTR result = QorCatchAll(
        [&] { return dialog->DialogProc(hwnd, message, wParam, lParam); },
        [](const CQorException& e) {
            const int answer = MessageBoxA(nullptr, // no owner
                                           e.GetErrorMessage(),
                                           "", // no caption
                                           MB_OKCANCEL | MB_ICONERROR);
            if (answer == IDCANCEL)
                PostQuitMessage(0);
            return static_cast<INT_PTR>(FALSE);
        });
    if (message == WM_NCDESTROY)
        dialog->hwnd = nullptr; // after DialogProc, which still sees its handle
    return result;
}
