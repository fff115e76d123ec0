// TextFile.cpp - a text file the user wrote, as engine text.
#include "TextFile.h"
#include "HostText.h"
#include "Messages.h"
#include "RuleText.h"

bool ReadTextLines(const std::string& path, bool raw, std::vector<TextLine>& lines,
                   std::string& error)
{
    std::vector<std::string> bytes;
    if (!ReadDefinitionLines(path, bytes, error))
        return false;
    for (std::string& line : bytes) {
        if (raw) {
            lines.push_back({line, L""});
            continue;
        }
        if (lines.empty() && line.compare(0, 3, kBom) == 0)
            line.erase(0, 3);
        const std::wstring wide = WideFromUtf8(line);
        if (Utf8FromWide(wide) != line) {
            error = Message(IDS_ERR_FILE_NOT_UTF8, {Number(static_cast<int>(lines.size() + 1))});
            return false;
        }
        TextLine read;
        AnsiFromWideExactly(wide, read.text, read.lost);
        lines.push_back(read);
    }
    return true;
}
