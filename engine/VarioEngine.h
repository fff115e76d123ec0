/* VarioEngine.h - the eight functions of Vario.tfe, for hosts written in C
   or C++. HostAuthors.txt, shipped beside this file, says what each one
   does and promises.

   The module exports them by these names, undecorated (no leading
   underscore, no @N), at these ordinals:
       1  TFEGetAPIVersion           5  TFEExitEngine
       2  TFEGetEngineDescription    6  TFEConvertCaptionString
       3  TFEGetEngineVersion        7  TFEOnAbout
       4  TFEInitEngine              8  TFEOnSetting
   All are WINAPI (__stdcall): arguments pushed right to left, popped by
   the function. A host that loads the module with LoadLibrary finds each
   one with GetProcAddress by name and calls it through a pointer of the
   type declared here, e.g. decltype(&TFEConvertCaptionString) in C++, or
   __typeof__(&TFEConvertCaptionString) in C with GCC or Clang. */
#ifndef VARIO_ENGINE_H
#define VARIO_ENGINE_H

#include <windows.h>

/* TFEGetAPIVersion's answer: the version of the interface these make. */
#define TFE_API_VERSION 0x00010000

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version, TFE_API_VERSION. */
DWORD WINAPI TFEGetAPIVersion(void);

/* "VarioEngine" into buffer, cut to size - 1 bytes: 1; 0 when buffer is
   null or size below 1. */
BOOL WINAPI TFEGetEngineDescription(LPSTR buffer, int size);

/* "1.00" into buffer, cut to size - 1 bytes: 1; 0 as above. */
BOOL WINAPI TFEGetEngineVersion(LPSTR buffer, int size);

/* Loads the remembered definition file: 1, or 0 when it does not load. */
BOOL WINAPI TFEInitEngine(void);

/* Stores the definition file's path and empties the rule table. */
void WINAPI TFEExitEngine(void);

/* The caption through the rules into buffer, cut to size - 1 bytes: 1,
   also when cut. 0 on failure, buffer then as it was. The first argument
   is not read: pass 0. */
BOOL WINAPI TFEConvertCaptionString(DWORD reserved, LPCSTR caption, LPSTR buffer, int size);

/* The About dialog, owned by parent. */
void WINAPI TFEOnAbout(HWND parent);

/* The Settings dialog, owned by parent. */
void WINAPI TFEOnSetting(HWND parent);

#ifdef __cplusplus
}
#endif

#endif
