// VarioTry.cpp - tries a TitleForge conversion engine on captions.
//
// A console host: it loads the engine module by its file name, finds its
// eight functions by name and calls them in the host application's order:
// interface version, name and version, TFEInitEngine, the conversions, the
// dialogs the user asked for, TFEExitEngine.
#include "EngineModule.h"
#include "Explain.h"
#include "HostText.h"
#include "Setting.h"
#include "Trace.h"
#include "../qor/QorException.h"
#include <stdio.h>
#include <vector>

namespace {

const DWORD kApiVersion = 0x00010000;
const char kArrow[] = "\x81\xA8"; // "→"

// Exit statuses.
const int kOk = 0;
const int kUsage = 1;
const int kEngineUnusable = 2;
const int kDefinitionFailed = 3;
const int kFileUnreadable = 4; // --explain, --trace

const char kHelp[] =
    "vario-try: tries the Vario conversion engine (Vario.tfe) on window captions.\n"
    "\n"
    "usage: vario-try [OPTIONS] [CAPTION...]\n"
    "       vario-try --explain FILE\n"
    "       vario-try --trace FILE [CAPTION...]\n"
    "\n"
    "Each CAPTION is converted with the rules of the engine's definition file\n"
    "and printed on a line of its own. Without a CAPTION, the captions are read\n"
    "from standard input, one per line.\n"
    "\n"
    "  --def FILE      Try the definition file FILE. Its full path is stored where\n"
    "                  the engine keeps its setting (registry key HKEY_CURRENT_USER\\\n"
    "                  Software\\Orvalis\\TitleForge\\EngineSettings\\Vario, string\n"
    "                  value \"DefFile\") and the engine is then started, as if you\n"
    "                  had chosen FILE in the engine's Settings dialog in an earlier\n"
    "                  run. When vario-try ends, the value it found there is put\n"
    "                  back (or removed again, if there was none), so the host\n"
    "                  application keeps its file.\n"
    "                  Without --def the engine loads the file stored last.\n"
    "  --remember      With --def: keep FILE as the engine's setting, for the host\n"
    "                  application and later runs.\n"
    "  --show          Print a table, caption -> converted caption; a caption the\n"
    "                  rules leave as it was is marked \"= (unchanged)\".\n"
    "  --explain FILE  List the lines of the definition file FILE as the engine\n"
    "                  reads them, in order, with tabs, CRs, trailing blanks and\n"
    "                  other invisible bytes shown in braces ({TAB}, {CR}, {SP}),\n"
    "                  and warn about lines that do not do what they seem to do.\n"
    "                  The engine is not started.\n"
    "  --trace FILE    For each caption, show every rule of FILE that changes it,\n"
    "                  in order: its line number, \"source\" -> \"replacement\" (in\n"
    "                  the notation of --explain) and the text after it; the last\n"
    "                  line, \"result:\", is the converted caption. Uses the engine's\n"
    "                  own reader and replacement; the engine is not started.\n"
    "  --about         Open the engine's About dialog (its version and the rules\n"
    "                  in force) after the conversions. Needs a display.\n"
    "  --settings      Open the engine's Settings dialog to choose a definition\n"
    "                  file; the choice is remembered. Needs a display.\n"
    "  --raw           Read and write text as the engine's own bytes (the ANSI\n"
    "                  code page: 932, Shift-JIS, on a Japanese system) instead of\n"
    "                  UTF-8. For scripts.\n"
    "  --engine FILE   Load this engine module instead of Vario.tfe beside\n"
    "                  vario-try.exe.\n"
    "  --help          Show this text.\n"
    "  --              Everything after it is a caption, even if it begins with -.\n"
    "\n"
    "The definition file is Shift-JIS text: each line with a comma is a rule,\n"
    "\"source,replacement\", split at the first comma, nothing trimmed. Lines\n"
    "[like this] and lines beginning with // are ignored. The rules apply in\n"
    "file order, each one to the result of those before it.\n"
    "\n"
    "Exit status: 0 done; 1 wrong usage, or a dialog without a display; 2 the\n"
    "engine cannot be used; 3 the definition file did not load; 4 --explain or\n"
    "--trace cannot read its file.\n";

struct Options {
    std::string engine;
    std::string definitionFile;
    std::string explainFile;
    std::string traceFile;
    bool useDefinitionFile = false;
    bool remember = false;
    bool explain = false;
    bool trace = false;
    bool show = false;
    bool raw = false;
    bool about = false;
    bool settings = false;
    bool help = false;
    std::vector<std::string> captions; // engine text
};

// The command line as UTF-16 words, made engine text: the terminal's
// encoding does not matter here, raw mode or not.
bool ParseOptions(int argc, wchar_t** argv, Options& options, std::string& error)
{
    bool captionsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (captionsOnly || arg.empty() || arg[0] != L'-' || arg == L"-") {
            options.captions.push_back(AnsiFromWide(arg));
            continue;
        }
        const bool takesFile = arg == L"--def" || arg == L"--explain" || arg == L"--trace"
            || arg == L"--engine";
        if (takesFile && i + 1 == argc) {
            error = AnsiFromWide(arg) + " needs a file name";
            return false;
        }
        if (arg == L"--") {
            captionsOnly = true;
        } else if (arg == L"--def") {
            options.useDefinitionFile = true;
            options.definitionFile = AnsiFromWide(argv[++i]);
        } else if (arg == L"--explain") {
            options.explain = true;
            options.explainFile = AnsiFromWide(argv[++i]);
        } else if (arg == L"--trace") {
            options.trace = true;
            options.traceFile = AnsiFromWide(argv[++i]);
        } else if (arg == L"--remember") {
            options.remember = true;
        } else if (arg == L"--engine") {
            options.engine = AnsiFromWide(argv[++i]);
        } else if (arg == L"--show") {
            options.show = true;
        } else if (arg == L"--raw") {
            options.raw = true;
        } else if (arg == L"--about") {
            options.about = true;
        } else if (arg == L"--settings") {
            options.settings = true;
        } else if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            options.help = true;
        } else {
            error = "unknown option " + AnsiFromWide(arg)
                + " (a caption that begins with - "
                  "goes after --)";
            return false;
        }
    }
    if (options.explain
        && (options.useDefinitionFile || options.show || options.about || options.settings
            || !options.captions.empty())) {
        error = "--explain only lists a file; it converts nothing and takes no other option "
                "but --raw";
        return false;
    }
    if (options.trace
        && (options.explain || options.useDefinitionFile || options.show || options.about
            || options.settings)) {
        error = "--trace reads its own file and starts no engine; it takes captions and --raw "
                "only";
        return false;
    }
    if (options.remember && !options.useDefinitionFile) {
        error = "--remember keeps the file of --def; give --def FILE too";
        return false;
    }
    return true;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n == 0 || n >= sizeof full ? path : std::string(full, n);
}

