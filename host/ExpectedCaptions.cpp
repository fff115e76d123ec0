// ExpectedCaptions.cpp - a file of captions and what the user expects.
#include "ExpectedCaptions.h"
#include "HostText.h"
#include "Messages.h"
#include "RuleText.h"
#include "TextFile.h"
#include <string.h>

namespace {

const char kUnchanged[] = "=";

// Whether the line holds nothing but blanks, tabs and ideographic spaces.
bool OnlyBlanks(const std::string& line)
{
    return BlanksEnd(line, 0) == line.size();
}

// What is wrong with a line, or empty.
std::string Problem(const TextLine& line)
{
    if (line.text.find(kArrow) != std::string::npos)
        return std::string();
    if (line.text.compare(BlanksEnd(line.text, 0), 2, "//") == 0)
        return Message(IDS_EXPECTED_INDENTED_COMMENT);
    const char* const nearly[] = {"->", "=>", HOST_ARROW};
    for (const char* arrow : nearly)
        if (line.text.find(arrow) != std::string::npos)
            return Message(IDS_EXPECTED_WRONG_ARROW, {arrow});
    return Message(IDS_EXPECTED_NO_ARROW);
}

// Whether the text is read back as these bytes from a file of this mode.
bool ReadsBack(const std::string& text, bool raw)
{
    return raw || AnsiFromWide(WideFromAnsi(text)) == text;
}

} // namespace

bool ReadExpectedCaptions(const std::string& path, bool raw, std::vector<ExpectedCaption>& pairs,
                          std::vector<std::string>& errors)
{
    std::vector<TextLine> lines;
    std::string error;
    if (!ReadTextLines(path, raw, lines, error)) {
        errors.push_back(Message(IDS_ERR_CANNOT_READ_EXPECTED, {path, error}));
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
                         expected == kUnchanged ? text.substr(0, at) : expected, lines[i].lost});
    }
    if (errors.empty() && pairs.empty())
        errors.push_back(Message(IDS_EXPECTED_NO_PAIR, {path}));
    return errors.empty();
}

std::string NearMiss(const ExpectedCaption& pair)
{
    const std::string& expected = pair.expected;
    if (!pair.caption.empty() && pair.caption.back() == ' ')
        return Message(IDS_NEAR_CAPTION_BLANK);
    if (expected.compare(0, 1, " ") == 0)
        return Message(IDS_NEAR_EXPECTED_BLANK);
    if (expected.size() > 1 && expected[0] == '=' && OnlyBlanks(expected.substr(1)))
        return Message(IDS_NEAR_EQUALS, {Quoted(expected)});
    return std::string();
}

bool ExpectedLine(const std::string& caption, const std::string& result, bool raw,
                  std::string& line)
{
    line = caption + kArrow + (result == caption ? kUnchanged : result);
    UINT problem = 0;
    if ((caption + kArrow).find(kArrow) != caption.size())
        problem = IDS_RECORD_HOLDS_ARROW;
    else if ((caption + result).find('\n') != std::string::npos)
        problem = IDS_RECORD_LINE_FEED;
    else if (caption.compare(0, 2, "//") == 0)
        problem = IDS_RECORD_COMMENT;
    else if (result != caption && result == kUnchanged)
        problem = IDS_RECORD_RESULT_EQUALS;
    else if (!result.empty() && result.back() == '\r')
        problem = IDS_RECORD_RESULT_CR;
    else if (!ReadsBack(caption, raw) || !ReadsBack(result, raw))
        problem = IDS_RECORD_NOT_TEXT;
    if (problem)
        line = Message(problem);
    return problem == 0;
}
