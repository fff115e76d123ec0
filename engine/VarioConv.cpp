// VarioConv.cpp - the Vario conversion engine and its exported functions.
#include "VarioConv.h"
#include "VarioExports.h"
#include "../qor/QorException.h"
#include "../qor/QorRegKey.h"
#include "../res/resource.h"
#include <commdlg.h>
#include <io.h>
#include <memory>
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {

const char kSettingsKey[] = "Software\\Orvalis\\TitleForge\\EngineSettings\\Vario";
const char kDefFileValue[] = "DefFile";
const char kEngineName[] = "VarioEngine";
const DWORD kApiVersion = 0x00010000;
const int kWorkingCapacity = 128;

// A memory failure that reaches a dialog export is shown to the user, who
// asked for the dialog, instead of opening nothing without a word.
void ShowMemoryFailure(HWND parent, const CQorException* e)
{
    MessageBoxA(parent, e->GetErrorMessage(), "", MB_OK | MB_ICONERROR);
}

} // namespace

CQorApp* QorCreateApp()
{
    return new (std::nothrow) CEngineApp;
}

CConvEngine& QorGetEngine()
{
    return static_cast<CEngineApp*>(QorGetApp())->engine;
}

// ---------------------------------------------------------------------------
// The definition file

CDefinitionText::CDefinitionText()
    : file(INVALID_HANDLE_VALUE), buffer(nullptr), next(nullptr), end(nullptr)
{
}

CDefinitionText::~CDefinitionText()
{
    free(buffer);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

BOOL CDefinitionText::Read(const char* path)
{
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    // Only files whose size fits in 31 bits are read: the size must be known,
    // and size + 1 must be a byte count.
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0
        || size > 0x7FFFFFFE)
        return FALSE;
    buffer = static_cast<char*>(malloc(size + 1));
    if (!buffer)
        return FALSE;
    DWORD read = 0;
    if (!ReadFile(file, buffer, size, &read, nullptr) || read != size)
        return FALSE;
    buffer[size] = '\0';
    next = buffer;
    end = buffer + size;
    return TRUE;
}

char* CDefinitionText::NextLine()
{
    if (!next || next > end)
        return nullptr;
    char* line = next;
    char* lf = strchr(line, '\n');      // CR and LF are never trail bytes
    if (!lf) {
        next = end + 1;                 // the last line ends at the end
        return line;
    }
    *lf = '\0';
    if (lf > line && lf[-1] == '\r')
        lf[-1] = '\0';
    next = lf + 1;
    return line;
}

DefLineKind ClassifyDefinitionLine(const CQorString& line, int* comma)
{
    if (line.Find('[', 0) == 0 && line.ReverseFind(']') == line.length - 1)
        return kSectionLine;
    if (line.Find("//", 0) == 0)
        return kCommentLine;
    *comma = line.Find(',', 0);
    return *comma == -1 ? kOtherLine : kRuleLine;
}

// ---------------------------------------------------------------------------
// The rule table

CConvRule::CConvRule() : source(kWorkingCapacity), replacement(kWorkingCapacity) {}

CConvEngine::CConvEngine()
    : definitionFile(kWorkingCapacity), rules(), keepStoredPath(FALSE)
{
}

CConvEngine::~CConvEngine()
{
    ClearRules();
}

BOOL CConvEngine::LoadDefinitionFile(const char* path)
{
    ClearRules();
    CDefinitionText text;
    if (!text.Read(path))
        return FALSE;
    BOOL loaded = TRUE;
    try {
        CQorString line(kWorkingCapacity);  // each line in turn, to classify
        while (const char* next = text.NextLine()) {
            if (!ParseLine(line.Assign(next))) {
                loaded = FALSE;
                break;
            }
        }
    } catch (CQorException*) {
        ClearRules();                   // a table is whole or empty
        throw;
    }
    if (!loaded)
        ClearRules();
    return loaded;
}

BOOL CConvEngine::ParseLine(CQorString& text)
{
    int comma = -1;
    if (ClassifyDefinitionLine(text, &comma) != kRuleLine)
        return TRUE;
    std::unique_ptr<CConvRule> rule(new (std::nothrow) CConvRule);
    if (!rule)
        return FALSE;
    // The text before the comma is the source, the rest the replacement:
    // the line is cut at the comma for the copy, then mended.
    text.data[comma] = '\0';
    rule->source.Assign(text.data);
    text.data[comma] = ',';
    rule->replacement.Assign(text.data + comma + 1);
    if (rules.AddTailIndex(rule.get()) == -1)
        return FALSE;
    rule.release();                     // the table owns it now
    return TRUE;
}

void CConvEngine::ClearRules()
{
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos))
        delete static_cast<CConvRule*>(rules.GetAt(pos));
    rules.RemoveAll();
}

// ---------------------------------------------------------------------------
// Caption conversion

namespace {

// Makes result the text with every occurrence of source (n > 0 bytes)
// replaced, the first of them at offset first (not -1). Matches are taken
// left to right without overlap, and the search resumes in the text after
// each one, so an inserted replacement is never searched again.
void ReplaceInto(const CQorString& text, const char* source, int n, const char* replacement,
                 int first, CQorString& result)
{
    const int m = static_cast<int>(strlen(replacement));
    int size = 0;
    // Appends count bytes; the buffer doubles as it fills, since nothing
    // outside sees its capacity before the final copy.
    auto append = [&result, &size](const char* bytes, int count) {
        if (size + count + 1 > result.capacity) {
            const int doubled = 2 * result.capacity;
            result.Reserve(size + count + 1 > doubled ? size + count + 1 : doubled);
        }
        memcpy(result.data + size, bytes, count);
        size += count;
    };
    int p = 0;
    for (int f = first; f != -1; f = text.Find(source, p)) {
        append(text.data + p, f - p);
        append(replacement, m);
        p = f + n;
    }
    append(text.data + p, text.length - p);
    result.data[size] = '\0';
    result.length = size;
}

} // namespace

