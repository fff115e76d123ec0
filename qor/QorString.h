// QorString.h - the framework's text type.
//
// A CQorString owns one zero-terminated byte buffer, a fixed block of global
// memory. Sizes and offsets are byte counts. Buffers grow exactly as far as
// needed and never shrink. Searches are multibyte-aware in the process's
// ANSI code page: the second byte of a double-byte character never matches.
// A failed allocation throws the framework's memory exception and leaves the
// string as it was.
#pragma once
#include <windows.h>

// The capacity a working string starts with: most texts fit, and a buffer
// that must grow grows once, to the size it needs.
const int kQorWorkingCapacity = 128;

class CQorString {
public:
    // An empty text in a buffer of capacity bytes. Throws on no memory.
    explicit CQorString(int capacity);
    // A copy of text cut to capacity - 1 bytes; capacity 0: length + 1.
    // Reads text only as far as it fits. Throws on no memory.
    CQorString(const char* text, int capacity);
    // A copy of other's text in a buffer of its length + 1. Throws on no memory.
    CQorString(const CQorString& other);
    // Frees the buffer.
    virtual ~CQorString();
    CQorString& operator=(const CQorString&) = delete;

    // Grows the buffer to size bytes when it is smaller; the text stays.
    // Throws on no memory, buffer and text unchanged.
    void Reserve(int size);
    // Takes a copy of the text: *this. Throws on no memory, unchanged.
    CQorString& Assign(const CQorString& other);
    CQorString& Assign(const char* text);
    // Adds the text at the end: *this. Throws on no memory, unchanged.
    CQorString& Append(const CQorString& other);
    CQorString& Append(const char* text);
    // Makes the text empty; the capacity stays.
    void Empty();
    // The buffer, grown to size bytes first unless size is -1, to be written
    // and then measured with ReleaseBuffer. Throws on no memory, unchanged.
    char* GetBuffer(int size);
    // Sets the length to the bytes before the first zero byte.
    void ReleaseBuffer();

    // The first count bytes, or the whole text when it is shorter. Throws.
    CQorString Left(int count) const;
    // count bytes from start (-1: the rest); empty when start is at or past
    // the end. Throws on no memory.
    CQorString Mid(int start, int count) const;
    // The offset of the first ch, or of sub, that begins a character at or
    // after start; -1 when there is none or start is at or past the end. An
    // empty sub is found at start.
    int Find(char ch, int start) const;
    int Find(const char* sub, int start) const;
    // The offset of the last ch that begins a character, or -1.
    int ReverseFind(char ch) const;

    // Loads string resource id of instance (or of the application's
    // module), grown until it fits: TRUE when the string exists. Throws on
    // no memory.
    BOOL LoadString(UINT id, HINSTANCE instance);
    BOOL LoadString(UINT id);

    char* data;   // the text and its zero byte
    int capacity; // bytes in the buffer
    int length;   // bytes of text before the zero byte
};

// A new text: a followed by b. Throws on no memory; a and b stay.
CQorString Concat(const CQorString& a, const CQorString& b);
CQorString Concat(const CQorString& a, const char* b);