std::string DefaultEnginePath()
{
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path(exe, n < sizeof exe ? n : 0);
    path.erase(path.find_last_of("\\/") + 1);
    return path + "Vario.tfe";
}

// Under Wine a window needs an X display; without one, a dialog or message
// box would open unseen. Windows itself always has a display.
bool HaveDisplay()
{
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return true;
    char value[2];
    return GetEnvironmentVariableA("DISPLAY", value, sizeof value) != 0
        || GetEnvironmentVariableA("WAYLAND_DISPLAY", value, sizeof value) != 0;
}

// Whether the engine's own reader can read the file; error says why not.
bool DefinitionFileReads(const std::string& path, std::string& error)
{
    CDefinitionText text;
    return ReadDefinitionText(path, text, error);
}

struct Row {
    std::string before;
    std::string after;
};

class CHost {
public:
    explicit CHost(const Options& options)
        : options(options), out(STD_OUTPUT_HANDLE, options.raw), err(STD_ERROR_HANDLE, options.raw)
    {
    }
    int Run();

private:
    int Fail(int status, const std::string& message);
    int Explain();
    int Trace();
    int Start();
    std::string Convert(const std::string& caption);
    void ConvertAll();
    template <class Each>
    void ForEachCaption(Each each);
    void PrintTable(const std::vector<Row>& rows);
    std::string EngineText(BOOL(WINAPI* get)(LPSTR, int));

    const Options& options;
    COutput out;
    COutput err;
    CTrialSetting trial; // put back after the engine has ended
    CEngineModule engine;
    std::string definitionFile;
};

int CHost::Fail(int status, const std::string& message)
{
    err.WriteLine("vario-try: " + message);
    return status;
}

int CHost::Run()
{
    if (options.help) {
        out.Write(kHelp);
        return kOk;
    }
    if (options.explain)
        return Explain();
    if (options.trace)
        return Trace();
    if ((options.about || options.settings) && !HaveDisplay())
        return Fail(kUsage,
                    "--about and --settings open a dialog, which needs a display "
                    "(under Wine: an X display in DISPLAY)");
    const int status = Start();
    if (status != kOk)
        return status;
    ConvertAll();
    if (options.about)
        engine.OnAbout(nullptr);
    if (options.settings)
        engine.OnSetting(nullptr);
    engine.ExitEngine();
    return kOk;
}

int CHost::Explain()
{
    std::string error;
    try {
        if (ExplainDefinitionFile(options.explainFile, out, error) >= 0)
            return kOk;
    } catch (CQorException*) {
        error = "out of memory";
    }
    return Fail(kFileUnreadable,
                "cannot read the definition file " + options.explainFile + ": " + error);
}

int CHost::Trace()
{
    std::vector<TracedRule> rules;
    std::string error;
    try {
        if (ReadTracedRules(options.traceFile, rules, error)) {
            ForEachCaption([&](const std::string& caption) { TraceCaption(rules, caption, out); });
            return kOk;
        }
    } catch (CQorException*) {
        error = "out of memory";
    }
    return Fail(kFileUnreadable,
                "cannot read the definition file " + options.traceFile + ": " + error);
}

