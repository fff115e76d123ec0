// TextSearch.cpp - the search for a text where a character begins.
//
// A byte that cannot lead a character always ends one, so a position
// begins a character exactly when the run of lead-valued bytes just before
// it has even length. The run is counted back no further than the last
// position known to begin a character, so the text is never walked from its
// start. Candidates come from comparing the first two bytes of the searched
// text with 16 positions at a time.
#include "TextSearch.h"
#include "../qor/QorString.h"
#include <emmintrin.h>
#include <string.h>

namespace {

// The code page of a process does not change while it runs.
const bool* const g_lead = QorLeadBytes();

// Whether the byte at `at` begins a character, given that the byte at
// `from` does (from <= at).
bool StartsCharacter(const unsigned char* text, int from, int at)
{
    int run = at;
    while (run > from && g_lead[text[run - 1]])
        --run;
    return ((at - run) & 1) == 0;
}

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
        if (StartsCharacter(text, from, at)) {
            if (g_lead[ch] && at + 1 == length)
                break; // a lone lead byte is no character
            found[count++] = at;
        }
        from = at + 1; // after a match, or after a trail byte
    }
    return count;
}

} // namespace

// Tuned for the processors that have SSE2: the default tuning passes each
// loaded block through the stack.
__attribute__((target("sse2,tune=intel"))) int FindAtBoundaries(const char* data, int length,
                                                                int readable, int start,
                                                                const char* subData, int n,
                                                                int* found, int max)
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* sub = reinterpret_cast<const unsigned char*>(subData);
    if (n == 1)
        return FindByte(text, length, start, sub[0], found, max);
    const int last = length - n; // the last offset an occurrence fits at
    // Each byte spread over a register by multiplying, not through memory.
    const __m128i first = _mm_set1_epi32(static_cast<int>(sub[0] * 0x01010101u));
    const __m128i second = _mm_set1_epi32(static_cast<int>(sub[1] * 0x01010101u));
    int count = 0;
    int from = start; // a known character boundary
    int block = start;
    while (block <= last) {
        unsigned mask = 0;
        if (block + 17 <= readable) { // bytes past the text are read, never taken
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block + 1));
            mask = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, second))));
        } else {
            for (int i = 0; block + i <= last; ++i)
                if (text[block + i] == sub[0] && text[block + i + 1] == sub[1])
                    mask |= 1u << i;
        }
        while (mask != 0) {
            const int at = block + __builtin_ctz(mask);
            mask &= mask - 1;
            if (at > last)
                return count;
            if (!StartsCharacter(text, from, at)) {
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
                const int passed = from - block;
                mask = passed < 16 ? mask & (~0u << passed) : 0;
            }
        }
        block = from > block + 16 ? from : block + 16;
    }
    return count;
}
