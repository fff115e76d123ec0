// CollectionTests.cpp - CQorPtrArray and CQorPosition: exact growth, index
// bounds, walks through the null position, failed growth, and the virtual
// calls that let a subclass change every operation built on a primitive.
#include "../../qor/QorColl.h"
#include "FaultInjection.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

// Values stored in the arrays: distinct addresses that are never followed.
char g_cells[16];
void* V(int i)
{
    return &g_cells[i];
}

// The stored values as cell numbers ("-" for a value that is not a cell).
std::string Contents(const CQorPtrArray& a)
{
    std::string s;
    for (int i = 0; i < static_cast<int>(a.GetCount()); ++i) {
        const char* p = static_cast<const char*>(a.GetAtIndex(i));
        s += (p >= g_cells && p < g_cells + sizeof g_cells) ? char('0' + (p - g_cells)) : '-';
    }
    return s;
}

void Fill(CQorPtrArray& a, const char* cells)
{
    for (const char* c = cells; *c; ++c)
        ASSERT_NE(-1, a.AddTailIndex(V(*c - '0')));
}

// The allocator of this program is routed through the fault injector, so
// that the array's own block can be counted and refused.
void RouteAllocations()
{
    static const int patched = fault::Install(GetModuleHandleA(nullptr));
    ASSERT_GE(patched, 3) << "the test program's allocator imports were not found";
}

std::string Pos(const CQorPosition& p)
{
    return "{" + std::to_string(p.kind) + "," + std::to_string(p.index) + "}";
}

TEST(PtrArray, NewArrayIsEmptyAndHasNoBlock)
{
    CQorPtrArray a;
    EXPECT_EQ(0u, a.GetCount());
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(nullptr, a.items);
    EXPECT_EQ(0, a.capacity);
    EXPECT_EQ("{0,0}", Pos(a.GetHeadPosition()));
    EXPECT_EQ("{0,0}", Pos(a.GetTailPosition()));
    EXPECT_EQ(nullptr, a.GetAtIndex(0));
    a.RemoveAtIndex(0);
    EXPECT_EQ(0u, a.GetCount());
    EXPECT_FALSE(a.SetAtIndex(0, V(1)));
    EXPECT_EQ(0, a.capacity) << "a refused operation took a block";
}

TEST(PtrArray, GrowsExactlyOneElementPerInsertion)
{
    RouteAllocations();
    CQorPtrArray a;
    for (int i = 0; i < 6; ++i) {
        fault::Reset();
        EXPECT_EQ(i, a.AddTailIndex(V(i))) << "append " << i;
        EXPECT_EQ(1, fault::Attempts())
            << "append " << i << " resized the block " << fault::Attempts() << " times";
        EXPECT_EQ(i + 1, a.capacity) << "after append " << i;
        EXPECT_EQ(static_cast<UINT>(i + 1), a.GetCount());
    }
    EXPECT_EQ("012345", Contents(a));

    // Removals keep the block; later insertions reuse it without allocating.
    void** block = a.items;
    a.RemoveAtIndex(0);
    a.RemoveAtIndex(3);
    EXPECT_EQ("1235", Contents(a));
    EXPECT_EQ(6, a.capacity);
    EXPECT_EQ(block, a.items);
    fault::Reset();
    EXPECT_EQ(0, a.AddHeadIndex(V(9)));
    EXPECT_EQ(5, a.AddTailIndex(V(8)));
    EXPECT_EQ(0, fault::Attempts()) << "an insertion into spare room allocated";
    EXPECT_EQ(6, a.capacity);
    EXPECT_EQ(6, a.AddTailIndex(V(7)));
    EXPECT_EQ(7, a.capacity);
    EXPECT_EQ("9123587", Contents(a));

    // RemoveAll gives the block back; the next insertion takes one element.
    a.RemoveAll();
    EXPECT_EQ(nullptr, a.items);
    EXPECT_EQ(0, a.capacity);
    EXPECT_EQ(0u, a.GetCount());
    EXPECT_EQ(0, a.AddTailIndex(V(4)));
    EXPECT_EQ(1, a.capacity);
    EXPECT_EQ("4", Contents(a));
}