BOOL CConvEngine::Convert(const char* caption, CQorString& out)
{
    out.Assign(caption);
    // Each rule that finds something writes its result into the other of
    // two buffers, which then holds the current text.
    CQorString spare(kWorkingCapacity);
    CQorString* current = &out;
    CQorString* next = &spare;
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(rules.GetAt(pos));
        if (rule->source.length == 0)
            continue;                   // an empty source is found nowhere
        const int first = current->Find(rule->source.data, 0);
        if (first == -1)
            continue;                   // nothing found: the text stays as it is
        const int n = rule->source.length;
        if (rule->replacement.length == n) {
            // A replacement as long as its source is written over it. The
            // search goes on after each match, so it never sees what was
            // written: the result is the one a new text would hold.
            for (int f = first; f != -1; f = current->Find(rule->source.data, f + n))
                memcpy(current->data + f, rule->replacement.data, n);
            continue;
        }
        ReplaceInto(*current, rule->source.data, n, rule->replacement.data, first, *next);
        CQorString* done = current;
        current = next;
        next = done;
    }
    if (current != &out)
        out.Assign(*current);
    return TRUE;
}

CQorString CConvEngine::ReplaceAll(const CQorString& text, const char* source,
                                   const char* replacement)
{
    const int n = lstrlenA(source);
    const int first = n == 0 ? -1 : text.Find(source, 0);
    if (first == -1)
        return CQorString(text);        // an empty source is found nowhere
    CQorString result(kWorkingCapacity);
    ReplaceInto(text, source, n, replacement, first, result);
    return CQorString(result);
}

// ---------------------------------------------------------------------------
// Settings persistence

BOOL CConvEngine::Init()
{
    ClearRules();
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey, 1))
        return TRUE;
    BOOL result = TRUE;
    bool pathTaken = false;
    try {
        CQorString path(kWorkingCapacity);
        if (key.QueryString(kDefFileValue, path)) {
            // The path is taken before its file is loaded, so that it is
            // remembered when the load fails, or runs out of memory.
            definitionFile.Assign(path);
            pathTaken = true;
            keepStoredPath = FALSE;
            if (definitionFile.length != 0)
                result = LoadDefinitionFile(definitionFile.data);
        } else if (key.HasValue(kDefFileValue)) {
            // A value of another type is not a path the engine can use, nor
            // one it may overwrite with its own at exit.
            keepStoredPath = TRUE;
        }
    } catch (CQorException*) {
        if (!pathTaken)
            keepStoredPath = TRUE;
        throw;
    }
    key.Close();
    if (!result)
        CQorApp::ShowMessage(nullptr, IDS_LOAD_FAILED, MB_OK | MB_ICONERROR);
    return result;
}

void CConvEngine::Exit()
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey, 0))
        return;
    if (!keepStoredPath)
        key.SetString(kDefFileValue, definitionFile.data);
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
    for (int start = 0, found; (found = rulesText.Find('\n', start)) != -1; start = found + 1) {
        const CQorString line = rulesText.Mid(start, found - start);
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
    long long size = 1;
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(rules.GetAt(pos));
        size += rule->source.length + separator.length + rule->replacement.length + 1;
    }
    if (size > 0x7FFFFFFF)
        QorThrowMemoryException();      // more than a string can hold
    char* out = dialog.rulesText.GetBuffer(static_cast<int>(size));
    auto put = [&out](const CQorString& piece) {
        memcpy(out, piece.data, piece.length);
        out += piece.length;
    };
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(rules.GetAt(pos));
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
// The exported functions. A memory failure never crosses into the host:
// functions with a result report it as 0. A null buffer or a size below 1
// is never written to and is answered with 0.

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
    try {
        const CQorString version = CQorApp::GetVersionString();
        lstrcpynA(buffer, version.data, size);
        return TRUE;
    } catch (CQorException*) {
        return FALSE;
    }
}

BOOL WINAPI TFEInitEngine()
{
    try {
        return QorGetEngine().Init();
    } catch (CQorException*) {
        return FALSE;
    }
}

void WINAPI TFEExitEngine()
{
    QorGetEngine().Exit();              // makes no strings: nothing to run out of
}

BOOL WINAPI TFEConvertCaptionString(DWORD, LPCSTR caption, LPSTR buffer, int size)
{
    if (!caption || !buffer || size <= 0)
        return FALSE;
    try {
        CQorString output(kWorkingCapacity);
        QorGetEngine().Convert(caption, output);
        lstrcpynA(buffer, output.data, size);
        return TRUE;
    } catch (CQorException*) {
        return FALSE;                   // the host's buffer is left as it was
    }
}

void WINAPI TFEOnAbout(HWND parent)
{
    try {
        QorGetEngine().OnAbout(parent);
    } catch (CQorException* e) {
        ShowMemoryFailure(parent, e);
    }
}

void WINAPI TFEOnSetting(HWND parent)
{
    try {
        QorGetEngine().OnSetting(parent);
    } catch (CQorException* e) {
        ShowMemoryFailure(parent, e);
    }
}
