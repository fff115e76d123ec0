// RememberedPath.cpp - the definition file the engine remembers.
#include "RememberedPath.h"
#include "../qor/QorException.h"
#include "../qor/QorRegKey.h"
#include "../res/Settings.h"
#include <string.h>

CRememberedPath::CRememberedPath()
    : seen(Stored::unknown), seenPath(kQorWorkingCapacity), chosen(FALSE)
{
}

CRememberedPath::Stored CRememberedPath::Read(CQorString& path)
{
    CQorRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::read))
        return Stored::none;
    if (key.QueryString(VARIO_DEFFILE_VALUE, path))
        return Stored::path;
    return key.HasValue(VARIO_DEFFILE_VALUE) ? Stored::other : Stored::none;
}

BOOL CRememberedPath::Start(CQorString& path)
{
    seen = Stored::unknown; // until the value is read whole
    chosen = FALSE;
    CQorString stored(kQorWorkingCapacity);
    const Stored now = Read(stored);
    if (now == Stored::path) {
        path.Assign(stored);
        seenPath.Assign(stored);
    }
    seen = now;
    return now == Stored::path;
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
    if (!key.Open(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, KeyAccess::write))
        return FALSE;
    // Without memory to read the value, it is taken as unchanged: the path
    // is stored as a single engine would store it.
    const bool unchanged = QorCatchAll(
        [&] {
            CQorString now(kQorWorkingCapacity);
            const Stored stored = Read(now);
            return stored == seen
                && (stored != Stored::path || strcmp(now.data, seenPath.data) == 0);
        },
        [](const CQorException&) { return true; });
    const bool ours = seen == Stored::none || seen == Stored::path || chosen;
    if (seen != Stored::unknown && unchanged && ours
        && key.SetString(VARIO_DEFFILE_VALUE, path.data)) {
        // The value is this run's own now.
        seen = QorCatchAll(
            [&] {
                seenPath.Assign(path);
                return Stored::path;
            },
            [](const CQorException&) { return Stored::unknown; });
    }
    return TRUE;
}
