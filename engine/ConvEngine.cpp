// ConvEngine.cpp - the engine: the rules in force, the stored path, and the
// flows of the About and Settings dialogs.
#include "ConvEngine.h"

#include "AboutDlg.h"
#include "SettingDlg.h"
#include "../qor/QorApp.h"
#include "../qor/QorException.h"
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

CConvEngine::CConvEngine() : definitionFile(kQorWorkingCapacity), tables(), lock(), remembered() {}

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

// Start and exit

BOOL CConvEngine::Init()
{
    BOOL result = TRUE;
    {
        const CQorLock::CHeld held(lock);
        ClearRules();
        // The path is taken before its file is loaded, so that it is
        // remembered when the load fails, or runs out of memory.
        if (remembered.Start(definitionFile) && definitionFile.length != 0)
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
    if (remembered.Stop(definitionFile))
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
        // Room for the path is made before it is marked chosen, so that
        // the path and the choice are taken together or not at all: a
        // choice without its path would store the old path at exit.
        definitionFile.Reserve(dialog.path.length + 1);
        remembered.Choose();
        definitionFile.Assign(dialog.path); // fits: cannot fail
        loaded = LoadDefinitionFile(definitionFile.data);
    }
    if (!loaded)
        CQorApp::ShowMessage(parent, IDS_LOAD_FAILED, MB_ICONWARNING);
}