TEST(PtrArray, DestroyingFreesTheBlockOnly)
{
    RouteAllocations();
    fault::Reset();
    const fault::LiveBlocks before;
    {
        CQorPtrArray a;
        Fill(a, "0123");
        EXPECT_EQ(fault::LiveBlocks(before.global, before.heap + 1), fault::LiveBlocks())
            << "one block holds every element";
    }
    EXPECT_EQ(before, fault::LiveBlocks()) << "the destructor left the block";
    {
        CQorPtrArray a;
        a.RemoveAll(); // nothing to free
    }
    EXPECT_EQ(before, fault::LiveBlocks());
}

struct InsertCase {
    const char* start; // cells before
    const char* op;    // "after", "before"; "head", "tail" (Add*Index), "Head", "Tail"
    int index;         // for "after" and "before"
    int result;        // the index, or the position's index
    const char* after; // cells afterwards
};

TEST(PtrArray, InsertionIndexBounds)
{
    const InsertCase cases[] = {
        {"", "after", -1, 0, "9"},
        {"", "after", 0, -1, ""},
        {"", "after", -2, -1, ""},
        {"", "before", 0, 0, "9"},
        {"", "before", 1, -1, ""},
        {"", "before", -1, -1, ""},
        {"123", "after", -1, 0, "9123"},
        {"123", "after", 0, 1, "1923"},
        {"123", "after", 1, 2, "1293"},
        {"123", "after", 2, 3, "1239"},
        {"123", "after", 3, -1, "123"},
        {"123", "after", -2, -1, "123"},
        {"123", "after", INT_MIN, -1, "123"},
        {"123", "after", INT_MAX, -1, "123"},
        {"123", "before", 0, 0, "9123"},
        {"123", "before", 1, 1, "1923"},
        {"123", "before", 3, 3, "1239"},
        {"123", "before", 4, -1, "123"},
        {"123", "before", -1, -1, "123"},
        {"123", "head", 0, 0, "9123"},
        {"123", "tail", 0, 3, "1239"},
        {"123", "Head", 0, 0, "9123"},
        {"123", "Tail", 0, 3, "1239"},
        {"", "Tail", 0, 0, "9"},
    };
    for (const InsertCase& c : cases) {
        CQorPtrArray a;
        Fill(a, c.start);
        const int capacity = a.capacity;
        const std::string what = std::string(c.op) + "(" + std::to_string(c.index) + ") on \""
            + c.start + "\"";
        const std::string op = c.op;
        const int result = op == "after" ? a.InsertAfterIndex(c.index, V(9))
            : op == "before"             ? a.InsertBeforeIndex(c.index, V(9))
            : op == "head"               ? a.AddHeadIndex(V(9))
            : op == "tail"               ? a.AddTailIndex(V(9))
            : op == "Head"               ? CQorIndexedList::IndexFromPosition(a.AddHead(V(9)))
                                         : CQorIndexedList::IndexFromPosition(a.AddTail(V(9)));
        EXPECT_EQ(c.result, result) << what;
        EXPECT_EQ(c.after, Contents(a)) << what;
        if (c.result == -1) {
            EXPECT_EQ(capacity, a.capacity) << what << " grew the block";
        }
    }
}

struct RemoveCase {
    int index;
    const char* after;
};

TEST(PtrArray, RemovalIndexBounds)
{
    const RemoveCase cases[] = {
        {0, "2345"},   {2, "1245"},        {4, "1234"},        {5, "12345"},
        {-1, "12345"}, {INT_MIN, "12345"}, {INT_MAX, "12345"},
    };
    for (const RemoveCase& c : cases) {
        CQorPtrArray a;
        Fill(a, "12345");
        a.RemoveAtIndex(c.index);
        EXPECT_EQ(c.after, Contents(a)) << "RemoveAtIndex(" << c.index << ")";
        EXPECT_EQ(5, a.capacity) << "RemoveAtIndex(" << c.index << ") changed the block";
    }
}

