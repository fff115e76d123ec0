// QorApp.h - the module, its application object and its entry.
//
// The module entry makes the application's one CQorApp at process attach
// (through QorCreateApp, which the application supplies) and passes every
// later notification to it. QorGetApp returns it to the rest of the module.
#pragma once
#include "QorString.h"

class CQorModule {
public:
    CQorModule();
    virtual ~CQorModule();

    HINSTANCE instance;
};

class CQorApp : public CQorModule {
public:
    CQorApp();
    ~CQorApp() override;
    virtual BOOL OnProcessAttach(LPVOID reserved);
    virtual BOOL OnThreadAttach(LPVOID reserved);
    virtual BOOL OnThreadDetach(LPVOID reserved);
    virtual BOOL OnProcessDetach(LPVOID reserved);

    BOOL OnDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
    static CQorString GetVersionString();
    static int ShowMessage(HWND owner, const char* text, UINT type);
    static int ShowMessage(HWND owner, UINT stringId, UINT type);
};

CQorApp* QorGetApp();

// Supplied by the application: allocates its application object, or
// returns null when there is no memory for it.
CQorApp* QorCreateApp();

// Fills buffer with string resource stringId cut to size - 1 bytes, every
// '|' turned into a zero byte: the filter list of the open-file dialog.
void LoadFilterString(UINT stringId, char* buffer, int size);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
