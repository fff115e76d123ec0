// HostEnvironment.h - what the host runs under: Windows or Wine, a display
// or none, the command that runs it and the console's code page.
#pragma once
#include "Options.h"
#include <string>

// Whether the host runs under Wine, at a terminal rather than a Windows
// console.
bool UnderWine();
// The path made full against the current folder; the path itself when it
// cannot be.
std::string FullPath(const std::string& path);
// Vario.tfe beside this program.
std::string DefaultEnginePath();
// Whether a dialog or a window's caption can be had: under Wine a window
// needs an X display; Windows itself always has one.
bool HaveDisplay();
// The command that runs this host, for advice: tools/vario-try.sh names
// itself in VARIO_TRY_COMMAND; else the program's name at a Windows prompt.
std::string Command();
// Whether to read and write pipes in the console's code page: asked for,
// or by default at a Windows console outside tools/vario-try.sh (whose
// terminal under Wine speaks UTF-8).
bool UseConsoleCodePage(const Options& options);
