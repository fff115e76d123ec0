// Coverage.h - vario-try --coverage: the rules of a definition file that
// change no caption of a set.
#pragma once

class CEngineSession;
struct Options;

// Lists the rules of --def's file that change no caption of the mode's file
// (or, with --counts, every rule with the captions it changed), with the
// engine started on that file (which is never stored). kDisagreed when the
// engine converts a caption otherwise than its rules one by one, kNotWhole
// when a result could not be had whole, kFileUnreadable, said, when a file
// cannot be read.
int RunCoverage(CEngineSession& session, const Options& options);
