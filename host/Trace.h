// Trace.h - vario-try --trace: which rules of a definition file change each
// caption, and how.
#pragma once

class CEngineSession;
struct Options;

// Traces each caption of the command line or standard input through the
// rules of the mode's file, without the engine module: the caption, every
// rule that changes it with the text after it, and the result. The exit
// status; kFileUnreadable, said, when the file cannot be read.
int RunTrace(CEngineSession& session, const Options& options);
