// Record.h - vario-try --record: a file of expected captions, from the
// captions of a file or of the windows on the display.
#pragma once

class CEngineSession;
struct Options;

// Writes the expected captions file that --check passes as it stands: each
// caption of the mode's file (of the visible windows with --windows) with
// what the engine, started on --def's file, makes of it. A pair no line can
// hold is said on standard error and left out (kUsage); kNotWhole when a
// result could not be had whole.
int RunRecord(CEngineSession& session, const Options& options);
