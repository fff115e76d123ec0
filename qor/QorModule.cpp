// QorModule.cpp - the module, and the application singleton.
#include "QorModule.h"

namespace {

CQorModule* g_app = nullptr;

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

extern "C" BOOLEAN NTAPI RtlDllShutdownInProgress();

BOOL QorProcessEnding()
{
    return RtlDllShutdownInProgress();
}
