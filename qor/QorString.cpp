// QorString.cpp - the framework's text type.
#include "QorString.h"
#include "QorApp.h"
#include "QorException.h"
#include <string.h>

namespace {

const UINT kGlobalFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

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

const bool* LeadBytes()
{
    static const CLeadBytes table;
    return table.lead;
}

char* AllocateLocked(int size)
{
    HGLOBAL block = GlobalAlloc(kGlobalFlags, size);
    if (!block)
        QorThrowMemoryException();
    char* p = static_cast<char*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        QorThrowMemoryException();
    }
    return p;
}

} // namespace

CQorString::CQorString(int capacity)
    : data(AllocateLocked(capacity)), capacity(capacity), length(0)
{
}

CQorString::CQorString(const char* text, int capacity)
    : data(nullptr), capacity(0), length(0)
{
    const int m = lstrlenA(text);
    if (capacity == 0)
        capacity = m + 1;
    data = AllocateLocked(capacity);
    this->capacity = capacity;
    length = m < capacity - 1 ? m : capacity - 1;
    memcpy(data, text, length);
    data[length] = '\0';
}

CQorString::CQorString(const CQorString& other)
    : data(AllocateLocked(other.length + 1)), capacity(other.length + 1),
      length(other.length)
{
    memcpy(data, other.data, other.length + 1);
}

CQorString::~CQorString()
{
    if (data) {
        HGLOBAL block = GlobalHandle(data);
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

void CQorString::Reserve(int size)
{
    if (size <= capacity)
        return;
    HGLOBAL block = GlobalHandle(data);
    GlobalUnlock(block);
    HGLOBAL grown = GlobalReAlloc(block, size, kGlobalFlags);
    // Whichever block survives is locked again: on failure the old one,
    // with its text, capacity and length untouched.
    data = static_cast<char*>(GlobalLock(grown ? grown : block));
    if (!grown)
        QorThrowMemoryException();
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
    if (start >= length)
        return -1;
    const bool* lead = LeadBytes();
    const unsigned char* text = reinterpret_cast<const unsigned char*>(data);
    for (int i = start; i < length; ++i) {
        if (lead[text[i]])
            ++i;                    // the trail byte is part of this character
        else if (text[i] == static_cast<unsigned char>(ch))
            return i;
    }
    return -1;
}

int CQorString::Find(const char* sub, int start) const
{
    if (start >= length)
        return -1;
    const int n = lstrlenA(sub);
    if (n == 0)
        return start;
    const bool* lead = LeadBytes();
    const unsigned char* text = reinterpret_cast<const unsigned char*>(data);
    const unsigned char first = static_cast<unsigned char>(sub[0]);
    for (int i = start; length - i >= n; ++i) {
        if (lead[text[i]] && i + 1 == length)
            break;                  // a lone lead byte is no character
        if (text[i] == first && memcmp(text + i, sub, n) == 0)
            return i;
        if (lead[text[i]])
            ++i;
    }
    return -1;
}

int CQorString::ReverseFind(char ch) const
{
    const bool* lead = LeadBytes();
    const unsigned char* text = reinterpret_cast<const unsigned char*>(data);
    int last = -1;
    for (int i = 0; i < length; ++i) {
        if (lead[text[i]])
            ++i;
        else if (text[i] == static_cast<unsigned char>(ch))
            last = i;
    }
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
        Reserve(2 * capacity);      // it may have been cut: load it again
    }
    length = lstrlenA(data);
    return TRUE;
}

BOOL CQorString::LoadString(UINT id)
{
    return LoadString(id, QorGetApp()->instance);
}
