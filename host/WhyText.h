// WhyText.h - why a file or an engine module cannot be had, in the user's
// language.
#pragma once
#include <windows.h>
#include <string>

// The Windows error of reading or loading a file, in words: "the file does
// not exist", or "Windows error 1234".
std::string WhyText(DWORD error);
// The reason CEngineModule::Load gives, in English, in words of the user's
// language; a reason it does not know stays as it is.
std::string LoadWhyText(const std::string& reason);
