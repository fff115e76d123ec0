// ErrorText.h - Windows error codes in words, for a user who loads an
// engine module or a definition file.
#pragma once
#include <windows.h>
#include <string>

// The error in words: "the file does not exist", or "Windows error 1234".
std::string ErrorText(DWORD error);
