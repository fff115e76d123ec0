// RuleKeys.h - inside the rule table: the keys by which the index files a
// rule and a conversion looks for it, shared by the index (RuleIndex.cpp)
// and the queue (RuleQueue.cpp).
#pragma once

// Keys: a pair of bytes is first * 256 + second; the one byte of a
// one-byte source is kSingle + that byte. The wide keys, of a source that
// begins with two or three double-byte characters, are kWide and above.
const unsigned kSingle = 0x10000;
const unsigned kKeys = kSingle + 0x100; // keys of one or two bytes
const unsigned kWide = 0x80000000;

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
