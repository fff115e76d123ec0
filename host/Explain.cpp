// Explain.cpp - a definition file's rules as the engine reads them.
//
// The file is read and its lines classified by the engine's own reader
// (CDefinitionText, ClassifyDefinitionLine), so the listing cannot differ
// from what the engine does with the file.
#include "Explain.h"
#include "EngineModule.h"
#include <map>
#include <stdio.h>
#include <vector>

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char kArrow[] = " \x81\xA8 ";        // " → "
const char kFullWidthComma[] = "\x81\x43"; // '，'
const char kIdeographicSpace[] = "\x81\x40";

struct Character {
    size_t at;
    size_t size;
};

bool IsWholeCharacter(const char* p, size_t size)
{
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, p, static_cast<int>(size), nullptr, 0)
        > 0;
}

// The text cut into characters of the ANSI code page; a lead byte without
// a valid second byte is a character of its own.
std::vector<Character> Characters(const std::string& text)
{
    std::vector<Character> chars;
    for (size_t i = 0; i < text.size();) {
        size_t size = 1;
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()
            && IsWholeCharacter(&text[i], 2))
            size = 2;
        chars.push_back({i, size});
        i += size;
    }
    return chars;
}

bool IsBlank(const std::string& text, const Character& c)
{
    return text.compare(c.at, c.size, " ") == 0
        || text.compare(c.at, c.size, kIdeographicSpace) == 0;
}

std::string Named(BYTE byte)
{
    switch (byte) {
    case '\t':
        return "{TAB}";
    case '\r':
        return "{CR}";
    default:
        char name[8];
        snprintf(name, sizeof name, "{0x%02X}", byte);
        return name;
    }
}

std::string Quoted(const std::string& text)
{
    return "\"" + Visible(text) + "\"";
}

class CExplainer {
public:
    explicit CExplainer(COutput& out) : out(out), warnings(0), rules(0) {}
    void Line(int number, const std::string& line);
    int Warnings() const { return warnings; }
    int Rules() const { return rules; }
    void Warn(const std::string& text);

private:
    void Rule(int number, const std::string& line, int comma);

    COutput& out;
    int warnings;
    int rules;
    std::map<std::string, int> sources; // source -> line of its first rule
};

void CExplainer::Warn(const std::string& text)
{
    out.WriteLine("        warning: " + text);
    ++warnings;
}

void CExplainer::Line(int number, const std::string& line)
{
    char prefix[16];
    snprintf(prefix, sizeof prefix, "%6d  ", number);
    const CQorString text(line.c_str(), 0);
    int comma = -1;
    switch (ClassifyDefinitionLine(text, &comma)) {
    case kSectionLine:
        out.WriteLine(prefix + std::string("section  ") + Visible(line));
        break;
    case kCommentLine:
        out.WriteLine(prefix + std::string("comment  ") + Visible(line));
        break;
    case kOtherLine:
        if (line.empty()) {
            out.WriteLine(prefix + std::string("empty"));
            break;
        }
        out.WriteLine(prefix + std::string("ignored  ") + Visible(line) + "   (no comma)");
        if (text.Find(kFullWidthComma, 0) != -1)
            Warn("this line is ignored: it has no ASCII comma ',', only the full-width "
                 "comma '"
                 + std::string(kFullWidthComma) + "'; write ',' to split a rule");
        break;
    case kRuleLine:
        out.WriteLine(prefix + std::string("rule     ") + Quoted(line.substr(0, comma)) + kArrow
                      + Quoted(line.substr(comma + 1)));
        Rule(number, line, comma);
        break;
    }
}

