// HostText.cpp - text between the terminal and the engine.
#include "HostText.h"

namespace {

std::wstring Widen(UINT codePage, const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n,
                        nullptr, nullptr);
    return bytes;
}

bool IsConsole(HANDLE handle)
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

COutput::COutput(DWORD stdHandle, bool raw)
    : handle(GetStdHandle(stdHandle)), console(IsConsole(handle)), raw(raw)
{
}

void COutput::Write(const std::string& ansi)
{
    DWORD written = 0;
    if (console && !raw) {
        const std::wstring wide = WideFromAnsi(ansi);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = raw ? ansi : Utf8FromWide(WideFromAnsi(ansi));
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

CInput::CInput(bool raw)
    : handle(GetStdHandle(STD_INPUT_HANDLE)), console(IsConsole(handle)), raw(raw), first(true),
      atEnd(false)
{
}

bool CInput::NextLine(std::string& ansi)
{
    if (console && !raw) {
        std::wstring wide;
        if (!NextConsoleLine(wide))
            return false;
        ansi = AnsiFromWide(wide);
        return true;
    }
    std::string bytes;
    if (!NextBytes(bytes))
        return false;
    if (!raw && first && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    first = false;
    ansi = raw ? bytes : AnsiFromWide(WideFromUtf8(bytes));
    return true;
}

namespace {

// Takes the next line, without its LF or CR LF, from what was read so far,
// calling read(buffer, size, &count) for more until a line is whole; the
// last line needs no line end. False when nothing is left.
template <typename Char, typename Read>
bool SplitLine(std::basic_string<Char>& pending, bool& atEnd, Read read,
               std::basic_string<Char>& line)
{
    for (;;) {
        const size_t lf = pending.find(Char('\n'));
        if (lf != std::basic_string<Char>::npos) {
            line.assign(pending, 0, lf);
            pending.erase(0, lf + 1);
            break;
        }
        Char buffer[1024];
        DWORD count = 0;
        if (atEnd || !read(buffer, 1024, &count) || count == 0) {
            atEnd = true;
            if (pending.empty())
                return false;
            line.swap(pending);
            pending.clear();
            break;
        }
        pending.append(buffer, count);
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
        pendingWide.clear();
        return false;
    }
    return true;
}
