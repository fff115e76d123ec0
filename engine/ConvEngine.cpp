// ConvEngine.cpp - the engine: the rules in force, the stored path, and the
// flows of the About and Settings dialogs.
#include "ConvEngine.h"

#include "AboutDlg.h"
#include "SettingDlg.h"
#include "../qor/QorApp.h"
#include "../qor/QorException.h"
#include "../qor/QorRegKey.h"
#include "../res/Settings.h"
#include "../res/resource.h"
#include <memory>
#include <new>
#include <string.h>

namespace {

// The rules as the About dialog lists them, into text: each source, the
// separator, its replacement and "\n". Measured first and then written in
// one pass: appending line by line would scan and copy the growing text once
// per rule, which takes hours for a table of a million rules. Throws on no
// memory.
void WriteListing(const CQorPtrArray& table, const CQorString& separator, CQorString& text)
{
    long long size = 1;
    for (CQorPosition pos = table.GetHeadPosition(); pos.kind != 0;
         pos = table.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(table.GetAt(pos));
        size += rule->source.length + separator.length + rule->replacement.length + 1;
    }
    if (size > 0x7FFFFFFF)
        QorThrowMemoryException(); // more than a string can hold
    char* out = text.GetBuffer(static_cast<int>(size));
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
    text.ReleaseBuffer();
}

} // namespace

CConvEngine::CConvEngine()
    : definitionFile(kQorWorkingCapacity), tables(), lock(), seen(Stored::unknown),
      seenPath(kQorWorkingCapacity), chosen(FALSE)
{
}

CConvEngine::~CConvEngine() = default;

BOOL CConvEngine::LoadDefinitionFile(const char* path)
{
    // The new table is loaded aside and put in force whole, or none is.
    std::unique_ptr<CRuleTable> table(new (std::nothrow) CRuleTable);
    BOOL loaded = FALSE;
    try {
        loaded = table && table->Load(path);
    } catch (...) {
        tables.Put(nullptr);
        throw;
    }
    tables.Put(loaded ? std::move(table) : nullptr);
    return loaded;
}

void CConvEngine::ClearRules()
{
    tables.Put(nullptr);
}

BOOL CConvEngine::Convert(const char* caption, char* buffer, int size) const
{
    const CTableInForce::CReader reader(tables);
    return reader.Table().Convert(caption, buffer, size);
}

// The stored path

CConvEngine::Stored CConvEngine::ReadStored(CQorString& path) const
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::read))
        return Stored::none;
    if (key.QueryString(VARIO_DEFFILE_VALUE, path))
        return Stored::path;
    return key.HasValue(VARIO_DEFFILE_VALUE) ? Stored::other : Stored::none;
}

BOOL CConvEngine::Init()
{
    BOOL result = TRUE;
    {
        const CQorLock::CHeld held(lock);
        ClearRules();
        seen = Stored::unknown; // until the value is read whole
        chosen = FALSE;
        CQorString path(kQorWorkingCapacity);
        const Stored stored = ReadStored(path);
        if (stored == Stored::path) {
            // The path is taken before its file is loaded, so that it is
            // remembered when the load fails, or runs out of memory.
            definitionFile.Assign(path);
            seenPath.Assign(path);
        }
        seen = stored;
        if (stored == Stored::path && definitionFile.length != 0)
            result = LoadDefinitionFile(definitionFile.data);
    }
    if (!result)
        CQorApp::ShowMessage(nullptr /* no owner: start-up has no window */, IDS_LOAD_FAILED,
                             MB_OK | MB_ICONERROR);
    return result;
}

void CConvEngine::Exit()
{
    const CQorLock::CHeld held(lock);
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::write))
        return;
    // Without memory to read the value, it is taken as unchanged: the path
    // is stored as a single engine would store it.
    const bool unchanged = QorCatchAll(
        [&] {
            CQorString now(kQorWorkingCapacity);
            const Stored stored = ReadStored(now);
            return stored == seen
                && (stored != Stored::path || strcmp(now.data, seenPath.data) == 0);
        },
        [](const CQorException&) { return true; });
    const bool ours = seen == Stored::none || seen == Stored::path || chosen;
    if (seen != Stored::unknown && unchanged && ours
        && key.SetString(VARIO_DEFFILE_VALUE, definitionFile.data)) {
        // The value is this engine's own now.
        seen = QorCatchAll(
            [&] {
                seenPath.Assign(definitionFile);
                return Stored::path;
            },
            [](const CQorException&) { return Stored::unknown; });
    }
    key.Close();
    ClearRules();
}

// ---------------------------------------------------------------------------
// The dialogs' flows

void CConvEngine::OnAbout(HWND parent)
{
    CAboutDlg dialog;
    CQorString separator(kQorWorkingCapacity);
    separator.LoadString(IDS_RULE_SEPARATOR);
    {
        // The dialog shows a copy: the table is held while the listing is
        // written, not while the dialog is open, so a load meanwhile does
        // not wait for the user.
        const CTableInForce::CReader reader(tables);
        WriteListing(reader.Table().Rules(), separator, dialog.rulesText);
    }
    dialog.DoModal(parent);
}

void CConvEngine::OnSetting(HWND parent)
{
    CSettingDlg dialog;
    {
        const CQorLock::CHeld held(lock);
        dialog.path.Assign(definitionFile);
    }
    if (dialog.DoModal(parent) != IDOK)
        return;
    BOOL loaded;
    {
        const CQorLock::CHeld held(lock);
        // The value the choice replaces, as it is now: Exit stores the
        // choice unless another process stores a newer one after this.
        CQorString path(kQorWorkingCapacity);
        const Stored stored = ReadStored(path);
        definitionFile.Assign(dialog.path);
        seenPath.Assign(path);
        seen = stored;
        chosen = TRUE;
        loaded = LoadDefinitionFile(definitionFile.data);
    }
    if (!loaded)
        CQorApp::ShowMessage(parent, IDS_LOAD_FAILED, MB_ICONWARNING);
}
