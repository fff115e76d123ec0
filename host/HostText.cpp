// HostText.cpp - text between the terminal and the engine.
#include "HostText.h"
#include <stdio.h>

namespace {

// The bytes as UTF-16; with MB_ERR_INVALID_CHARS in flags, empty when a
// byte is no character (and the bytes are not empty).
std::wstring Widen(UINT codePage, const std::string& bytes, DWORD flags = 0)
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

// Whether every character of wide has a code in the ANSI code page (none is
// replaced by the default character, nor by a look-alike).
bool HasAnsiCodes(const wchar_t* wide, int size)
{
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &lost);
    return !lost;
}

// The engine text as UTF-16, with each byte that is no character named.
std::wstring Shown(const std::string& ansi)
{
    if (IsWholeText(ansi.data(), ansi.size()))
        return WideFromAnsi(ansi);
    std::wstring wide;
    size_t run = 0; // the first byte not yet converted
    for (size_t i = 0; i < ansi.size();) {
        const size_t size = CharacterSize(ansi, i);
        if (size == 2 || IsWholeText(&ansi[i], 1)) {
            i += size;
            continue;
        }
        wide += WideFromAnsi(ansi.substr(run, i - run))
            + WideFromAnsi(NamedByte(static_cast<BYTE>(ansi[i])));
        run = ++i;
    }
    return wide + WideFromAnsi(ansi.substr(run));
}

bool IsConsoleHandle(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

} // namespace

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

COutput::COutput(DWORD stdHandle, bool raw, UINT codePage)
    : handle(GetStdHandle(stdHandle)), console(IsConsoleHandle(handle)), raw(raw),
      codePage(codePage)
{
}

void COutput::Write(const std::string& ansi)
{
    if (raw) {
        DWORD written = 0;
        WriteFile(handle, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
        return;
    }
    WriteWide(Shown(ansi));
}

void COutput::WriteWideLine(const std::wstring& wide)
{
    if (raw)
        WriteLine(AnsiFromWide(wide));
    else
        WriteWide(wide + L"\n");
}

void COutput::WriteWide(const std::wstring& wide)
{
    DWORD written = 0;
    if (console) {
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = Narrow(codePage, wide);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

CInput::CInput(bool raw, UINT codePage)
    : handle(GetStdHandle(STD_INPUT_HANDLE)), console(IsConsoleHandle(handle)), raw(raw),
      atEnd(false), lines(0), notUtf8(0), codePage(codePage)
{
}

bool CInput::NextLine(std::string& ansi)
{
    if (console && !raw) {
        std::wstring wide;
        if (!NextConsoleLine(wide))
            return false;
        AnsiFromWideExactly(wide, ansi, lost);
        return true;
    }
    std::string bytes;
    if (!NextBytes(bytes))
        return false;
    ++lines;
    if (raw) {
        ansi.swap(bytes);
        return true;
    }
    if (lines == 1 && codePage == CP_UTF8 && bytes.compare(0, 3, kBom) == 0)
        bytes.erase(0, 3);
    std::wstring wide = Widen(codePage, bytes, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !bytes.empty()) {
        notUtf8 = notUtf8 ? notUtf8 : lines;
        wide = Widen(codePage, bytes);
    }
    AnsiFromWideExactly(wide, ansi, lost);
    return true;
}

namespace {

// Takes the next line, without its LF or CR LF, from what was read so far,
// calling read(buffer, size, &count) for more until a line is whole; the
// last line needs no line end. False when nothing is left. Each byte is
// looked at once, so a long line costs no more than its length.
template <typename Char, typename Pending, typename Read>
bool SplitLine(Pending& pending, bool& atEnd, Read read, std::basic_string<Char>& line)
{
    std::basic_string<Char>& text = pending.text;
    for (size_t searched = pending.start;;) {
        const size_t lf = text.find(Char('\n'), searched);
        if (lf != std::basic_string<Char>::npos) {
            line.assign(text, pending.start, lf - pending.start);
            pending.start = lf + 1;
            break;
        }
        Char buffer[16384];
        DWORD count = 0;
        if (atEnd || !read(buffer, 16384, &count) || count == 0) {
            atEnd = true;
            if (pending.start == text.size())
                return false;
            line.assign(text, pending.start, std::basic_string<Char>::npos);
            pending.start = text.size();
            break;
        }
        text.erase(0, pending.start);
        pending.start = 0;
        searched = text.size();
        text.append(buffer, count);
    }
    if (!line.empty() && line.back() == Char('\r'))
        line.pop_back();
    return true;
}

} // namespace

// A line of a pipe or a file.
bool CInput::NextBytes(std::string& line)
{
    return SplitLine(
        pending, atEnd,
        [this](char* buffer, DWORD size, DWORD* count) {
            return ReadFile(handle, buffer, size, count, nullptr) != 0;
        },
        line);
}

// A line typed at a Windows console, read as UTF-16.
bool CInput::NextConsoleLine(std::wstring& line)
{
    if (!SplitLine(
            pendingWide, atEnd,
            [this](wchar_t* buffer, DWORD size, DWORD* count) {
                return ReadConsoleW(handle, buffer, size, count, nullptr) != 0;
            },
            line))
        return false;
    // Ctrl+Z (Windows) or Ctrl+D (a Unix terminal under Wine), then Enter,
    // ends the input typed at a console.
    if (line == L"\x1A" || line == L"\x04") {
        atEnd = true;
        pendingWide.text.clear();
        pendingWide.start = 0;
        return false;
    }
    return true;
}
