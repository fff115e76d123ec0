// HostEnvironment.cpp - what the host runs under.
#include "HostEnvironment.h"
#include <windows.h>
#include <vector>

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string FullPath(const std::string& path)
{
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::vector<char> full(size + 1, '\0');
    const DWORD n = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    return size == 0 || n == 0 || n >= size ? path : std::string(full.data(), n);
}

std::string DefaultEnginePath()
{
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path(exe, n < sizeof exe ? n : 0);
    path.erase(path.find_last_of("\\/") + 1);
    return path + "Vario.tfe";
}

bool HaveDisplay()
{
    if (!UnderWine())
        return true;
    char value[2];
    return GetEnvironmentVariableA("DISPLAY", value, sizeof value) != 0
        || GetEnvironmentVariableA("WAYLAND_DISPLAY", value, sizeof value) != 0;
}

std::string Command()
{
    char command[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("VARIO_TRY_COMMAND", command, sizeof command);
    return n > 0 && n < sizeof command ? std::string(command, n) : std::string("vario-try");
}

bool UseConsoleCodePage(const Options& options)
{
    char command[2];
    return options.consoleCp
        || (!options.utf8 && GetConsoleCP() != 0 && !UnderWine()
            && GetEnvironmentVariableA("VARIO_TRY_COMMAND", command, sizeof command) == 0);
}
