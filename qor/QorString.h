// QorString.h - the framework's text type.
//
// A CQorString owns one zero-terminated byte buffer in global memory,
// locked for the object's whole life. Sizes and offsets are byte
// counts. Buffers grow exactly as far as needed and never shrink. Searches
// are multibyte-aware in the process's ANSI code page: the second byte of a
// double-byte character never matches. A failed allocation throws the
// framework's memory exception and leaves the string as it was.
#pragma once
#include <windows.h>

class CQorString {
public:
    explicit CQorString(int capacity);
    CQorString(const char* text, int capacity);     // capacity 0: length + 1
    CQorString(const CQorString& other);            // capacity: length + 1
    virtual ~CQorString();
    CQorString& operator=(const CQorString&) = delete;

    void Reserve(int size);
    CQorString& Assign(const CQorString& other);
    CQorString& Assign(const char* text);
    CQorString& Append(const CQorString& other);
    CQorString& Append(const char* text);
    void Empty();
    char* GetBuffer(int size);
    void ReleaseBuffer();

    CQorString Left(int count) const;
    CQorString Mid(int start, int count) const;    // count -1: the rest
    int Find(char ch, int start) const;
    int Find(const char* sub, int start) const;
    int ReverseFind(char ch) const;

    BOOL LoadString(UINT id, HINSTANCE instance);
    BOOL LoadString(UINT id);

    char* data;
    int capacity;
    int length;
};

CQorString Concat(const CQorString& a, const CQorString& b);
CQorString Concat(const CQorString& a, const char* b);

// The lead bytes of the process's ANSI code page: lead[b] is true when byte
// b begins a double-byte character. Read once; never null.
const bool* QorLeadBytes();
