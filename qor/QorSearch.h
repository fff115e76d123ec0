// QorSearch.h - the multibyte search behind CQorString::Find, for code that
// takes occurrences in batches (the engine's conversion), with the text's
// length and the code page's lead bytes it rests on. A text is found only
// where a character begins, each boundary decided from the few bytes just
// before it. For one occurrence, CQorString::Find is simpler.
#pragma once
#include <windows.h>

// How many occurrences a search finds at a time, at most.
const int kQorFoundBatch = 64;

// Finds up to max occurrences of sub (n >= 1 bytes) in text that begin a
// character, left to right and without overlap, from start on; start and
// the byte after each occurrence are taken as the start of a character.
// Stores their offsets in found and returns how many there are. text holds
// length bytes and a terminator, and its first `readable` bytes (at least
// length + 1) may be read. A lead byte that is its last byte begins no
// occurrence. On a processor without SSE2 it searches byte by byte.
// Example: in code page 932, "\x83\x5C\x5C" holds "\x5C" once, at 2.
int QorFindAtBoundaries(const char* text, int length, int readable, int start, const char* sub,
                        int n, int* found, int max);

// The length of the zero-terminated text, read in aligned blocks of 16
// bytes (bytes before the text in its first block are read, never taken):
// a block never crosses a page, so it reads no page the text does not
// reach. A text that cannot be read faults, as in strlen. On a processor
// without SSE2 it reads byte by byte.
// Example: QorTextLength("abc") == 3.
int QorTextLength(const char* text);

// The lead bytes of the process's ANSI code page: lead[b] is true when byte
// b begins a double-byte character. Read once; never null.
const bool* QorLeadBytes();

// Whether the byte at `at` begins a character, given that the byte at
// `from` does (from <= at) and lead is QorLeadBytes(). A byte that cannot
// lead a character ends one, so the bytes just before `at` that can lead a
// character pair up from the last one that cannot: `at` begins a character
// when an even number of them stand before it. No code page leads a
// character with an ASCII byte: after one, the table is not read.
// Example: in code page 932, "\x83\x5C\x5C" begins characters at 0 and 2.
inline __attribute__((always_inline)) bool QorStartsCharacter(const bool* lead,
                                                              const unsigned char* text, int from,
                                                              int at)
{
    if (at == from || text[at - 1] < 0x80)
        return true;
    int run = at;
    while (run > from && lead[text[run - 1]])
        --run;
    return ((at - run) & 1) == 0;
}
