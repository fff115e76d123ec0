/* ControlModule.c - a module in C, built and linked as the engine is, that
   holds nothing: what loading and unloading a module costs the process,
   without a C++ runtime. */
#include <windows.h>

__declspec(dllexport) int ControlLength(const char* text)
{
    char copy[64]; /* a buffer, which the stack protector guards */
    lstrcpynA(copy, text, sizeof copy);
    return lstrlenA(copy);
}
