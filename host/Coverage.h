// Coverage.h - vario-try --coverage: the rules of a definition file that
// change none of a set of captions.
#pragma once
#include "Trace.h"

// What went wrong on the way; the report holds in full only when both are 0.
struct CoverageErrors {
    int notWhole = 0;  // captions the engine could not convert whole
    int disagreed = 0; // captions the engine converted otherwise than the trace
};

// Traces each caption (line i + 1 of file) through the rules as --trace
// does, marking the rules that change it, and converts it with convert
// (false when the result cannot be had whole): the text after the last
// rule must be the conversion, else that caption is an error on err. Then
// prints the rules that changed no caption, with their lines, and "37 of
// 412 rules never fired on 1,203 captions." A run of more than a second
// shows on err, once a second, how many captions are done.
CoverageErrors ReportCoverage(const std::string& file, const std::vector<std::string>& captions,
                              const std::vector<TracedRule>& rules, const Converter& convert,
                              COutput& out, COutput& err);
