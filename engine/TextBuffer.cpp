// TextBuffer.cpp - a conversion's working text.
#include "TextBuffer.h"
#include "../qor/QorException.h"
#include "../qor/QorBytes.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

int GrownCapacity(int capacity, int size, int count)
{
    // In 64 bits: near 2 GB the sums no longer fit in an int.
    const long long need = static_cast<long long>(size) + count + 1;
    if (need > INT_MAX)
        QorThrowMemoryException();
    const long long doubled = capacity < 64 ? 128 : 2LL * capacity;
    return static_cast<int>(need > doubled ? need : doubled > INT_MAX ? INT_MAX : doubled);
}

void CTextBuffer::FreeHeap()
{
    free(heap);
}

void CTextBuffer::Grow(int size, int count)
{
    const int grown = GrownCapacity(capacity, size, count);
    char* block = static_cast<char*>(malloc(grown));
    if (!block)
        QorThrowMemoryException();
    memcpy(block, data, size);
    free(heap);
    data = heap = block;
    capacity = grown;
}

void CTextBuffer::Assign(const char* text, int count)
{
    Reserve(0, count);
    QorCopyBytes(data, text, count);
    data[count] = '\0';
    length = count;
}