TEST(PtrArray, ReadsAndWritesOutOfRange)
{
    CQorPtrArray a;
    Fill(a, "12");
    EXPECT_EQ(2, a.AddTailIndex(nullptr));
    EXPECT_EQ(nullptr, a.GetAtIndex(2)) << "a stored null value";
    EXPECT_EQ(nullptr, a.GetAtIndex(3)) << "past the end";
    EXPECT_EQ(nullptr, a.GetAtIndex(-1));
    EXPECT_FALSE(a.SetAtIndex(3, V(9)));
    EXPECT_FALSE(a.SetAtIndex(-1, V(9)));
    EXPECT_TRUE(a.SetAtIndex(2, V(9)));
    EXPECT_TRUE(a.SetAtIndex(0, V(8)));
    EXPECT_EQ("829", Contents(a));

    // A removed element's cell keeps a stale value that is never read.
    a.RemoveAtIndex(2);
    EXPECT_EQ(nullptr, a.GetAtIndex(2));
    EXPECT_FALSE(a.SetAtIndex(2, V(1)));
}

TEST(Position, ValueSemantics)
{
    const CQorPosition null;
    EXPECT_EQ("{0,0}", Pos(null));
    EXPECT_EQ("{0,0}", Pos(g_nullPosition));
    CQorPosition p(3, 7);
    CQorPosition copy(p);
    EXPECT_EQ("{3,7}", Pos(copy));
    CQorPosition& self = p;
    EXPECT_EQ(&p, &(p = self));
    EXPECT_EQ("{3,7}", Pos(p));
    copy = null;
    EXPECT_EQ("{0,0}", Pos(copy));
    EXPECT_EQ(-1, CQorIndexedList::IndexFromPosition(CQorPosition(0, 5)));
    EXPECT_EQ(-1, CQorIndexedList::IndexFromPosition(CQorPosition(1, 5)));
    EXPECT_EQ(5, CQorIndexedList::IndexFromPosition(CQorPosition(3, 5)));
    EXPECT_EQ("{0,0}", Pos(CQorIndexedList::PositionFromIndex(-1)));
    EXPECT_EQ("{3,1000}", Pos(CQorIndexedList::PositionFromIndex(1000)));
}

TEST(Position, WalksThroughTheNullPosition)
{
    const CQorPosition null;
    CQorPtrArray empty;
    EXPECT_EQ("{0,0}", Pos(empty.GetNextPosition(null)));
    EXPECT_EQ("{0,0}", Pos(empty.GetPrevPosition(null)));

    CQorPtrArray a;
    Fill(a, "123");
    EXPECT_EQ("{3,0}", Pos(a.GetHeadPosition()));
    EXPECT_EQ("{3,2}", Pos(a.GetTailPosition()));
    EXPECT_EQ("{3,0}", Pos(a.GetNextPosition(null))) << "next of null is the head";
    EXPECT_EQ("{0,0}", Pos(a.GetPrevPosition(null)));
    EXPECT_EQ("{0,0}", Pos(a.GetNextPosition(a.GetTailPosition())));
    EXPECT_EQ("{0,0}", Pos(a.GetPrevPosition(a.GetHeadPosition())));
    EXPECT_EQ("{3,1}", Pos(a.GetNextPosition(CQorPosition(3, 0))));
    EXPECT_EQ("{0,0}", Pos(a.GetNextPosition(CQorPosition(3, 7))));
    EXPECT_EQ("{3,6}", Pos(a.GetPrevPosition(CQorPosition(3, 7))))
        << "previous looks only at the lower end";
    EXPECT_EQ("{3,0}", Pos(a.GetNextPosition(CQorPosition(5, 2))))
        << "a position of another kind stands for index -1";

    // A full walk forward and backward.
    std::string forward, backward;
    for (CQorPosition p = a.GetHeadPosition(); p.kind != 0; p = a.GetNextPosition(p))
        forward += Contents(a)[p.index];
    for (CQorPosition p = a.GetTailPosition(); p.kind != 0; p = a.GetPrevPosition(p))
        backward += Contents(a)[p.index];
    EXPECT_EQ("123", forward);
    EXPECT_EQ("321", backward);

    // Operations given the null position.
    EXPECT_EQ(nullptr, a.GetAt(null));
    EXPECT_FALSE(a.SetAt(null, V(9)));
    a.RemoveAt(null);
    EXPECT_EQ("123", Contents(a));
    EXPECT_EQ("{0,0}", Pos(a.InsertBefore(null, V(9))));
    EXPECT_EQ("123", Contents(a));
    EXPECT_EQ("{3,0}", Pos(a.InsertAfter(null, V(0))));
    EXPECT_EQ("0123", Contents(a));
    EXPECT_EQ("{3,4}", Pos(a.InsertAfter(a.GetTailPosition(), V(4))));
    EXPECT_EQ("{3,0}", Pos(a.InsertBefore(a.GetHeadPosition(), V(5))));
    EXPECT_EQ("501234", Contents(a));
}

