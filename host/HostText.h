// HostText.h - text between the terminal and the engine.
//
// The engine works on text in the process's ANSI code page (code page 932,
// Shift-JIS, on a Japanese system). The terminal and the files a user types
// are UTF-8. By default the host converts between the two; in raw mode it
// passes the engine's bytes through unchanged, for scripts.
#pragma once
#include <windows.h>
#include <string>

std::wstring WideFromAnsi(const std::string& ansi);
std::string AnsiFromWide(const std::wstring& wide);
std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);

// One of the standard output handles. A Windows console is written in
// UTF-16; a pipe or a file gets UTF-8, or the engine's bytes in raw mode.
class COutput {
public:
    COutput(DWORD stdHandle, bool raw);
    void Write(const std::string& ansi);
    void WriteLine(const std::string& ansi) { Write(ansi + "\n"); }

private:
    HANDLE handle;
    bool console;
    bool raw;
};

// Standard input, one line at a time, as engine text. The line end (LF or
// CR LF) is cut off; in UTF-8 mode a byte-order mark before the first line
// is skipped.
class CInput {
public:
    explicit CInput(bool raw);
    bool NextLine(std::string& ansi);

private:
    bool NextBytes(std::string& line);
    bool NextConsoleLine(std::wstring& line);

    HANDLE handle;
    bool console;
    bool raw;
    bool first;
    bool atEnd;
    std::string pending;
    std::wstring pendingWide;
};
