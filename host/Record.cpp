// Record.cpp - vario-try --record.
#include "Record.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "ExpectedCaptions.h"
#include <algorithm>

int RunRecord(CEngineSession& session, const Options& options)
{
    const int display = session.CheckDisplay();
    if (display != kOk)
        return display;
    std::vector<TextLine> lines;
    if (!session.ReadCaptions(lines, true))
        return kFileUnreadable;
    const std::string source = options.windows ? "the visible windows" : options.file;
    return session.RunOnRules(
        "recording what the rules of " + options.definitionFile + " make of the captions of "
            + source,
        [&](const std::vector<TracedRule>&, const std::vector<std::string>&,
            const Converter& convert) {
            session.Out().WriteLine("// What the rules of " + options.definitionFile
                                    + " make of the captions of " + source
                                    + " (vario-try --record)");
            int status = kOk;
            for (size_t i = 0; i < lines.size(); ++i) {
                const std::string at = (options.windows ? "window " : options.file + ":")
                    + Number(static_cast<int>(i + 1));
                const std::string where = at + ": ";
                std::string result;
                std::string line;
                if (lines[i].text.empty())
                    continue;
                session.NoteLost(lines[i].lost, at);
                if (!convert(lines[i].text, result))
                    status = std::max(status, session.Fail(kNotWhole, where + kNotWholeMessage));
                else if (!ExpectedLine(lines[i].text, result, options.raw, line))
                    status = std::max(status,
                                      session.Fail(kUsage, where + line + "; not recorded"));
                else
                    session.Out().WriteLine(line);
            }
            return status;
        });
}
