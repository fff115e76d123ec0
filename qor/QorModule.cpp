// QorModule.cpp - the module, and the application singleton.
#include "QorModule.h"

namespace {

CQorModule* g_app = nullptr;

// Whether the module's own detach came with the process ending.
bool g_detachedAtExit = false;

// The loader's own answer, found by name when the module loads: ntdll has it
// on every Windows this module supports, but it is not documented, and a
// system without it must still load the module. Null when it is missing.
const auto g_shutdownInProgress = reinterpret_cast<BOOLEAN(NTAPI*)()>(reinterpret_cast<void*>(
    GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlDllShutdownInProgress")));

} // namespace

CQorModule::CQorModule() : instance(nullptr) {}

CQorModule::~CQorModule() = default;

CQorModule* QorGetAppModule()
{
    return g_app;
}

void QorSetAppModule(CQorModule* module)
{
    g_app = module;
}

void QorNoteProcessEnding()
{
    g_detachedAtExit = true;
}

BOOL QorProcessEnding()
{
    return g_detachedAtExit || (g_shutdownInProgress && g_shutdownInProgress());
}
