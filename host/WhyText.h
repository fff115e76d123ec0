// WhyText.h - why a file or an engine module cannot be had, in the user's
// language.
#pragma once
#include "EngineModule.h"
#include <windows.h>
#include <string>

// The Windows error of reading or loading a file, in words: "the file does
// not exist", or "Windows error 1234".
std::string WhyText(DWORD error);
// Why CEngineModule::Load failed, in words of the user's language.
std::string LoadWhyText(const CEngineLoadFailure& why);
