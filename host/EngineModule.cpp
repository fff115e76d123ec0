// EngineModule.cpp - an engine module loaded as the host application loads it.
#include "EngineModule.h"
#include <stdio.h>

namespace {

template <typename F>
bool Find(HMODULE module, const char* name, F* slot, std::string& error)
{
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!*slot)
        error = "it has no function " + std::string(name) + ": it is not a TitleForge engine";
    return *slot != nullptr;
}

} // namespace

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
        return "the file does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "its folder does not exist";
    case ERROR_ACCESS_DENIED:
        return "access is denied (or it is a folder)";
    case ERROR_SHARING_VIOLATION:
        return "another program holds it open";
    case ERROR_BAD_EXE_FORMAT:
        return "it is not a 32-bit Windows DLL";
    default:
        char text[64];
        snprintf(text, sizeof text, "Windows error %lu", error);
        return text;
    }
}

CEngineModule::CEngineModule()
    : GetAPIVersion(nullptr), GetEngineDescription(nullptr), GetEngineVersion(nullptr),
      InitEngine(nullptr), ExitEngine(nullptr), ConvertCaptionString(nullptr), OnAbout(nullptr),
      OnSetting(nullptr), module(nullptr)
{
}

CEngineModule::~CEngineModule()
{
    if (module)
        FreeLibrary(module);
}

bool CEngineModule::Load(const std::string& path, std::string& error)
{
    // The loader's own error box for a broken module would wait for a click.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module = LoadLibraryA(path.c_str());
    const DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module) {
        if (loadError == ERROR_MOD_NOT_FOUND
            && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            error = "a DLL that it needs is missing";
        else
            error = ErrorText(loadError);
        return false;
    }
    if (Find(module, "TFEGetAPIVersion", &GetAPIVersion, error)
        && Find(module, "TFEGetEngineDescription", &GetEngineDescription, error)
        && Find(module, "TFEGetEngineVersion", &GetEngineVersion, error)
        && Find(module, "TFEInitEngine", &InitEngine, error)
        && Find(module, "TFEExitEngine", &ExitEngine, error)
        && Find(module, "TFEConvertCaptionString", &ConvertCaptionString, error)
        && Find(module, "TFEOnAbout", &OnAbout, error)
        && Find(module, "TFEOnSetting", &OnSetting, error))
        return true;
    FreeLibrary(module);
    module = nullptr;
    return false;
}
