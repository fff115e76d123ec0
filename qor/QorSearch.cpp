// QorSearch.cpp - the search for a text where a character begins.
//
// A byte that cannot lead a character always ends one, so a position
// begins a character exactly when the run of lead-valued bytes just before
// it has even length. The run is counted back no further than the last
// position known to begin a character, so the text is never walked from its
// start. Candidates come from comparing the first two bytes of the searched
// text with 16 positions at a time.
#include "QorSearch.h"
#include <stdint.h>
#include <string.h>
#include <windows.h>

namespace {

// The lead bytes of the process's ANSI code page, read once. The code page
// of a process does not change while it runs.
class CLeadBytes {
public:
    CLeadBytes()
    {
        memset(lead, 0, sizeof lead);
        CPINFO info;
        if (!GetCPInfo(CP_ACP, &info))
            return;
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
            for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b)
                lead[b] = true;
    }
    bool lead[256];
};

// The code page of a process does not change while it runs.
const bool* const g_lead = QorLeadBytes();

int FindByte(const unsigned char* text, int length, int start, unsigned char ch, int* found,
             int max)
{
    int count = 0;
    int from = start; // a known character boundary
    while (count < max && from < length) {
        const void* hit = memchr(text + from, ch, length - from);
        if (!hit)
            break;
        const int at = static_cast<int>(static_cast<const unsigned char*>(hit) - text);
        if (QorStartsCharacter(g_lead, text, from, at)) {
            if (g_lead[ch] && at + 1 == length)
                break; // a lone lead byte is no character
            found[count++] = at;
        }
        from = at + 1; // after a match, or after a trail byte
    }
    return count;
}

// 16 bytes in an SSE2 register; read from any address.
typedef char Bytes16 __attribute__((vector_size(16)));
typedef char UnalignedBytes16 __attribute__((vector_size(16), aligned(1), may_alias));

// Where the first and second bytes of a searched text, spread over a and
// b, occur among the 16 positions from p: one bit per position.
__attribute__((target("sse2"))) inline __attribute__((always_inline)) unsigned Pairs(
    const unsigned char* p, Bytes16 a, Bytes16 b)
{
    const Bytes16 here = *reinterpret_cast<const UnalignedBytes16*>(p);
    const Bytes16 next = *reinterpret_cast<const UnalignedBytes16*>(p + 1);
    return static_cast<unsigned>(__builtin_ia32_pmovmskb128((here == a) & (next == b)));
}

// Pairs of a block too near the end of the bytes that may be read to be
// loaded whole, one position at a time up to last, which such a block
// reaches before its 16th position. Not inlined: it would take the
// registers of the search's loop.
__attribute__((noinline)) unsigned PairsAtEnd(const unsigned char* text, int block, int last,
                                              const unsigned char* sub)
{
    unsigned mask = 0;
    for (int i = 0; block + i <= last; ++i)
        if (text[block + i] == sub[0] && text[block + i + 1] == sub[1])
            mask |= 1u << i;
    return mask;
}

// The positions of mask from offset (offset >= 1) on, of the 16 of a
// block: none when offset is 16 or more.
inline unsigned FromOffset(unsigned mask, int offset)
{
    return offset < 16 ? mask & (~0u << offset) : 0;
}

// The search of a processor without SSE2: character by character.
int FindPairsPlain(const unsigned char* text, int length, int start, const unsigned char* sub,
                   int n, int* found, int max)
{
    int count = 0;
    for (int at = start; count < max && at <= length - n;) {
        if (memcmp(text + at, sub, n) == 0) {
            found[count++] = at;
            at += n;
        } else {
            at += g_lead[text[at]] ? 2 : 1;
        }
    }
    return count;
}

