// StringTests.cpp - CQorString: capacities, copies, searches, resource
// strings and allocation failure.
#include "../../qor/QorException.h"
#include "../../qor/QorString.h"
#include "FaultInjection.h"
#include "Answering.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>

namespace {

std::string Text(const CQorString& s)
{
    return std::string(s.data, s.length);
}

// The invariant every operation keeps: the text ends at length, inside the buffer.
void ExpectWellFormed(const CQorString& s, const char* what)
{
    EXPECT_GE(s.length, 0) << what;
    EXPECT_LT(s.length, s.capacity) << what;
    EXPECT_EQ('\0', s.data[s.length]) << what;
    EXPECT_EQ(static_cast<size_t>(s.length), strlen(s.data)) << what;
}

// A string some operation made, with the text and capacity it must have.
struct MadeCase {
    const char* what;
    CQorString made;
    const char* text;
    int capacity;
};

TEST(StringConstruction, ConstructorsConcatLeftAndMidCapacities)
{
    const CQorString roomy("abcd", 128);
    const CQorString abcdef("abcdef", 128);
    const MadeCase cases[] = {
        {"capacity 128", CQorString(128), "", 128},
        {"1.00, capacity 0", CQorString("1.00", 0), "1.00", 5},
        {"abcdef, capacity 3", CQorString("abcdef", 3), "ab", 3},
        {"abcdef, capacity 7", CQorString("abcdef", 7), "abcdef", 7},
        {"abcdef, capacity 100", CQorString("abcdef", 100), "abcdef", 100},
        {"empty text, capacity 0", CQorString("", 0), "", 1},
        {"copy of a 128-byte buffer", CQorString(roomy), "abcd", 5},
        {"Left(0)", abcdef.Left(0), "", 1},
        {"Left(2)", abcdef.Left(2), "ab", 3},
        {"Left(6)", abcdef.Left(6), "abcdef", 7},
        {"Left(50)", abcdef.Left(50), "abcdef", 7},
        {"Mid(2, -1)", abcdef.Mid(2, -1), "cdef", 5},
        {"Mid(2, 10)", abcdef.Mid(2, 10), "cdef", 5},
        {"Mid(2, 2)", abcdef.Mid(2, 2), "cd", 3},
        {"Mid(2, 0)", abcdef.Mid(2, 0), "", 1},
        {"Mid(6, -1)", abcdef.Mid(6, -1), "", 1},
        {"Mid(9, 3)", abcdef.Mid(9, 3), "", 1},
        {"Concat(string, string)", Concat(abcdef, CQorString("gh", 50)), "abcdefgh", 9},
        {"Concat(string, text)", Concat(abcdef, "\n"), "abcdef\n", 8},
        {"Concat of empties", Concat(CQorString(128), ""), "", 1},
    };
    for (const MadeCase& c : cases) {
        EXPECT_EQ(c.text, Text(c.made)) << c.what;
        EXPECT_EQ(c.capacity, c.made.capacity) << c.what;
        ExpectWellFormed(c.made, c.what);
    }
}

// A piece cut from a longer text is measured only as far as it fits; the rest lies on a page
// that cannot be read.
TEST(StringConstruction, PieceOfATextIsReadOnlyAsFarAsItFits)
{
    const char* text = BeforeUnreadablePage("abcd");
    for (int capacity = 1; capacity <= 5; ++capacity) {
        const CQorString piece(text, capacity);
        EXPECT_EQ(std::string("abcd", capacity - 1), piece.data) << "capacity " << capacity;
        EXPECT_EQ(capacity - 1, piece.length) << "capacity " << capacity;
        EXPECT_EQ(capacity, piece.capacity);
    }
}

// An operation on the text "abc" in a buffer of 10 bytes, and what it leaves.
const struct {
    const char* what;
    void (*op)(CQorString& s);
    const char* text;
    int capacity;
} kOperations[] = {
    {"Reserve less", [](CQorString& s) { s.Reserve(10), s.Reserve(4), s.Reserve(-5); }, "abc", 10},
    {"Reserve(300)", [](CQorString& s) { s.Reserve(300); }, "abc", 300},
    {"Assign longer", [](CQorString& s) { s.Assign("abcdefghijklm"); }, "abcdefghijklm", 14},
    {"Assign a string", [](CQorString& s) { s.Assign(CQorString("0123456789ab", 0)); },
     "0123456789ab", 13},
    {"Assign shorter", [](CQorString& s) { s.Assign("x"); }, "x", 10},
    {"Assign itself", [](CQorString& s) { s.Assign(s); }, "abc", 10},
    {"Append", [](CQorString& s) { s.Append("defghijk"); }, "abcdefghijk", 12},
    {"Append a string", [](CQorString& s) { s.Append(CQorString("defghijkl", 0)); }, "abcdefghijkl",
     13},
    {"Empty", [](CQorString& s) { s.Empty(); }, "", 10},
    {"GetBuffer(-1)", [](CQorString& s) { s.GetBuffer(-1); }, "abc", 10},
    {"GetBuffer(16), written",
     [](CQorString& s) { strcpy(s.GetBuffer(16), "written"), s.ReleaseBuffer(); }, "written", 16},
};

// A buffer grows to exactly the size needed, and stays in place when it need not grow; the
// bytes it gains read as zero.
TEST(StringGrowth, ToExactlyTheSizeNeededAndNeverShrinks)
{
    for (const auto& c : kOperations) {
        CQorString s("abc", 10);
        const char* before = s.data;
        c.op(s);
        EXPECT_EQ(c.text, Text(s)) << c.what;
        EXPECT_EQ(c.capacity, s.capacity) << c.what;
        ExpectWellFormed(s, c.what);
        if (c.capacity == 10) {
            EXPECT_EQ(before, s.data) << c.what << " moved the buffer";
        }
        for (int i = std::max(10, s.length + 1); i < s.capacity; ++i)
            ASSERT_EQ('\0', s.data[i]) << c.what << ": added byte " << i << " is not zero";
    }
}

// Each search's answer on code page 932 (a trail byte never matches) and where no byte leads.
struct SearchCase {
    const char* what;
    const char* text;
    const char* sub; // null: search for ch
    char ch;
    int start; // -1: ReverseFind
    int on932;
    int onByteCodePage;
};

const SearchCase kSearches[] = {
    {"[ after ze", "\x83\x5B[", nullptr, '[', 0, 2, 1},
    {"] in zo alone", "\x83\x5D", nullptr, ']', -1, -1, 1},
    {"] after zo", "\x83\x5D]", nullptr, ']', -1, 2, 2},
    {"last ] before zo", "a]\x83\x5D", nullptr, ']', -1, 1, 3},
    {"\\ in so", "\x83\x5C", nullptr, '\\', 0, -1, 1},
    {"\\ after so", "\x83\x5C\\", nullptr, '\\', 0, 2, 1},
    {", as a trail byte", "\x81\x2C,", nullptr, ',', 0, 2, 1},
    {"/ as a trail byte", "\x81\x2F/", nullptr, '/', 0, 2, 1},
    {"// over a trail byte", "\x81\x2F/", "//", 0, 0, -1, 1},
    {"\\ substring in so", "\x83\x5C", "\\", 0, 0, -1, 1},
    {"substring after two kanji",
     "\x8A\xBF\x8E\x9A"
     "ab",
     "ab", 0, 0, 4, 4},
    {"kanji substring", "x\x8A\xBF\x8E\x9A", "\x8E\x9A", 0, 0, 3, 3},
    {"lone lead byte at the end", "ab\x83", "\x83", 0, 0, -1, 2},
    {"offset from the whole text", "x,y,z", ",", 0, 2, 3, 3},
    {"char from a start", "x,y,z", nullptr, ',', 2, 3, 3},
    {"start at length", "abc", nullptr, 'a', 3, -1, -1},
    {"start past length", "abc", "a", 0, 7, -1, -1},
    {"empty text", "", nullptr, 'a', 0, -1, -1},
    {"empty sub at length", "abc", "", 0, 3, -1, -1},
    {"empty sub in empty text", "", "", 0, 0, -1, -1},
    {"empty sub below length", "abc", "", 0, 1, 1, 1},
    {"sub longer than the rest", "abcab", "abc", 0, 1, -1, -1},
    {"sub at the very end", "xxab", "ab", 0, 0, 2, 2},
    {"no match", "abcdef", "fg", 0, 0, -1, -1},
    {"case differs", "ABC", "abc", 0, 0, -1, -1},
    {"ReverseFind without match", "abc", nullptr, ']', -1, -1, -1},
};

void RunSearches(bool on932)
{
    for (const SearchCase& c : kSearches) {
        const CQorString text(c.text, 0);
        int found;
        if (c.start == -1)
            found = text.ReverseFind(c.ch);
        else if (c.sub)
            found = text.Find(c.sub, c.start);
        else
            found = text.Find(c.ch, c.start);
        EXPECT_EQ(on932 ? c.on932 : c.onByteCodePage, found)
            << c.what << " in code page " << GetACP();
    }
}

TEST(StringSearch, TrailBytesNeverMatchOnCodePage932)
{
    SKIP_UNLESS_CODE_PAGE_932();
    RunSearches(true);
}

TEST(StringSearch, PlainByteSearchesWithoutLeadBytes)
{
    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    if (info.LeadByte[0] != 0)
        GTEST_SKIP() << "code page " << GetACP() << " has lead bytes";
    RunSearches(false);
}

// A string that may have been cut is loaded again into a buffer twice as big; a missing one
// leaves the string as it was.
TEST(StringResource, LoadStringGrowsWhenTheTextMayHaveBeenCut)
{
    SKIP_UNLESS_CODE_PAGE_932();
    const std::string name = EngineCaption(); // string 1, 13 bytes
    const struct {
        UINT id;
        int capacity;
        bool loaded;
        int grownTo;
    } cases[] = {{1, 128, true, 128},
                 {1, 15, true, 15},
                 {1, 14, true, 28},
                 {1, 5, true, 20},
                 {9999, 128, false, 128}};
    for (const auto& c : cases) {
        CQorString s(c.capacity);
        SCOPED_TRACE("string " + std::to_string(c.id) + ", capacity " + std::to_string(c.capacity));
        EXPECT_EQ(c.loaded, s.LoadString(c.id) != FALSE);
        EXPECT_EQ(c.loaded ? name : "", Text(s));
        EXPECT_EQ(c.grownTo, s.capacity);
    }
}

// Allocation failures, injected into this program's own global memory calls.
class StringMemory : public testing::Test {
protected:
    static void SetUpTestSuite() { fault::InstallHere(); }
};

// The one memory exception, thrown by pointer and caught by its own type.
TEST_F(StringMemory, FailedAllocationThrowsTheOneMemoryException)
{
    for (int round = 0; round < 2; ++round) {
        CQorMemoryException* caught = nullptr;
        try {
            fault::CFailAt fail(1);
            CQorString s(128);
        } catch (CQorMemoryException* e) {
            caught = e;
        }
        EXPECT_EQ(&g_memoryException, caught) << "round " << round;
    }
    EXPECT_EQ(MemoryMessage(), g_memoryException.GetErrorMessage());
    EXPECT_EQ(0, g_memoryException.code);
}

// Every operation that grows the buffer, its allocation failing.
TEST_F(StringMemory, FailedGrowthLeavesTheStringAsItWas)
{
    for (const auto& c : kOperations) {
        if (c.capacity == 10)
            continue;
        CQorString s("abc", 10);
        const fault::LiveBlocks before;
        bool thrown = false;
        {
            fault::CFailAt fail(1);
            try {
                c.op(s);
            } catch (CQorException* e) {
                thrown = e == &g_memoryException;
            }
        }
        EXPECT_TRUE(thrown) << c.what;
        EXPECT_EQ("abc", Text(s)) << c.what;
        EXPECT_EQ(10, s.capacity) << c.what;
        EXPECT_EQ(before, fault::LiveBlocks()) << c.what << " leaked a block";
        s.Append(" and after"); // the string still works
        EXPECT_EQ("abc and after", Text(s)) << c.what;
    }
}

TEST_F(StringMemory, EveryStringReleasesItsBlock)
{
    const fault::LiveBlocks before;
    {
        CQorString a("text", 0);
        CQorString b(a);
        CQorString c = Concat(a, b);
        CQorString d = c.Mid(1, 3);
        c.Reserve(1000);
        EXPECT_EQ(fault::LiveBlocks(before.global + 4, before.heap), fault::LiveBlocks());
    }
    EXPECT_EQ(before, fault::LiveBlocks());
}

} // namespace
