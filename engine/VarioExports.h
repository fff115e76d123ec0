// VarioExports.h - the eight functions a host calls, by name.
#pragma once
#include <windows.h>

// The version of the interface between host and engine that these
// functions make: TFEGetAPIVersion's answer.
const DWORD kVarioApiVersion = 0x00010000;

extern "C" {
DWORD WINAPI TFEGetAPIVersion();
BOOL WINAPI TFEGetEngineDescription(LPSTR buffer, int size);
BOOL WINAPI TFEGetEngineVersion(LPSTR buffer, int size);
BOOL WINAPI TFEInitEngine();
void WINAPI TFEExitEngine();
BOOL WINAPI TFEConvertCaptionString(DWORD reserved, LPCSTR caption, LPSTR buffer, int size);
void WINAPI TFEOnAbout(HWND parent);
void WINAPI TFEOnSetting(HWND parent);
}
