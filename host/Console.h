// Console.h - the console streams: standard output, standard error and
// standard input, as engine text.
//
// A Windows console is written and read in UTF-16; a pipe or a file carries
// UTF-8 (or the console's code page, when asked), or the engine's own bytes
// in raw mode.
#pragma once
#include "HostText.h"

// One of the standard output handles. A Windows console is written in
// UTF-16; a pipe or a file gets UTF-8, or the engine's bytes in raw mode.
// Outside raw mode a byte that is no character is shown named ("{0x83}"),
// so it cannot take the line end or anything else after it along.
class COutput {
public:
    // The handle GetStdHandle gives for stdHandle; raw writes engine bytes,
    // else a pipe or a file gets text in codePage; crLf ends the lines of a
    // pipe or a file with CR LF, as Windows programs read them.
    COutput(DWORD stdHandle, bool raw, UINT codePage = CP_UTF8, bool crLf = false);
    // Writes engine text as it is, each LF of it a line end.
    void Write(const std::string& ansi);
    // Writes engine text and a line end.
    void WriteLine(const std::string& ansi) { Write(ansi + "\n"); }
    // Text that engine text may not hold (a file name typed by the user).
    void WriteWideLine(const std::wstring& wide);
    // Whether the handle is a Windows console (or a terminal under Wine).
    bool IsConsole() const { return console; }

private:
    void WriteWide(const std::wstring& wide);
    void WriteBytes(const std::string& bytes);

    HANDLE handle;
    bool console;
    bool raw;
    UINT codePage;
    bool crLf;
};

// Standard input, one line at a time, as engine text. The line end (LF or
// CR LF) is cut off; in UTF-8 mode a byte-order mark before the first line
// is skipped. Lines are read in time linear in their length.
class CInput {
public:
    // Standard input; raw reads engine bytes, else a pipe or a file is read
    // as text in codePage.
    explicit CInput(bool raw, UINT codePage = CP_UTF8);
    // The next line; false after the last.
    bool NextLine(std::string& ansi);
    // The number of the first line that was not text in the code page
    // (outside raw mode), or 0.
    int FirstLineNotUtf8() const { return notUtf8; }
    // Whether the lines are typed at a Windows console (or a terminal
    // under Wine).
    bool IsConsole() const { return console; }
    // The first character of the last line that engine text has no code
    // for, or empty.
    const std::wstring& Lost() const { return lost; }

private:
    template <typename Char>
    struct Pending {
        std::basic_string<Char> text;
        size_t start = 0; // where the next line begins in text
    };

    bool NextBytes(std::string& line);
    bool NextConsoleLine(std::wstring& line);

    HANDLE handle;
    bool console;
    bool raw;
    bool atEnd;
    int lines;
    int notUtf8;
    UINT codePage;
    std::wstring lost;
    Pending<char> pending;
    Pending<wchar_t> pendingWide;
};
