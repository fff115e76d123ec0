// Explain.h - vario-try --explain: a definition file's lines as the engine
// reads them, with warnings about the mistakes that make rules fail.
#pragma once

class CEngineSession;
struct Options;

// Lists the lines of the mode's file; kUsage when it warned, kOk when not,
// kFileUnreadable, said, when the file cannot be read. Starts no engine.
int RunExplain(CEngineSession& session, const Options& options);
