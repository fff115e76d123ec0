// RememberedPath.cpp - the definition file the engine remembers.
#include "RememberedPath.h"
#include "../qor/QorException.h"
#include "../qor/QorRegKey.h"
#include "../res/Settings.h"
#include <string.h>

CRememberedPath::CRememberedPath()
    : seen(Stored::kUnknown), seenPath(kQorWorkingCapacity), chosen(FALSE)
{
}

CRememberedPath::Stored CRememberedPath::Read(CQorString& path)
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::kRead))
        return Stored::kNone;
    if (key.QueryString(VARIO_DEFFILE_VALUE, path))
        return Stored::kPath;
    return key.HasValue(VARIO_DEFFILE_VALUE) ? Stored::kOther : Stored::kNone;
}

BOOL CRememberedPath::Start(CQorString& path)
{
    seen = Stored::kUnknown; // until the value is read whole
    chosen = FALSE;
    CQorString stored(kQorWorkingCapacity);
    const Stored now = Read(stored);
    if (now == Stored::kPath) {
        path.Assign(stored);
        seenPath.Assign(stored);
    }
    seen = now;
    return now == Stored::kPath;
}

void CRememberedPath::Choose()
{
    CQorString stored(kQorWorkingCapacity);
    const Stored now = Read(stored);
    seenPath.Assign(stored);
    seen = now;
    chosen = TRUE;
}

BOOL CRememberedPath::Stop(const CQorString& path)
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::kWrite))
        return FALSE;
    // Without memory to read the value, it is taken as unchanged: the path
    // is stored as a single engine would store it.
    const bool unchanged = QorCatchAll(
        [&] {
            CQorString now(kQorWorkingCapacity);
            const Stored stored = Read(now);
            return stored == seen
                && (stored != Stored::kPath || strcmp(now.data, seenPath.data) == 0);
        },
        [](const CQorException&) { return true; });
    const bool ours = seen == Stored::kNone || seen == Stored::kPath || chosen;
    if (seen != Stored::kUnknown && unchanged && ours
        && key.SetString(VARIO_DEFFILE_VALUE, path.data)) {
        // The value is this run's own now.
        seen = QorCatchAll(
            [&] {
                seenPath.Assign(path);
                return Stored::kPath;
            },
            [](const CQorException&) { return Stored::kUnknown; });
    }
    return TRUE;
}
