// TracedRules.cpp - which rules of a definition file change a caption, and how.
//
// The file is read by the engine's own reader and each rule applied with the
// engine's own replacement, one rule at a time in file order, so the trace
// cannot differ from what the engine does.
#include "TracedRules.h"
#include "Messages.h"
#include "RuleText.h"
#include "../engine/DefinitionFile.h"
#include "../engine/RuleKeys.h"
#include "../qor/QorSearch.h"
#include <algorithm>

namespace {

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The keys of a text, as the engine's index keys it. A source occurs only
// where its key does, so a rule whose key the text lacks is passed over at
// once: most rules of a large file, for most captions.
class CTextKeys {
public:
    // The keys that begin at each byte of text.
    explicit CTextKeys(const std::string& text)
    {
        const int length = static_cast<int>(text.size());
        for (int i = 0; i < length; ++i) {
            unsigned found[4];
            keys.insert(keys.end(), found, found + KeysAt(Bytes(text), length, i, lead, found));
        }
        std::sort(keys.begin(), keys.end());
    }
    // False when source cannot occur in the text.
    bool MayHold(const std::string& source) const
    {
        return !source.empty()
            && std::binary_search(keys.begin(), keys.end(),
                                  SourceKey(Bytes(source), static_cast<int>(source.size()), lead));
    }

private:
    const bool* lead = QorLeadBytes();
    std::vector<unsigned> keys; // sorted
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
        if (ClassifyDefinitionLine(CQorString(line.c_str(), 0), &comma) == DefLineKind::kRule)
            rules.push_back(
                {static_cast<int>(i + 1), line.substr(0, comma), line.substr(comma + 1)});
    }
    return true;
}

std::vector<TraceStep> TraceSteps(const std::vector<TracedRule>& rules, const std::string& caption)
{
    std::vector<TraceStep> steps;
    std::string text = caption;
    CTextKeys keys(text);
    for (const TracedRule& rule : rules) {
        if (!keys.MayHold(rule.source) || text.find(rule.source) == std::string::npos)
            continue;
        std::string after = ApplyRule(text, rule.source, rule.replacement);
        if (after == text)
            continue;
        text = after;
        keys = CTextKeys(text);
        steps.push_back({&rule, std::move(after)});
    }
    return steps;
}

std::string ShownRule(const TracedRule& rule)
{
    return Message(IDS_TRACE_LINE, {Number(rule.line)}) + Quoted(rule.source) + kArrow
        + Quoted(rule.replacement);
}

void WriteSteps(const std::vector<TraceStep>& steps, const std::string& indent, COutput& out)
{
    if (steps.empty())
        out.WriteLine(indent + Message(IDS_TRACE_NO_RULE));
    for (const TraceStep& step : steps) {
        const std::string shown = ShownRule(*step.rule);
        out.WriteLine(indent + shown);
        out.WriteLine(indent + std::string(shown.find('"'), ' ') + Quoted(step.after));
    }
}
