// EngineModule.h - an engine module loaded as the host application loads
// it: by file name, with its eight functions found by name. The console
// host, the tests and the benchmark are its clients.
#pragma once
#include "../engine/VarioExports.h"
#include "../qor/QorHandle.h"
#include <windows.h>
#include <optional>
#include <string>

// Why a load failed: the loader's error, a DLL the module needs, or one of
// the eight functions it lacks.
// Example: {ERROR_FILE_NOT_FOUND, false, ""}; {ERROR_MOD_NOT_FOUND, true, ""};
//          {0, false, "TFEOnAbout"}.
struct CEngineLoadFailure {
    DWORD error = 0;                // the loader's error; 0 when a function is missing
    bool dependencyMissing = false; // the file is there, but not a DLL it needs
    std::string missingFunction;    // the first function the module lacks
    // In English words for the user: "the file does not exist".
    std::string Text() const;
};

class CEngineModule {
public:
    CEngineModule();
    CEngineModule(const CEngineModule&) = delete;
    CEngineModule& operator=(const CEngineModule&) = delete;

    // Loads the module and finds its functions; on failure, why says why
    // and nothing stays loaded.
    bool Load(const std::string& path, CEngineLoadFailure& why);

    // The functions, as VarioExports.h declares them.
    decltype(&TFEGetAPIVersion) GetAPIVersion;
    decltype(&TFEGetEngineDescription) GetEngineDescription;
    decltype(&TFEGetEngineVersion) GetEngineVersion;
    decltype(&TFEInitEngine) InitEngine;
    decltype(&TFEExitEngine) ExitEngine;
    decltype(&TFEConvertCaptionString) ConvertCaptionString;
    decltype(&TFEOnAbout) OnAbout;
    decltype(&TFEOnSetting) OnSetting;

    // The loaded module, or null.
    HMODULE Handle() const { return module ? module->get() : nullptr; }

private:
    std::optional<CQorOwnedModule> module; // empty until a load works
};
