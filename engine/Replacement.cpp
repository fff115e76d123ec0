// Replacement.cpp - one rule applied to a text.
#include "Replacement.h"
#include "../qor/QorBytes.h"
#include "../qor/QorSearch.h"
#include <limits.h>
#include <string.h>

CTextBuffer& ReplaceOccurrences(CTextBuffer& text, const char* source, int n,
                                const char* replacement, int m, int* found, int count,
                                CTextBuffer& result)
{
    if (m == n) {
        // Written over the text: the search goes on in bytes not yet
        // written, so the result is the one a new text would hold.
        for (;;) {
            for (int i = 0; i < count; ++i)
                QorCopyBytes(text.data + found[i], replacement, n);
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
