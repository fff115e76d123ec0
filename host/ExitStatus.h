// ExitStatus.h - what vario-try's exit status says (its --help lists them).
#pragma once

const int kOk = 0;
const int kUsage = 1; // also: a warning about the rule file, input not in its code page, a
                      // pair --check failed or --record left out
const int kEngineUnusable = 2;
const int kDefinitionFailed = 3;
const int kFileUnreadable = 4; // --explain, --trace, --check, --coverage, --record
const int kNotWhole = 5;       // a caption's result was cut, or not made; no memory
const int kDisagreed = 6;      // --check, --coverage: the engine and its rules one by one differ
const int kUnderThreshold = 7; // --coverage --fail-under: too few rules changed a caption
