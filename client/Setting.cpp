// Setting.cpp - the engine's remembered definition file in the registry.
#include "Setting.h"
#include "../qor/QorHandle.h"
#include "../res/Settings.h"
#include <stdio.h>
#include <stdlib.h>
#include <vector>

namespace {

// Where the views of the tries live, one key per process.
const char kViews[] = "Software\\vario-try";

// Opens (creating it and the keys on its path when missing) a key under
// HKEY_CURRENT_USER; none held when it cannot be.
CQorOwnedKey CreateKey(const std::string& path, DWORD options)
{
    CQorOwnedKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options, KEY_READ | KEY_WRITE,
                        nullptr, key.put(), nullptr)
        != ERROR_SUCCESS)
        key.release(); // the failed call opened nothing
    return key;
}

bool SetPath(HKEY key, const std::string& path)
{
    return RegSetValueExA(key, VARIO_DEFFILE_VALUE, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(path.c_str()),
                          static_cast<DWORD>(path.size() + 1))
        == ERROR_SUCCESS;
}

// Deletes the views of processes that no longer run: a try that was killed
// could not delete its own.
void DeleteStaleViews()
{
    CQorOwnedKey views;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kViews, 0, KEY_READ, views.put()) != ERROR_SUCCESS) {
        views.release(); // the failed call opened nothing
        return;
    }
    char name[16];
    for (DWORD i = 0, size = sizeof name;
         RegEnumKeyExA(views.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr)
         == ERROR_SUCCESS;
         size = sizeof name) {
        const CQorOwnedHandle process(
            OpenProcess(SYNCHRONIZE, FALSE /* not inherited */, strtoul(name, nullptr, 10)));
        if (process.valid() || RegDeleteTreeA(views.get(), name) != ERROR_SUCCESS
            || RegDeleteKeyA(views.get(), name) != ERROR_SUCCESS)
            ++i; // still there: the next one has the next index
    }
}

} // namespace

std::string StoredDefinitionFile()
{
    for (;;) {
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, VARIO_DEFFILE_VALUE, RRF_RT_REG_SZ,
                         nullptr, nullptr, &size)
            != ERROR_SUCCESS)
            return std::string();
        std::vector<char> path(size + 1, '\0');
        const LONG status = RegGetValueA(HKEY_CURRENT_USER, VARIO_SETTINGS_KEY, VARIO_DEFFILE_VALUE,
                                         RRF_RT_REG_SZ, nullptr, path.data(), &size);
        if (status == ERROR_SUCCESS)
            return path.data();
        if (status != ERROR_MORE_DATA) // else it grew in between: read again
            return std::string();
    }
}

bool StoreDefinitionFile(const std::string& path)
{
    const CQorOwnedKey key = CreateKey(VARIO_SETTINGS_KEY, REG_OPTION_NON_VOLATILE);
    return key.valid() && SetPath(key.get(), path);
}

bool CTrialView::Open(const std::string& path)
{
    DeleteStaleViews();
    char name[64];
    snprintf(name, sizeof name, "%s\\%lu", kViews, GetCurrentProcessId());
    root = name;
    tried = path;
    // Every key on the path that is missing is made volatile, in one step,
    // so that no key of a view outlives the session.
    const CQorOwnedKey settings = CreateKey(root + "\\" VARIO_SETTINGS_KEY, REG_OPTION_VOLATILE);
    const CQorOwnedKey view = CreateKey(root, REG_OPTION_VOLATILE);
    if (settings.valid() && view.valid() && SetPath(settings.get(), path)
        && RegOverridePredefKey(HKEY_CURRENT_USER, view.get()) == ERROR_SUCCESS)
        return true;
    Delete();
    return false;
}

CTrialView::~CTrialView()
{
    if (root.empty())
        return;
    const std::string chosen = StoredDefinitionFile();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr /* the real key again */);
    if (!chosen.empty() && chosen != tried)
        StoreDefinitionFile(chosen);
    Delete();
}

void CTrialView::Delete()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, root.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kViews); // fails while another try has a view
    root.clear();
}
