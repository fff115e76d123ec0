// VarioConv.cpp - the engine as a module: CConvEngine (its rule table, and
// its definition file remembered in the registry), its application object,
// the About and Settings dialogs and the exported functions.
#include "VarioConv.h"

#include "VarioExports.h"
#include "../qor/QorException.h"
#include "../qor/QorRegKey.h"
#include "../res/Settings.h"
#include "../res/resource.h"
#include <commdlg.h>
#include <io.h>
#include <new>
#include <string.h>

namespace {

const char kEngineName[] = "VarioEngine";
const DWORD kApiVersion = 0x00010000;
const int kWorkingCapacity = 128;

// A failure that reaches a dialog export is shown to the user, who asked
// for the dialog, instead of opening nothing without a word.
void ShowFailure(HWND parent, const CQorException& e)
{
    MessageBoxA(parent, e.GetErrorMessage(), "" /* no caption */, MB_OK | MB_ICONERROR);
}

} // namespace

CQorApp* QorCreateApp()
{
    return new (std::nothrow) CEngineApp;
}

CConvEngine& TheEngine()
{
    return static_cast<CEngineApp*>(QorGetApp())->engine;
}

// ---------------------------------------------------------------------------
// The engine

CConvEngine::CConvEngine() : definitionFile(kWorkingCapacity), rules(), keepStoredPath(TRUE) {}

CConvEngine::~CConvEngine() = default;

BOOL CConvEngine::LoadDefinitionFile(const char* path)
{
    return rules.Load(path);
}

void CConvEngine::ClearRules()
{
    rules.Clear();
}

BOOL CConvEngine::Convert(const char* caption, char* buffer, int size) const
{
    return rules.Convert(caption, buffer, size);
}

// ---------------------------------------------------------------------------
// Settings persistence

BOOL CConvEngine::Init()
{
    ClearRules();
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::read)) {
        keepStoredPath = FALSE; // nothing stored yet: Exit makes the value
        return TRUE;
    }
    BOOL result = TRUE;
    bool pathTaken = false;
    try {
        CQorString path(kWorkingCapacity);
        if (key.QueryString(VARIO_DEFFILE_VALUE, path)) {
            // The path is taken before its file is loaded, so that it is
            // remembered when the load fails, or runs out of memory.
            definitionFile.Assign(path);
            pathTaken = true;
            keepStoredPath = FALSE;
            if (definitionFile.length != 0)
                result = LoadDefinitionFile(definitionFile.data);
        } else {
            // A value of another type is not a path the engine can use, nor
            // one it may overwrite with its own at exit.
            keepStoredPath = key.HasValue(VARIO_DEFFILE_VALUE);
        }
    } catch (...) {
        if (!pathTaken)
            keepStoredPath = TRUE;
        throw;
    }
    key.Close();
    if (!result)
        CQorApp::ShowMessage(nullptr /* no owner: start-up has no window */, IDS_LOAD_FAILED,
                             MB_OK | MB_ICONERROR);
    return result;
}

void CConvEngine::Exit()
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::write))
        return;
    if (!keepStoredPath)
        key.SetString(VARIO_DEFFILE_VALUE, definitionFile.data);
    key.Close();
    ClearRules();
}

// ---------------------------------------------------------------------------
// The About dialog

CAboutDlg::CAboutDlg() : CQorDialog(IDD_ABOUT), rulesText(kWorkingCapacity) {}

INT_PTR CAboutDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(hwnd, message, wParam, lParam);
    return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
}

INT_PTR CAboutDlg::OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CQorString prefix(kWorkingCapacity);
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
    return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
}

void CConvEngine::OnAbout(HWND parent)
{
    CAboutDlg dialog;
    CQorString separator(kWorkingCapacity);
    separator.LoadString(IDS_RULE_SEPARATOR);
    // The listing is measured first and then written in one pass: appending
    // it line by line would scan and copy the growing text once per rule,
    // which takes hours for a table of a million rules.
    const CQorPtrArray& table = rules.Rules();
    long long size = 1;
    for (CQorPosition pos = table.GetHeadPosition(); pos.kind != 0;
         pos = table.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(table.GetAt(pos));
        size += rule->source.length + separator.length + rule->replacement.length + 1;
    }
    if (size > 0x7FFFFFFF)
        QorThrowMemoryException(); // more than a string can hold
    char* out = dialog.rulesText.GetBuffer(static_cast<int>(size));
    auto put = [&out](const CQorString& piece) {
        memcpy(out, piece.data, piece.length);
        out += piece.length;
    };
    for (CQorPosition pos = table.GetHeadPosition(); pos.kind != 0;
         pos = table.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(table.GetAt(pos));
        put(rule->source);
        put(separator);
        put(rule->replacement);
        *out++ = '\n';
    }
    *out = '\0';
    dialog.rulesText.ReleaseBuffer();
    dialog.DoModal(parent);
}

