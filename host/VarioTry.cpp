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
#include "Messages.h"
#include "Record.h"
#include "Trace.h"
#include "../qor/QorException.h"
#include "../res/Version.h"

namespace {

int RunHelp(CEngineSession& session, const Options&)
{
    session.Out().Write(HelpText());
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

// What Failed says, out of memory or not, read from the string tables
// before it can be needed, and the code page of standard error when it is
// not a console.
wchar_t failedTexts[2][128] = {L"vario-try: out of memory\n", L"vario-try: internal error\n"};
UINT failedCodePage = CP_UTF8;

// Reads what Failed says in the user's language, for a standard error
// written in codePage.
void PrepareFailed(UINT codePage)
{
    const UINT ids[] = {IDS_OUT_OF_MEMORY, IDS_INTERNAL_ERROR};
    for (int i = 0; i < 2; ++i)
        lstrcpynW(failedTexts[i], (L"vario-try: " + WideMessage(ids[i]) + L"\n").c_str(), 128);
    failedCodePage = codePage;
}

// Runs the mode of options, printing in the code pages it asks for.
int Run(const Options& options)
{
    const bool consoleCp = UseConsoleCodePage(options);
    PrepareFailed(options.raw ? CP_ACP : consoleCp ? GetConsoleOutputCP() : CP_UTF8);
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
// this program. Written with no memory of its own: in English until Run
// has read the user's language.
int Failed(const CQorException& e)
{
    const wchar_t* const message = failedTexts[e.code == 0 ? 0 : 1];
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, message, lstrlenW(message), &written, nullptr);
        return kNotWhole;
    }
    char bytes[512];
    const int n = WideCharToMultiByte(failedCodePage, 0, message, -1, bytes, sizeof bytes, nullptr,
                                      nullptr);
    WriteFile(handle, bytes, n > 0 ? n - 1 : 0, &written, nullptr);
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
            err.WriteWideLine(L"vario-try: " + error + L"\n"
                              + WideMessage(IDS_HINT_HELP, {WideFromAnsi(Command())}));
            return kUsage;
        },
        Failed);
}
