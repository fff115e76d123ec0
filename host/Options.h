// Options.h - vario-try's command line, read into one record.
#pragma once
#include <string>
#include <vector>

// What a run does: convert captions (with the dialogs asked for), or one of
// the modes that an option of its own names.
enum class Mode {
    kConvert,
    kExplain,  // --explain FILE
    kTrace,    // --trace FILE
    kCheck,    // --def FILE --check EXPECTED
    kCoverage, // --def FILE --coverage CAPTIONS
    kRecord,   // --def FILE --record CAPTIONS
    kHelp,     // --help, -h, /?
    kVersion,  // --version
};

struct Options {
    Mode mode = Mode::kConvert;
    std::string file; // the mode's own file, as typed: rules, expected captions or captions
    std::string engine;
    std::string definitionFile; // --def's file, as typed
    bool useDefinitionFile = false;
    bool remember = false;
    bool show = false;
    bool counts = false;  // --coverage: every rule with the number of captions it changed
    bool summary = false; // --coverage: the tally alone
    int failUnder = -1;   // --coverage --fail-under: the least percentage of rules that must
                          // change a caption, or -1
    bool raw = false;
    bool about = false;
    bool settings = false;
    bool windows = false;   // --windows: the captions of the visible windows
    bool utf8 = false;      // --utf8: standard input and output in UTF-8
    bool consoleCp = false; // --console-cp: ... in the console's code page
    std::vector<std::wstring> captions;
};

// Reads the command line's UTF-16 words into options, captions and file
// names as engine text. False on wrong usage; error then says what is wrong.
bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error);
