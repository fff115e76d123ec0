// EngineModule.h - an engine module loaded as the host application loads
// it: by file name, with its eight functions found by name. The console
// host, the tests and the benchmark are its clients.
#pragma once
#include "../engine/VarioExports.h"
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