// ---------------------------------------------------------------------------
// The Settings dialog

CSettingDlg::CSettingDlg() : CQorDialog(IDD_SETTING), path(kWorkingCapacity)
{
    path.Empty();
}

INT_PTR CSettingDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(hwnd, message, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(hwnd, message, wParam, lParam);
    default:
        return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
    }
}

INT_PTR CSettingDlg::OnInitDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SetDlgItemTextA(hwnd, IDC_DEFFILE, path.data);
    // The box takes no more typed or pasted text than OnOK reads: 259 bytes
    // in this ANSI box on Windows (Wine's box counts characters instead).
    SendDlgItemMessageA(hwnd, IDC_DEFFILE, EM_LIMITTEXT, MAX_PATH - 1, 0);
    return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
}

INT_PTR CSettingDlg::OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        return OnOK(hwnd, message, wParam, lParam);
    case IDC_BROWSE:
        return OnBrowse(hwnd, message, wParam, lParam);
    default:
        return CQorDialog::DialogProc(hwnd, message, wParam, lParam);
    }
}

INT_PTR CSettingDlg::OnOK(HWND hwnd, UINT, WPARAM, LPARAM)
{
    char text[MAX_PATH];
    GetDlgItemTextA(hwnd, IDC_DEFFILE, text, sizeof text);
    if (_access(text, 0) == -1) {
        CQorApp::ShowMessage(hwnd, IDS_FILE_MISSING, MB_ICONWARNING);
        return FALSE;
    }
    path.Assign(text);
    EndDialog(hwnd, IDOK);
    return FALSE;
}

INT_PTR CSettingDlg::OnBrowse(HWND hwnd, UINT, WPARAM, LPARAM)
{
    CQorString title(kWorkingCapacity);
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
    return FALSE;
}

void CConvEngine::OnSetting(HWND parent)
{
    CSettingDlg dialog;
    dialog.path.Assign(definitionFile);
    if (dialog.DoModal(parent) != IDOK)
        return;
    definitionFile.Assign(dialog.path);
    keepStoredPath = FALSE;
    if (!LoadDefinitionFile(definitionFile.data))
        CQorApp::ShowMessage(parent, IDS_LOAD_FAILED, MB_ICONWARNING);
}

// ---------------------------------------------------------------------------
// The exported functions. Nothing thrown crosses into the host: functions
// with a result report a failure as 0, and the dialogs show it to the user,
// who asked for them. A null buffer or a size below 1 is never written to
// and is answered with 0.

namespace {

BOOL Failed(const CQorException&)
{
    return FALSE;
}

} // namespace

DWORD WINAPI TFEGetAPIVersion()
{
    return kApiVersion;
}

BOOL WINAPI TFEGetEngineDescription(LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return FALSE;
    lstrcpynA(buffer, kEngineName, size);
    return TRUE;
}

BOOL WINAPI TFEGetEngineVersion(LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return FALSE;
    return QorCatchAll(
        [&] {
            const CQorString version = CQorApp::GetVersionString();
            lstrcpynA(buffer, version.data, size);
            return TRUE;
        },
        Failed);
}

BOOL WINAPI TFEInitEngine()
{
    return QorCatchAll([] { return TheEngine().Init(); }, Failed);
}

void WINAPI TFEExitEngine()
{
    QorCatchAll([] { TheEngine().Exit(); }, [](const CQorException&) {});
}

BOOL WINAPI TFEConvertCaptionString(DWORD, LPCSTR caption, LPSTR buffer, int size)
{
    if (!caption || !buffer || size <= 0)
        return FALSE;
    // On a failure the host's buffer is left as it was.
    return QorCatchAll([&] { return TheEngine().Convert(caption, buffer, size); }, Failed);
}

void WINAPI TFEOnAbout(HWND parent)
{
    QorCatchAll([&] { TheEngine().OnAbout(parent); },
                [&](const CQorException& e) { ShowFailure(parent, e); });
}

void WINAPI TFEOnSetting(HWND parent)
{
    QorCatchAll([&] { TheEngine().OnSetting(parent); },
                [&](const CQorException& e) { ShowFailure(parent, e); });
}
