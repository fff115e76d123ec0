// VarioTry.cpp - tries a TitleForge conversion engine on captions: the run.
//
// A console host: it loads the engine module by its file name, finds its
// eight functions by name and calls them in the host application's order:
// interface version, name and version, TFEInitEngine, the conversions, the
// dialogs the user asked for, TFEExitEngine.
#include "CaptionOutput.h"
#include "Check.h"
#include "Coverage.h"
#include "EngineModule.h"
#include "ExpectedCaptions.h"
#include "Explain.h"
#include "Help.h"
#include "HostText.h"
#include "Options.h"
#include "RuleText.h"
#include "Setting.h"
#include "TextFile.h"
#include "Trace.h"
#include "../qor/QorException.h"
#include "../res/Settings.h"
#include "../res/Version.h"
#include <algorithm>
#include <new>
#include <stdio.h>
#include <vector>

namespace {

// Exit statuses.
const int kOk = 0;
const int kUsage = 1; // also: a warning about the rule file, input not in its code page, a
                      // pair --check failed or --record left out
const int kEngineUnusable = 2;
const int kDefinitionFailed = 3;
const int kFileUnreadable = 4; // --explain, --trace, --check, --coverage, --record
const int kNotWhole = 5;       // a caption's result was cut, or not made
const int kDisagreed = 6;      // --coverage: the engine and its rules one by one differ

// The most captions after which a warning said before them is not said again.
const int kShortRun = 20;

// The largest buffer a converted caption is asked into.
const size_t kLargestResult = 1u << 30;

std::string FullPath(const std::string& path)
{
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::vector<char> full(size + 1, '\0');
    const DWORD n = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    return size == 0 || n == 0 || n >= size ? path : std::string(full.data(), n);
}

std::string DefaultEnginePath()
{
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path(exe, n < sizeof exe ? n : 0);
    path.erase(path.find_last_of("\\/") + 1);
    return path + "Vario.tfe";
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Under Wine a window needs an X display; without one, a dialog or message
// box would open unseen. Windows itself always has a display.
bool HaveDisplay()
{
    if (!UnderWine())
        return true;
    char value[2];
    return GetEnvironmentVariableA("DISPLAY", value, sizeof value) != 0
        || GetEnvironmentVariableA("WAYLAND_DISPLAY", value, sizeof value) != 0;
}

// The command that runs this host, for advice: tools/vario-try.sh names
// itself in VARIO_TRY_COMMAND; else the program's name at a Windows prompt.
std::string Command()
{
    char command[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("VARIO_TRY_COMMAND", command, sizeof command);
    return n > 0 && n < sizeof command ? std::string(command, n) : std::string("vario-try");
}

std::string Number(int n)
{
    char text[16];
    snprintf(text, sizeof text, "%d", n);
    return text;
}

// Whether to read and write pipes in the console's code page: asked for,
// or by default at a Windows console outside tools/vario-try.sh (whose
// terminal under Wine speaks UTF-8).
bool UseConsoleCodePage(const Options& options)
{
    char command[2];
    return options.consoleCp
        || (!options.utf8 && GetConsoleCP() != 0 && !UnderWine()
            && GetEnvironmentVariableA("VARIO_TRY_COMMAND", command, sizeof command) == 0);
}

// Adds the caption of a visible window, but an empty one, to the list.
BOOL CALLBACK AddCaption(HWND window, LPARAM list)
{
    const int size = GetWindowTextLengthW(window);
    if (!IsWindowVisible(window) || size <= 0)
        return TRUE;
    try { // no exception may cross EnumWindows
        std::wstring text(size + 1, L'\0');
        text.resize(GetWindowTextW(window, &text[0], size + 1));
        reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(text);
        return TRUE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

// The captions of the visible top-level windows, in Z order. Read-only:
// GetWindowTextW takes another process's caption without sending its
// window a message.
std::vector<std::wstring> WindowCaptions()
{
    std::vector<std::wstring> captions;
    EnumWindows(AddCaption, reinterpret_cast<LPARAM>(&captions));
    return captions;
}

class CHost {
public:
    explicit CHost(const Options& options)
        : options(options), consoleCp(UseConsoleCodePage(options)),
          // --record writes a file that --check reads, as UTF-8.
          out(STD_OUTPUT_HANDLE, options.raw,
              consoleCp && options.mode != Mode::kRecord ? GetConsoleOutputCP() : CP_UTF8),
          err(STD_ERROR_HANDLE, options.raw, consoleCp ? GetConsoleOutputCP() : CP_UTF8)
    {
    }
    int Run();

private:
    int Fail(int status, const std::string& message);
    int Explain();
    int Trace();
    int Check();
    int Coverage();
    int Record();
    bool ReadCaptions(std::vector<TextLine>& lines);
    template <class Report>
    int RunOnRules(const std::string& files, Report report);
    int Start(CCaptionOutput& output);
    bool Convert(const std::string& caption, std::string& result);
    // Converts the caption and adds the result to the output, or else the
    // caption as it came: whether the result was whole.
    bool ConvertInto(CCaptionOutput& output, const std::string& caption);
    int ConvertAll(CCaptionOutput& output);
    template <class Each>
    int ForEachCaption(Each each);
    void WarnAboutFile(const std::string& path, const std::vector<std::string>& lines);
    void NoteLost(const std::wstring& lost, const std::string& where);
    int Finish(int status);
    std::string EngineText(BOOL(WINAPI* get)(LPSTR, int));

    const Options& options;
    bool consoleCp; // pipes carry the console's code page, not UTF-8
    COutput out;
    COutput err;
    CTrialView view; // goes after the engine: the engine writes into it at its exit
    CEngineModule engine;
    std::string fileWarning; // what WarnAboutFile said, or empty
    int converted = 0;       // the captions converted so far
    std::string rulesShown;  // the definition file the engine started on, as typed
    int lostIn = 0;          // captions with a character engine text lacks
    std::wstring lostNote;   // the first such character and where it was
};

int CHost::Fail(int status, const std::string& message)
{
    err.WriteLine("vario-try: " + message);
    return status;
}

int CHost::Run()
{
    switch (options.mode) {
    case Mode::kHelp:
        out.Write(kHelp);
        return kOk;
    case Mode::kVersion:
        out.WriteLine("vario-try " VARIO_VERSION_TEXT);
        return kOk;
    case Mode::kExplain:
        return Explain();
    case Mode::kTrace:
        return Trace();
    case Mode::kCheck:
        return Check();
    case Mode::kCoverage:
        return Coverage();
    default:
        break;
    }
    if ((options.about || options.settings) && !HaveDisplay())
        return Fail(kUsage,
                    "--about and --settings open a dialog, which needs a display "
                    "(under Wine: an X display in DISPLAY)");
    if (options.windows && !HaveDisplay())
        return Fail(kUsage,
                    "--windows reads the captions of the windows on the display, which "
                    "needs one (under Wine: an X display in DISPLAY)");
    if (options.mode == Mode::kRecord)
        return Record();
    CCaptionOutput output(out, err, options.show || options.windows);
    int status = Start(output);
    if (status != kOk)
        return status;
    status = ConvertAll(output);
    if (options.about)
        engine.OnAbout(nullptr);
    if (options.settings)
        engine.OnSetting(nullptr);
    engine.ExitEngine();
    return Finish(status);
}

int CHost::Explain()
{
    std::string error;
    try {
        const int warnings = ExplainDefinitionFile(options.file, out, error);
        if (warnings >= 0)
            return warnings == 0 ? kOk : kUsage;
    } catch (CQorException*) {
        error = "out of memory";
    }
    return Fail(kFileUnreadable, "cannot read the definition file " + options.file + ": " + error);
}

int CHost::Trace()
{
    std::vector<TracedRule> rules;
    std::vector<std::string> lines;
    std::string error;
    try {
        if (ReadTracedRules(options.file, rules, lines, error)) {
            WarnAboutFile(options.file, lines);
            return Finish(ForEachCaption([&](const std::string& caption) {
                ++converted;
                TraceCaption(rules, caption, out);
            }));
        }
    } catch (CQorException*) {
        error = "out of memory";
    }
    return Fail(kFileUnreadable, "cannot read the definition file " + options.file + ": " + error);
}

// Checks the expected captions with the engine started on --def's file
// (which the check never stores).
int CHost::Check()
{
    std::vector<ExpectedCaption> pairs;
    std::vector<std::string> errors;
    if (!ReadExpectedCaptions(options.file, options.raw, pairs, errors)) {
        for (const std::string& error : errors)
            err.WriteLine("vario-try: " + error);
        return kFileUnreadable;
    }
    for (const ExpectedCaption& pair : pairs)
        NoteLost(pair.lost, options.file + ":" + Number(pair.line));
    return RunOnRules("checking " + options.file + " with the rules of " + options.definitionFile,
                      [&](const std::vector<TracedRule>& rules, const std::vector<std::string>&,
                          const Converter& convert) {
                          const CheckCount count = CheckCaptions(options.file, pairs, rules,
                                                                 convert, out);
                          return count.notWhole > 0 ? kNotWhole : count.failed > 0 ? kUsage : kOk;
                      });
}

// The lines of the captions file; false, said, when it cannot be read.
bool CHost::ReadCaptions(std::vector<TextLine>& lines)
{
    if (options.windows) {
        for (const std::wstring& caption : WindowCaptions()) {
            lines.emplace_back();
            AnsiFromWideExactly(caption, lines.back().text, lines.back().lost);
        }
        return true;
    }
    std::string error;
    if (ReadTextLines(options.file, options.raw, lines, error))
        return true;
    Fail(kFileUnreadable, "cannot read the captions file " + options.file + ": " + error);
    return false;
}

// Lists the rules of --def's file that change no caption, with
// the engine started on that file (which is never stored).
int CHost::Coverage()
{
    std::vector<TextLine> text;
    if (!ReadCaptions(text))
        return kFileUnreadable;
    std::vector<std::string> captions;
    for (const TextLine& line : text) {
        captions.push_back(line.text);
        NoteLost(line.lost, options.file + ":" + Number(static_cast<int>(captions.size())));
    }
    return RunOnRules(
        "the rules of " + options.definitionFile + " on the captions of " + options.file,
        [&](const std::vector<TracedRule>& rules, const std::vector<std::string>& lines,
            const Converter& convert) {
            const CoverageErrors errors = ReportCoverage(
                {options.definitionFile, lines, options.file}, captions, rules, options.counts,
                convert, out, err);
            return errors.disagreed > 0 ? kDisagreed : errors.notWhole > 0 ? kNotWhole : kOk;
        });
}

// Writes the expected captions file that --check passes as it stands: each
// caption of the file with what the engine, started on --def's file, makes
// of it. A pair no line can hold is said on standard error and left out.
int CHost::Record()
{
    std::vector<TextLine> lines;
    if (!ReadCaptions(lines))
        return kFileUnreadable;
    const std::string source = options.windows ? "the visible windows" : options.file;
    return RunOnRules(
        "recording what the rules of " + options.definitionFile + " make of the captions of "
            + source,
        [&](const std::vector<TracedRule>&, const std::vector<std::string>&,
            const Converter& convert) {
            out.WriteLine("// What the rules of " + options.definitionFile
                          + " make of the captions of " + source + " (vario-try --record)");
            int status = kOk;
            for (size_t i = 0; i < lines.size(); ++i) {
                const std::string at = (options.windows ? "window " : options.file + ":")
                    + Number(static_cast<int>(i + 1));
                const std::string where = at + ": ";
                std::string result;
                std::string line;
                if (lines[i].text.empty())
                    continue;
                NoteLost(lines[i].lost, at);
                if (!convert(lines[i].text, result))
                    status = std::max(status, Fail(kNotWhole, where + kNotWholeMessage));
                else if (!ExpectedLine(lines[i].text, result, options.raw, line))
                    status = std::max(status, Fail(kUsage, where + line + "; not recorded"));
                else
                    out.WriteLine(line);
            }
            return status;
        });
}

// Starts the engine on --def's file, reads that file's rules as --trace
// reads them and returns report(rules, its lines, the engine's conversion); stops the
// engine after. The status of a start that fails, or kNotWhole when memory
// runs out.
template <class Report>
int CHost::RunOnRules(const std::string& files, Report report)
{
    err.WriteLine("vario-try: " + files);
    CCaptionOutput quiet(out, err, false);
    int status = Start(quiet);
    if (status != kOk)
        return status;
    const Converter convert = [this](const std::string& caption, std::string& result) {
        return Convert(caption, result);
    };
    const std::string path = StoredDefinitionFile();
    std::vector<TracedRule> rules;
    std::vector<std::string> lines;
    std::string error;
    try {
        status = ReadTracedRules(path, rules, lines, error)
            ? report(rules, lines, convert)
            : Fail(kFileUnreadable, "cannot read the definition file " + path + ": " + error);
    } catch (CQorException*) {
        status = Fail(kNotWhole, "out of memory");
    } catch (const std::bad_alloc&) {
        status = Fail(kNotWhole, "out of memory");
    }
    engine.ExitEngine();
    return Finish(status);
}

// Says on standard error what --explain would warn about the file as a
// whole, with the command that converts a UTF-8 file, and keeps it for
// Finish; the run goes on.
void CHost::WarnAboutFile(const std::string& path, const std::vector<std::string>& lines)
{
    const std::string warning = FileWarning(lines);
    if (warning.empty())
        return;
    fileWarning = "vario-try: warning: the definition file " + path + " " + warning + " ("
        + Command() + " --explain " + path + " lists its lines)";
    if (IsUtf8Text(lines)) {
        const size_t dot = path.find_last_of('.');
        const size_t name = path.find_last_of("\\/");
        const std::string sjis = dot != std::string::npos
                && (name == std::string::npos || dot > name)
            ? path.substr(0, dot) + ".sjis" + path.substr(dot)
            : path + ".sjis";
        fileWarning += "\nvario-try: save it as Shift-JIS, for example: iconv -f UTF-8 -t CP932 "
            + path + " > " + sjis;
    }
    err.WriteLine(fileWarning);
}

// Counts a caption with a character engine text lacks (where names it),
// for the one note Finish gives.
void CHost::NoteLost(const std::wstring& lost, const std::string& where)
{
    if (lost.empty())
        return;
    if (lostIn++ > 0)
        return;
    wchar_t code[16];
    swprintf(code, 16, L"U+%04X", CodePoint(lost));
    lostNote = lost + L" " + code + L" in " + WideFromAnsi(where);
}

// The run's status, after the warning about the definition file said
// again when many captions came after it: a warning makes 0 a 1.
int CHost::Finish(int status)
{
    if (lostIn > 0)
        err.WriteWideLine(L"vario-try: note: " + WideFromAnsi(Number(lostIn))
                          + (lostIn == 1 ? L" caption holds" : L" captions hold")
                          + L" a character that code page 932 (Shift-JIS), the engine's text, "
                            L"lacks; each became \"?\", as the engine would get it (the first: "
                          + lostNote + L")");
    if (fileWarning.empty())
        return status;
    if (converted > kShortRun)
        err.WriteLine(fileWarning);
    return status == kOk ? kUsage : status;
}

std::string CHost::EngineText(BOOL(WINAPI* get)(LPSTR, int))
{
    char text[256] = "";
    return get(text, sizeof text) ? std::string(text) : std::string("?");
}

// Loads the engine, checks it and starts it on its definition file.
int CHost::Start(CCaptionOutput& output)
{
    const std::string path = FullPath(options.engine.empty() ? DefaultEnginePath()
                                                             : options.engine);
    std::string error;
    if (!engine.Load(path, error))
        return Fail(kEngineUnusable, "cannot load the engine " + path + ": " + error);
    const DWORD version = engine.GetAPIVersion();
    if (version != kVarioApiVersion) {
        char text[160];
        snprintf(text, sizeof text,
                 "the engine's interface version is 0x%08lX; this host "
                 "speaks version 0x%08lX only",
                 version, kVarioApiVersion);
        return Fail(kEngineUnusable, path + ": " + text);
    }
    const std::string name = EngineText(engine.GetEngineDescription) + " "
        + EngineText(engine.GetEngineVersion);

    if (options.useDefinitionFile) {
        const std::string full = options.definitionFile.empty() ? std::string()
                                                                : FullPath(options.definitionFile);
        if (options.remember ? !StoreDefinitionFile(full) : !view.Open(full))
            return Fail(kDefinitionFailed,
                        "cannot store the definition file's path in the registry "
                        "(HKEY_CURRENT_USER\\" VARIO_SETTINGS_KEY ")");
    }
    const std::string definitionFile = StoredDefinitionFile();
    const std::string shown = options.useDefinitionFile ? options.definitionFile : definitionFile;
    const std::string failed = "cannot load the definition file " + definitionFile;
    const std::string hint = options.useDefinitionFile ? ""
                                                       : " (an earlier run chose it; choose "
                                                         "another with --def FILE --remember)";
    std::vector<std::string> lines;
    const bool reads = definitionFile.empty() || ReadDefinitionLines(definitionFile, lines, error);
    // Without a display the engine's own message box would open unseen, so a
    // file that cannot be read is reported here and the engine not started.
    if (!reads && !HaveDisplay())
        return Fail(kDefinitionFailed, failed + ": " + error + hint);
    if (reads && !definitionFile.empty())
        WarnAboutFile(shown, lines);
    if (!engine.InitEngine()) {
        engine.ExitEngine();
        return Fail(kDefinitionFailed, failed + (error.empty() ? "" : ": " + error) + hint);
    }
    rulesShown = shown;
    output.Title(name, shown);
    return kOk;
}

// The converted caption, asked for into a buffer that grows until the
// result fits; false when it cannot be had whole (result is then what the
// engine gave, or the caption when it gave nothing).
bool CHost::Convert(const std::string& caption, std::string& result)
{
    ++converted;
    result = caption;
    for (size_t size = caption.size() + caption.size() / 2 + 1024;; size *= 2) {
        size = size < kLargestResult ? size : kLargestResult;
        std::vector<char> buffer;
        try {
            buffer.assign(size, '\0');
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!engine.ConvertCaptionString(0, caption.c_str(), buffer.data(), static_cast<int>(size)))
            return false;
        result.assign(buffer.data());
        if (result.size() < size - 1)
            return true;
        if (size == kLargestResult)
            return false;
    }
}

bool CHost::ConvertInto(CCaptionOutput& output, const std::string& caption)
{
    try {
        std::string result;
        const bool whole = Convert(caption, result);
        output.Add(caption, result);
        return whole;
    } catch (const std::bad_alloc&) {
        // No memory to hold or print the result: the caption goes out as it
        // came, and the next one is converted.
    }
    output.Add(caption, caption);
    return false;
}

int CHost::ConvertAll(CCaptionOutput& output)
{
    int number = 0;
    int notWhole = 0;
    const int status = ForEachCaption([&](const std::string& caption) {
        ++number;
        if (!ConvertInto(output, caption)) {
            ++notWhole;
            err.WriteLine("vario-try: caption " + Number(number) + ": " + kNotWholeMessage);
        }
    });
    output.Finish();
    return notWhole > 0 ? kNotWhole : status;
}

// The captions of the command line or the windows, or else those of standard input (not
// read when only a dialog was asked for), each character engine text lacks
// noted. kUsage when standard input was not text in its code page (UTF-8,
// or the console's) outside raw mode: its lines from the first that is not
// are not taken, as their text is lost.
template <class Each>
int CHost::ForEachCaption(Each each)
{
    int number = 0;
    std::string caption;
    std::wstring lost;
    if (!options.captions.empty() || options.windows) {
        for (const std::wstring& typed : options.windows ? WindowCaptions() : options.captions) {
            AnsiFromWideExactly(typed, caption, lost);
            NoteLost(lost, "caption " + Number(++number));
            each(caption);
        }
        return kOk;
    }
    if (options.about || options.settings)
        return kOk;
    const UINT codePage = consoleCp ? GetConsoleCP() : CP_UTF8;
    CInput in(options.raw, codePage);
    // A console opened by a double click shows nothing else to start with.
    if (in.IsConsole())
        err.WriteLine("vario-try: type a caption, then Enter; to end, Ctrl+Z (Windows) or Ctrl+D "
                      "(a terminal), then Enter. Rules: "
                      + (rulesShown.empty() ? std::string("none") : rulesShown));
    for (; in.NextLine(caption) && in.FirstLineNotUtf8() == 0;) {
        NoteLost(in.Lost(), "caption " + Number(++number));
        each(caption);
    }
    if (in.FirstLineNotUtf8() == 0)
        return kOk;
    char page[16];
    snprintf(page, sizeof page, "code page %u", codePage);
    return Fail(kUsage,
                std::string("standard input is not ") + (codePage == CP_UTF8 ? "UTF-8" : page)
                    + " (line " + Number(in.FirstLineNotUtf8())
                    + " is the first that is not): no caption from there on was converted; "
                      "--raw reads Shift-JIS bytes");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    std::wstring error;
    if (!ParseOptions(argc, argv, options, error)) {
        COutput err(STD_ERROR_HANDLE, options.raw);
        err.WriteWideLine(L"vario-try: " + error + L"\n(" + WideFromAnsi(Command())
                          + L" --help lists the options)");
        return kUsage;
    }
    CHost host(options);
    return host.Run();
}
