// Options.h - vario-try's command line, read into one record.
#pragma once
#include <string>
#include <vector>

struct Options {
    std::string engine;
    std::string definitionFile;
    std::string explainFile;
    std::string traceFile;
    std::string checkFile;    // --check: the expected captions
    std::string coverageFile; // --coverage: the captions
    bool useDefinitionFile = false;
    bool remember = false;
    bool explain = false;
    bool trace = false;
    bool check = false;
    bool coverage = false;
    bool show = false;
    bool raw = false;
    bool about = false;
    bool settings = false;
    bool help = false;
    std::vector<std::string> captions; // engine text
};

// Reads the command line's UTF-16 words into options, captions and file
// names as engine text. False on wrong usage; error then says what is wrong.
bool ParseOptions(int argc, wchar_t** argv, Options& options, std::wstring& error);
