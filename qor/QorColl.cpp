// QorColl.cpp - the framework's collections.
#include "QorColl.h"
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {
const int kIndexPosition = 3;
}

CQorPosition g_nullPosition __attribute__((init_priority(102)));

CQorPosition::CQorPosition() : kind(0), index(0) {}

CQorPosition::CQorPosition(int kind, int index) : kind(kind), index(index) {}

CQorPosition::CQorPosition(const CQorPosition& other) : kind(other.kind), index(other.index) {}

CQorPosition& CQorPosition::operator=(const CQorPosition& other)
{
    if (&other != this) {
        kind = other.kind;
        index = other.index;
    }
    return *this;
}

CQorPosition::~CQorPosition() = default;

CQorCollection::~CQorCollection() = default;

CQorIndexedList::CQorIndexedList() : count(0) {}

CQorIndexedList::~CQorIndexedList() = default;

int CQorIndexedList::IndexFromPosition(const CQorPosition& position)
{
    return position.kind == kIndexPosition ? position.index : -1;
}

CQorPosition CQorIndexedList::PositionFromIndex(int index)
{
    if (index < 0)
        return g_nullPosition;
    return CQorPosition(kIndexPosition, index);
}

CQorPosition CQorIndexedList::AddHead(void* value)
{
    return PositionFromIndex(AddHeadIndex(value));
}

CQorPosition CQorIndexedList::AddTail(void* value)
{
    return PositionFromIndex(AddTailIndex(value));
}

CQorPosition CQorIndexedList::InsertAfter(const CQorPosition& position, void* value)
{
    return PositionFromIndex(InsertAfterIndex(IndexFromPosition(position), value));
}

CQorPosition CQorIndexedList::InsertBefore(const CQorPosition& position, void* value)
{
    return PositionFromIndex(InsertBeforeIndex(IndexFromPosition(position), value));
}

int CQorIndexedList::AddHeadIndex(void* value)
{
    return InsertAfterIndex(-1, value);
}

int CQorIndexedList::AddTailIndex(void* value)
{
    return InsertAfterIndex(static_cast<int>(count) - 1, value);
}

int CQorIndexedList::InsertAfterIndex(int index, void* value)
{
    if (index < -1 || index > static_cast<int>(count) - 1)
        return -1;
    if (DoInsertAfter(index, value) == -1)
        return -1;
    ++count;
    return index + 1;
}

int CQorIndexedList::InsertBeforeIndex(int index, void* value)
{
    return InsertAfterIndex(index - 1, value);
}

void CQorIndexedList::RemoveAt(const CQorPosition& position)
{
    RemoveAtIndex(IndexFromPosition(position));
}

void CQorIndexedList::RemoveAtIndex(int index)
{
    if (index < 0 || index > static_cast<int>(count) - 1)
        return;
    DoRemoveAt(index);
    --count;
}

void CQorIndexedList::RemoveAll()
{
    DoRemoveAll();
    count = 0;
}

BOOL CQorIndexedList::IsEmpty() const
{
    return count == 0;
}

UINT CQorIndexedList::GetCount() const
{
    return count;
}

CQorPosition CQorIndexedList::GetHeadPosition() const
{
    if (IsEmpty())
        return g_nullPosition;
    return PositionFromIndex(0);
}

CQorPosition CQorIndexedList::GetNextPosition(const CQorPosition& position) const
{
    const int next = IndexFromPosition(position) + 1;
    if (next < static_cast<int>(GetCount()))
        return PositionFromIndex(next);
    return g_nullPosition;
}

CQorPosition CQorIndexedList::GetPrevPosition(const CQorPosition& position) const
{
    const int index = IndexFromPosition(position);
    if (index == 0)
        return g_nullPosition;
    return PositionFromIndex(index - 1);
}

CQorPosition CQorIndexedList::GetTailPosition() const
{
    if (IsEmpty())
        return g_nullPosition;
    return PositionFromIndex(static_cast<int>(GetCount()) - 1);
}

void* CQorIndexedList::GetAt(const CQorPosition& position) const
{
    return GetAtIndex(IndexFromPosition(position));
}

BOOL CQorIndexedList::SetAt(const CQorPosition& position, void* value)
{
    return SetAtIndex(IndexFromPosition(position), value);
}

void* CQorIndexedList::GetAtIndex(int index) const
{
    if (index < 0 || index >= static_cast<int>(count))
        return nullptr;
    return DoGetAt(index);
}

BOOL CQorIndexedList::SetAtIndex(int index, void* value)
{
    if (index < 0 || index >= static_cast<int>(count))
        return FALSE;
    return DoSetAt(index, value);
}

CQorPtrArray::CQorPtrArray() : items(nullptr), capacity(0) {}

CQorPtrArray::~CQorPtrArray()
{
    free(items);
}

BOOL CQorPtrArray::EnsureCapacity(int n)
{
    if (capacity >= n)
        return TRUE;
    // A count whose byte size cannot be represented is a block that cannot grow.
    if (static_cast<size_t>(n) > SIZE_MAX / sizeof(void*))
        return FALSE;
    void** grown = static_cast<void**>(realloc(items, n * sizeof(void*)));
    if (!grown)
        return FALSE;
    items = grown;
    capacity = n;
    return TRUE;
}

int CQorPtrArray::DoInsertAfter(int index, void* value)
{
    const int k = static_cast<int>(GetCount());
    if (!EnsureCapacity(k + 1))
        return -1;
    const int m = k - index - 1;
    if (m > 0)
        memmove(items + index + 2, items + index + 1, m * sizeof(void*));
    items[index + 1] = value;
    return index + 1;
}

void CQorPtrArray::DoRemoveAt(int index)
{
    const int m = static_cast<int>(GetCount()) - index - 1;
    if (m > 0)
        memmove(items + index, items + index + 1, m * sizeof(void*));
}

void CQorPtrArray::DoRemoveAll()
{
    if (items) {
        free(items);
        items = nullptr;
        capacity = 0;
    }
}

void* CQorPtrArray::DoGetAt(int index) const
{
    return items[index];
}

BOOL CQorPtrArray::DoSetAt(int index, void* value)
{
    items[index] = value;
    return TRUE;
}
