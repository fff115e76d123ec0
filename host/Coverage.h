// Coverage.h - vario-try --coverage: the rules of a definition file that
// change no caption of a set.
#pragma once
#include "Trace.h"

// What a coverage report is about, the files named as the user typed them.
struct CoverageFiles {
    std::string rules;
    std::vector<std::string> ruleLines; // the rule file's lines, for --explain's warnings
    std::string captions;
};

// What went wrong on the way; the report holds in full only when both are 0.
struct CoverageErrors {
    int notWhole = 0;  // captions the engine could not convert whole
    int disagreed = 0; // captions the engine converted otherwise than the trace
};

// Traces each caption (line i + 1 of the captions file; an empty line is
// none) through the rules as --trace does, counting the captions each rule
// changes, and converts it with convert (false when the result cannot be
// had whole): the text after the last rule must be the conversion, else
// that caption is an error on err. Then prints each rule that changed no
// caption (every rule with its count when counts is true) as
//     rules.def:13: "source" → "replacement"
// with the first warning --explain gives about its line, and last
// "2 of 5 rules changed a caption (40%), 3 changed none, on 1,203 captions."
// A run of more than a second shows on err, once a second, how many
// captions are done: on a console in place, else on a line each time.
CoverageErrors ReportCoverage(const CoverageFiles& files, const std::vector<std::string>& captions,
                              const std::vector<TracedRule>& rules, bool counts,
                              const Converter& convert, COutput& out, COutput& err);
