// Coverage.cpp - the rules that change none of a set of captions.
//
// A rule fires on a caption when applying it, after the rules before it,
// changes the text: what --trace lists, with the engine's own rule-table
// code. The engine module's conversion of every caption is held against
// the text after the last rule, so the report cannot silently differ from
// what the engine does.
#include "Coverage.h"
#include "RuleText.h"

namespace {

// "1 rule", "412 rules".
std::string Count(size_t n, const char* noun)
{
    return Grouped(static_cast<int>(n)) + " " + noun + (n == 1 ? "" : "s");
}

} // namespace

CoverageErrors ReportCoverage(const std::string& file, const std::vector<std::string>& captions,
                              const std::vector<TracedRule>& rules, const Converter& convert,
                              COutput& out, COutput& err)
{
    CoverageErrors errors;
    std::vector<bool> fired(rules.size(), false);
    DWORD shown = GetTickCount();
    size_t counted = 0; // the captions: empty lines are none
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].empty())
            continue;
        ++counted;
        if (GetTickCount() - shown >= 1000) {
            shown = GetTickCount();
            err.WriteLine("vario-try: " + Grouped(static_cast<int>(i)) + " of "
                          + Count(captions.size(), "caption") + " done");
        }
        const std::string where = "vario-try: " + file + ":" + std::to_string(i + 1) + ": ";
        const std::vector<TraceStep> steps = TraceSteps(rules, captions[i]);
        for (const TraceStep& step : steps)
            fired[step.rule - rules.data()] = true;
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
    size_t never = 0;
    for (size_t i = 0; i < rules.size(); ++i) {
        if (fired[i])
            continue;
        if (never++ == 0)
            out.WriteLine("Rules that changed none of the captions:");
        out.WriteLine("  " + ShownRule(rules[i]));
    }
    out.WriteLine(Grouped(static_cast<int>(never)) + " of " + Count(rules.size(), "rule")
                  + " never fired on " + Count(counted, "caption") + ".");
    return errors;
}
