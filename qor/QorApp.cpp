// QorApp.cpp - the module, its application object and its entry.
#include "QorApp.h"
#include "../res/Version.h" // the one place the version is written

namespace {

CQorApp* g_app = nullptr;

const UINT kCaptionId = 1;

} // namespace

CQorModule::CQorModule() : instance(nullptr) {}

CQorModule::~CQorModule() = default;

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
        if (g_app)
            return FALSE;
        g_app = this;
        this->instance = instance;
        return OnProcessAttach(reserved);
    case DLL_PROCESS_DETACH:
        return g_app ? OnProcessDetach(reserved) : FALSE;
    case DLL_THREAD_ATTACH:
        return g_app ? OnThreadAttach(reserved) : FALSE;
    case DLL_THREAD_DETACH:
        return g_app ? OnThreadDetach(reserved) : FALSE;
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
    CQorString caption(128);
    caption.LoadString(kCaptionId);
    return MessageBoxA(owner, text, caption.data, type);
}

int CQorApp::ShowMessage(HWND owner, UINT stringId, UINT type)
{
    CQorString text(128);
    text.LoadString(stringId);
    return ShowMessage(owner, text.data, type);
}

CQorApp* QorGetApp()
{
    return g_app;
}

void LoadFilterString(UINT stringId, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    CQorString text(128);
    text.LoadString(stringId);
    lstrcpynA(buffer, text.data, size);
    for (char* p = buffer; *p; ++p)
        if (*p == '|')
            *p = '\0';
}
