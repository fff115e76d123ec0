// Setting.cpp - the engine's remembered definition file in the registry.
#include "Setting.h"
#include "../res/Settings.h"

const char kSettingsKey[] = VARIO_SETTINGS_KEY;

namespace {

const char kDefFileValue[] = VARIO_DEFFILE_VALUE;

// The value's type and bytes; false when there is no such value.
bool ReadValue(DWORD& type, std::vector<BYTE>& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, kDefFileValue, nullptr, &type, nullptr, &size);
    data.assign(size, 0);
    if (status == ERROR_SUCCESS && size > 0)
        status = RegQueryValueExA(key, kDefFileValue, nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The key opened for writing, created when missing; null when it cannot be.
HKEY CreateKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool WriteValue(DWORD type, const BYTE* data, DWORD size)
{
    const HKEY key = CreateKey();
    if (!key)
        return false;
    const LONG status = RegSetValueExA(key, kDefFileValue, 0, type, data, size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void DeleteValue()
{
    const HKEY key = CreateKey();
    if (!key)
        return;
    RegDeleteValueA(key, kDefFileValue);
    RegCloseKey(key);
}

} // namespace

std::string StoredDefinitionFile()
{
    char path[4096];
    DWORD size = sizeof path;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, kDefFileValue, RRF_RT_REG_SZ, nullptr, path,
                     &size)
        != ERROR_SUCCESS)
        return std::string();
    return path;
}

bool StoreDefinitionFile(const std::string& path)
{
    return WriteValue(REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                      static_cast<DWORD>(path.size() + 1));
}

bool CTrialSetting::Store(const std::string& path)
{
    existed = ReadValue(type, data);
    tried = path;
    stored = StoreDefinitionFile(path);
    return stored;
}

CTrialSetting::~CTrialSetting()
{
    if (!stored || StoredDefinitionFile() != tried)
        return;
    if (existed)
        WriteValue(type, data.data(), static_cast<DWORD>(data.size()));
    else
        DeleteValue();
}
