// FutureEngine.cpp - an engine module with all eight functions that speaks
// interface version 2.0, which the host must refuse. Its About box has a
// caption of two lines.
#include <windows.h>

extern "C" {
DWORD WINAPI TFEGetAPIVersion()
{
    return 0x00020000;
}
BOOL WINAPI TFEGetEngineDescription(LPSTR buffer, int size)
{
    lstrcpynA(buffer, "Future", size);
    return TRUE;
}
BOOL WINAPI TFEGetEngineVersion(LPSTR buffer, int size)
{
    lstrcpynA(buffer, "2.00", size);
    return TRUE;
}
BOOL WINAPI TFEInitEngine()
{
    return TRUE;
}
void WINAPI TFEExitEngine() {}
BOOL WINAPI TFEConvertCaptionString(DWORD, LPCSTR caption, LPSTR buffer, int size)
{
    lstrcpynA(buffer, caption, size);
    return TRUE;
}
void WINAPI TFEOnAbout(HWND owner)
{
    MessageBoxA(owner, "Future 2.00", "Future\nengine", MB_OK);
}
void WINAPI TFEOnSetting(HWND) {}
}