TEST(Position, KeepsItsIndexAcrossChanges)
{
    CQorPtrArray a;
    Fill(a, "123");
    const CQorPosition second = a.GetNextPosition(a.GetHeadPosition());
    const CQorPosition tail = a.GetTailPosition();
    a.AddHeadIndex(V(0));
    EXPECT_EQ(V(1), a.GetAt(second)) << "the position names what now stands there";
    a.RemoveAtIndex(0);
    a.RemoveAtIndex(0);
    EXPECT_EQ(V(3), a.GetAt(second));
    EXPECT_EQ(nullptr, a.GetAt(tail)) << "the position now lies past the end";
    EXPECT_TRUE(a.SetAt(second, V(7)));
    a.RemoveAt(second);
    EXPECT_EQ("2", Contents(a));
}

TEST(PtrArray, CountWhoseByteSizeCannotBeRepresentedIsRefused)
{
    CQorPtrArray a;
    Fill(a, "12");
    void** block = a.items;
    const int counts[] = {0x40000000, 0x7FFFFFFF, 0x3FFFFFFF};
    for (int n : counts) {
        EXPECT_FALSE(a.EnsureCapacity(n)) << n;
        EXPECT_EQ(block, a.items) << n;
        EXPECT_EQ(2, a.capacity) << n;
        EXPECT_EQ("12", Contents(a)) << "the old block is still valid after " << n;
    }
    EXPECT_TRUE(a.EnsureCapacity(2));
    EXPECT_TRUE(a.EnsureCapacity(-5));
    EXPECT_EQ(2, a.capacity);
    EXPECT_TRUE(a.EnsureCapacity(4));
    EXPECT_EQ(4, a.capacity);
    EXPECT_EQ("12", Contents(a));
}

