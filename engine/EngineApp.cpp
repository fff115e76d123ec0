// EngineApp.cpp - the engine's application object.
#include "EngineApp.h"
#include <new>

CQorApp* QorCreateApp()
{
    return new (std::nothrow) CEngineApp;
}

CConvEngine& TheEngine()
{
    return static_cast<CEngineApp*>(QorGetApp())->engine;
}
