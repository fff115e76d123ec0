// Trace.cpp - vario-try --trace.
//
// The file is read by the engine's own reader and each rule applied with the
// engine's own replacement (see TracedRules.h), so the trace cannot differ
// from what the engine does.
#include "Trace.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Messages.h"
#include "../qor/QorException.h"

namespace {

// Prints the caption, then every rule that changes it, in order, with the
// text after that rule, and last the converted caption as it is.
void TraceCaption(const std::vector<TracedRule>& rules, const std::string& caption, COutput& out)
{
    out.WriteLine(caption);
    const std::vector<TraceStep> steps = TraceSteps(rules, caption);
    WriteSteps(steps, "  ", out);
    out.WriteLine(Message(IDS_TRACE_RESULT) + (steps.empty() ? caption : steps.back().after));
    out.WriteLine("");
}

} // namespace

int RunTrace(CEngineSession& session, const Options& options)
{
    std::vector<TracedRule> rules;
    std::vector<std::string> lines;
    std::string error;
    const int status = QorCatchAll(
        [&] {
            if (!ReadTracedRules(options.file, rules, lines, error))
                return -1;
            session.WarnAboutFile(options.file, lines);
            return session.Finish(session.ForEachCaption([&](const std::string& caption) {
                session.CountConverted();
                TraceCaption(rules, caption, session.Out());
            }));
        },
        [&](const CQorException&) {
            error = Message(IDS_OUT_OF_MEMORY);
            return -1;
        });
    if (status >= 0)
        return status;
    return session.Fail(kFileUnreadable, Message(IDS_ERR_CANNOT_READ_DEF, {options.file, error}));
}