TEST(PtrArray, FailedGrowthLeavesTheArrayAsItWas)
{
    RouteAllocations();
    struct Op {
        const char* name;
        int (*insert)(CQorPtrArray&); // an index, or -1; positions give their index
    };
    const Op ops[] = {
        {"AddTailIndex", [](CQorPtrArray& a) { return a.AddTailIndex(V(9)); }},
        {"AddHeadIndex", [](CQorPtrArray& a) { return a.AddHeadIndex(V(9)); }},
        {"InsertAfterIndex(0)", [](CQorPtrArray& a) { return a.InsertAfterIndex(0, V(9)); }},
        {"InsertBeforeIndex(2)", [](CQorPtrArray& a) { return a.InsertBeforeIndex(2, V(9)); }},
        {"AddTail", [](CQorPtrArray& a) { return a.AddTail(V(9)).kind == 0 ? -1 : 0; }},
        {"AddHead", [](CQorPtrArray& a) { return a.AddHead(V(9)).kind == 0 ? -1 : 0; }},
        {"InsertAfter",
         [](CQorPtrArray& a) {
             return a.InsertAfter(a.GetHeadPosition(), V(9)).kind == 0 ? -1 : 0;
         }},
        {"InsertBefore",
         [](CQorPtrArray& a) {
             return a.InsertBefore(a.GetTailPosition(), V(9)).kind == 0 ? -1 : 0;
         }},
    };
    for (const Op& op : ops) {
        CQorPtrArray a;
        Fill(a, "123");
        void** block = a.items;
        int result;
        {
            fault::CFailAt fail(1);
            result = op.insert(a);
            EXPECT_TRUE(fault::Failed()) << op.name << " did not try to grow the block";
        }
        EXPECT_EQ(-1, result) << op.name;
        EXPECT_EQ(3u, a.GetCount()) << op.name;
        EXPECT_EQ(3, a.capacity) << op.name;
        EXPECT_EQ(block, a.items) << op.name;
        EXPECT_EQ("123", Contents(a)) << op.name;
        EXPECT_EQ(3, a.AddTailIndex(V(4))) << op.name << ": the array cannot grow afterwards";
        EXPECT_EQ("1234", Contents(a)) << op.name;
    }
}

// Records every virtual call the operations make to each other.
class CLoggingArray : public CQorPtrArray {
    using B = CQorPtrArray;

public:
    mutable std::string log;

    // clang-format off
    int InsertAfterIndex(int i, void* v) override
    { Note("InsertAfterIndex", i); return B::InsertAfterIndex(i, v); }
    int AddTailIndex(void* v) override { Note("AddTailIndex"); return B::AddTailIndex(v); }
    void RemoveAtIndex(int i) override { Note("RemoveAtIndex", i); B::RemoveAtIndex(i); }
    void* GetAtIndex(int i) const override { Note("GetAtIndex", i); return B::GetAtIndex(i); }
    BOOL SetAtIndex(int i, void* v) override { Note("SetAtIndex", i); return B::SetAtIndex(i, v); }
    BOOL IsEmpty() const override { Note("IsEmpty"); return B::IsEmpty(); }
    UINT GetCount() const override { Note("GetCount"); return B::GetCount(); }
    int DoInsertAfter(int i, void* v) override
    { Note("DoInsertAfter", i); return B::DoInsertAfter(i, v); }
    void DoRemoveAt(int i) override { Note("DoRemoveAt", i); B::DoRemoveAt(i); }
    void DoRemoveAll() override { Note("DoRemoveAll"); B::DoRemoveAll(); }
    void* DoGetAt(int i) const override { Note("DoGetAt", i); return B::DoGetAt(i); }
    BOOL DoSetAt(int i, void* v) override { Note("DoSetAt", i); return B::DoSetAt(i, v); }
    // clang-format on

private:
    void Note(const char* name) const { log += std::string(name) + " "; }
    void Note(const char* name, int i) const
    {
        log += std::string(name) + "(" + std::to_string(i) + ") ";
    }
};

struct DispatchCase {
    const char* name;
    std::function<void(CLoggingArray&)> op;
    const char* calls;
};

