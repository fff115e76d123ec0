// Options.cpp - vario-try's command line.
//
// The words come as UTF-16, whatever the terminal's encoding, and are made
// engine text here. A file name must survive that step whole: the engine
// opens files by their code page 932 names.
#include "Options.h"
#include "HostText.h"
#include <stdio.h>

namespace {

// The file name as engine text; false when a character of it has none, and
// error then names that character.
bool FileName(const std::wstring& option, const std::wstring& name, std::string& ansi,
              std::wstring& error)
{
    std::wstring lost;
    if (AnsiFromWideExactly(name, ansi, lost))
        return true;
    const unsigned point = lost.size() == 2
        ? 0x10000 + ((lost[0] - 0xD800) << 10) + (lost[1] - 0xDC00)
        : lost[0];
    wchar_t code[16];
    swprintf(code, 16, L"U+%04X", point);
    error = option + L" " + name + L": the character " + lost + L" (" + code
        + L") has no code in code page 932 (Shift-JIS), in which the engine opens files;"
          L" use a path without it";
    return false;
}

// The field that takes the file name after option arg, with the option's
// flag set; null when arg takes no file.
std::string* FileOption(const std::wstring& arg, Options& options)
{
    if (arg == L"--def") {
        options.useDefinitionFile = true;
        return &options.definitionFile;
    }
    if (arg == L"--explain") {
        options.explain = true;
        return &options.explainFile;
    }
    if (arg == L"--trace") {
        options.trace = true;
        return &options.traceFile;
    }
    if (arg == L"--check") {
        options.check = true;
        return &options.checkFile;
    }
    if (arg == L"--coverage") {
        options.coverage = true;
        return &options.coverageFile;
    }
    return arg == L"--engine" ? &options.engine : nullptr;
}

} // namespace

bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error)
{
    bool captionsOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (captionsOnly || arg.empty() || arg[0] != L'-' || arg == L"-") {
            options.captions.push_back(AnsiFromWide(arg));
            continue;
        }
        if (std::string* file = FileOption(arg, options)) {
            if (i + 1 == argc) {
                error = arg + L" needs a file name";
                return false;
            }
            if (!FileName(arg, argv[++i], *file, error))
                return false;
        } else if (arg == L"--") {
            captionsOnly = true;
        } else if (arg == L"--remember") {
            options.remember = true;
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
            error = L"unknown option " + arg + L" (a caption that begins with - goes after --)";
            return false;
        }
    }
    if (options.explain
        && (options.useDefinitionFile || options.show || options.about || options.settings
            || !options.captions.empty())) {
        error = L"--explain only lists a file; it converts nothing and takes no other option "
                L"but --raw";
        return false;
    }
    if (options.trace
        && (options.explain || options.useDefinitionFile || options.show || options.about
            || options.settings)) {
        error = L"--trace reads its own file and starts no engine; it takes captions and --raw "
                L"only";
        return false;
    }
    if ((options.check || options.coverage)
        && (options.check == options.coverage || !options.useDefinitionFile || options.remember
            || options.explain || options.trace || options.show || options.about || options.settings
            || !options.captions.empty())) {
        error = L"--check and --coverage need --def FILE, one of them at a time, and take no "
                L"captions and no other option but --engine and --raw";
        return false;
    }
    if (options.remember && !options.useDefinitionFile) {
        error = L"--remember keeps the file of --def; give --def FILE too";
        return false;
    }
    return true;
}
