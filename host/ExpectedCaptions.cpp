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
    std::string found;
    for (const char* arrow : nearly)
        if (found.empty() && line.text.find(arrow) != std::string::npos)
            found = "found \"" + std::string(arrow) + "\" where \"";
    return (found.empty() ? "no \"" : found) + kArrow
        + "\" (a blank, the arrow " HOST_ARROW ", a blank) is wanted between the caption and "
          "what is expected: write \"caption"
        + kArrow + "expected\", or \"caption" + kArrow + "=\" for a caption that stays as it is";
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
                         expected == kUnchanged ? text.substr(0, at) : expected, lines[i].lost});
    }
    if (errors.empty() && pairs.empty())
        errors.push_back(path
                         + ": holds no pair to check (\"caption " HOST_ARROW " expected\" lines)");
    return errors.empty();
}

std::string NearMiss(const ExpectedCaption& pair)
{
    const std::string& expected = pair.expected;
    if (!pair.caption.empty() && pair.caption.back() == ' ')
        return "the caption ends with a blank: the line has two blanks before \"" HOST_ARROW
               "\", and nothing is trimmed";
    if (expected.compare(0, 1, " ") == 0)
        return "what is expected begins with a blank: the line has two blanks after \"" HOST_ARROW
               "\", and nothing is trimmed";
    if (expected.size() > 1 && expected[0] == '=' && OnlyBlanks(expected.substr(1)))
        return "what is expected is " + Quoted(expected)
            + ": only \"=\" with nothing after it stands for the caption as it is";
    return std::string();
}

bool ExpectedLine(const std::string& caption, const std::string& result, bool raw,
                  std::string& line)
{
    line = caption + kArrow + (result == caption ? kUnchanged : result);
    const char* problem = nullptr;
    if ((caption + kArrow).find(kArrow) != caption.size())
        problem = "the caption holds \"" HOST_ARROW "\" with blanks, where a pair is split";
    else if (caption.compare(0, 2, "//") == 0)
        problem = "the caption begins with //, which makes the line a comment";
    else if (result != caption && result == kUnchanged)
        problem = "the result is \"=\", which stands for the caption as it is";
    else if (!result.empty() && result.back() == '\r')
        problem = "the result ends with a CR, which goes with the line end";
    else if (!ReadsBack(caption, raw) || !ReadsBack(result, raw))
        problem = "it holds a byte that is no character, or one UTF-8 writes otherwise (use --raw)";
    if (problem)
        line = problem;
    return problem == nullptr;
}
