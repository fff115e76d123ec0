// Explainer.cpp - a definition file's lines as the engine reads them.
//
// The lines are cut and classified by the engine's own reader
// (ReadDefinitionLines, ClassifyDefinitionLine) and a rule is tried on
// another's source by the engine's own replacement (ApplyRule), so the
// listing cannot differ from what the engine does with the file.
#include "Explainer.h"
#include "Messages.h"
#include "RuleText.h"
#include "../engine/DefinitionFile.h"
#include <deque>
#include <map>
#include <set>
#include <stdio.h>
#include <string_view>
#include <unordered_map>

namespace {

const char kFullWidthComma[] = "\x81\x43"; // '，'

// What the file is as a whole.
struct FileFacts {
    bool utf8 = false; // valid UTF-8 with text that is not ASCII
    bool bom = false;
    bool crLineEnds = false; // its lines end with CR alone: the engine reads one line
    int rules = 0;
};

bool IsRule(const std::string& line)
{
    int comma = -1;
    return ClassifyDefinitionLine(CQorString(line.c_str(), 0), &comma) == DefLineKind::kRule;
}

FileFacts Facts(const std::vector<std::string>& lines)
{
    FileFacts facts;
    bool ascii = true;
    bool valid = true;
    for (const std::string& line : lines) {
        for (char c : line)
            ascii = ascii && static_cast<BYTE>(c) < 0x80;
        valid = valid
            && (line.empty()
                || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(),
                                       static_cast<int>(line.size()), nullptr, 0)
                    > 0);
        facts.rules += IsRule(line);
    }
    facts.utf8 = !ascii && valid;
    facts.bom = !lines.empty() && lines[0].compare(0, 3, kBom) == 0;
    // A CR with text after it in the only line: LF never came, CRs did.
    const size_t cr = lines.size() == 1 ? lines[0].find('\r') : std::string::npos;
    facts.crLineEnds = cr != std::string::npos && cr + 1 < lines[0].size();
    return facts;
}

// The number of a line, right-aligned as the listing shows it: "    12  ".
std::string LineLabel(int number)
{
    char text[32];
    snprintf(text, sizeof text, "%6d  ", number);
    return text;
}

// Whether the byte is a blank or a tab, which a CSV habit puts around a comma.
bool IsAsciiBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whether the text ends with a blank, a tab or an ideographic space.
bool EndsWithBlank(const std::string& text)
{
    size_t last = 0; // where its last character begins
    for (size_t at = 0; at < text.size(); at += CharacterSize(text, at))
        last = at;
    return !text.empty() && BlanksEnd(text, last) == text.size();
}

// The blank or tab as the listing names it.
std::string NamedBlank(char c)
{
    return c == '\t' ? "{TAB}" : "{SP}";
}

// Whether the line begins with blanks and then "//".
bool IndentedComment(const std::string& line)
{
    const size_t at = BlanksEnd(line, 0);
    return at > 0 && line.compare(at, 2, "//") == 0;
}

// Lists the lines of the file at path on out (none when out is null) and
// warns about them, each warning beginning "path:line: warning: ".
class CExplainer {
public:
    // crLineEnds: the file's lines end with CR alone, which the file's
    // warning says, not each rule's.
    CExplainer(const std::string& path, COutput* out, bool crLineEnds)
        : path(path), out(out), crLineEnds(crLineEnds)
    {
    }
    // Lists and checks the next line, number in the file.
    void Line(int number, const std::string& line);
    // Warns about the line last given to Line, or the file before the first
    // and after AboutTheFile.
    void Warn(const std::string& text);
    void AboutTheFile() { number = 0; }
    int Warnings() const { return warnings; }
    // The first warning about each line that has one.
    const std::map<int, std::string>& FirstWarnings() const { return firstWarnings; }

private:
    struct Rule {
        int line;
        std::string source;
        std::string replacement;
    };
    void CheckRule(int number, const std::string& line, int comma);
    void CheckEarlierRules(const std::string& source);
    void Say(const std::string& text);

