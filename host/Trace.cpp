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

const char kArrow[] = " \x81\xA8 "; // " → "

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

void TraceCaption(const std::vector<TracedRule>& rules, const std::string& caption, COutput& out)
{
    out.WriteLine(caption);
    std::string text = caption;
    bool changed = false;
    for (const TracedRule& rule : rules) {
        const std::string after = ApplyRule(text, rule.source, rule.replacement);
        if (after == text)
            continue;
        char label[32];
        snprintf(label, sizeof label, "  line %d: ", rule.line);
        out.WriteLine(label + Quoted(rule.source) + kArrow + Quoted(rule.replacement));
        out.WriteLine(std::string(strlen(label), ' ') + Quoted(after));
        text = after;
        changed = true;
    }
    if (!changed)
        out.WriteLine("  no rule changes it");
    out.WriteLine("  result: " + text);
    out.WriteLine("");
}
