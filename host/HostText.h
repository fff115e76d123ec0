// HostText.h - text between the terminal and the engine.
//
// The engine works on text in the process's ANSI code page (code page 932,
// Shift-JIS, on a Japanese system). The terminal and the files a user types
// are UTF-8. By default the host converts between the two; in raw mode it
// passes the engine's bytes through unchanged, for scripts.
#pragma once
#include <windows.h>
#include <string>

// "→" (U+2192) in code page 932, as a literal that joins other literals.
#define HOST_ARROW "\x81\xA8"
// " → ", between a rule's source and its replacement, as the engine's About
// dialog shows them (its string 5), and between a caption and what becomes
// of it.
const char kArrow[] = " " HOST_ARROW " ";
// The UTF-8 byte-order mark, which the engine takes as text.
const char kBom[] = "\xEF\xBB\xBF";
// The ideographic space U+3000 in code page 932: a blank, as ' ' is.
const char kIdeographicSpace[] = "\x81\x40";
// Why a caption's result is missing or cut.
const char kNotWholeMessage[] =
    "the engine could not convert it whole (out of memory, or the result is "
    "too long)";

// Text from one encoding into another; a byte that is no character, or a
// character the target cannot hold, becomes a replacement character.
std::wstring WideFromAnsi(const std::string& ansi);
std::string AnsiFromWide(const std::wstring& wide);
std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);

// The wide text as engine text, with no character lost or changed: false
// when a character has no code in the ANSI code page, and lost is then the
// first such character (two words for one beyond U+FFFF), else empty. Such
// a character becomes the code page's default character, '?'.
bool AnsiFromWideExactly(const std::wstring& wide, std::string& ansi, std::wstring& lost);

// The code point of one character (one word, or two for one beyond U+FFFF).
unsigned CodePoint(const std::wstring& character);
// n (0 or more) in digits, in groups of three: "1,203".
std::string Grouped(int n);

// The number of bytes of the character at text[at]: 2 for a lead byte with
// a second byte that makes a character of the ANSI code page, else 1.
size_t CharacterSize(const std::string& text, size_t at);
// Whether the size bytes at p are whole characters of the ANSI code page.
bool IsWholeText(const char* p, size_t size);
// A byte that is no character, as the host shows it: "{0x83}".
std::string NamedByte(BYTE byte);

// One of the standard output handles. A Windows console is written in
// UTF-16; a pipe or a file gets UTF-8, or the engine's bytes in raw mode.
// Outside raw mode a byte that is no character is shown named ("{0x83}"),
// so it cannot take the line end or anything else after it along.
class COutput {
public:
    // The handle GetStdHandle gives for stdHandle; raw writes engine bytes,
    // else a pipe or a file gets text in codePage.
    COutput(DWORD stdHandle, bool raw, UINT codePage = CP_UTF8);
    // Writes engine text as it is.
    void Write(const std::string& ansi);
    // Writes engine text and a line end.
    void WriteLine(const std::string& ansi) { Write(ansi + "\n"); }
    // Text that engine text may not hold (a file name typed by the user).
    void WriteWideLine(const std::wstring& wide);
    // Whether the handle is a Windows console (or a terminal under Wine).
    bool IsConsole() const { return console; }

private:
    void WriteWide(const std::wstring& wide);

    HANDLE handle;
    bool console;
    bool raw;
    UINT codePage;
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
