// Check.h - vario-try --check: expected captions against the engine's
// conversions.
#pragma once

class CEngineSession;
struct Options;

// Checks the pairs of the mode's file with the engine started on --def's
// file (which the check never stores): prints each pair that fails, with
// its trace, and last "48 passed, 2 failed". kUsage when a pair failed,
// kNotWhole when a result could not be had whole, kFileUnreadable, said,
// when the file cannot be read or holds a wrong line.
int RunCheck(CEngineSession& session, const Options& options);
