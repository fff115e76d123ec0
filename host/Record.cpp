// Record.cpp - vario-try --record.
#include "Record.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "ExpectedCaptions.h"
#include "Messages.h"
#include <algorithm>

int RunRecord(CEngineSession& session, const Options& options)
{
    const int display = session.CheckDisplay();
    if (display != kOk)
        return display;
    std::vector<TextLine> lines;
    if (!session.ReadCaptions(lines, true))
        return kFileUnreadable;
    const std::string source = options.windows ? Message(IDS_RECORD_THE_WINDOWS) : options.file;
    return session.RunOnRules(
        Message(IDS_RUN_RECORDING, {options.definitionFile, source}),
        [&](const CTracedRules&, const std::vector<std::string>&, const Converter& convert) {
            session.Out().WriteLine("// "
                                    + Message(IDS_RECORD_HEADER, {options.definitionFile, source}));
            int status = kOk;
            for (size_t i = 0; i < lines.size(); ++i) {
                const std::string number = Number(static_cast<int>(i + 1));
                const std::string at = options.windows ? Message(IDS_AT_WINDOW, {number})
                                                       : options.file + ":" + number;
                const std::string where = at + ": ";
                std::string result;
                std::string line;
                if (lines[i].text.empty())
                    continue;
                session.NoteLost(lines[i].lost, at);
                if (!convert(lines[i].text, result))
                    status = std::max(status,
                                      session.Fail(kNotWhole, where + Message(IDS_NOT_WHOLE)));
                else if (!ExpectedLine(lines[i].text, result, options.raw, line))
                    status = std::max(
                        status, session.Fail(kUsage, where + Message(IDS_RECORD_LEFT_OUT, {line})));
                else
                    session.Out().WriteLine(line);
            }
            return status;
        });
}
