// Trace.cpp - which rules of a definition file change a caption, and how.
//
// The file is read by the engine's own reader and each rule applied with the
// engine's own replacement, one rule at a time in file order, so the trace
// cannot differ from what the engine does.
#include "Trace.h"
#include "RuleText.h"
#include "../engine/DefinitionFile.h"
#include <stdio.h>

namespace {

// The bytes and byte pairs of a text. The engine finds a source only where
// its bytes occur, so a rule whose source begins with a pair (or is a byte)
// that the text lacks is passed over at once: most rules of a large file,
// for most captions.
class CBytePairs {
public:
    // The bytes and byte pairs of text.
    explicit CBytePairs(const std::string& text) : seen(kBytes + 256, false)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            seen[kBytes + Byte(text[i])] = true;
            if (i + 1 < text.size())
                seen[Byte(text[i]) << 8 | Byte(text[i + 1])] = true;
        }
    }
    // False when source cannot occur in the text.
    bool MayHold(const std::string& source) const
    {
        if (source.size() < 2)
            return !source.empty() && seen[kBytes + Byte(source[0])];
        return seen[Byte(source[0]) << 8 | Byte(source[1])];
    }

private:
    static const size_t kBytes = 65536; // where the bytes follow the pairs
    static size_t Byte(char c) { return static_cast<unsigned char>(c); }

    std::vector<bool> seen;
};

} // namespace

bool ReadTracedRules(const std::string& path, std::vector<TracedRule>& rules,
                     std::vector<std::string>& lines, std::string& error)
{
    if (!ReadDefinitionLines(path, lines, error))
        return false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        int comma = -1;
        if (ClassifyDefinitionLine(CQorString(line.c_str(), 0), &comma) == kRuleLine)
            rules.push_back(
                {static_cast<int>(i + 1), line.substr(0, comma), line.substr(comma + 1)});
    }
    return true;
}

std::vector<TraceStep> TraceSteps(const std::vector<TracedRule>& rules, const std::string& caption)
{
    std::vector<TraceStep> steps;
    std::string text = caption;
    CBytePairs pairs(text);
    for (const TracedRule& rule : rules) {
        if (!pairs.MayHold(rule.source) || text.find(rule.source) == std::string::npos)
            continue;
        std::string after = ApplyRule(text, rule.source, rule.replacement);
        if (after == text)
            continue;
        text = after;
        pairs = CBytePairs(text);
        steps.push_back({&rule, std::move(after)});
    }
    return steps;
}

std::string ShownRule(const TracedRule& rule)
{
    char label[32];
    snprintf(label, sizeof label, "line %d: ", rule.line);
    return label + Quoted(rule.source) + kArrow + Quoted(rule.replacement);
}

void WriteSteps(const std::vector<TraceStep>& steps, const std::string& indent, COutput& out)
{
    if (steps.empty())
        out.WriteLine(indent + "no rule changes it");
    for (const TraceStep& step : steps) {
        const std::string shown = ShownRule(*step.rule);
        out.WriteLine(indent + shown);
        out.WriteLine(indent + std::string(shown.find('"'), ' ') + Quoted(step.after));
    }
}

void TraceCaption(const std::vector<TracedRule>& rules, const std::string& caption, COutput& out)
{
    out.WriteLine(caption);
    const std::vector<TraceStep> steps = TraceSteps(rules, caption);
    WriteSteps(steps, "  ", out);
    out.WriteLine("  result: " + (steps.empty() ? caption : steps.back().after));
    out.WriteLine("");
}
