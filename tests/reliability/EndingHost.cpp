// EndingHost.cpp - the module of a host that stops the engine when the
// process ends, at its own detach, and then writes the file that
// VARIO_ENDED_FILE names to tell that the stop returned.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason != DLL_PROCESS_DETACH || !reserved)
        return TRUE;
    const HMODULE engine = GetModuleHandleA("Vario.tfe");
    const auto stop = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(engine ? GetProcAddress(engine, "TFEExitEngine") : nullptr));
    char ended[MAX_PATH];
    if (!stop || !GetEnvironmentVariableA("VARIO_ENDED_FILE", ended, sizeof ended))
        return TRUE;
    stop();
    CloseHandle(CreateFileA(ended, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
