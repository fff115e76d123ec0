// QorEntry.cpp - the module entry. It sits apart from the application
// object so that a program which uses the framework without being a module
// does not need an application's QorCreateApp.
#include "QorApp.h"
#include "QorException.h"

// Frees what the C++ runtime keeps for the whole process (libstdc++).
namespace __gnu_cxx {
void __freeres() noexcept;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    // The answer to anything thrown: the attach is refused without an
    // application object, and other notifications fail.
    return QorCatchAll(
        [&] {
            if (reason != DLL_PROCESS_ATTACH) {
                if (reason == DLL_PROCESS_DETACH && reserved)
                    QorNoteProcessEnding();
                CQorApp* app = QorGetApp();
                const BOOL answer = app ? app->OnDllMain(instance, reason, reserved) : FALSE;
                // Unloaded by FreeLibrary (no reserved pointer), the module
                // frees what it made, and the C++ runtime its reserve for
                // exceptions thrown when memory is out (18 KB): a host that
                // loads it again and again does not grow. At process exit
                // the system takes it all.
                if (reason == DLL_PROCESS_DETACH && !reserved) {
                    QorSetAppModule(nullptr);
                    delete app;
                    __gnu_cxx::__freeres();
                }
                return answer;
            }
            CQorApp* app = QorCreateApp();
            if (!app)
                return FALSE; // refuse the attach: no application object
            const BOOL attached = app->OnDllMain(instance, reason, reserved);
            if (QorGetApp() != app)
                delete app; // a second attach: this object is not used
            return attached;
        },
        [](const CQorException&) { return FALSE; });
}
