// Trace.h - which rules of a definition file change a caption, and how.
#pragma once
#include "HostText.h"
#include <vector>

// One rule as the engine reads it, with the number of its line in the file.
struct TracedRule {
    int line;
    std::string source;
    std::string replacement;
};

// The file's rules in file order, read by the engine's own reader, and its
// lines. False when the file cannot be read; error then says why.
bool ReadTracedRules(const std::string& path, std::vector<TracedRule>& rules,
                     std::vector<std::string>& lines, std::string& error);

// Prints the caption, then every rule that changes it, in order, with the
// text after that rule, and last the converted caption as it is.
void TraceCaption(const std::vector<TracedRule>& rules, const std::string& caption, COutput& out);