std::string CHost::EngineText(BOOL(WINAPI* get)(LPSTR, int))
{
    char text[256] = "";
    return get(text, sizeof text) ? std::string(text) : std::string("?");
}

// Loads the engine, checks it and starts it on its definition file.
int CHost::Start()
{
    const std::string path = FullPath(options.engine.empty() ? DefaultEnginePath()
                                                             : options.engine);
    std::string error;
    if (!engine.Load(path, error))
        return Fail(kEngineUnusable, "cannot load the engine " + path + ": " + error);
    const DWORD version = engine.GetAPIVersion();
    if (version != kApiVersion) {
        char text[160];
        snprintf(text, sizeof text,
                 "the engine's interface version is 0x%08lX; this host "
                 "speaks version 0x%08lX only",
                 version, kApiVersion);
        return Fail(kEngineUnusable, path + ": " + text);
    }
    const std::string name = EngineText(engine.GetEngineDescription) + " "
        + EngineText(engine.GetEngineVersion);

    if (options.useDefinitionFile) {
        const std::string full = options.definitionFile.empty() ? std::string()
                                                                : FullPath(options.definitionFile);
        const bool stored = options.remember ? StoreDefinitionFile(full) : trial.Store(full);
        if (!stored)
            return Fail(kDefinitionFailed,
                        "cannot store the definition file's path in the "
                        "registry (HKEY_CURRENT_USER\\"
                            + std::string(kSettingsKey) + ")");
    }
    definitionFile = StoredDefinitionFile();
    const std::string failed = "cannot load the definition file " + definitionFile;
    const std::string hint = options.useDefinitionFile ? ""
                                                       : " (an earlier run chose it; choose "
                                                         "another with --def FILE --remember)";
    // Without a display the engine's own message box would open unseen, so a
    // file that cannot be read is reported here and the engine not started.
    if (!definitionFile.empty() && !DefinitionFileReads(definitionFile, error) && !HaveDisplay())
        return Fail(kDefinitionFailed, failed + ": " + error + hint);
    if (!engine.InitEngine()) {
        engine.ExitEngine();
        return Fail(kDefinitionFailed, failed + (error.empty() ? "" : ": " + error) + hint);
    }
    if (options.show) {
        out.WriteLine(name + ", definition file: "
                      + (definitionFile.empty() ? "none chosen (try --def FILE)" : definitionFile));
        out.WriteLine("");
    }
    return kOk;
}

// The converted caption; the buffer grows until the result fits.
std::string CHost::Convert(const std::string& caption)
{
    for (int size = 1024;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        if (!engine.ConvertCaptionString(0, caption.c_str(), buffer.data(), size)) {
            err.WriteLine("vario-try: the engine did not convert this caption: " + caption);
            return caption;
        }
        const std::string result(buffer.data());
        if (static_cast<int>(result.size()) < size - 1 || size >= (1 << 24))
            return result;
    }
}

void CHost::ConvertAll()
{
    std::vector<Row> rows;
    int unchanged = 0;
    auto convert = [&](const std::string& caption) {
        const Row row = {caption, Convert(caption)};
        unchanged += row.after == row.before;
        if (options.show)
            rows.push_back(row);
        else
            out.WriteLine(row.after);
    };
    ForEachCaption(convert);
    if (options.show) {
        PrintTable(rows);
    } else if (unchanged > 0) {
        char note[64];
        snprintf(note, sizeof note, "(%d caption%s unchanged)", unchanged,
                 unchanged == 1 ? "" : "s");
        err.WriteLine(note);
    }
}

// The captions of the command line, or else those of standard input (not
// read when only a dialog was asked for).
template <class Each>
void CHost::ForEachCaption(Each each)
{
    if (!options.captions.empty()) {
        for (const std::string& caption : options.captions)
            each(caption);
    } else if (!options.about && !options.settings) {
        CInput in(options.raw);
        for (std::string line; in.NextLine(line);)
            each(line);
    }
}

// Captions and their results side by side. In code page 932 a character
// takes as many columns on a terminal as it has bytes, so the byte count
// lines the arrows up.
void CHost::PrintTable(const std::vector<Row>& rows)
{
    size_t width = 0;
    for (const Row& row : rows)
        width = row.before.size() > width ? row.before.size() : width;
    for (const Row& row : rows) {
        const std::string pad(width - row.before.size(), ' ');
        if (row.after == row.before)
            out.WriteLine(row.before + pad + "  =  (unchanged)");
        else
            out.WriteLine(row.before + pad + "  " + kArrow + "  " + row.after);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        COutput err(STD_ERROR_HANDLE, options.raw);
        err.WriteLine("vario-try: " + error + "\n(vario-try --help lists the options)");
        return kUsage;
    }
    CHost host(options);
    return host.Run();
}
