// Trace.cpp - which rules of a definition file change a caption, and how.
//
// The file is read by the engine's own reader and each rule applied with the
// engine's own replacement (CConvEngine::ReplaceAll), one rule at a time in
// file order, so the trace cannot differ from what the engine does.
#include "Trace.h"
#include "Explain.h"
#include "../engine/ConvEngine.h"
#include <stdio.h>
#include <string.h>

namespace {

const char kArrow[] = " \x81\xA8 "; // " → "

std::string Quoted(const std::string& text)
{
    return "\"" + Visible(text) + "\"";
}

bool SameText(const CQorString& a, const CQorString& b)
{
    return a.length == b.length && memcmp(a.data, b.data, a.length) == 0;
}

} // namespace

bool ReadTracedRules(const std::string& path, std::vector<TracedRule>& rules, std::string& error)
{
    CDefinitionText file;
    if (!ReadDefinitionText(path, file, error))
        return false;
    int number = 0;
    while (const char* line = file.NextLine()) {
        ++number;
        const CQorString text(line, 0);
        int comma = -1;
        if (ClassifyDefinitionLine(text, &comma) == kRuleLine)
            rules.push_back({number, std::string(line, comma), std::string(line + comma + 1)});
    }
    return true;
}

void TraceCaption(const std::vector<TracedRule>& rules, const std::string& caption, COutput& out)
{
    out.WriteLine(caption);
    CConvEngine engine;
    CQorString text(caption.c_str(), 0);
    bool changed = false;
    for (const TracedRule& rule : rules) {
        const CQorString after = engine.ReplaceAll(text, rule.source.c_str(),
                                                   rule.replacement.c_str());
        if (SameText(after, text))
            continue;
        char label[32];
        snprintf(label, sizeof label, "  line %d: ", rule.line);
        out.WriteLine(label + Quoted(rule.source) + kArrow + Quoted(rule.replacement));
        out.WriteLine(std::string(strlen(label), ' ') + Quoted(after.data));
        text.Assign(after);
        changed = true;
    }
    if (!changed)
        out.WriteLine("  no rule changes it");
    out.WriteLine("  result: " + std::string(text.data, text.length));
    out.WriteLine("");
}
