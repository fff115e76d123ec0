// Settings.h - where the engine remembers its definition file, written here
// only: the engine, the console host, the benchmark and the tests take the
// key and the value name from this file.
#pragma once

// Under HKEY_CURRENT_USER; the value is a REG_SZ path.
#define VARIO_SETTINGS_KEY "Software\\Orvalis\\TitleForge\\EngineSettings\\Vario"
#define VARIO_DEFFILE_VALUE "DefFile"
