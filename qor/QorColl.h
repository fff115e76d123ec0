// QorColl.h - the framework's collections.
//
// CQorCollection declares every operation; CQorIndexedList implements them
// all on five storage primitives; CQorPtrArray stores untyped pointers in a
// block from the C runtime heap that grows one element at a time. A
// collection never owns what its elements point to. CQorPosition names an
// element by index (kind 3) or names none (kind 0, g_nullPosition).
#pragma once
#include <windows.h>

class CQorPosition {
public:
    // The position that names no element: kind 0, index 0.
    CQorPosition();
    // A position of the given kind and index; nothing is checked.
    CQorPosition(int kind, int index);
    // Copies kind and index.
    CQorPosition(const CQorPosition& other);
    CQorPosition& operator=(const CQorPosition& other);
    virtual ~CQorPosition();

    int kind; // 3: by index; 0: no element
    int index;
};

// The position every walk ends at: kind 0.
extern CQorPosition g_nullPosition;

class CQorCollection {
public:
    virtual ~CQorCollection();

    // Inserts value first, last, after or before an element: the new
    // element's position, or g_nullPosition when the position names no
    // element or memory runs out (the collection unchanged).
    virtual CQorPosition AddHead(void* value) = 0;
    virtual CQorPosition AddTail(void* value) = 0;
    virtual CQorPosition InsertAfter(const CQorPosition& position, void* value) = 0;
    virtual CQorPosition InsertBefore(const CQorPosition& position, void* value) = 0;
    // The same by index (-1 before the first): the new element's index, or
    // -1 when the index is out of range or memory runs out (unchanged).
    virtual int AddHeadIndex(void* value) = 0;
    virtual int AddTailIndex(void* value) = 0;
    virtual int InsertAfterIndex(int index, void* value) = 0;
    virtual int InsertBeforeIndex(int index, void* value) = 0;
    // Removes the element named; a position or index out of range: nothing.
    virtual void RemoveAt(const CQorPosition& position) = 0;
    virtual void RemoveAtIndex(int index) = 0;
    // Removes every element and frees the storage.
    virtual void RemoveAll() = 0;
    // Whether there is no element.
    virtual BOOL IsEmpty() const = 0;
    // The number of elements.
    virtual UINT GetCount() const = 0;
    // The first element's position, or g_nullPosition when empty.
    virtual CQorPosition GetHeadPosition() const = 0;
    // The next element's position, or g_nullPosition after the last.
    virtual CQorPosition GetNextPosition(const CQorPosition& position) const = 0;
    // The previous element's position, or g_nullPosition before the first.
    virtual CQorPosition GetPrevPosition(const CQorPosition& position) const = 0;
    // The last element's position, or g_nullPosition when empty.
    virtual CQorPosition GetTailPosition() const = 0;
    // The value at a position; null when it names no element.
    virtual void* GetAt(const CQorPosition& position) const = 0;
    // Replaces the value at a position: FALSE, unchanged, when it names none.
    virtual BOOL SetAt(const CQorPosition& position, void* value) = 0;
    // The value at an index; null out of range.
    virtual void* GetAtIndex(int index) const = 0;
    // Replaces the value at an index: FALSE, unchanged, out of range.
    virtual BOOL SetAtIndex(int index, void* value) = 0;
};

class CQorIndexedList : public CQorCollection {
public:
    // Empty.
    CQorIndexedList();
    ~CQorIndexedList() override;

    // CQorCollection's operations, with their contracts, on the primitives below.
    CQorPosition AddHead(void* value) override;
    CQorPosition AddTail(void* value) override;
    CQorPosition InsertAfter(const CQorPosition& position, void* value) override;
    CQorPosition InsertBefore(const CQorPosition& position, void* value) override;
    int AddHeadIndex(void* value) override;
    int AddTailIndex(void* value) override;
    int InsertAfterIndex(int index, void* value) override;
    int InsertBeforeIndex(int index, void* value) override;
    void RemoveAt(const CQorPosition& position) override;
    void RemoveAtIndex(int index) override;
    void RemoveAll() override;
    BOOL IsEmpty() const override;
    UINT GetCount() const override;
    CQorPosition GetHeadPosition() const override;
    CQorPosition GetNextPosition(const CQorPosition& position) const override;
    CQorPosition GetPrevPosition(const CQorPosition& position) const override;
    CQorPosition GetTailPosition() const override;
    void* GetAt(const CQorPosition& position) const override;
    BOOL SetAt(const CQorPosition& position, void* value) override;
    void* GetAtIndex(int index) const override;
    BOOL SetAtIndex(int index, void* value) override;

    // The storage primitives. They check no bounds and run while count
    // still holds its value from before the change.
    virtual int DoInsertAfter(int index, void* value) = 0;
    virtual void DoRemoveAt(int index) = 0;
    virtual void DoRemoveAll() = 0;
    virtual void* DoGetAt(int index) const = 0;
    virtual BOOL DoSetAt(int index, void* value) = 0;

    // The index a position names, or -1 when it names none.
    static int IndexFromPosition(const CQorPosition& position);
    // The position of an index; g_nullPosition for an index below 0.
    static CQorPosition PositionFromIndex(int index);

    UINT count; // elements held
};

class CQorPtrArray : public CQorIndexedList {
public:
    // Empty, with no block.
    CQorPtrArray();
    // Frees the block, never what the elements point to.
    ~CQorPtrArray() override;
    CQorPtrArray(const CQorPtrArray&) = delete;
    CQorPtrArray& operator=(const CQorPtrArray&) = delete;

    // The storage primitives on one block of pointers: DoInsertAfter gives
    // -1, the array unchanged, when the block cannot grow.
    int DoInsertAfter(int index, void* value) override;
    void DoRemoveAt(int index) override;
    void DoRemoveAll() override;
    void* DoGetAt(int index) const override;
    BOOL DoSetAt(int index, void* value) override;

    // Grows the block to hold n pointers: FALSE, unchanged, when it cannot.
    BOOL EnsureCapacity(int n);

    void** items; // the block, or null
    int capacity; // pointers the block holds
};
