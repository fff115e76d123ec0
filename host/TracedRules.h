// TracedRules.h - which rules of a definition file change a caption, and how.
#pragma once
#include "Console.h"
#include <functional>
#include <stdint.h>
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

// A definition file's rules applied to a caption one by one, in file order,
// each to the text the rules before it left: the reference the engine's
// conversion is held against. The file is cut into lines and rules by the
// engine's own reader; the search and the replacement are this host's own,
// a plain byte search written for it, so that a fault in the engine's
// search or its index shows as a difference.
class CTracedRules {
public:
    // Reads the file's rules in file order, and its lines. False when the
    // file cannot be read; error then says why.
    bool Read(const std::string& path, std::vector<std::string>& lines, std::string& error);
    // The rules, in file order.
    const std::vector<TracedRule>& Rules() const { return rules; }
    // Every rule that changes the caption, in file order, each applied to
    // the text the rules before it left; the last step's text (the caption,
    // when there is none) is the converted caption.
    std::vector<TraceStep> Steps(const std::string& caption) const;

private:
    // A rule filed under the key of the first two bytes of its source (see
    // Read), with the keys of its middle two and its last two: a text must
    // hold all three for the source to occur in it.
    struct Filed {
        unsigned rule; // its index in rules
        unsigned middle;
        unsigned last;
    };
    // Marks in due each rule from rule from on that a text of these keys
    // (present[key] for each) may set off: one filed under one of the keys,
    // whose other keys the text holds too.
    void AddDue(const std::vector<unsigned>& keys, const std::vector<bool>& present, unsigned from,
                std::vector<uint32_t>& due) const;

    std::vector<TracedRule> rules;
    // The rules by the first key of their source, each key's in file order:
    // those of key k are filed[filedAt[k]] up to filed[filedAt[k + 1]].
    std::vector<Filed> filed;
    std::vector<unsigned> filedAt;
    bool lead[256] = {}; // the ANSI code page's lead bytes
};

// What --check and --coverage say when the engine converts caption to
// converted, and the rules one by one take it through steps: empty when the
// two agree.
std::string Disagreement(const std::string& caption, const std::string& converted,
                         const std::vector<TraceStep>& steps);

// The rule as --trace shows it: "line 15: " and "source" → "replacement".
std::string ShownRule(const TracedRule& rule);

// Prints each step, indent first: the rule, then the text after it under
// its source; "no rule changes it" when there are no steps.
void WriteSteps(const std::vector<TraceStep>& steps, const std::string& indent, COutput& out);
