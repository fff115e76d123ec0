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

std::wstring WideFromAnsi(const std::string& ansi) { return Widen(CP_ACP, ansi); }
std::string AnsiFromWide(const std::wstring& wide) { return Narrow(CP_ACP, wide); }
std::string Utf8FromWide(const std::wstring& wide) { return Narrow(CP_UTF8, wide); }
std::wstring WideFromUtf8(const std::string& utf8) { return Widen(CP_UTF8, utf8); }

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
    : handle(GetStdHandle(STD_INPUT_HANDLE)), console(IsConsole(handle)), raw(raw),
      first(true), atEnd(false)
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

// A line of a pipe or a file; the last line needs no line end.
bool CInput::NextBytes(std::string& line)
{
    for (;;) {
        const size_t lf = pending.find('\n');
        if (lf != std::string::npos) {
            line.assign(pending, 0, lf);
            pending.erase(0, lf + 1);
            break;
        }
        char buffer[4096];
        DWORD read = 0;
        if (atEnd || !ReadFile(handle, buffer, sizeof buffer, &read, nullptr) || read == 0) {
            atEnd = true;
            if (pending.empty())
                return false;
            line.swap(pending);
            pending.clear();
            break;
        }
        pending.append(buffer, read);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// A line typed at a Windows console, read as UTF-16.
bool CInput::NextConsoleLine(std::wstring& line)
{
    for (;;) {
        const size_t lf = pendingWide.find(L'\n');
        if (lf != std::wstring::npos) {
            line.assign(pendingWide, 0, lf);
            pendingWide.erase(0, lf + 1);
            break;
        }
        wchar_t buffer[1024];
        DWORD read = 0;
        if (atEnd || !ReadConsoleW(handle, buffer, 1024, &read, nullptr) || read == 0) {
            atEnd = true;
            if (pendingWide.empty())
                return false;
            line.swap(pendingWide);
            pendingWide.clear();
            break;
        }
        pendingWide.append(buffer, read);
    }
    if (!line.empty() && line.back() == L'\r')
        line.pop_back();
    // Ctrl+Z (Windows) or Ctrl+D (a Unix terminal under Wine), then Enter,
    // ends the input typed at a console.
    if (line == L"\x1A" || line == L"\x04") {
        atEnd = true;
        pendingWide.clear();
        return false;
    }
    return true;
}
