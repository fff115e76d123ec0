// EngineModule.cpp - an engine module loaded as the host application loads it.
#include "EngineModule.h"
#include "ErrorText.h"

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

CEngineModule::CEngineModule()
    : GetAPIVersion(nullptr), GetEngineDescription(nullptr), GetEngineVersion(nullptr),
      InitEngine(nullptr), ExitEngine(nullptr), ConvertCaptionString(nullptr), OnAbout(nullptr),
      OnSetting(nullptr)
{
}

bool CEngineModule::Load(const std::string& path, std::string& error)
{
    // The loader's own error box for a broken module would wait for a click.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module.emplace(LoadLibraryA(path.c_str()));
    const DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module->valid()) {
        module.reset();
        if (loadError == ERROR_MOD_NOT_FOUND
            && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            error = "a DLL that it needs is missing";
        else
            error = ErrorText(loadError);
        return false;
    }
    const HMODULE m = module->get();
    if (Find(m, "TFEGetAPIVersion", &GetAPIVersion, error)
        && Find(m, "TFEGetEngineDescription", &GetEngineDescription, error)
        && Find(m, "TFEGetEngineVersion", &GetEngineVersion, error)
        && Find(m, "TFEInitEngine", &InitEngine, error)
        && Find(m, "TFEExitEngine", &ExitEngine, error)
        && Find(m, "TFEConvertCaptionString", &ConvertCaptionString, error)
        && Find(m, "TFEOnAbout", &OnAbout, error) && Find(m, "TFEOnSetting", &OnSetting, error))
        return true;
    module.reset();
    return false;
}
