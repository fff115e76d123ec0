// Setting.h - the engine's remembered definition file in the registry, as
// the host application's engine reads it at start and writes it at exit.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The key under HKEY_CURRENT_USER that holds the engine's setting.
extern const char kSettingsKey[];

// The path the engine loads when it starts; empty when none is stored.
std::string StoredDefinitionFile();
// Stores path as the "DefFile" string value; false when it cannot.
bool StoreDefinitionFile(const std::string& path);

// A definition file tried for one run only. Store keeps the value as it is
// (its type and bytes, or its absence) and stores the tried path; when the
// object ends, the kept value is put back, unless the value has meanwhile
// become something else than the tried path (a file chosen in the Settings
// dialog is the user's own choice and stays).
class CTrialSetting {
public:
    CTrialSetting() = default;
    ~CTrialSetting();
    CTrialSetting(const CTrialSetting&) = delete;
    CTrialSetting& operator=(const CTrialSetting&) = delete;

    // Keeps the value found, then stores path; false when either fails.
    bool Store(const std::string& path);

private:
    bool stored = false;
    std::string tried;
    bool existed = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
