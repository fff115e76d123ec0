// TextFile.h - a text file the user wrote, one caption (or one pair of
// captions) a line, as engine text.
#pragma once
#include <string>
#include <vector>

// One line of a text file.
struct TextLine {
    std::string text;  // engine text
    std::wstring lost; // the first character engine text has no code for, or empty
};

// The lines of the file at path, cut as the engine cuts a definition file
// (at LF, a CR before it removed, up to a NUL byte; an LF at the end makes
// no empty line after it). UTF-8, a byte-order mark before the first line
// skipped, becomes engine text; raw takes the engine's bytes as they are.
// False when the file cannot be read, or is not UTF-8 (outside raw); error
// then says why.
bool ReadTextLines(const std::string& path, bool raw, std::vector<TextLine>& lines,
                   std::string& error);
