// HostText.h - engine text and the encodings around it.
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

// The bytes of codePage as UTF-16; with MB_ERR_INVALID_CHARS in flags,
// empty when a byte is no character (and the bytes are not empty).
std::wstring Widen(UINT codePage, const std::string& bytes, DWORD flags = 0);
// UTF-16 as bytes of codePage; a character it lacks becomes its default
// character, never a look-alike.
std::string Narrow(UINT codePage, const std::wstring& wide);

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
// The character's code point as Unicode names it: L"U+00E9".
std::wstring CodePointName(const std::wstring& character);

// n in digits: "-12", "1203".
std::string Number(int n);
// n (0 or more) in digits, in groups of three: "1,203".
std::string Grouped(int n);

// The number of bytes of the character at text[at]: 2 for a lead byte with
// a second byte that makes a character of the ANSI code page, else 1.
size_t CharacterSize(const std::string& text, size_t at);
// Whether the size bytes at p are whole characters of the ANSI code page.
bool IsWholeText(const char* p, size_t size);
// A byte that is no character, as the host shows it: "{0x83}".
std::string NamedByte(BYTE byte);
// Where the blanks (' ', tabs and ideographic spaces) that begin at
// text[at] end: at itself when there is none there.
size_t BlanksEnd(const std::string& text, size_t at);
