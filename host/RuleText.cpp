// RuleText.cpp - a definition file's lines and rules as the engine takes
// them. The file is read by the engine's own reader and a rule applied by
// its own replacement, so what the host shows cannot differ from what the
// engine does.
#include "RuleText.h"
#include "HostText.h"
#include "WhyText.h"
#include "../engine/RuleTable.h"
#include "../engine/DefinitionFile.h"

namespace {

bool IsBlank(const std::string& text, size_t at, size_t size)
{
    return text.compare(at, size, " ") == 0 || text.compare(at, size, kIdeographicSpace) == 0;
}

} // namespace

bool ReadDefinitionLines(const std::string& path, std::vector<std::string>& lines,
                         std::string& error)
{
    CDefinitionText file;
    if (const DWORD code = file.Read(path.c_str())) {
        error = WhyText(code);
        return false;
    }
    while (const char* line = file.NextLine())
        lines.push_back(line);
    // The reader ends with the empty rest after the last LF (the whole of an
    // empty file), which it ignores as it ignores an empty line.
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return true;
}

std::string ApplyRule(const std::string& text, const std::string& source,
                      const std::string& replacement)
{
    const CQorString after = CRuleTable::ReplaceAll(CQorString(text.c_str(), 0), source.c_str(),
                                                    replacement.c_str());
    return std::string(after.data, after.length);
}

std::string Visible(const std::string& text)
{
    struct Character {
        size_t at;
        size_t size;
    };
    std::vector<Character> chars;
    for (size_t i = 0; i < text.size(); i += chars.back().size)
        chars.push_back({i, CharacterSize(text, i)});
    size_t blanks = chars.size();
    while (blanks > 0 && IsBlank(text, chars[blanks - 1].at, chars[blanks - 1].size))
        --blanks;
    size_t leading = 0; // the blanks it begins with
    while (leading < blanks && IsBlank(text, chars[leading].at, chars[leading].size))
        ++leading;
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
        if (i >= blanks || i < leading)
            shown += c.size == 1 ? "{SP}" : "{U+3000}";
        else if (c.size == 2)
            shown.append(text, c.at, 2);
        else if (byte == '\t')
            shown += "{TAB}";
        else if (byte == '\r')
            shown += "{CR}";
        else if (byte < 0x20 || byte == 0x7F || !IsWholeText(&text[c.at], 1)
                 || IsDBCSLeadByte(byte))
            shown += NamedByte(byte);
        else
            shown += static_cast<char>(byte);
    }
    return shown;
}

std::string Quoted(const std::string& text)
{
    return "\"" + Visible(text) + "\"";
}
