// TextBuffer.h - a conversion's working text.
#pragma once

// The capacity a buffer of `capacity` bytes grows to when count more bytes
// and a terminator must follow its first size bytes: what they need, or
// twice the capacity and at least 128 bytes when that is more, but at most
// 2^31 - 1 bytes. Throws the memory exception when they need more than
// that.
int GrownCapacity(int capacity, int size, int count);

// Bytes and a terminator, first in a block its owner lends (on the stack of
// a conversion), then, when the text outgrows it, in a block of the C
// runtime heap, which grows as needed and never shrinks. A failed
// allocation throws the framework's memory exception and leaves the buffer
// as it was.
class CTextBuffer {
public:
    // Empty, in the lent block of size bytes (size >= 1), which must outlive
    // the buffer.
    CTextBuffer(char* block, int size) : data(block), capacity(size), length(0), heap(nullptr)
    {
        data[0] = '\0';
    }
    // Most texts never leave the lent block: no call to the runtime then.
    ~CTextBuffer()
    {
        if (heap)
            FreeHeap();
    }
    CTextBuffer(const CTextBuffer&) = delete;
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // Makes room for count more bytes and a terminator after the first
    // size, which stay.
    void Reserve(int size, int count)
    {
        if (static_cast<long long>(size) + count + 1 > capacity)
            Grow(size, count);
    }
    // Replaces the text with length bytes of text.
    void Assign(const char* text, int length);

    char* data; // the lent block or the heap block
    int capacity;
    int length;

private:
    void Grow(int size, int count);
    void FreeHeap();

    char* heap; // the heap block, or null while the text is in the lent one
};
