// Convert.h - vario-try's plain run: the engine converts each caption, as
// the host application converts it, and opens the dialogs asked for.
#pragma once

class CEngineSession;
struct Options;

// Converts the captions of the command line, the windows or standard input,
// each printed on a line of its own or, with --show, in a table under the
// engine's name; then opens the dialogs asked for. The exit status.
int RunConvert(CEngineSession& session, const Options& options);
