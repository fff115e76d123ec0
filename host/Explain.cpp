// Explain.cpp - vario-try --explain.
#include "Explain.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Messages.h"
#include "Explainer.h"
#include "../qor/QorException.h"

int RunExplain(CEngineSession& session, const Options& options)
{
    std::string error;
    const int warnings = QorCatchAll(
        [&] { return ExplainDefinitionFile(options.file, session.Out(), error); },
        [&](const CQorException&) {
            error = Message(IDS_OUT_OF_MEMORY);
            return -1;
        });
    if (warnings >= 0)
        return warnings == 0 ? kOk : kUsage;
    return session.Fail(kFileUnreadable, Message(IDS_ERR_CANNOT_READ_DEF, {options.file, error}));
}
