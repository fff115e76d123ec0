// QorModule.h - the module, and the application singleton as the module it
// is. It uses no string, so the string class can ask it for the module's
// instance without depending on the application object (QorApp.h).
#pragma once
#include <windows.h>

class CQorModule {
public:
    // No instance yet.
    CQorModule();
    virtual ~CQorModule();

    HINSTANCE instance; // the module, set at process attach
};

// The module of the application singleton (QorGetApp), or null before the
// process attach.
CQorModule* QorGetAppModule();
// Makes module the module of the application singleton; null: none.
void QorSetAppModule(CQorModule* module);

// TRUE once the process has begun to end (ExitProcess, or a return from
// main): its other threads are gone, wherever they were, and memory need
// not be freed. The module entry's detach then comes with a non-null
// reserved pointer. Where the system cannot say it, TRUE only from that
// detach on: a call from a module that detaches earlier is not told.
BOOL QorProcessEnding();
// Called by the module entry when its detach comes with the process ending.
void QorNoteProcessEnding();
