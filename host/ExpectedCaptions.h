// ExpectedCaptions.h - a file of captions and what the user expects the
// engine to make of each, for vario-try --check.
//
// UTF-8 text (with --raw, the engine's own bytes), one pair a line:
//     Untitled - Notepad → 無題 - メモ帳
// split at the first " → " (a blank, the arrow U+2192, a blank), nothing
// trimmed. "=" alone after the arrow stands for the caption itself: it
// must stay as it is. Lines that begin with // are comments; empty lines
// and lines of blanks are skipped. Any other line is an error.
#pragma once
#include <string>
#include <vector>

// One pair, with the number of its line.
struct ExpectedCaption {
    int line;
    std::string caption;  // engine text
    std::string expected; // engine text
    std::wstring lost;    // the first character of the line engine text lacks, or empty
};

// The file's pairs in file order. False when the file cannot be read, a
// line is wrong or none holds a pair: errors then says what, one message
// for each line that is wrong, each beginning "path:line: ".
bool ReadExpectedCaptions(const std::string& path, bool raw, std::vector<ExpectedCaption>& pairs,
                          std::vector<std::string>& errors);

// For a pair that failed, what in its line looks like a slip of the arrow
// (two blanks around it, a blank after "="), or empty.
std::string NearMiss(const ExpectedCaption& pair);

// The line that ReadExpectedCaptions reads back as the caption and the
// engine's result for it ("caption → =" when it is the caption); raw as
// the file will be read. False when no line can hold the pair: line then
// says why.
bool ExpectedLine(const std::string& caption, const std::string& result, bool raw,
                  std::string& line);
