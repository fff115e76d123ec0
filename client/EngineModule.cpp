// EngineModule.cpp - an engine module loaded as the host application loads it.
#include "EngineModule.h"
#include "ErrorText.h"

namespace {

template <typename F>
bool Find(HMODULE module, const char* name, F* slot, CEngineLoadFailure& why)
{
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!*slot)
        why.missingFunction = name;
    return *slot != nullptr;
}

} // namespace

std::string CEngineLoadFailure::Text() const
{
    if (dependencyMissing)
        return "a DLL that it needs is missing";
    if (!missingFunction.empty())
        return "it has no function " + missingFunction + ": it is not a TitleForge engine";
    return ErrorText(error);
}

CEngineModule::CEngineModule()
    : GetAPIVersion(nullptr), GetEngineDescription(nullptr), GetEngineVersion(nullptr),
      InitEngine(nullptr), ExitEngine(nullptr), ConvertCaptionString(nullptr), OnAbout(nullptr),
      OnSetting(nullptr)
{
}

bool CEngineModule::Load(const std::string& path, CEngineLoadFailure& why)
{
    // The loader's own error box for a broken module would wait for a click.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module.emplace(LoadLibraryA(path.c_str()));
    const DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module->valid()) {
        module.reset();
        why.error = loadError;
        why.dependencyMissing = loadError == ERROR_MOD_NOT_FOUND
            && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        return false;
    }
    const HMODULE m = module->get();
    if (Find(m, "TFEGetAPIVersion", &GetAPIVersion, why)
        && Find(m, "TFEGetEngineDescription", &GetEngineDescription, why)
        && Find(m, "TFEGetEngineVersion", &GetEngineVersion, why)
        && Find(m, "TFEInitEngine", &InitEngine, why) && Find(m, "TFEExitEngine", &ExitEngine, why)
        && Find(m, "TFEConvertCaptionString", &ConvertCaptionString, why)
        && Find(m, "TFEOnAbout", &OnAbout, why) && Find(m, "TFEOnSetting", &OnSetting, why))
        return true;
    module.reset();
    return false;
}
