// Console.cpp - the console streams, as engine text.
#include "Console.h"

namespace {

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

COutput::COutput(DWORD stdHandle, bool raw, UINT codePage, bool crLf)
    : handle(GetStdHandle(stdHandle)), console(IsConsoleHandle(handle)), raw(raw),
      codePage(codePage), crLf(crLf)
{
}

void COutput::Write(const std::string& ansi)
{
    if (raw)
        WriteBytes(ansi);
    else
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
    if (console) {
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    WriteBytes(Narrow(codePage, wide));
}

// Bytes to a pipe or a file, each LF made CR LF when asked.
void COutput::WriteBytes(const std::string& bytes)
{
    std::string ended; // with crLf: bytes, a CR before each LF
    for (size_t i = 0; crLf && i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            ended += '\r';
        ended += bytes[i];
    }
    const std::string& written = crLf ? ended : bytes;
    DWORD count = 0;
    WriteFile(handle, written.data(), static_cast<DWORD>(written.size()), &count, nullptr);
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
