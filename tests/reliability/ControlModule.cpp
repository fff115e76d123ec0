// ControlModule.cpp - a module built as the engine is, C++ runtime and all,
// that holds nothing: what loading and unloading any such module costs.
#include <windows.h>
#include <string>

extern "C" __declspec(dllexport) int ControlLength(const char* text)
{
    return static_cast<int>(std::string(text).size());
}
