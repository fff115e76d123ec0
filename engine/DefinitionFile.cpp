// DefinitionFile.cpp - a definition file read whole and cut into lines.
#include "DefinitionFile.h"
#include "../qor/QorHandle.h"
#include <stdlib.h>
#include <string.h>

CDefinitionText::CDefinitionText() : buffer(nullptr), next(nullptr), end(nullptr) {}

CDefinitionText::~CDefinitionText()
{
    free(buffer);
}

DWORD CDefinitionText::Read(const char* path)
{
    const CQorOwnedHandle file(CreateFileA(
        path, GENERIC_READ, FILE_SHARE_READ, nullptr /* default security */, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr /* no template */));
    if (!file.valid())
        return GetLastError();
    // Only files whose size fits in 31 bits are read: the size must be known,
    // and size + 1 must be a byte count.
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return GetLastError();
    if (high != 0 || size > 0x7FFFFFFE)
        return ERROR_FILE_TOO_LARGE;
    buffer = static_cast<char*>(malloc(size + 1));
    if (!buffer)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, size, &read, nullptr /* not overlapped */))
        return GetLastError();
    if (read != size)
        return ERROR_HANDLE_EOF;
    buffer[size] = '\0';
    next = buffer;
    end = buffer + size;
    return ERROR_SUCCESS;
}

char* CDefinitionText::NextLine()
{
    if (!next || next > end)
        return nullptr;
    char* line = next;
    char* lf = strchr(line, '\n'); // CR and LF are never trail bytes
    if (!lf) {
        next = end + 1; // the last line ends at the end
        return line;
    }
    *lf = '\0';
    if (lf > line && lf[-1] == '\r')
        lf[-1] = '\0';
    next = lf + 1;
    return line;
}

int CDefinitionText::Lines() const
{
    int lines = next < end && end[-1] != '\n'; // a last line without its LF
    for (const char* at = next; (at = static_cast<const char*>(memchr(at, '\n', end - at))); ++at)
        ++lines;
    return lines;
}

DefLineKind ClassifyDefinitionLine(const CQorString& line, int* comma)
{
    // A character begins at the first byte: a line begins with '[' or "//"
    // when its first bytes are those.
    if (line.data[0] == '[' && line.ReverseFind(']') == line.length - 1)
        return DefLineKind::kSection;
    if (line.data[0] == '/' && line.data[1] == '/')
        return DefLineKind::kComment;
    *comma = line.Find(',', 0);
    return *comma == -1 ? DefLineKind::kOther : DefLineKind::kRule;
}
