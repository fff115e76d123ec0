// QorApp.h - the module, its application object and its entry.
//
// The module entry makes the application's one CQorApp at process attach
// (through QorCreateApp, which the application supplies) and passes every
// later notification to it. QorGetApp returns it to the rest of the module.
#pragma once
#include "QorModule.h"
#include "QorString.h"

class CQorApp : public CQorModule {
public:
    // Not yet the application: OnDllMain's process attach makes it so.
    CQorApp();
    ~CQorApp() override;
    // The notifications after the object is the application: TRUE.
    virtual BOOL OnProcessAttach(LPVOID reserved);
    virtual BOOL OnThreadAttach(LPVOID reserved);
    virtual BOOL OnThreadDetach(LPVOID reserved);
    virtual BOOL OnProcessDetach(LPVOID reserved);

    // At process attach makes this object the application and keeps
    // instance: FALSE, unchanged, when there is one already. Passes every
    // other notification on; FALSE for an unknown reason or no application.
    BOOL OnDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
    // The version, "1.00", in a buffer of exactly its size. Throws on no memory.
    static CQorString GetVersionString();
    // A message box with the engine's caption (string 1): its answer.
    // Throws on no memory, showing nothing.
    static int ShowMessage(HWND owner, const char* text, UINT type);
    // The same with the text of string stringId (empty when missing).
    static int ShowMessage(HWND owner, UINT stringId, UINT type);
};

// The application object, or null before the process attach: the one
// whose module QorGetAppModule holds.
CQorApp* QorGetApp();

// Supplied by the application: allocates its application object, or
// returns null when there is no memory for it.
CQorApp* QorCreateApp();

// The module entry: makes the application at process attach (FALSE when
// there is no memory for it, or one exists) and passes on the rest; after
// the detach of a FreeLibrary it deletes the application, but not at
// process exit, when the system takes back the memory.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
