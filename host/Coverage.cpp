// Coverage.cpp - vario-try --coverage: the rules that change no caption of
// a set.
//
// A rule fires on a caption when applying it, after the rules before it,
// changes the text: what --trace lists, with a search of the host's own
// (CTracedRules). The engine module's conversion of every caption is held
// against the text after the last rule, so the report cannot silently
// differ from what the engine does.
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

// What a coverage report found; it holds in full only when both errors are 0.
struct CoverageErrors {
    int notWhole = 0;  // captions the engine could not convert whole
    int disagreed = 0; // captions the engine converted otherwise than the trace
};

// How a report is printed.
struct CoverageShown {
    bool counts;   // every rule, with the captions it changed
    bool summary;  // the tally alone
    int failUnder; // the least percentage of rules that must change a caption, or -1
};

// Traces each caption and converts it, as ReportCoverage says, adding to
// changed[i] each caption rule i changes; the errors, said on err.
CoverageErrors TraceAll(const CoverageFiles& files, const std::vector<std::string>& captions,
                        const CTracedRules& rules, const Converter& convert,
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
        const std::vector<TraceStep> steps = rules.Steps(captions[i]);
        for (const TraceStep& step : steps)
            ++changed[step.rule - rules.Rules().data()];
        std::string converted;
        if (!convert(captions[i], converted)) {
            ++errors.notWhole;
            err.WriteLine(where + Message(IDS_NOT_WHOLE));
            continue;
        }
        const std::string disagreement = Disagreement(captions[i], converted, steps);
        if (!disagreement.empty()) {
            ++errors.disagreed;
            err.WriteLine(where + disagreement);
        }
    }
    if (!progress.empty() && err.IsConsole())
        err.Write("\r" + std::string(progress.size(), ' ') + "\r");
    return errors;
}

// Prints the rules that changed no caption (every rule with its count
// with shown.counts, none with shown.summary), and last the tally over
// counted captions. True when fewer rules changed a caption than
// shown.failUnder asks, which is then said on err.
bool WriteUncovered(const CoverageFiles& files, const std::vector<TracedRule>& rules,
                    const std::vector<int>& changed, size_t counted, const CoverageShown& shown,
                    COutput& out, COutput& err)
{
    const bool counts = shown.counts;
    const std::map<int, std::string> warnings = shown.summary ? std::map<int, std::string>()
                                                              : LineWarnings(files.ruleLines);
    if (!shown.summary)
        out.WriteLine(Message(counts ? IDS_COVERAGE_COUNTS_TITLE : IDS_COVERAGE_UNUSED_TITLE,
                              {files.rules, files.captions}));
    size_t never = 0;
    for (size_t i = 0; i < rules.size(); ++i) {
        never += changed[i] == 0;
        if ((changed[i] > 0 && !counts) || shown.summary)
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
    const std::string percent = rules.empty() ? "" : std::to_string(fired * 100 / rules.size());
    out.WriteLine(Message(rules.empty() ? IDS_COVERAGE_TOTALS : IDS_COVERAGE_TOTALS_PERCENT,
                          {Grouped(static_cast<int>(fired)),
                           Count(rules.size(), IDS_COUNT_RULE, IDS_COUNT_RULES),
                           Grouped(static_cast<int>(never)),
                           Count(counted, IDS_COUNT_CAPTION, IDS_COUNT_CAPTIONS), percent}));
    const bool under = shown.failUnder >= 0
        && fired * 100 < static_cast<size_t>(shown.failUnder) * rules.size();
    if (under)
        err.WriteLine("vario-try: "
                      + Message(IDS_COVERAGE_UNDER_THRESHOLD, {percent, Number(shown.failUnder)}));
    return under;
}

// Traces each caption (line i + 1 of the captions file; an empty line is
// none) through the rules as --trace does, counting the captions each rule
// changes, and converts it with convert (false when the result cannot be
// had whole): the text after the last rule must be the conversion, else
// that caption is an error on err. Then prints each rule that changed no
// caption (every rule with its count with shown.counts) as
//     rules.def:13: "source" → "replacement"
// with the first warning --explain gives about its line, and last
// "2 of 5 rules changed a caption (40%), 3 changed none, on 1,203 captions."
// (that line alone with shown.summary). A run of more than a second shows
// on err, once a second, how many captions are done: on a console in
// place, else on a line each time. The exit status: kDisagreed, kNotWhole,
// kUnderThreshold when too few rules changed a caption, or kOk.
int ReportCoverage(const CoverageFiles& files, const std::vector<std::string>& captions,
                   const CTracedRules& rules, const CoverageShown& shown, const Converter& convert,
                   COutput& out, COutput& err)
{
    std::vector<int> changed(rules.Rules().size(), 0);
    size_t counted = 0; // the captions: empty lines are none
    const CoverageErrors errors = TraceAll(files, captions, rules, convert, changed, counted, err);
    const bool under = WriteUncovered(files, rules.Rules(), changed, counted, shown, out, err);
    return errors.disagreed > 0 ? kDisagreed
        : errors.notWhole > 0   ? kNotWhole
        : under                 ? kUnderThreshold
                                : kOk;
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
    const RulesReport report = [&](const CTracedRules& rules, const std::vector<std::string>& lines,
                                   const Converter& convert) {
        return ReportCoverage({options.definitionFile, lines, options.file}, captions, rules,
                              {options.counts, options.summary, options.failUnder}, convert,
                              session.Out(), session.Err());
    };
    return session.RunOnRules(Message(IDS_RUN_COVERAGE, {options.definitionFile, options.file}),
                              report);
}
