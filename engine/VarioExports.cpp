// VarioExports.cpp - the eight functions a host calls.
//
// Nothing thrown crosses into the host: functions with a result report a
// failure as 0, and the dialogs show it to the user, who asked for them. A
// null buffer or a size below 1 is never written to and is answered with 0.
#include "VarioExports.h"

#include "EngineApp.h"
#include "../qor/QorException.h"
#include "../qor/QorGuard.h"

namespace {

const char kEngineName[] = "VarioEngine";

// A failure that reaches a dialog export is shown to the user, who asked
// for the dialog, instead of opening nothing without a word.
void ShowFailure(HWND parent, const CQorException& e)
{
    MessageBoxA(parent, e.GetErrorMessage(), "" /* no caption */, MB_OK | MB_ICONERROR);
}

BOOL Failed(const CQorException&)
{
    return FALSE;
}

} // namespace

DWORD WINAPI TFEGetAPIVersion()
{
    return kVarioApiVersion;
}

BOOL WINAPI TFEGetEngineDescription(LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return FALSE;
    return QorGuardedCopy(buffer, size, kEngineName, sizeof kEngineName - 1);
}

BOOL WINAPI TFEGetEngineVersion(LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return FALSE;
    return QorCatchAll(
        [&] {
            const CQorString version = CQorApp::GetVersionString();
            return QorGuardedCopy(buffer, size, version.data, version.length);
        },
        Failed);
}

BOOL WINAPI TFEInitEngine()
{
    return QorCatchAll([] { return TheEngine().Init(); }, Failed);
}

void WINAPI TFEExitEngine()
{
    QorCatchAll([] { TheEngine().Exit(); }, [](const CQorException&) {});
}

BOOL WINAPI TFEConvertCaptionString(DWORD, LPCSTR caption, LPSTR buffer, int size)
{
    if (!caption || !buffer || size <= 0)
        return FALSE;
    // On a failure the host's buffer is left as it was.
    return QorCatchAll([&] { return TheEngine().Convert(caption, buffer, size); }, Failed);
}

void WINAPI TFEOnAbout(HWND parent)
{
    QorCatchAll([&] { TheEngine().OnAbout(parent); },
                [&](const CQorException& e) { ShowFailure(parent, e); });
}

void WINAPI TFEOnSetting(HWND parent)
{
    QorCatchAll([&] { TheEngine().OnSetting(parent); },
                [&](const CQorException& e) { ShowFailure(parent, e); });
}
