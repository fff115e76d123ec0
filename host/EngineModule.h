// EngineModule.h - an engine module loaded as the host application loads
// it: by file name, with its eight functions found by name.
#pragma once
#include "../qor/QorHandle.h"
#include <windows.h>
#include <optional>
#include <string>

class CEngineModule {
public:
    CEngineModule();
    CEngineModule(const CEngineModule&) = delete;
    CEngineModule& operator=(const CEngineModule&) = delete;

    // Loads the module and finds its functions; on failure, error says why
    // in words for the user and nothing stays loaded.
    bool Load(const std::string& path, std::string& error);

    DWORD(WINAPI* GetAPIVersion)();
    BOOL(WINAPI* GetEngineDescription)(LPSTR buffer, int size);
    BOOL(WINAPI* GetEngineVersion)(LPSTR buffer, int size);
    BOOL(WINAPI* InitEngine)();
    void(WINAPI* ExitEngine)();
    BOOL(WINAPI* ConvertCaptionString)(DWORD reserved, LPCSTR caption, LPSTR buffer, int size);
    void(WINAPI* OnAbout)(HWND parent);
    void(WINAPI* OnSetting)(HWND parent);

    // The loaded module, or null.
    HMODULE Handle() const { return module ? module->handle : nullptr; }

private:
    std::optional<CQorOwnedModule> module; // empty until a load works
};

// A Windows error code in words.
std::string ErrorText(DWORD error);
