// CollectionTests.cpp - CQorPtrArray and CQorPosition: exact growth, index
// bounds, walks through the null position, failed growth, and the virtual
// calls that let a subclass change every operation built on another.
#include "../../qor/QorColl.h"
#include "FaultInjection.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

// Values stored in the arrays: distinct addresses that are never followed.
char g_cells[16];
void* V(int i)
{
    return &g_cells[i];
}

// A value as its cell number, "-" for null (or anything not a cell).
std::string Cell(const void* value)
{
    const char* p = static_cast<const char*>(value);
    return std::string(1, p >= g_cells && p < g_cells + sizeof g_cells ? '0' + (p - g_cells) : '-');
}

// The stored values as cell numbers.
std::string Contents(const CQorPtrArray& a)
{
    std::string s;
    for (int i = 0; i < static_cast<int>(a.count); ++i)
        s += Cell(a.items[i]);
    return s;
}

// Appends the values of the cells named, "-" a null value.
void Fill(CQorPtrArray& a, const char* cells)
{
    for (const char* c = cells; *c; ++c)
        ASSERT_NE(-1, a.AddTailIndex(*c == '-' ? nullptr : V(*c - '0')));
}

std::string Pos(const CQorPosition& p)
{
    return "{" + std::to_string(p.kind) + "," + std::to_string(p.index) + "}";
}

std::string N(int n)
{
    return std::to_string(n);
}

// The public operations by name, given an index and its position (the null
// position for -1); the value they store is cell 9. A result as text: an
// index or a BOOL as a number, a position as "{kind,index}", a value read
// as its cell, "" for none.
using A = CQorPtrArray;
using P = const CQorPosition&;
const struct {
    const char* name;
    std::string (*call)(A& a, int i, P p);
} kOps[] = {
    {"InsertAfterIndex", [](A& a, int i, P) { return N(a.InsertAfterIndex(i, V(9))); }},
    {"InsertBeforeIndex", [](A& a, int i, P) { return N(a.InsertBeforeIndex(i, V(9))); }},
    {"AddHeadIndex", [](A& a, int, P) { return N(a.AddHeadIndex(V(9))); }},
    {"AddTailIndex", [](A& a, int, P) { return N(a.AddTailIndex(V(9))); }},
    {"AddHead", [](A& a, int, P) { return Pos(a.AddHead(V(9))); }},
    {"AddTail", [](A& a, int, P) { return Pos(a.AddTail(V(9))); }},
    {"InsertAfter", [](A& a, int, P p) { return Pos(a.InsertAfter(p, V(9))); }},
    {"InsertBefore", [](A& a, int, P p) { return Pos(a.InsertBefore(p, V(9))); }},
    {"RemoveAtIndex", [](A& a, int i, P) { return a.RemoveAtIndex(i), std::string(); }},
    {"RemoveAt", [](A& a, int, P p) { return a.RemoveAt(p), std::string(); }},
    {"RemoveAll", [](A& a, int, P) { return a.RemoveAll(), std::string(); }},
    {"GetAtIndex", [](A& a, int i, P) { return Cell(a.GetAtIndex(i)); }},
    {"GetAt", [](A& a, int, P p) { return Cell(a.GetAt(p)); }},
    {"SetAtIndex", [](A& a, int i, P) { return N(a.SetAtIndex(i, V(9))); }},
    {"SetAt", [](A& a, int, P p) { return N(a.SetAt(p, V(9))); }},
    {"GetHeadPosition", [](A& a, int, P) { return Pos(a.GetHeadPosition()); }},
    {"GetTailPosition", [](A& a, int, P) { return Pos(a.GetTailPosition()); }},
    {"GetNextPosition", [](A& a, int, P p) { return Pos(a.GetNextPosition(p)); }},
    {"GetPrevPosition", [](A& a, int, P p) { return Pos(a.GetPrevPosition(p)); }},
};

// Runs the operation named; allocates nothing before it.
std::string Apply(A& a, const char* op, int index)
{
    for (const auto& o : kOps)
        if (strcmp(o.name, op) == 0)
            return o.call(a, index, CQorIndexedList::PositionFromIndex(index));
    ADD_FAILURE() << "no operation " << op;
    return "";
}

