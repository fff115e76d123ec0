// HostText.cpp - engine text and the encodings around it.
#include "HostText.h"
#include <stdio.h>

namespace {

// Whether every character of wide has a code in the ANSI code page (none is
// replaced by the default character, nor by a look-alike).
bool HasAnsiCodes(const wchar_t* wide, int size)
{
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &lost);
    return !lost;
}

} // namespace

std::wstring Widen(UINT codePage, const std::string& bytes, DWORD flags)
{
    if (bytes.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    // No look-alike: a character the code page lacks becomes its default one.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &bytes[0], n,
                        nullptr, nullptr);
    return bytes;
}

std::wstring WideFromAnsi(const std::string& ansi)
{
    return Widen(CP_ACP, ansi);
}
std::string AnsiFromWide(const std::wstring& wide)
{
    return Narrow(CP_ACP, wide);
}
std::string Utf8FromWide(const std::wstring& wide)
{
    return Narrow(CP_UTF8, wide);
}
std::wstring WideFromUtf8(const std::string& utf8)
{
    return Widen(CP_UTF8, utf8);
}

bool AnsiFromWideExactly(const std::wstring& wide, std::string& ansi, std::wstring& lost)
{
    lost.clear();
    ansi = AnsiFromWide(wide);
    if (HasAnsiCodes(wide.data(), static_cast<int>(wide.size())))
        return true;
    for (size_t i = 0; i < wide.size();) {
        const size_t size = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
        if (!HasAnsiCodes(&wide[i], static_cast<int>(size))) {
            lost = wide.substr(i, size);
            break;
        }
        i += size;
    }
    return false;
}

unsigned CodePoint(const std::wstring& character)
{
    return character.size() == 2
        ? 0x10000 + ((character[0] - 0xD800) << 10) + (character[1] - 0xDC00)
        : character[0];
}

std::wstring CodePointName(const std::wstring& character)
{
    wchar_t name[16];
    swprintf(name, 16, L"U+%04X", CodePoint(character));
    return name;
}

std::string Number(int n)
{
    return std::to_string(n);
}

std::string Grouped(int n)
{
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, ",");
    return digits;
}

size_t CharacterSize(const std::string& text, size_t at)
{
    return IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size()
            && IsWholeText(&text[at], 2)
        ? 2
        : 1;
}

bool IsWholeText(const char* p, size_t size)
{
    return size == 0
        || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, p, static_cast<int>(size), nullptr, 0)
        > 0;
}

std::string NamedByte(BYTE byte)
{
    char name[8];
    snprintf(name, sizeof name, "{0x%02X}", byte);
    return name;
}

size_t BlanksEnd(const std::string& text, size_t at)
{
    while (text.compare(at, 1, " ") == 0 || text.compare(at, 1, "\t") == 0
           || text.compare(at, 2, kIdeographicSpace) == 0)
        at += text[at] == ' ' || text[at] == '\t' ? 1 : 2;
    return at;
}
