// Options.cpp - vario-try's command line.
//
// The words come as UTF-16, whatever the terminal's encoding, and are made
// engine text here. A file name must survive that step whole: the engine
// opens files by their code page 932 names.
#include "Options.h"
#include <algorithm>
#include "HostText.h"

namespace {

// The file name as engine text; false when a character of it has none, and
// error then names that character.
bool FileName(const std::wstring& option, const std::wstring& name, std::string& ansi,
              std::wstring& error)
{
    std::wstring lost;
    if (AnsiFromWideExactly(name, ansi, lost))
        return true;
    error = option + L" " + name + L": the character " + lost + L" (" + CodePointName(lost)
        + L") has no code in code page 932 (Shift-JIS), in which the engine opens files;"
          L" use a path without it";
    return false;
}

// The whole percentage text names, 0 to 100; false when it names none.
bool Percentage(const std::wstring& text, int& percent)
{
    if (text.empty() || text.size() > 3
        || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    percent = std::stoi(text);
    return percent <= 100;
}

// The mode that option arg names, with the file it takes or not; false
// when arg names no mode.
bool ModeOption(const std::wstring& arg, Mode& mode, bool& takesFile)
{
    static const struct {
        const wchar_t* option;
        Mode mode;
        bool takesFile;
    } modes[] = {
        {L"--explain", Mode::kExplain, true},  {L"--trace", Mode::kTrace, true},
        {L"--check", Mode::kCheck, true},      {L"--coverage", Mode::kCoverage, true},
        {L"--record", Mode::kRecord, true},    {L"--help", Mode::kHelp, false},
        {L"-h", Mode::kHelp, false},           {L"/?", Mode::kHelp, false},
        {L"--version", Mode::kVersion, false},
    };
    for (const auto& each : modes) {
        if (arg == each.option) {
            mode = each.mode;
            takesFile = each.takesFile;
            return true;
        }
    }
    return false;
}

// The switch that option arg sets, or null when arg names none.
bool* Flag(const std::wstring& arg, Options& options)
{
    static const struct {
        const wchar_t* option;
        bool Options::*flag;
    } flags[] = {
        {L"--remember", &Options::remember}, {L"--show", &Options::show},
        {L"--counts", &Options::counts},     {L"--summary", &Options::summary},
        {L"--utf8", &Options::utf8},         {L"--console-cp", &Options::consoleCp},
        {L"--raw", &Options::raw},           {L"--windows", &Options::windows},
        {L"--about", &Options::about},       {L"--settings", &Options::settings},
    };
    for (const auto& each : flags)
        if (arg == each.option)
            return &(options.*each.flag);
    return nullptr;
}

// What is wrong with options read whole, modeOption the option that chose
// the mode (or empty); empty when nothing.
std::wstring UsageError(const Options& options, const std::wstring& modeOption)
{
    std::wstring error;
    const bool dialogs = options.show || options.about || options.settings;
    switch (options.mode) {
    case Mode::kExplain:
        if (options.useDefinitionFile || dialogs || !options.captions.empty())
            error = L"--explain only lists a file; it converts nothing and takes no other option "
                    L"but --raw";
        break;
    case Mode::kTrace:
        if (options.useDefinitionFile || dialogs)
            error = L"--trace reads its own file and starts no engine; it takes captions and "
                    L"--raw only";
        break;
    case Mode::kCheck:
    case Mode::kCoverage:
    case Mode::kRecord:
        if (!options.useDefinitionFile || options.remember || dialogs || !options.captions.empty())
            error = modeOption
                + L" needs --def FILE, and takes no captions and no other option "
                  L"but --engine and --raw";
        break;
    default:
        break;
    }
    if (error.empty() && options.raw + options.utf8 + options.consoleCp > 1)
        error = L"--raw, --utf8 and --console-cp: give one of them at a time";
    if (error.empty() && options.windows
        && ((options.mode != Mode::kConvert && options.mode != Mode::kRecord)
            || !options.captions.empty()))
        error = L"--windows converts or records the captions of the windows: it takes no "
                L"captions and no --explain, --trace, --check or --coverage";
    if (error.empty() && options.counts && options.mode != Mode::kCoverage)
        error = L"--counts goes with --coverage only";
    if (error.empty() && (options.summary || options.failUnder >= 0)
        && options.mode != Mode::kCoverage)
        error = L"--summary and --fail-under go with --coverage only";
    if (error.empty() && options.summary && options.counts)
        error = L"--counts and --summary: give one of them at a time";
    if (error.empty() && options.remember && !options.useDefinitionFile)
        error = L"--remember keeps the file of --def; give --def FILE too";
    return error;
}

} // namespace

bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error)
{
    // --windows --record records the windows' captions: no captions file.
    // After "--" comes no option.
    wchar_t** const optionsEnd = std::find(argv + 1, argv + argc, std::wstring(L"--"));
    const bool windows = std::find(argv + 1, optionsEnd, std::wstring(L"--windows")) != optionsEnd;
    bool captionsOnly = false;
    std::wstring modeOption; // the option that chose the mode, or empty
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        Mode mode = Mode::kConvert;
        bool takesFile = false;
        if (!captionsOnly && ModeOption(arg, mode, takesFile)) {
            if (!modeOption.empty()) {
                error = modeOption + L" and " + arg + L": give one of them at a time";
                return false;
            }
            modeOption = arg;
            options.mode = mode;
            takesFile = takesFile && !(windows && mode == Mode::kRecord);
        } else if (captionsOnly || arg.empty() || arg[0] != L'-' || arg == L"-") {
            options.captions.push_back(arg);
            continue;
        } else if (arg == L"--def" || arg == L"--engine") {
            takesFile = true;
            options.useDefinitionFile = options.useDefinitionFile || arg == L"--def";
        } else if (arg == L"--") {
            captionsOnly = true;
        } else if (arg == L"--fail-under") {
            if (i + 1 == argc || !Percentage(argv[++i], options.failUnder)) {
                error = L"--fail-under needs a whole percentage, 0 to 100 (--fail-under 80)";
                return false;
            }
        } else if (bool* flag = Flag(arg, options)) {
            *flag = true;
        } else {
            error = L"unknown option " + arg + L" (a caption that begins with - goes after --)";
            return false;
        }
        if (!takesFile)
            continue;
        if (i + 1 == argc) {
            error = arg + L" needs a file name";
            return false;
        }
        std::string& file = arg == L"--def" ? options.definitionFile
            : arg == L"--engine"            ? options.engine
                                            : options.file;
        if (!FileName(arg, argv[++i], file, error))
            return false;
    }
    error = UsageError(options, modeOption);
    return error.empty();
}
