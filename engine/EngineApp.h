// EngineApp.h - the engine's application object, which holds the engine.
#pragma once
#include "ConvEngine.h"
#include "../qor/QorApp.h"

// The engine's application object: the module's one CQorApp.
class CEngineApp : public CQorApp {
public:
    CConvEngine engine; // the whole state of the engine
};

// The engine of the application object; the module must be attached.
CConvEngine& TheEngine();
