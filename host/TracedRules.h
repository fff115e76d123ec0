// TracedRules.h - which rules of a definition file change a caption, and how.
#pragma once
#include "Console.h"
#include <functional>
#include <vector>

// One rule as the engine reads it, with the number of its line in the file.
struct TracedRule {
    int line;
    std::string source;
    std::string replacement;
};

// One rule that changed a caption, and the text after it.
struct TraceStep {
    const TracedRule* rule;
    std::string after;
};

// A caption's conversion by the engine module, which a trace is held
// against: false when the result cannot be had whole.
using Converter = std::function<bool(const std::string& caption, std::string& result)>;

// The file's rules in file order, read by the engine's own reader, and its
// lines. False when the file cannot be read; error then says why.
bool ReadTracedRules(const std::string& path, std::vector<TracedRule>& rules,
                     std::vector<std::string>& lines, std::string& error);

// Every rule that changes the caption, in file order, each applied to the
// text the rules before it left; the last step's text (the caption, when
// there is none) is the converted caption.
std::vector<TraceStep> TraceSteps(const std::vector<TracedRule>& rules, const std::string& caption);

// The rule as --trace shows it: "line 15: " and "source" → "replacement".
std::string ShownRule(const TracedRule& rule);

// Prints each step, indent first: the rule, then the text after it under
// its source; "no rule changes it" when there are no steps.
void WriteSteps(const std::vector<TraceStep>& steps, const std::string& indent, COutput& out);
