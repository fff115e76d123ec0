// QorApp.cpp - the module, its application object and its entry.
#include "QorApp.h"
#include "../res/Version.h" // the one place the version is written

namespace {

const UINT kCaptionId = 1;

} // namespace

CQorApp::CQorApp() = default;

CQorApp::~CQorApp() = default;

BOOL CQorApp::OnProcessAttach(LPVOID)
{
    return TRUE;
}
BOOL CQorApp::OnThreadAttach(LPVOID)
{
    return TRUE;
}
BOOL CQorApp::OnThreadDetach(LPVOID)
{
    return TRUE;
}
BOOL CQorApp::OnProcessDetach(LPVOID)
{
    return TRUE;
}

BOOL CQorApp::OnDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (QorGetAppModule())
            return FALSE;
        QorSetAppModule(this);
        this->instance = instance;
        return OnProcessAttach(reserved);
    case DLL_PROCESS_DETACH:
        return QorGetAppModule() ? OnProcessDetach(reserved) : FALSE;
    case DLL_THREAD_ATTACH:
        return QorGetAppModule() ? OnThreadAttach(reserved) : FALSE;
    case DLL_THREAD_DETACH:
        return QorGetAppModule() ? OnThreadDetach(reserved) : FALSE;
    default:
        return FALSE;
    }
}

CQorString CQorApp::GetVersionString()
{
    return CQorString(VARIO_VERSION_TEXT, 0);
}

int CQorApp::ShowMessage(HWND owner, const char* text, UINT type)
{
    CQorString caption(kQorWorkingCapacity);
    caption.LoadString(kCaptionId);
    return MessageBoxA(owner, text, caption.data, type);
}

int CQorApp::ShowMessage(HWND owner, UINT stringId, UINT type)
{
    CQorString text(kQorWorkingCapacity);
    text.LoadString(stringId);
    return ShowMessage(owner, text.data, type);
}

CQorApp* QorGetApp()
{
    return static_cast<CQorApp*>(QorGetAppModule()); // set only by OnDllMain, to a CQorApp
}
