// QorString.cpp - the framework's text type.
#include "QorString.h"
#include "QorModule.h"
#include "QorException.h"
#include "QorSearch.h"
#include <string.h>

namespace {

// Blocks are fixed: a process has room for only about 65,000 moveable
// handles, fewer than the strings of a large definition file. A fixed
// block's handle is its address, which needs no lock; the block may still
// move when it grows.
const UINT kAllocFlags = GMEM_FIXED | GMEM_ZEROINIT;
const UINT kGrowFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

char* Allocate(int size)
{
    char* block = static_cast<char*>(GlobalAlloc(kAllocFlags, size));
    if (!block)
        QorThrowMemoryException();
    return block;
}

} // namespace

CQorString::CQorString(int capacity) : data(Allocate(capacity)), capacity(capacity), length(0) {}

CQorString::CQorString(const char* text, int capacity) : data(nullptr), capacity(0), length(0)
{
    // With a capacity given, only the bytes that fit are measured: a piece
    // cut from a long text must not cost a walk to the end of that text.
    const int m = capacity > 0 ? static_cast<int>(strnlen(text, capacity - 1)) : lstrlenA(text);
    if (capacity == 0)
        capacity = m + 1;
    data = Allocate(capacity);
    this->capacity = capacity;
    length = m < capacity - 1 ? m : capacity - 1;
    memcpy(data, text, length);
    data[length] = '\0';
}

CQorString::CQorString(const CQorString& other)
    : data(Allocate(other.length + 1)), capacity(other.length + 1), length(other.length)
{
    memcpy(data, other.data, other.length + 1);
}

CQorString::~CQorString()
{
    if (data)
        GlobalFree(data);
}

void CQorString::Reserve(int size)
{
    if (size <= capacity)
        return;
    // On failure the old block stays, with its text, capacity and length.
    char* grown = static_cast<char*>(GlobalReAlloc(data, size, kGrowFlags));
    if (!grown)
        QorThrowMemoryException();
    data = grown;
    capacity = size;
}

CQorString& CQorString::Assign(const CQorString& other)
{
    if (&other == this)
        return *this;
    Reserve(other.length + 1);
    memcpy(data, other.data, other.length + 1);
    length = other.length;
    return *this;
}

CQorString& CQorString::Assign(const char* text)
{
    const int m = lstrlenA(text);
    Reserve(m + 1);
    memmove(data, text, m + 1);
    length = m;
    return *this;
}

CQorString& CQorString::Append(const CQorString& other)
{
    Reserve(length + other.length + 1);
    lstrcatA(data, other.data);
    length += other.length;
    return *this;
}

CQorString& CQorString::Append(const char* text)
{
    const int m = lstrlenA(text);
    Reserve(length + m + 1);
    lstrcatA(data, text);
    length += m;
    return *this;
}

CQorString Concat(const CQorString& a, const CQorString& b)
{
    CQorString joined(a.data, a.length + b.length + 1);
    joined.Append(b.data);
    return CQorString(joined);
}

CQorString Concat(const CQorString& a, const char* b)
{
    CQorString joined(a.data, a.length + lstrlenA(b) + 1);
    joined.Append(b);
    return CQorString(joined);
}

void CQorString::Empty()
{
    Reserve(1);
    data[0] = '\0';
    length = 0;
}

char* CQorString::GetBuffer(int size)
{
    if (size >= 0)
        Reserve(size);
    return data;
}

void CQorString::ReleaseBuffer()
{
    length = lstrlenA(data);
}

CQorString CQorString::Left(int count) const
{
    if (length > count)
        return CQorString(data, count + 1);
    return CQorString(*this);
}

CQorString CQorString::Mid(int start, int count) const
{
    if (start >= length)
        return CQorString(1);
    if (count == -1)
        return CQorString(data + start, 0);
    const int rest = length - start;
    const int j = count < rest ? count : rest;
    return CQorString(data + start, j + 1);
}

int CQorString::Find(char ch, int start) const
{
    const char sub[2] = {ch, '\0'};
    return ch ? Find(sub, start) : -1; // no text holds a zero byte
}

int CQorString::Find(const char* sub, int start) const
{
    if (start >= length)
        return -1;
    const int n = static_cast<int>(strlen(sub));
    if (n == 0)
        return start;
    int found;
    return QorFindAtBoundaries(data, length, capacity, start, sub, n, &found, 1) ? found : -1;
}

int CQorString::ReverseFind(char ch) const
{
    // ch is a single-byte character, so the byte after a match starts one.
    int last = -1;
    for (int found = Find(ch, 0); found != -1; found = Find(ch, found + 1))
        last = found;
    return last;
}

BOOL CQorString::LoadString(UINT id, HINSTANCE instance)
{
    for (;;) {
        const int loaded = ::LoadStringA(instance, id, data, capacity);
        if (loaded == 0) {
            // The platform may have emptied the buffer: keep length true.
            length = lstrlenA(data);
            return FALSE;
        }
        if (loaded != capacity - 1)
            break;
        Reserve(2 * capacity); // it may have been cut: load it again
    }
    length = lstrlenA(data);
    return TRUE;
}

BOOL CQorString::LoadString(UINT id)
{
    return LoadString(id, QorGetAppModule()->instance); // the application's module
}