    std::string path;
    COutput* out;
    bool crLineEnds;
    int warnings = 0;
    int number = 0; // the line being checked
    std::map<int, std::string> firstWarnings;
    std::deque<Rule> rules; // stays where it is: firstWithSource holds views of it
    // A rule's source -> the first rule with it, and the lengths of sources.
    std::unordered_map<std::string_view, size_t> firstWithSource;
    std::set<size_t> sourceLengths;
};

void CExplainer::Say(const std::string& text)
{
    if (out)
        out->WriteLine(text);
}

void CExplainer::Warn(const std::string& text)
{
    Say(path + (number > 0 ? ":" + Number(number) : "") + ": warning: " + text);
    firstWarnings.emplace(number, text);
    ++warnings;
}

void CExplainer::Line(int number, const std::string& line)
{
    this->number = number;
    const std::string prefix = LineLabel(number);
    const CQorString text(line.c_str(), 0);
    int comma = -1;
    switch (ClassifyDefinitionLine(text, &comma)) {
    case DefLineKind::kSection:
        Say(prefix + Message(IDS_LINE_SECTION) + Visible(line));
        break;
    case DefLineKind::kComment:
        Say(prefix + Message(IDS_LINE_COMMENT) + Visible(line));
        break;
    case DefLineKind::kOther: {
        if (line.empty()) {
            Say(prefix + Message(IDS_LINE_EMPTY));
            break;
        }
        // Every ',' here is the second byte of a double-byte character.
        const size_t trail = line.find(',');
        Say(prefix + Message(IDS_LINE_IGNORED) + Visible(line)
            + (trail == std::string::npos
                   ? Message(IDS_IGNORED_NO_COMMA)
                   : Message(IDS_IGNORED_TRAIL_COMMA,
                             {NamedByte(static_cast<BYTE>(line[trail - 1]))})));
        if (text.Find(kFullWidthComma, 0) != -1)
            Warn(Message(IDS_WARN_FULL_WIDTH_COMMA));
        break;
    }
    case DefLineKind::kRule:
        Say(prefix + Message(IDS_LINE_RULE) + Quoted(line.substr(0, comma)) + kArrow
            + Quoted(line.substr(comma + 1)));
        CheckRule(number, line, comma);
        break;
    }
}

void CExplainer::CheckRule(int number, const std::string& line, int comma)
{
    const std::string source = line.substr(0, comma);
    const std::string replacement = line.substr(comma + 1);
    if (source.empty())
        Warn(Message(IDS_WARN_EMPTY_SOURCE));
    if (!crLineEnds && !replacement.empty() && replacement.back() == '\r')
        Warn(Message(IDS_WARN_CR_CR_LF));
    else if (!crLineEnds && line.find('\r') != std::string::npos)
        Warn(Message(IDS_WARN_CR_INSIDE));
    // A blank beside the comma that the other side does not mirror, as in
    // " - Notepad, - Memo", is the CSV habit "Save As , Name".
    if (!source.empty() && IsAsciiBlank(source.back()) && BlanksEnd(source, 0) < source.size()
        && !EndsWithBlank(replacement))
        Warn(Message(IDS_WARN_BLANK_BEFORE_COMMA, {NamedBlank(source.back())}));
    if (!replacement.empty() && IsAsciiBlank(replacement[0])
        && BlanksEnd(replacement, 0) < replacement.size() && BlanksEnd(source, 0) == 0)
        Warn(Message(IDS_WARN_BLANK_AFTER_COMMA, {NamedBlank(replacement[0])}));
    if (IndentedComment(line))
        Warn(Message(IDS_WARN_INDENTED_COMMENT));

    const CQorString text(line.c_str(), 0);
    if (text.Find('[', 0) == 0) {
        const int bracket = text.ReverseFind(']');
        if (bracket != -1)
            Warn(Message(IDS_WARN_NOT_SECTION, {Visible(line.substr(bracket + 1))}));
    }
    if (source.empty())
        return;
    CheckEarlierRules(source);
    rules.push_back({number, source, replacement});
    if (firstWithSource.emplace(rules.back().source, rules.size() - 1).second)
        sourceLengths.insert(source.size());
}