// Each operation at and past the bounds of its index, on an array of the
// cells given: what it returns and what the array holds afterwards. A
// position is its index alone, and names whatever stands there. An
// operation that adds nothing leaves the block as it was.
TEST(PtrArray, OperationsAtTheBoundsOfTheirIndex)
{
    const struct {
        const char* start;
        const char* op;
        int index;
        const char* result;
        const char* after;
    } cases[] = {
        {"", "InsertAfterIndex", -1, "0", "9"},
        {"", "InsertAfterIndex", 0, "-1", ""},
        {"", "InsertAfterIndex", -2, "-1", ""},
        {"", "InsertBeforeIndex", 0, "0", "9"},
        {"", "InsertBeforeIndex", 1, "-1", ""},
        {"", "InsertBeforeIndex", -1, "-1", ""},
        {"", "AddTail", 0, "{3,0}", "9"},
        {"", "GetAtIndex", 0, "-", ""},
        {"", "SetAtIndex", 0, "0", ""},
        {"", "RemoveAtIndex", 0, "", ""},
        {"", "RemoveAll", 0, "", ""},
        {"123", "InsertAfterIndex", -1, "0", "9123"},
        {"123", "InsertAfterIndex", 0, "1", "1923"},
        {"123", "InsertAfterIndex", 1, "2", "1293"},
        {"123", "InsertAfterIndex", 2, "3", "1239"},
        {"123", "InsertAfterIndex", 3, "-1", "123"},
        {"123", "InsertAfterIndex", -2, "-1", "123"},
        {"123", "InsertAfterIndex", INT_MIN, "-1", "123"},
        {"123", "InsertAfterIndex", INT_MAX, "-1", "123"},
        {"123", "InsertBeforeIndex", 0, "0", "9123"},
        {"123", "InsertBeforeIndex", 1, "1", "1923"},
        {"123", "InsertBeforeIndex", 3, "3", "1239"},
        {"123", "InsertBeforeIndex", 4, "-1", "123"},
        {"123", "InsertBeforeIndex", -1, "-1", "123"},
        {"123", "AddHeadIndex", 0, "0", "9123"},
        {"123", "AddTailIndex", 0, "3", "1239"},
        {"123", "AddHead", 0, "{3,0}", "9123"},
        {"123", "AddTail", 0, "{3,3}", "1239"},
        {"123", "InsertAfter", -1, "{3,0}", "9123"},
        {"123", "InsertAfter", 2, "{3,3}", "1239"},
        {"123", "InsertBefore", -1, "{0,0}", "123"},
        {"123", "InsertBefore", 0, "{3,0}", "9123"},
        {"123", "RemoveAt", -1, "", "123"},
        {"123", "RemoveAt", 1, "", "13"},
        {"12345", "RemoveAtIndex", 0, "", "2345"},
        {"12345", "RemoveAtIndex", 2, "", "1245"},
        {"12345", "RemoveAtIndex", 4, "", "1234"},
        {"12345", "RemoveAtIndex", 5, "", "12345"},
        {"12345", "RemoveAtIndex", -1, "", "12345"},
        {"12345", "RemoveAtIndex", INT_MIN, "", "12345"},
        {"12345", "RemoveAtIndex", INT_MAX, "", "12345"},
        {"12", "GetAtIndex", 1, "2", "12"},
        {"12", "GetAtIndex", 2, "-", "12"},
        {"12", "GetAtIndex", -1, "-", "12"},
        {"1-", "GetAtIndex", 1, "-", "1-"},
        {"12", "GetAt", -1, "-", "12"},
        {"12", "SetAtIndex", 1, "1", "19"},
        {"12", "SetAtIndex", 2, "0", "12"},
        {"12", "SetAtIndex", -1, "0", "12"},
        {"12", "SetAt", 0, "1", "92"},
        {"12", "SetAt", -1, "0", "12"},
        // Walks: the null position reads as index -1.
        {"", "GetHeadPosition", 0, "{0,0}", ""},
        {"", "GetTailPosition", 0, "{0,0}", ""},
        {"", "GetNextPosition", -1, "{0,0}", ""},
        {"", "GetPrevPosition", -1, "{0,0}", ""},
        {"123", "GetHeadPosition", 0, "{3,0}", "123"},
        {"123", "GetTailPosition", 0, "{3,2}", "123"},
        {"123", "GetNextPosition", -1, "{3,0}", "123"},
        {"123", "GetPrevPosition", -1, "{0,0}", "123"},
        {"123", "GetNextPosition", 0, "{3,1}", "123"},
        {"123", "GetNextPosition", 2, "{0,0}", "123"},
        {"123", "GetNextPosition", 7, "{0,0}", "123"},
        {"123", "GetPrevPosition", 0, "{0,0}", "123"},
        {"123", "GetPrevPosition", 7, "{3,6}", "123"}, // it looks only at the lower end
    };
    for (const auto& c : cases) {
        CQorPtrArray a;
        Fill(a, c.start);
        const int capacity = a.capacity;
        const std::string what = std::string(c.op) + "(" + std::to_string(c.index) + ") on \""
            + c.start + "\"";
        EXPECT_EQ(c.result, Apply(a, c.op, c.index)) << what;
        EXPECT_EQ(c.after, Contents(a)) << what;
        if (strlen(c.after) <= strlen(c.start)) {
            EXPECT_EQ(capacity, a.capacity) << what << " changed the block";
        }
    }
    CQorPtrArray a;
    Fill(a, "123");
    EXPECT_EQ("{3,0}", Pos(a.GetNextPosition(CQorPosition(5, 2))))
        << "a position of another kind stands for index -1";
}

