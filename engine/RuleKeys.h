// RuleKeys.h - the keys by which the rule index files a rule and a
// conversion looks for it, and the hashes of the four-byte windows by which
// it passes a rule unsearched: written here once, for the index
// (RuleIndex.cpp), the conversion's queue (internal/RuleQueue.cpp), its
// window set (internal/WindowSet.h) and the code that must know which rules
// a text can set off as the engine knows it (the console host's trace, the
// tests).
//
// A rule is keyed by the first bytes of its source; a text holds the keys
// that begin at each of its bytes. A source can occur in a text only where
// its key does, so the rules whose keys a text lacks are passed at once.
// lead is QorLeadBytes() (qor/QorSearch.h) wherever it is asked for.
#pragma once
#include <string.h>

// Keys: a pair of bytes is first * 256 + second; the one byte of a
// one-byte source is kSingle + that byte. The wide keys, of a source that
// begins with two or three double-byte characters, are kWide and above.
const unsigned kSingle = 0x10000;
const unsigned kKeys = kSingle + 0x100; // keys of one or two bytes
const unsigned kWide = 0x80000000;

// The key of the byte at p.
inline unsigned ByteKey(const unsigned char* p)
{
    return kSingle + p[0];
}

// The key of the two bytes at p.
inline unsigned BytePairKey(const unsigned char* p)
{
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

// The wide key of the two double-byte characters at p (p[0] and p[2] lead
// bytes): their four bytes, big-endian, the first a lead byte, so kWide and
// above in every double-byte code page.
inline unsigned PairKey(const unsigned char* p)
{
    return static_cast<unsigned>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// The wide key of the three double-byte characters at p: their six bytes
// hashed. Another text of six or four bytes may have the same key: its
// rules are then searched in vain, never missed.
inline unsigned TripleKey(const unsigned char* p)
{
    return (PairKey(p) ^ (static_cast<unsigned>(p[4]) << 8 | p[5]) * 0x9E3779B1u) | kWide;
}

// The wide keys of text (length bytes) that begin at offset `at`: of two
// characters where lead bytes stand at `at` and `at + 2`, and of three where
// one stands at `at + 4` too. Stores them in keys (room for two); how many.
// Example: in code page 932, "\x83\x41\x83\x43" has PairKey at 0, no key at 1.
inline int WideKeysAt(const unsigned char* text, int length, int at, const bool* lead,
                      unsigned* keys)
{
    const unsigned char* p = text + at;
    if (length - at < 4 || p[0] < 0x80 || !lead[p[0]] || !lead[p[2]])
        return 0;
    keys[0] = PairKey(p);
    if (length - at < 6 || !lead[p[4]])
        return 1;
    keys[1] = TripleKey(p);
    return 2;
}

// Every key of text (length bytes) that begins at offset `at`: the byte's,
// the pair's when a byte follows, and the wide ones. Stores them in keys
// (room for four); how many.
// Example: "ab" has ByteKey and BytePairKey at 0, ByteKey alone at 1.
inline int KeysAt(const unsigned char* text, int length, int at, const bool* lead, unsigned* keys)
{
    int count = 0;
    keys[count++] = ByteKey(text + at);
    if (length - at >= 2)
        keys[count++] = BytePairKey(text + at);
    return count + WideKeysAt(text, length, at, lead, keys + count);
}

// The key of a source of length bytes (length >= 1): its three or two
// double-byte characters' wide key, else its first two bytes', else its
// only byte's. A source occurs in a text only where KeysAt finds its key.
inline unsigned SourceKey(const unsigned char* source, int length, const bool* lead)
{
    unsigned wide[2];
    const int count = WideKeysAt(source, length, 0, lead, wide);
    if (count > 0)
        return wide[count - 1];
    return length == 1 ? ByteKey(source) : BytePairKey(source);
}

// The hash of the four bytes at `bytes`, a window of a text; a window set
// keeps its top bits.
inline unsigned WindowHash(const char* bytes)
{
    unsigned window;
    memcpy(&window, bytes, sizeof window);
    return window * 0x9E3779B1u;
}

// The top bits of a window's hash that a source's ends keep whole.
const int kEndsBits = 15;

// Out of a source's ends (SourceEnds, below): the WindowHash of its first
// four bytes, as far as the ends keep it.
inline unsigned EndsHead(unsigned ends)
{
    return ends & 0xFFFF0000u;
}

// Out of a source's ends: the WindowHash of its last four bytes, as far as
// the ends keep it.
inline unsigned EndsTail(unsigned ends)
{
    return ends << 16;
}

// The ends of a source of length bytes (length >= 4): the top 16 bits of
// the WindowHash of its first four bytes and of its last four, side by
// side, the lowest bit set, so never 0. A source whose first or last four
// bytes a text lacks does not occur in it.
inline unsigned SourceEnds(const char* source, int length)
{
    const unsigned tail = WindowHash(source + length - 4);
    return EndsHead(WindowHash(source)) | tail >> 16 | 1;
}
