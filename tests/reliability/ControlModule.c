/* ControlModule.c - a module in C, built and linked as the engine is, that
   holds nothing: what loading and unloading a module costs the process,
   without a C++ runtime. */
#include <windows.h>
#include <string.h>

__declspec(dllexport) int ControlLength(const char* text)
{
    return (int)strlen(text);
}