// The blocks are compared as vectors of bytes, which GCC keeps in registers;
// as __m128i, it passes each loaded block through the stack. Each block
// begins 16 bytes after the one before, whatever was found in it, so that
// the processor loads the next blocks while it checks the candidates of
// this one: a text a rule has just written delays each load that reads it.
// With kLastPair (n >= 4), a candidate is a position where the first two
// bytes and the last two agree: in Japanese text the first character of a
// source recurs often, and its last one seldom with it.
template <bool kLastPair>
__attribute__((target("sse2"))) int FindPairs(const unsigned char* text, int length, int readable,
                                              int start, const unsigned char* sub, int n,
                                              int* found, int max)
{
    const bool* lead = g_lead;
    const int last = length - n; // the last offset an occurrence fits at
    // The last block whose bytes, and those of its last pair, may all be read.
    const int lastLoaded = readable - 15 - (kLastPair ? n : 2);
    const Bytes16 first = Bytes16{} + static_cast<char>(sub[0]);
    const Bytes16 second = Bytes16{} + static_cast<char>(sub[1]);
    const Bytes16 penult = Bytes16{} + static_cast<char>(sub[n - 2]);
    const Bytes16 ult = Bytes16{} + static_cast<char>(sub[n - 1]);
    int count = 0;
    int from = start; // a known character boundary; no occurrence begins before it
    const int lastScanned = last < lastLoaded ? last : lastLoaded;
    for (int block = start; block <= last; block += 16) {
        unsigned mask;
        if (block <= lastLoaded) {
            // Blocks without a candidate are passed in a loop of their own.
            // Bytes past the text are read, never taken.
            for (;;) {
                mask = Pairs(text + block, first, second);
                if (kLastPair)
                    mask &= Pairs(text + block + n - 2, penult, ult);
                if (mask != 0 || block + 16 > lastScanned)
                    break;
                block += 16;
            }
            if (mask == 0)
                continue;
        } else {
            mask = PairsAtEnd(text, block, last, sub);
        }
        // Positions inside the last occurrence found, or before the
        // boundary that ends it, are passed.
        if (from > block)
            mask = FromOffset(mask, from - block);
        while (mask != 0) {
            const int at = block + __builtin_ctz(mask);
            mask &= mask - 1;
            if (at > last)
                return count;
            if (!QorStartsCharacter(lead, text, from, at)) {
                from = at + 1; // a trail byte ends its character
                continue;
            }
            from = at;
            int same = 2; // the first two bytes are known to match
            while (same < n && text[at + same] == sub[same])
                ++same;
            if (same == n) {
                found[count++] = at;
                if (count == max)
                    return count;
                from = at + n; // the search goes on after it
                mask = FromOffset(mask, from - block);
            }
        }
    }
    return count;
}

// The length of a text, 16 bytes at a time from the block that holds its
// first byte.
__attribute__((target("sse2"))) int Length(const char* text)
{
    const Bytes16 zero = Bytes16{};
    const uintptr_t skipped = reinterpret_cast<uintptr_t>(text) & 15;
    const Bytes16* block = reinterpret_cast<const Bytes16*>(text - skipped);
    unsigned mask = static_cast<unsigned>(__builtin_ia32_pmovmskb128(*block == zero)) >> skipped;
    if (mask != 0)
        return __builtin_ctz(mask);
    while ((mask = static_cast<unsigned>(__builtin_ia32_pmovmskb128(*++block == zero))) == 0) {
    }
    return static_cast<int>(reinterpret_cast<const char*>(block) - text) + __builtin_ctz(mask);
}

// Whether the processor runs SSE2: asked at the first search, once.
bool HasSse2()
{
    static const bool has = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
    return has;
}

} // namespace

const bool* QorLeadBytes()
{
    static const CLeadBytes table;
    return table.lead;
}

int QorFindAtBoundaries(const char* data, int length, int readable, int start, const char* subData,
                        int n, int* found, int max)
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* sub = reinterpret_cast<const unsigned char*>(subData);
    if (n == 1)
        return FindByte(text, length, start, sub[0], found, max);
    if (!HasSse2())
        return FindPairsPlain(text, length, start, sub, n, found, max);
    if (n < 4)
        return FindPairs<false>(text, length, readable, start, sub, n, found, max);
    return FindPairs<true>(text, length, readable, start, sub, n, found, max);
}

int QorTextLength(const char* text)
{
    return HasSse2() ? Length(text) : static_cast<int>(strlen(text));
}
