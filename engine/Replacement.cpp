// Replacement.cpp - one rule applied to a text.
#include "Replacement.h"
#include "../qor/QorBytes.h"
#include "../qor/QorSearch.h"
#include <limits.h>
#include <stdint.h>
#include <string.h>

namespace {

// Writes the replacement, n bytes, over the count occurrences at found as
// two pieces of the size class that may overlap, each read once.
template <typename Piece>
void WriteOverIn(char* text, const int* found, int count, const char* replacement, int n)
{
    Piece head, tail;
    memcpy(&head, replacement, sizeof head);
    memcpy(&tail, replacement + n - sizeof tail, sizeof tail);
    for (int i = 0; i < count; ++i) {
        memcpy(text + found[i], &head, sizeof head);
        memcpy(text + found[i] + n - sizeof tail, &tail, sizeof tail);
    }
}

// Writes the replacement, n bytes (n >= 1), over the count occurrences at
// found: the size class is chosen once for them all.
void WriteOver(char* text, const int* found, int count, const char* replacement, int n)
{
    if (n < 2)
        WriteOverIn<uint8_t>(text, found, count, replacement, n);
    else if (n < 4)
        WriteOverIn<uint16_t>(text, found, count, replacement, n);
    else if (n < 8)
        WriteOverIn<uint32_t>(text, found, count, replacement, n);
    else
        for (int i = 0; i < count; ++i)
            QorCopyBytes(text + found[i], replacement, n);
}

} // namespace

CTextBuffer& ReplaceOccurrences(CTextBuffer& text, const char* source, int n,
                                const char* replacement, int m, int* found, int count,
                                CTextBuffer& result)
{
    if (m == n) {
        // Written over the text: the search goes on in bytes not yet
        // written, so the result is the one a new text would hold.
        for (;;) {
            WriteOver(text.data, found, count, replacement, n);
            if (count < kQorFoundBatch)
                return text;
            count = QorFindAtBoundaries(text.data, text.length, text.capacity,
                                        found[kQorFoundBatch - 1] + n, source, n, found,
                                        kQorFoundBatch);
        }
    }
    int size = 0; // bytes written to result
    int p = 0;    // the text not yet copied begins here
    for (;;) {
        // Room for the rest of the text with these occurrences replaced: all
        // of it when they are the last. Later ones take more room only when
        // they lengthen the text.
        const long long rest = text.length - p + static_cast<long long>(count) * (m - n);
        result.Reserve(size, rest < INT_MAX - size ? static_cast<int>(rest) : INT_MAX - size);
        char* out = result.data + size;
        for (int i = 0; i < count; ++i) {
            QorCopyBytes(out, text.data + p, found[i] - p);
            out += found[i] - p;
            QorCopyBytes(out, replacement, m);
            out += m;
            p = found[i] + n;
        }
        size = static_cast<int>(out - result.data);
        if (count < kQorFoundBatch)
            break;
        count = QorFindAtBoundaries(text.data, text.length, text.capacity, p, source, n, found,
                                    kQorFoundBatch);
    }
    QorCopyBytes(result.data + size, text.data + p, text.length - p);
    size += text.length - p;
    result.data[size] = '\0';
    result.length = size;
    return result;
}
