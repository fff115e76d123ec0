// QorBytes.h - the copy of a few bytes, which the framework's guarded copy
// and the engine's conversion do once or more per caption.
#pragma once
#include <string.h>

// Copies count bytes (count >= 0) between blocks that do not overlap. Up to
// 32 bytes are copied here, in two pieces of the size class that may
// overlap (below four bytes: two bytes and the last), so that the branches
// depend on the size class alone: a call to the runtime costs more than
// such a copy, and each store the next search reads through delays it.
// Example: QorCopyBytes(to, "abcdef", 6) writes bytes 0-3 and 2-5.
inline void QorCopyBytes(char* to, const char* from, int count)
{
    if (count > 32) {
        memcpy(to, from, count);
    } else if (count >= 16) {
        __builtin_memcpy(to, from, 16);
        __builtin_memcpy(to + count - 16, from + count - 16, 16);
    } else if (count >= 8) {
        __builtin_memcpy(to, from, 8);
        __builtin_memcpy(to + count - 8, from + count - 8, 8);
    } else if (count >= 4) {
        __builtin_memcpy(to, from, 4);
        __builtin_memcpy(to + count - 4, from + count - 4, 4);
    } else if (count >= 2) {
        __builtin_memcpy(to, from, 2);
        to[count - 1] = from[count - 1];
    } else if (count == 1) {
        to[0] = from[0];
    }
}