TEST(PtrArray, OperationsCallEachOtherVirtually)
{
    const CQorPosition second(3, 1);
    const DispatchCase cases[] = {
        {"AddTail", [](CLoggingArray& a) { a.AddTail(V(9)); },
         "AddTailIndex InsertAfterIndex(1) DoInsertAfter(1) GetCount "},
        {"AddHead", [](CLoggingArray& a) { a.AddHead(V(9)); },
         "InsertAfterIndex(-1) DoInsertAfter(-1) GetCount "},
        {"InsertAfter", [&](CLoggingArray& a) { a.InsertAfter(second, V(9)); },
         "InsertAfterIndex(1) DoInsertAfter(1) GetCount "},
        {"InsertBefore", [&](CLoggingArray& a) { a.InsertBefore(second, V(9)); },
         "InsertAfterIndex(0) DoInsertAfter(0) GetCount "},
        {"InsertBeforeIndex", [](CLoggingArray& a) { a.InsertBeforeIndex(2, V(9)); },
         "InsertAfterIndex(1) DoInsertAfter(1) GetCount "},
        {"RemoveAt", [&](CLoggingArray& a) { a.RemoveAt(second); },
         "RemoveAtIndex(1) DoRemoveAt(1) GetCount "},
        {"RemoveAll", [](CLoggingArray& a) { a.RemoveAll(); }, "DoRemoveAll "},
        {"GetAt", [&](CLoggingArray& a) { a.GetAt(second); }, "GetAtIndex(1) DoGetAt(1) "},
        {"SetAt", [&](CLoggingArray& a) { a.SetAt(second, V(9)); }, "SetAtIndex(1) DoSetAt(1) "},
        {"GetHeadPosition", [](CLoggingArray& a) { a.GetHeadPosition(); }, "IsEmpty "},
        {"GetTailPosition", [](CLoggingArray& a) { a.GetTailPosition(); }, "IsEmpty GetCount "},
        {"GetNextPosition", [&](CLoggingArray& a) { a.GetNextPosition(second); }, "GetCount "},
    };
    for (const DispatchCase& c : cases) {
        CLoggingArray a;
        a.CQorPtrArray::AddTailIndex(V(1));
        a.CQorPtrArray::AddTailIndex(V(2));
        a.log.clear();
        c.op(a);
        EXPECT_EQ(c.calls, a.log) << c.name;
    }
}

// A subclass whose storage refuses to grow past two elements, and one that
// hides every element: the inherited operations follow them.
class CTwoSlotArray : public CQorPtrArray {
public:
    int DoInsertAfter(int index, void* value) override
    {
        return GetCount() >= 2 ? -1 : CQorPtrArray::DoInsertAfter(index, value);
    }
};

class CHiddenArray : public CQorPtrArray {
public:
    bool hide = false;
    BOOL IsEmpty() const override { return hide || CQorPtrArray::IsEmpty(); }
    UINT GetCount() const override { return hide ? 1 : CQorPtrArray::GetCount(); }
};

TEST(PtrArray, SubclassPrimitivesChangeTheOperationsOnThem)
{
    CTwoSlotArray two;
    EXPECT_EQ("{3,0}", Pos(two.AddTail(V(1))));
    EXPECT_EQ(0, two.AddHeadIndex(V(0)));
    EXPECT_EQ("{0,0}", Pos(two.AddTail(V(2))));
    EXPECT_EQ(-1, two.InsertBeforeIndex(1, V(2)));
    EXPECT_EQ("{0,0}", Pos(two.InsertAfter(two.GetHeadPosition(), V(2))));
    EXPECT_EQ("01", Contents(two));

    CHiddenArray hidden;
    ASSERT_EQ(0, hidden.AddTailIndex(V(1)));
    ASSERT_EQ(1, hidden.AddTailIndex(V(2)));
    ASSERT_EQ(2, hidden.AddTailIndex(V(3)));
    hidden.hide = true; // reports one element, and as empty
    EXPECT_EQ(3u, hidden.count);
    EXPECT_EQ("{0,0}", Pos(hidden.GetHeadPosition()));
    EXPECT_EQ("{0,0}", Pos(hidden.GetTailPosition()));
    EXPECT_EQ("{3,0}", Pos(hidden.GetNextPosition(CQorPosition())));
    EXPECT_EQ("{0,0}", Pos(hidden.GetNextPosition(CQorPosition(3, 0))));
    EXPECT_EQ(V(3), hidden.GetAtIndex(2)) << "indexed reads use count itself";
}

} // namespace
