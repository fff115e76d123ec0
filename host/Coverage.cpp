// Coverage.cpp - vario-try --coverage: the rules that change no caption of
// a set.
//
// A rule fires on a caption when applying it, after the rules before it,
// changes the text: what --trace lists, with the engine's own rule-table
// code. The engine module's conversion of every caption is held against
// the text after the last rule, so the report cannot silently differ from
// what the engine does.
#include "Coverage.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Explainer.h"
#include "Messages.h"
#include "RuleText.h"
#include <map>

namespace {

// What a coverage report is about, the files named as the user typed them.
struct CoverageFiles {
    std::string rules;
    std::vector<std::string> ruleLines; // the rule file's lines, for --explain's warnings
    std::string captions;
};

// What went wrong on the way; the report holds in full only when both are 0.
struct CoverageErrors {
    int notWhole = 0;  // captions the engine could not convert whole
    int disagreed = 0; // captions the engine converted otherwise than the trace
};

// Traces each caption and converts it, as ReportCoverage says, adding to
// changed[i] each caption rule i changes; the errors, said on err.
CoverageErrors TraceAll(const CoverageFiles& files, const std::vector<std::string>& captions,
                        const std::vector<TracedRule>& rules, const Converter& convert,
                        std::vector<int>& changed, size_t& counted, COutput& err)
{
    CoverageErrors errors;
    DWORD shown = GetTickCount();
    std::string progress; // the count shown in place on a console
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].empty())
            continue;
        ++counted;
        if (GetTickCount() - shown >= 1000) {
            shown = GetTickCount();
            progress = "vario-try: "
                + Message(IDS_COVERAGE_PROGRESS,
                          {Grouped(static_cast<int>(i)),
                           Count(captions.size(), IDS_COUNT_LINE, IDS_COUNT_LINES)});
            err.Write(err.IsConsole() ? "\r" + progress : progress + "\n");
        }
        const std::string where = "vario-try: " + files.captions + ":"
            + Number(static_cast<int>(i + 1)) + ": ";
        const std::vector<TraceStep> steps = TraceSteps(rules, captions[i]);
        for (const TraceStep& step : steps)
            ++changed[step.rule - rules.data()];
        const std::string traced = steps.empty() ? captions[i] : steps.back().after;
        std::string converted;
        if (!convert(captions[i], converted)) {
            ++errors.notWhole;
            err.WriteLine(where + Message(IDS_NOT_WHOLE));
        } else if (converted != traced) {
            ++errors.disagreed;
            err.WriteLine(where
                          + Message(IDS_COVERAGE_DISAGREES,
                                    {Quoted(captions[i]), Quoted(converted), Quoted(traced)}));
        }
    }
    if (!progress.empty() && err.IsConsole())
        err.Write("\r" + std::string(progress.size(), ' ') + "\r");
    return errors;
}

// Prints the rules that changed no caption (every rule with its count
// when counts is true), and last the tally over counted captions.
void WriteUncovered(const CoverageFiles& files, const std::vector<TracedRule>& rules,
                    const std::vector<int>& changed, size_t counted, bool counts, COutput& out)
{
    const std::map<int, std::string> warnings = LineWarnings(files.ruleLines);
    out.WriteLine(Message(counts ? IDS_COVERAGE_COUNTS_TITLE : IDS_COVERAGE_UNUSED_TITLE,
                          {files.rules, files.captions}));
    size_t never = 0;
    for (size_t i = 0; i < rules.size(); ++i) {
        never += changed[i] == 0;
        if (changed[i] > 0 && !counts)
            continue;
        const auto warning = warnings.find(rules[i].line);
        out.WriteLine(
            files.rules + ":" + Number(rules[i].line) + ": " + Quoted(rules[i].source) + kArrow
            + Quoted(rules[i].replacement)
            + (counts ? Message(IDS_COVERAGE_CHANGED,
                                {Count(changed[i], IDS_COUNT_CAPTION, IDS_COUNT_CAPTIONS)})
                      : "")
            + (changed[i] == 0 && warning != warnings.end() ? ": " + warning->second : ""));
    }
    const size_t fired = rules.size() - never;
    out.WriteLine(Message(
        rules.empty() ? IDS_COVERAGE_TOTALS : IDS_COVERAGE_TOTALS_PERCENT,
        {Grouped(static_cast<int>(fired)), Count(rules.size(), IDS_COUNT_RULE, IDS_COUNT_RULES),
         Grouped(static_cast<int>(never)), Count(counted, IDS_COUNT_CAPTION, IDS_COUNT_CAPTIONS),
         rules.empty() ? "" : std::to_string(fired * 100 / rules.size())}));
}

// Traces each caption (line i + 1 of the captions file; an empty line is
// none) through the rules as --trace does, counting the captions each rule
// changes, and converts it with convert (false when the result cannot be
// had whole): the text after the last rule must be the conversion, else
// that caption is an error on err. Then prints each rule that changed no
// caption (every rule with its count when counts is true) as
//     rules.def:13: "source" → "replacement"
// with the first warning --explain gives about its line, and last
// "2 of 5 rules changed a caption (40%), 3 changed none, on 1,203 captions."
// A run of more than a second shows on err, once a second, how many
// captions are done: on a console in place, else on a line each time.
CoverageErrors ReportCoverage(const CoverageFiles& files, const std::vector<std::string>& captions,
                              const std::vector<TracedRule>& rules, bool counts,
                              const Converter& convert, COutput& out, COutput& err)
{
    std::vector<int> changed(rules.size(), 0);
    size_t counted = 0; // the captions: empty lines are none
    const CoverageErrors errors = TraceAll(files, captions, rules, convert, changed, counted, err);
    WriteUncovered(files, rules, changed, counted, counts, out);
    return errors;
}

} // namespace

int RunCoverage(CEngineSession& session, const Options& options)
{
    std::vector<TextLine> text;
    if (!session.ReadCaptions(text))
        return kFileUnreadable;
    std::vector<std::string> captions;
    for (const TextLine& line : text) {
        captions.push_back(line.text);
        session.NoteLost(line.lost, options.file + ":" + Number(static_cast<int>(captions.size())));
    }
    return session.RunOnRules(
        Message(IDS_RUN_COVERAGE, {options.definitionFile, options.file}),
        [&](const std::vector<TracedRule>& rules, const std::vector<std::string>& lines,
            const Converter& convert) {
            const CoverageErrors errors = ReportCoverage(
                {options.definitionFile, lines, options.file}, captions, rules, options.counts,
                convert, session.Out(), session.Err());
            return errors.disagreed > 0 ? kDisagreed : errors.notWhole > 0 ? kNotWhole : kOk;
        });
}