void CExplainer::Rule(int number, const std::string& line, int comma)
{
    ++rules;
    const std::string source = line.substr(0, comma);
    const std::string replacement = line.substr(comma + 1);
    if (source.empty())
        Warn("the source is empty: the line begins with a comma, and this rule never changes "
             "a caption");
    if (!replacement.empty() && replacement.back() == '\r')
        Warn("the replacement ends with a CR: the line ends CR CR LF, and every caption this "
             "rule changes gets that CR");
    else if (line.find('\r') != std::string::npos)
        Warn("a CR inside the line: only LF ends a line, so this rule runs on past the CR");

    const CQorString text(line.c_str(), 0);
    if (text.Find('[', 0) == 0) {
        const int bracket = text.ReverseFind(']');
        if (bracket != -1)
            Warn("this is not a section line, because its ']' is not its last character (after "
                 "it comes \""
                 + Visible(line.substr(bracket + 1))
                 + "\"); with its comma it "
                   "is a rule");
    }

    if (source.empty())
        return;
    const auto first = sources.find(source);
    if (first == sources.end()) {
        sources[source] = number;
        return;
    }
    char earlier[16];
    snprintf(earlier, sizeof earlier, "%d", first->second);
    Warn("line " + std::string(earlier)
         + " has the same source and runs first: this rule "
           "only sees what that one left");
}

// Text that is valid UTF-8 and not plain ASCII was saved in the wrong code page.
bool LooksLikeUtf8(const std::string& text)
{
    bool wide = false;
    for (char c : text)
        wide = wide || static_cast<BYTE>(c) >= 0x80;
    return wide
        && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0)
        > 0;
}

} // namespace

std::string Visible(const std::string& text)
{
    const std::vector<Character> chars = Characters(text);
    size_t blanks = chars.size();
    while (blanks > 0 && IsBlank(text, chars[blanks - 1]))
        --blanks;
    std::string shown;
    size_t i = 0;
    if (text.compare(0, 3, kBom) == 0) {
        shown = "{BOM}";
        while (i < chars.size() && chars[i].at < 3)
            ++i;
    }
    for (; i < chars.size(); ++i) {
        const Character& c = chars[i];
        const BYTE byte = static_cast<BYTE>(text[c.at]);
        if (i >= blanks)
            shown += c.size == 1 ? "{SP}" : "{U+3000}";
        else if (c.size == 2)
            shown.append(text, c.at, 2);
        else if (byte < 0x20 || byte == 0x7F || IsDBCSLeadByte(byte)
                 || (byte >= 0x80 && !IsWholeCharacter(&text[c.at], 1)))
            shown += Named(byte);
        else
            shown += static_cast<char>(byte);
    }
    return shown;
}

bool ReadDefinitionText(const std::string& path, CDefinitionText& text, std::string& error)
{
    SetLastError(NO_ERROR);
    if (text.Read(path.c_str()))
        return true;
    const DWORD code = GetLastError();
    error = code == NO_ERROR ? "it cannot be read whole" : ErrorText(code);
    return false;
}

int ExplainDefinitionFile(const std::string& path, COutput& out, std::string& error)
{
    CDefinitionText file;
    if (!ReadDefinitionText(path, file, error))
        return -1;
    std::vector<std::string> lines;
    std::string whole;
    while (const char* line = file.NextLine()) {
        lines.push_back(line);
        whole += line;
        whole += '\n';
    }

    out.WriteLine("Lines of " + path + " as the engine reads them; its rules apply in this order.");
    CExplainer explainer(out);
    if (LooksLikeUtf8(whole))
        explainer.Warn("this file is UTF-8, but the engine reads it in code page 932 "
                       "(Shift-JIS): its Japanese text will not match; save it as Shift-JIS");
    for (size_t i = 0; i < lines.size(); ++i) {
        explainer.Line(static_cast<int>(i + 1), lines[i]);
        if (i == 0 && lines[0].compare(0, 3, kBom) == 0)
            explainer.Warn("the file begins with a byte-order mark {BOM}: the engine takes its "
                           "bytes as the start of line 1");
    }
    char summary[128];
    snprintf(summary, sizeof summary, "%d lines, %d rules, %d warnings.",
             static_cast<int>(lines.size()), explainer.Rules(), explainer.Warnings());
    out.WriteLine(summary);
    return explainer.Warnings();
}