// Warns when an earlier rule rewrites a part of this source (the whole of
// it, or a piece), so that this rule sees only what that one left: unless
// the earlier rule's replacement puts this source back.
void CExplainer::CheckEarlierRules(const std::string& source)
{
    const Rule* first = nullptr;
    for (size_t length : sourceLengths) {
        for (size_t at = 0; at + length <= source.size(); ++at) {
            const auto found = firstWithSource.find(std::string_view(source).substr(at, length));
            if (found == firstWithSource.end())
                continue;
            const Rule& earlier = rules[found->second];
            if (first && first->line < earlier.line)
                continue;
            const std::string after = ApplyRule(source, earlier.source, earlier.replacement);
            if (after != source && after.find(source) == std::string::npos)
                first = &earlier;
        }
    }
    if (!first)
        return;
    if (first->source == source)
        Warn(Message(IDS_WARN_SAME_SOURCE, {Number(first->line)}));
    else
        Warn(Message(IDS_WARN_EARLIER_RULE, {Number(first->line), Quoted(first->source)}));
}

} // namespace

std::string FileWarning(const std::vector<std::string>& lines)
{
    const FileFacts facts = Facts(lines);
    std::vector<std::string> phrases;
    if (facts.utf8)
        phrases.push_back(Message(IDS_FILE_IS_UTF8));
    if (facts.bom)
        phrases.push_back(Message(IDS_FILE_HAS_BOM));
    if (facts.rules == 0)
        phrases.push_back(Message(IDS_FILE_NO_RULES));
    if (facts.crLineEnds)
        phrases.push_back(Message(IDS_FILE_CR_LINE_ENDS));
    std::string text;
    for (size_t i = 0; i < phrases.size(); ++i)
        text += (i == 0                        ? std::string()
                     : i + 1 == phrases.size() ? Message(IDS_LIST_AND)
                                               : Message(IDS_LIST_COMMA))
            + phrases[i];
    return text;
}

std::map<int, std::string> LineWarnings(const std::vector<std::string>& lines)
{
    CExplainer explainer(std::string(), nullptr, Facts(lines).crLineEnds);
    for (size_t i = 0; i < lines.size(); ++i)
        explainer.Line(static_cast<int>(i + 1), lines[i]);
    return explainer.FirstWarnings();
}

bool IsUtf8Text(const std::vector<std::string>& lines)
{
    return Facts(lines).utf8;
}

int ExplainDefinitionFile(const std::string& path, COutput& out, std::string& error)
{
    std::vector<std::string> lines;
    if (!ReadDefinitionLines(path, lines, error))
        return -1;
    const FileFacts facts = Facts(lines);
    out.WriteLine(Message(IDS_EXPLAIN_TITLE, {path}));
    CExplainer explainer(path, &out, facts.crLineEnds);
    if (facts.utf8)
        explainer.Warn(Message(IDS_WARN_FILE_UTF8));
    if (facts.crLineEnds)
        explainer.Warn(Message(IDS_WARN_FILE_CR_LINE_ENDS));
    for (size_t i = 0; i < lines.size(); ++i) {
        explainer.Line(static_cast<int>(i + 1), lines[i]);
        if (i == 0 && facts.bom)
            explainer.Warn(Message(IDS_WARN_FILE_BOM));
    }
    explainer.AboutTheFile();
    if (facts.rules == 0)
        explainer.Warn(Message(IDS_WARN_FILE_NO_RULES));
    out.WriteLine(Message(
        IDS_EXPLAIN_TOTALS,
        {Count(lines.size(), IDS_COUNT_LINE, IDS_COUNT_LINES),
         Count(static_cast<size_t>(facts.rules), IDS_COUNT_RULE, IDS_COUNT_RULES),
         Count(static_cast<size_t>(explainer.Warnings()), IDS_COUNT_WARNING, IDS_COUNT_WARNINGS)}));
    return explainer.Warnings();
}
