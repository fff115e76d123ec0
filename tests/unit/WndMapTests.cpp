// WndMapTests.cpp - the map from window handles to window objects, and
// where a dialog goes to stand centred.
#include "../../qor/QorWnd.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

HWND Handle(UINT_PTR value)
{
    return reinterpret_cast<HWND>(value);
}

// The handles in a bucket's chain, head first. A handle's bucket is bits 1
// to 8 of its value: 0x10A0 and 0x12A0 go to bucket 0x50.
std::vector<HWND> Chain(const CQorWndMap& map, unsigned bucket)
{
    std::vector<HWND> handles;
    for (const CQorWndMapNode* node = map.buckets[bucket]; node; node = node->next)
        handles.push_back(node->handle);
    return handles;
}

struct SharedBucketCase {
    const char* name;
    UINT_PTR first;
    UINT_PTR second;
    unsigned bucket;
};

TEST(WndMap, HandlesSharingABucketAreKeptApart)
{
    const SharedBucketCase cases[] = {
        {"bit 0 differs", 0x10A0, 0x10A1, 0x50},
        {"512 apart", 0x10A0, 0x12A0, 0x50},
        {"1024 apart, high bits set", 0xFFFF0A02, 0xFFFF0E02, 0x01},
    };
    for (const SharedBucketCase& c : cases) {
        CQorWnd one, two;
        CQorWndMap map;
        const HWND a = Handle(c.first), b = Handle(c.second);
        ASSERT_TRUE(map.Add(a, &one)) << c.name;
        ASSERT_TRUE(map.Add(b, &two)) << c.name;
        EXPECT_EQ((std::vector<HWND>{b, a}), Chain(map, c.bucket))
            << c.name << ": not one chain, later first";
        EXPECT_EQ(&one, map.Lookup(a)) << c.name;
        EXPECT_EQ(&two, map.Lookup(b)) << c.name;

        EXPECT_EQ(&one, map.Remove(a)) << c.name;
        EXPECT_EQ(nullptr, map.Lookup(a)) << c.name;
        EXPECT_EQ(&two, map.Lookup(b)) << c.name << ": removing its neighbour lost it";
        EXPECT_EQ(&two, map.Remove(b)) << c.name;
        EXPECT_EQ(nullptr, map.Lookup(b)) << c.name;
        EXPECT_TRUE(Chain(map, c.bucket).empty()) << c.name;
    }
}

TEST(WndMap, HandlesInOtherBucketsStayOutOfTheChain)
{
    CQorWnd one, two;
    CQorWndMap map;
    ASSERT_TRUE(map.Add(Handle(0x2000), &one));
    ASSERT_TRUE(map.Add(Handle(0x2002), &two)); // bit 1 is part of the bucket
    EXPECT_EQ((std::vector<HWND>{Handle(0x2000)}), Chain(map, 0x00));
    EXPECT_EQ((std::vector<HWND>{Handle(0x2002)}), Chain(map, 0x01));
}

TEST(WndMap, TheSameHandleTwiceIsFoundAndRemovedLaterFirst)
{
    CQorWnd earlier, later;
    CQorWndMap map;
    const HWND h = Handle(0x3456);
    ASSERT_TRUE(map.Add(h, &earlier));
    ASSERT_TRUE(map.Add(h, &later));
    EXPECT_EQ(&later, map.Lookup(h));
    EXPECT_EQ(&later, map.Remove(h));
    EXPECT_EQ(&earlier, map.Lookup(h)) << "the earlier entry went with the later one";
    EXPECT_EQ(&earlier, map.Remove(h));
    EXPECT_EQ(nullptr, map.Lookup(h));
    EXPECT_EQ(nullptr, map.Remove(h));
}

TEST(WndMap, RemovingFromAChainOfThreeKeepsTheOthers)
{
    // Added in this order, so the chain runs c, b, a.
    const HWND handles[] = {Handle(0x4000), Handle(0x4200), Handle(0x4400)};
    const struct {
        const char* where;
        int removed;
    } cases[] = {
        {"head", 2},
        {"middle", 1},
        {"tail", 0},
    };
    for (const auto& c : cases) {
        CQorWnd objects[3];
        CQorWndMap map;
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(map.Add(handles[i], &objects[i]));
        ASSERT_EQ((std::vector<HWND>{handles[2], handles[1], handles[0]}), Chain(map, 0x00));

        EXPECT_EQ(&objects[c.removed], map.Remove(handles[c.removed])) << c.where;
        EXPECT_EQ(nullptr, map.Lookup(handles[c.removed])) << c.where;
        std::vector<HWND> left;
        for (int i = 2; i >= 0; --i) {
            if (i == c.removed)
                continue;
            left.push_back(handles[i]);
            EXPECT_EQ(&objects[i], map.Lookup(handles[i])) << c.where << ": lost entry " << i;
        }
        EXPECT_EQ(left, Chain(map, 0x00)) << c.where;
    }
}

TEST(WndMap, RemovingAnAbsentHandleChangesNothing)
{
    CQorWnd one, two;
    CQorWndMap map;
    ASSERT_TRUE(map.Add(Handle(0x5000), &one));
    ASSERT_TRUE(map.Add(Handle(0x5200), &two));
    const CQorWndMapNode* head = map.buckets[0x00];

    EXPECT_EQ(nullptr, map.Remove(Handle(0x5001))) << "absent, same bucket";
    EXPECT_EQ(nullptr, map.Remove(Handle(0x6002))) << "absent, empty bucket 0x01";
    EXPECT_EQ(nullptr, map.Lookup(Handle(0x5001)));
    EXPECT_EQ(head, map.buckets[0x00]);
    EXPECT_EQ((std::vector<HWND>{Handle(0x5200), Handle(0x5000)}), Chain(map, 0x00));
    EXPECT_EQ(&one, map.Lookup(Handle(0x5000)));
    EXPECT_EQ(&two, map.Lookup(Handle(0x5200)));
}

struct CentreCase {
    const char* name;
    RECT reference;
    int w, h;
    POINT expected;
};

TEST(CentredOrigin, EachHalfIsTruncatedOnItsOwn)
{
    const CentreCase cases[] = {
        // 10 + 50 - 25, not 10 + (100 - 51) / 2 = 34
        {"even reference, odd width", {10, 0, 110, 0}, 51, 0, {35, 0}},
        // -40 + 120 - 60, not 19
        {"negative top, odd height", {0, -40, 0, 200}, 0, 121, {0, 20}},
        {"the display's work area", {0, 0, 1280, 994}, 441, 314, {420, 340}},
        {"all negative", {-301, -250, -100, -51}, 50, 31, {-226, -166}},
        {"odd reference, even size", {0, 0, 101, 77}, 50, 20, {25, 28}},
        {"dialog wider than reference", {100, 100, 200, 150}, 301, 151, {0, 50}},
        {"one pixel dialog", {0, 0, 3, 3}, 1, 1, {1, 1}},
        {"empty dialog", {5, 7, 5, 7}, 0, 0, {5, 7}},
        // halves of negative sizes go toward zero
        {"inverted reference", {200, 100, 99, 0}, 3, 5, {149, 48}},
        {"negative dialog size", {0, 0, 100, 100}, -7, -9, {53, 54}},
    };
    for (const CentreCase& c : cases) {
        const POINT origin = QorCentredOrigin(c.reference, c.w, c.h);
        EXPECT_EQ(c.expected.x, origin.x) << c.name;
        EXPECT_EQ(c.expected.y, origin.y) << c.name;
    }
}

} // namespace
