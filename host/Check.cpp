// Check.cpp - vario-try --check: expected captions against the engine's
// conversions.
//
// The captions are converted by the engine module, as the host application
// converts them; the rules that fired come from the trace, which applies
// the engine's own rule-table code one rule at a time.
#include "Check.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "ExpectedCaptions.h"
#include "Messages.h"
#include "RuleText.h"

namespace {

// What a check found.
struct CheckCount {
    int passed = 0;
    int failed = 0;
    int notWhole = 0; // failed because the engine could not convert them whole
};

// Where in the text each character begins, and its end: at[i] is true when
// a character begins at byte i (or i is the end).
std::vector<bool> CharacterStarts(const std::string& text)
{
    std::vector<bool> at(text.size() + 1, false);
    for (size_t i = 0; i < text.size(); i += CharacterSize(text, i))
        at[i] = true;
    at[text.size()] = true;
    return at;
}

// Where two different texts part, in whole characters: what each holds
// between their common start and their common end, and that start; empty
// when they have neither.
std::string Difference(const std::string& expected, const std::string& actual)
{
    const std::vector<bool> e = CharacterStarts(expected);
    const std::vector<bool> a = CharacterStarts(actual);
    size_t start = 0; // the length of the common start
    for (size_t i = 1;
         i <= expected.size() && i <= actual.size() && expected[i - 1] == actual[i - 1]; ++i)
        if (e[i] && a[i])
            start = i;
    size_t end = 0; // the length of the common end, after the common start
    for (size_t i = 1; start + i <= expected.size() && start + i <= actual.size()
         && expected[expected.size() - i] == actual[actual.size() - i];
         ++i)
        if (e[expected.size() - i] && a[actual.size() - i])
            end = i;
    if (start == 0 && end == 0)
        return std::string();
    const std::string wanted = Quoted(expected.substr(start, expected.size() - start - end));
    const std::string came = Quoted(actual.substr(start, actual.size() - start - end));
    return start == 0 ? Message(IDS_DIFF_AT_START, {wanted, came})
                      : Message(IDS_DIFF_AFTER, {wanted, came, Quoted(expected.substr(0, start))});
}

// Converts each pair's caption with convert (false when the result cannot
// be had whole) and prints each pair whose result differs: its line in
// file, the caption, what was expected, what came and where the two part,
// and the rules that changed the caption, traced as --trace traces them.
// Last, "48 passed, 2 failed".
CheckCount CheckCaptions(const std::string& file, const std::vector<ExpectedCaption>& pairs,
                         const std::vector<TracedRule>& rules, const Converter& convert,
                         COutput& out)
{
    CheckCount count;
    for (const ExpectedCaption& pair : pairs) {
        std::string actual;
        const bool whole = convert(pair.caption, actual);
        if (whole && actual == pair.expected) {
            ++count.passed;
            continue;
        }
        ++count.failed;
        out.WriteLine(file + ":" + Number(pair.line) + ": " + Quoted(pair.caption));
        if (!whole) {
            ++count.notWhole;
            out.WriteLine("  " + Message(IDS_NOT_WHOLE));
        }
        out.WriteLine(Message(IDS_CHECK_EXPECTED) + Quoted(pair.expected));
        out.WriteLine(Message(IDS_CHECK_ACTUAL) + Quoted(actual));
        const std::string difference = Difference(pair.expected, actual);
        if (!difference.empty())
            out.WriteLine(Message(IDS_CHECK_DIFFERS) + difference);
        const std::string note = NearMiss(pair);
        if (!note.empty())
            out.WriteLine(Message(IDS_CHECK_NOTE) + note);
        out.WriteLine(Message(IDS_CHECK_TRACE));
        WriteSteps(TraceSteps(rules, pair.caption), "    ", out);
        out.WriteLine("");
    }
    out.WriteLine(Grouped(count.passed) + " passed, " + Grouped(count.failed) + " failed");
    return count;
}

} // namespace

int RunCheck(CEngineSession& session, const Options& options)
{
    std::vector<ExpectedCaption> pairs;
    std::vector<std::string> errors;
    if (!ReadExpectedCaptions(options.file, options.raw, pairs, errors)) {
        for (const std::string& error : errors)
            session.Err().WriteLine("vario-try: " + error);
        return kFileUnreadable;
    }
    for (const ExpectedCaption& pair : pairs)
        session.NoteLost(pair.lost, options.file + ":" + Number(pair.line));
    return session.RunOnRules(
        Message(IDS_RUN_CHECKING, {options.file, options.definitionFile}),
        [&](const std::vector<TracedRule>& rules, const std::vector<std::string>&,
            const Converter& convert) {
            const CheckCount count = CheckCaptions(options.file, pairs, rules, convert,
                                                   session.Out());
            return count.notWhole > 0 ? kNotWhole : count.failed > 0 ? kUsage : kOk;
        });
}
