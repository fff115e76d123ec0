// Options.cpp - vario-try's command line.
//
// The words come as UTF-16, whatever the terminal's encoding, and are made
// engine text here. A file name must survive that step whole: the engine
// opens files by their code page 932 names.
#include "Options.h"
#include <algorithm>
#include "HostText.h"
#include "Messages.h"

namespace {

// The file name as engine text; false when a character of it has none, and
// error then names that character.
bool FileName(const std::wstring& option, const std::wstring& name, std::string& ansi,
              std::wstring& error)
{
    std::wstring lost;
    if (AnsiFromWideExactly(name, ansi, lost))
        return true;
    error = WideMessage(IDS_ERR_NO_CODE_IN_932, {option, name, lost, CodePointName(lost)});
    return false;
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
        {L"--remember", &Options::remember},    {L"--show", &Options::show},
        {L"--counts", &Options::counts},        {L"--utf8", &Options::utf8},
        {L"--console-cp", &Options::consoleCp}, {L"--raw", &Options::raw},
        {L"--windows", &Options::windows},      {L"--about", &Options::about},
        {L"--settings", &Options::settings},
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
            error = WideMessage(IDS_ERR_EXPLAIN_ALONE);
        break;
    case Mode::kTrace:
        if (options.useDefinitionFile || dialogs)
            error = WideMessage(IDS_ERR_TRACE_OPTIONS);
        break;
    case Mode::kCheck:
    case Mode::kCoverage:
    case Mode::kRecord:
        if (!options.useDefinitionFile || options.remember || dialogs || !options.captions.empty())
            error = WideMessage(IDS_ERR_MODE_NEEDS_DEF, {modeOption});
        break;
    default:
        break;
    }
    if (error.empty() && options.raw + options.utf8 + options.consoleCp > 1)
        error = WideMessage(IDS_ERR_ONE_ENCODING);
    if (error.empty() && options.windows
        && ((options.mode != Mode::kConvert && options.mode != Mode::kRecord)
            || !options.captions.empty()))
        error = WideMessage(IDS_ERR_WINDOWS_OPTIONS);
    if (error.empty() && options.counts && options.mode != Mode::kCoverage)
        error = WideMessage(IDS_ERR_COUNTS_NEEDS_COVERAGE);
    if (error.empty() && options.remember && !options.useDefinitionFile)
        error = WideMessage(IDS_ERR_REMEMBER_NEEDS_DEF);
    return error;
}

// Says the messages from now on in the language that --lang names, before
// any other word is read, so that what is wrong with any of them is said
// in that language.
void ChooseLanguage(int argc, wchar_t** argv)
{
    Language language = Language::kEnglish;
    for (int i = 1; i + 1 < argc && std::wstring(argv[i]) != L"--"; ++i)
        if (std::wstring(argv[i]) == L"--lang" && ParseLanguage(argv[i + 1], language))
            SetMessageLanguage(language);
}

} // namespace

bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error)
{
    ChooseLanguage(argc, argv);
    // --windows --record records the windows' captions: no captions file.
    const bool windows = std::find(argv + 1, argv + argc, std::wstring(L"--windows"))
        != argv + argc;
    bool captionsOnly = false;
    std::wstring modeOption; // the option that chose the mode, or empty
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        Mode mode = Mode::kConvert;
        bool takesFile = false;
        if (!captionsOnly && ModeOption(arg, mode, takesFile)) {
            if (!modeOption.empty()) {
                error = WideMessage(IDS_ERR_ONE_MODE, {modeOption, arg});
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
        } else if (arg == L"--lang") {
            const std::wstring word = i + 1 < argc ? argv[++i] : L"";
            Language language = Language::kEnglish;
            if (!ParseLanguage(word, language)) {
                error = WideMessage(IDS_ERR_UNKNOWN_LANGUAGE, {word});
                return false;
            }
            continue;
        } else if (arg == L"--") {
            captionsOnly = true;
        } else if (bool* flag = Flag(arg, options)) {
            *flag = true;
        } else {
            error = WideMessage(IDS_ERR_UNKNOWN_OPTION, {arg});
            return false;
        }
        if (!takesFile)
            continue;
        if (i + 1 == argc) {
            error = WideMessage(IDS_ERR_NEEDS_FILE, {arg});
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
