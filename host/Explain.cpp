// Explain.cpp - vario-try --explain.
#include "Explain.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Explainer.h"
#include "../qor/QorException.h"

int RunExplain(CEngineSession& session, const Options& options)
{
    std::string error;
    const int warnings = QorCatchAll(
        [&] { return ExplainDefinitionFile(options.file, session.Out(), error); },
        [&](const CQorException&) {
            error = "out of memory";
            return -1;
        });
    if (warnings >= 0)
        return warnings == 0 ? kOk : kUsage;
    return session.Fail(kFileUnreadable,
                        "cannot read the definition file " + options.file + ": " + error);
}