TEST(PtrArray, GrowsExactlyOneElementPerInsertion)
{
    fault::InstallHere();
    CQorPtrArray a;
    EXPECT_EQ(nullptr, a.items);
    for (int i = 0; i < 6; ++i) {
        fault::Reset();
        EXPECT_EQ(i, a.AddTailIndex(V(i))) << "append " << i;
        EXPECT_EQ(1, fault::Attempts())
            << "append " << i << " resized the block " << fault::Attempts() << " times";
        EXPECT_EQ(i + 1, a.capacity) << "after append " << i;
    }
    EXPECT_EQ("012345", Contents(a));

    // Removals keep the block; later insertions reuse it without allocating.
    // The cells past the count hold stale values, never read.
    void** block = a.items;
    a.RemoveAtIndex(0);
    a.RemoveAtIndex(3);
    EXPECT_EQ("1235", Contents(a));
    EXPECT_EQ(6, a.capacity);
    EXPECT_EQ(block, a.items);
    EXPECT_EQ(nullptr, a.GetAtIndex(4)) << "a stale cell was read";
    EXPECT_FALSE(a.SetAtIndex(4, V(9)));
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
    fault::InstallHere();
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

TEST(PtrArray, CountWhoseByteSizeCannotBeRepresentedIsRefused)
{
    CQorPtrArray a;
    Fill(a, "12");
    void** block = a.items;
    for (int n : {0x40000000, 0x7FFFFFFF, 0x3FFFFFFF}) {
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
    fault::InstallHere();
    for (const char* op : {"AddTailIndex", "AddHeadIndex", "InsertAfterIndex", "InsertBeforeIndex",
                           "AddTail", "AddHead", "InsertAfter", "InsertBefore"}) {
        CQorPtrArray a;
        Fill(a, "123");
        void** block = a.items;
        std::string result;
        {
            fault::CFailAt fail(1);
            result = Apply(a, op, 1);
            EXPECT_TRUE(fault::Failed()) << op << " did not try to grow the block";
        }
        EXPECT_EQ(strstr(op, "Index") ? "-1" : "{0,0}", result) << op;
        EXPECT_EQ(3, a.capacity) << op;
        EXPECT_EQ(block, a.items) << op;
        EXPECT_EQ("123", Contents(a)) << op;
        EXPECT_EQ(3, a.AddTailIndex(V(4))) << op << ": the array cannot grow afterwards";
    }
}

// An array whose overridable operations each give a mark of their own, the
// one named in `marked` alone, and otherwise do what CQorPtrArray does.
class CMarkedArray : public CQorPtrArray {
    using B = CQorPtrArray;

public:
    const char* marked = "";

    // clang-format off
    int AddHeadIndex(void* v) override { return Is("AddHeadIndex") ? 90 : B::AddHeadIndex(v); }
    int AddTailIndex(void* v) override { return Is("AddTailIndex") ? 91 : B::AddTailIndex(v); }
    int InsertAfterIndex(int i, void* v) override
    { return Is("InsertAfterIndex") ? 92 : B::InsertAfterIndex(i, v); }
    int InsertBeforeIndex(int i, void* v) override
    { return Is("InsertBeforeIndex") ? 93 : B::InsertBeforeIndex(i, v); }
    void RemoveAtIndex(int i) override { if (!Is("RemoveAtIndex")) B::RemoveAtIndex(i); }
    void* GetAtIndex(int i) const override { return Is("GetAtIndex") ? V(7) : B::GetAtIndex(i); }
    BOOL SetAtIndex(int i, void* v) override { return Is("SetAtIndex") ? 94 : B::SetAtIndex(i, v); }
    BOOL IsEmpty() const override { return Is("IsEmpty") ? TRUE : B::IsEmpty(); }
    UINT GetCount() const override // 95, or one less than the count
    { return Is("GetCount") ? 95 : B::GetCount() - (Is("GetCount less one") ? 1 : 0); }
    int DoInsertAfter(int i, void* v) override
    { return Is("DoInsertAfter") ? -1 : B::DoInsertAfter(i, v); }
    void DoRemoveAt(int i) override { if (!Is("DoRemoveAt")) B::DoRemoveAt(i); }
    void DoRemoveAll() override { if (!Is("DoRemoveAll")) B::DoRemoveAll(); }
    void* DoGetAt(int i) const override { return Is("DoGetAt") ? V(8) : B::DoGetAt(i); }
    BOOL DoSetAt(int i, void* v) override { return Is("DoSetAt") ? 96 : B::DoSetAt(i, v); }
    // clang-format on

private:
    bool Is(const char* name) const { return strcmp(marked, name) == 0; }
};

// A subclass that overrides one operation changes each operation built on
// it, down to the primitive each reaches: the operation on an array of two
// elements, given an index or its position, with that one marked; its
// result, then the array's contents and capacity.
TEST(PtrArray, EachOperationReachesWhatItIsBuiltOnVirtually)
{
    const struct {
        const char* op;
        const char* marked;
        const char* outcome;
        int index = 1;
    } cases[] = {
        {"AddHead", "AddHeadIndex", "{3,90} 12 2"},
        {"AddTail", "AddTailIndex", "{3,91} 12 2"},
        {"AddHeadIndex", "InsertAfterIndex", "92 12 2"},
        {"AddTailIndex", "InsertAfterIndex", "92 12 2"},
        {"InsertAfter", "InsertAfterIndex", "{3,92} 12 2"},
        {"InsertBefore", "InsertBeforeIndex", "{3,93} 12 2"},
        {"InsertBeforeIndex", "InsertAfterIndex", "92 12 2"},
        {"InsertAfterIndex", "DoInsertAfter", "-1 12 2"},
        {"AddTail", "GetCount", "{3,2} 129 96"}, // the room DoInsertAfter takes
        {"RemoveAt", "RemoveAtIndex", " 12 2"},
        {"RemoveAtIndex", "DoRemoveAt", " 1 2"},
        {"RemoveAtIndex", "GetCount less one", " 1 2", 0}, // nothing moved by DoRemoveAt
        {"RemoveAll", "DoRemoveAll", "  2"},
        {"GetAt", "GetAtIndex", "7 12 2"},
        {"GetAtIndex", "DoGetAt", "8 12 2"},
        {"SetAt", "SetAtIndex", "94 12 2"},
        {"SetAtIndex", "DoSetAt", "96 12 2"},
        {"GetHeadPosition", "IsEmpty", "{0,0} 12 2"},
        {"GetTailPosition", "IsEmpty", "{0,0} 12 2"},
        {"GetTailPosition", "GetCount", "{3,94} 12 2"},
        {"GetNextPosition", "GetCount", "{3,2} 12 2"},
    };
    for (const auto& c : cases) {
        CMarkedArray a;
        Fill(a, "12");
        a.marked = c.marked;
        const std::string result = Apply(a, c.op, c.index);
        a.marked = "";
        EXPECT_EQ(c.outcome, result + " " + Contents(a) + " " + std::to_string(a.capacity))
            << c.op << " with " << c.marked << " marked";
    }
}

} // namespace
