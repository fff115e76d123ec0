// Check.h - vario-try --check: expected captions against the engine's
// conversions.
#pragma once
#include "ExpectedCaptions.h"
#include "Trace.h"

// What a check found.
struct CheckCount {
    int passed = 0;
    int failed = 0;
    int notWhole = 0; // failed because the engine could not convert them whole
};

// Converts each pair's caption with convert (false when the result cannot
// be had whole) and prints each pair whose result differs: its line in
// file, the caption, what was expected, what came and where the two part,
// and the rules that changed the caption, traced as --trace traces them.
// Last, "48 passed, 2 failed".
CheckCount CheckCaptions(const std::string& file, const std::vector<ExpectedCaption>& pairs,
                         const std::vector<TracedRule>& rules, const Converter& convert,
                         COutput& out);
