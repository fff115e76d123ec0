// VarioTry.cpp - tries a TitleForge conversion engine on captions: the run.
//
// A console host: it loads the engine module by its file name, finds its
// eight functions by name and calls them in the host application's order:
// interface version, name and version, TFEInitEngine, the conversions, the
// dialogs the user asked for, TFEExitEngine. Each mode is a function of its
// own file that runs the engine through one CEngineSession.
#include "Check.h"
#include "Convert.h"
#include "Coverage.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Explain.h"
#include "Help.h"
#include "HostEnvironment.h"
#include "Record.h"
#include "Trace.h"
#include "../qor/QorException.h"
#include "../res/Version.h"

namespace {

int RunHelp(CEngineSession& session, const Options&)
{
    session.Out().Write(kHelp);
    return kOk;
}

int RunVersion(CEngineSession& session, const Options&)
{
    session.Out().WriteLine("vario-try " VARIO_VERSION_TEXT);
    return kOk;
}

// The function that runs each mode.
const struct {
    Mode mode;
    int (*run)(CEngineSession& session, const Options& options);
} kModes[] = {
    {Mode::kConvert, RunConvert}, {Mode::kExplain, RunExplain},   {Mode::kTrace, RunTrace},
    {Mode::kCheck, RunCheck},     {Mode::kCoverage, RunCoverage}, {Mode::kRecord, RunRecord},
    {Mode::kHelp, RunHelp},       {Mode::kVersion, RunVersion},
};

// Runs the mode of options, printing in the code pages it asks for.
int Run(const Options& options)
{
    const bool consoleCp = UseConsoleCodePage(options);
    // --record writes a file that --check reads, as UTF-8. Files written at
    // a Windows console end their lines as Windows programs do.
    COutput out(STD_OUTPUT_HANDLE, options.raw,
                consoleCp && options.mode != Mode::kRecord ? GetConsoleOutputCP() : CP_UTF8,
                consoleCp);
    COutput err(STD_ERROR_HANDLE, options.raw, consoleCp ? GetConsoleOutputCP() : CP_UTF8,
                consoleCp);
    CEngineSession session(options, out, err, consoleCp ? GetConsoleCP() : CP_UTF8);
    for (const auto& each : kModes)
        if (each.mode == options.mode)
            return each.run(session, options);
    return kUsage;
}

// What the run says when it cannot go on: memory ran out, or an error of
// this program. Written with no memory of its own.
int Failed(const CQorException& e)
{
    const char* const message = e.code == 0 ? "vario-try: out of memory\n"
                                            : "vario-try: internal error\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, lstrlenA(message), &written, nullptr);
    return kNotWhole;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return QorCatchAll(
        [&] {
            Options options;
            std::wstring error;
            if (ParseOptions(argc, argv, options, error))
                return Run(options);
            COutput err(STD_ERROR_HANDLE, options.raw);
            err.WriteWideLine(L"vario-try: " + error + L"\n(" + WideFromAnsi(Command())
                              + L" --help lists the options)");
            return kUsage;
        },
        Failed);
}
