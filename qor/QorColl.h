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
    CQorPosition();
    CQorPosition(int kind, int index);
    CQorPosition(const CQorPosition& other);
    CQorPosition& operator=(const CQorPosition& other);
    virtual ~CQorPosition();

    int kind;
    int index;
};

extern CQorPosition g_nullPosition;

class CQorCollection {
public:
    virtual ~CQorCollection();

    virtual CQorPosition AddHead(void* value) = 0;
    virtual CQorPosition AddTail(void* value) = 0;
    virtual CQorPosition InsertAfter(const CQorPosition& position, void* value) = 0;
    virtual CQorPosition InsertBefore(const CQorPosition& position, void* value) = 0;
    virtual int AddHeadIndex(void* value) = 0;
    virtual int AddTailIndex(void* value) = 0;
    virtual int InsertAfterIndex(int index, void* value) = 0;
    virtual int InsertBeforeIndex(int index, void* value) = 0;
    virtual void RemoveAt(const CQorPosition& position) = 0;
    virtual void RemoveAtIndex(int index) = 0;
    virtual void RemoveAll() = 0;
    virtual BOOL IsEmpty() const = 0;
    virtual UINT GetCount() const = 0;
    virtual CQorPosition GetHeadPosition() const = 0;
    virtual CQorPosition GetNextPosition(const CQorPosition& position) const = 0;
    virtual CQorPosition GetPrevPosition(const CQorPosition& position) const = 0;
    virtual CQorPosition GetTailPosition() const = 0;
    virtual void* GetAt(const CQorPosition& position) const = 0;
    virtual BOOL SetAt(const CQorPosition& position, void* value) = 0;
    virtual void* GetAtIndex(int index) const = 0;
    virtual BOOL SetAtIndex(int index, void* value) = 0;
};

class CQorIndexedList : public CQorCollection {
public:
    CQorIndexedList();
    ~CQorIndexedList() override;

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

    static int IndexFromPosition(const CQorPosition& position);
    static CQorPosition PositionFromIndex(int index);

    UINT count;
};

class CQorPtrArray : public CQorIndexedList {
public:
    CQorPtrArray();
    ~CQorPtrArray() override;
    CQorPtrArray(const CQorPtrArray&) = delete;
    CQorPtrArray& operator=(const CQorPtrArray&) = delete;

    int DoInsertAfter(int index, void* value) override;
    void DoRemoveAt(int index) override;
    void DoRemoveAll() override;
    void* DoGetAt(int index) const override;
    BOOL DoSetAt(int index, void* value) override;

    BOOL EnsureCapacity(int n);

    void** items;
    int capacity;
};
