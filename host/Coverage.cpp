// Coverage.cpp - the rules that change no caption of a set.
//
// A rule fires on a caption when applying it, after the rules before it,
// changes the text: what --trace lists, with the engine's own rule-table
// code. The engine module's conversion of every caption is held against
// the text after the last rule, so the report cannot silently differ from
// what the engine does.
#include "Coverage.h"
#include "Explain.h"
#include "RuleText.h"
#include <map>

namespace {

// "1 rule", "412 rules".
std::string Count(size_t n, const char* noun)
{
    return Grouped(static_cast<int>(n)) + " " + noun + (n == 1 ? "" : "s");
}

} // namespace

CoverageErrors ReportCoverage(const CoverageFiles& files, const std::vector<std::string>& captions,
                              const std::vector<TracedRule>& rules, bool counts,
                              const Converter& convert, COutput& out, COutput& err)
{
    CoverageErrors errors;
    std::vector<int> changed(rules.size(), 0);
    DWORD shown = GetTickCount();
    std::string progress; // the count shown in place on a console
    size_t counted = 0;   // the captions: empty lines are none
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].empty())
            continue;
        ++counted;
        if (GetTickCount() - shown >= 1000) {
            shown = GetTickCount();
            progress = "vario-try: " + Grouped(static_cast<int>(i)) + " of "
                + Count(captions.size(), "line") + " done";
            err.Write(err.IsConsole() ? "\r" + progress : progress + "\n");
        }
        const std::string where = "vario-try: " + files.captions + ":" + std::to_string(i + 1)
            + ": ";
        const std::vector<TraceStep> steps = TraceSteps(rules, captions[i]);
        for (const TraceStep& step : steps)
            ++changed[step.rule - rules.data()];
        const std::string traced = steps.empty() ? captions[i] : steps.back().after;
        std::string converted;
        if (!convert(captions[i], converted)) {
            ++errors.notWhole;
            err.WriteLine(where + kNotWholeMessage);
        } else if (converted != traced) {
            ++errors.disagreed;
            err.WriteLine(where + "the engine converts " + Quoted(captions[i]) + " to "
                          + Quoted(converted) + ", but its rules applied one by one give "
                          + Quoted(traced));
        }
    }
    if (!progress.empty() && err.IsConsole())
        err.Write("\r" + std::string(progress.size(), ' ') + "\r");
    const std::map<int, std::string> warnings = LineWarnings(files.ruleLines);
    out.WriteLine("Rules of " + files.rules
                  + (counts ? " and the captions of " : " that changed no caption of ")
                  + files.captions + (counts ? " each changed:" : ":"));
    size_t never = 0;
    for (size_t i = 0; i < rules.size(); ++i) {
        never += changed[i] == 0;
        if (changed[i] > 0 && !counts)
            continue;
        const auto warning = warnings.find(rules[i].line);
        out.WriteLine(
            files.rules + ":" + std::to_string(rules[i].line) + ": " + Quoted(rules[i].source)
            + kArrow + Quoted(rules[i].replacement)
            + (counts ? " (" + Count(changed[i], "caption") + ")" : "")
            + (changed[i] == 0 && warning != warnings.end() ? ": " + warning->second : ""));
    }
    const size_t fired = rules.size() - never;
    out.WriteLine(Grouped(static_cast<int>(fired)) + " of " + Count(rules.size(), "rule")
                  + " changed a caption"
                  + (rules.empty() ? "" : " (" + std::to_string(fired * 100 / rules.size()) + "%)")
                  + ", " + Grouped(static_cast<int>(never)) + " changed none, on "
                  + Count(counted, "caption") + ".");
    return errors;
}
