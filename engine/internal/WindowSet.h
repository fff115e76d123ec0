// WindowSet.h - inside the rule table: the four-byte windows of a text, kept
// as a set that tells which sources cannot occur in the text, by the ends
// that the index keeps of each source (RuleKeys.h). Only the conversion
// (RuleTable.cpp) uses it.
#pragma once
#include "../RuleKeys.h"
#include <string.h>

// One bit per hash of the windows added since Reset. Between two Resets
// windows are only added: a set that was given every window of a text, and
// of each text that took its place, holds every window of the current text,
// and perhaps some of earlier texts (Stale says when those may be many, and
// the set is then made anew from the current text). A source of four bytes
// or more whose first or last four bytes' hash is not in the set does not
// occur in the text.
class CWindowSet {
public:
    // A set reads no more than the top kMaxBitsLog2 bits of a hash.
    static const int kMaxBitsLog2 = 13; // 1 KB
    static_assert(kMaxBitsLog2 <= kEndsBits, "a set reads more of a hash than ends keep");

    // Empty, with about 16 bits per window of a text of length bytes, 256
    // at least and 2^kMaxBitsLog2 at most.
    void Reset(int length)
    {
        int bits = 8;
        while (bits < kMaxBitsLog2 && (1 << bits) < 16 * length)
            ++bits;
        shift = 32 - bits;
        added = 0;
        memset(words, 0, (1u << bits) / 8);
    }
    // Whether more windows were added since Reset than a text of length
    // bytes has, and half as many again: many of them may then be of earlier
    // texts, which let through sources that no longer occur, and a set
    // made anew from the current text costs no more than those additions.
    bool Stale(int length) const { return added > length + length / 2; }
    // Adds the windows of text that begin at [from, to).
    void Add(const char* text, int from, int to)
    {
        for (int i = from; i < to; ++i, ++added) {
            const unsigned bit = WindowHash(text + i) >> shift;
            words[bit >> 5] |= 1u << (bit & 31);
        }
    }
    // Whether a window of this hash may have been added.
    bool MayHold(unsigned hash) const
    {
        const unsigned bit = hash >> shift;
        return words[bit >> 5] >> (bit & 31) & 1;
    }

private:
    int shift;
    int added; // windows added since Reset
    unsigned words[(1 << kMaxBitsLog2) / 32];
};
