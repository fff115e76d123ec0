// ExpectedCaptions.cpp - a file of captions and what the user expects.
#include "ExpectedCaptions.h"
#include "HostText.h"
#include "TextFile.h"
#include <stdio.h>
#include <string.h>

namespace {

const char kUnchanged[] = "=";

// Whether the line holds nothing but blanks, tabs and ideographic spaces.
bool OnlyBlanks(const std::string& line)
{
    for (size_t at = 0; at < line.size(); at += line[at] == ' ' || line[at] == '\t' ? 1 : 2)
        if (line[at] != ' ' && line[at] != '\t' && line.compare(at, 2, kIdeographicSpace) != 0)
            return false;
    return true;
}

// What is wrong with a line, or empty.
std::string Problem(const TextLine& line)
{
    if (!line.lost.empty()) {
        char text[160];
        snprintf(text, sizeof text,
                 "the character U+%04X has no code in code page 932 (Shift-JIS), the engine's "
                 "text: no caption holds it",
                 CodePoint(line.lost));
        return text;
    }
    if (line.text.find(kArrow) == std::string::npos)
        return "no \" " HOST_ARROW " \" (a blank, the arrow " HOST_ARROW
               ", a blank) between the caption and "
               "what is expected: write \"caption " HOST_ARROW
               " expected\", or \"caption " HOST_ARROW " =\" "
               "for a caption that stays as it is";
    return std::string();
}

} // namespace

bool ReadExpectedCaptions(const std::string& path, bool raw, std::vector<ExpectedCaption>& pairs,
                          std::vector<std::string>& errors)
{
    std::vector<TextLine> lines;
    std::string error;
    if (!ReadTextLines(path, raw, lines, error)) {
        errors.push_back("cannot read the expected captions file " + path + ": " + error);
        return false;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& text = lines[i].text;
        if (text.compare(0, 2, "//") == 0 || OnlyBlanks(text))
            continue;
        const std::string problem = Problem(lines[i]);
        if (!problem.empty()) {
            errors.push_back(path + ":" + std::to_string(i + 1) + ": " + problem);
            continue;
        }
        const size_t at = text.find(kArrow);
        const std::string expected = text.substr(at + strlen(kArrow));
        pairs.push_back({static_cast<int>(i + 1), text.substr(0, at),
                         expected == kUnchanged ? text.substr(0, at) : expected});
    }
    if (errors.empty() && pairs.empty())
        errors.push_back(path
                         + ": holds no pair to check (\"caption " HOST_ARROW " expected\" lines)");
    return errors.empty();
}
