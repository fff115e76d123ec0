// WndMapTests.cpp - the map from window handles to window objects, and
// where a dialog goes to stand centred.
#include "../../qor/QorWnd.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

// The map as text: each chain head first, then what Lookup finds for each
// handle, the number of its object or "-": "50: 10A1 10A0 | 01". A
// handle's bucket is bits 1 to 8 of its value.
std::string State(const CQorWndMap& map, const std::vector<HWND>& handles, const CQorWnd* objects)
{
    std::string state;
    char text[16];
    for (int bucket = 0; bucket < 256; ++bucket) {
        if (!map.buckets[bucket])
            continue;
        snprintf(text, sizeof text, "%02X:", bucket);
        state += text;
        for (const CQorWndMapNode* node = map.buckets[bucket]; node; node = node->next) {
            snprintf(text, sizeof text, " %lX", reinterpret_cast<ULONG_PTR>(node->handle));
            state += text;
        }
        state += "; ";
    }
    state += "|";
    for (HWND h : handles) {
        const CQorWnd* object = map.Lookup(h);
        state += object ? static_cast<char>('0' + (object - objects)) : '-';
    }
    return state;
}

// Objects 0, 1, 2 added with the handles given, in turn; then one handle
// is removed: the object Remove returns, and the map before and after.
TEST(WndMap, EntriesAddedFoundAndRemovedInTheirBucket)
{
    const struct {
        const char* added;
        const char* before;
        const char* removed;
        char object; // '-': null
        const char* after;
    } cases[] = {
        // Bit 0 differs, 512 apart, 1024 apart with high bits set: one bucket, the later first.
        {"10A0 10A1", "50: 10A1 10A0; |01", "10A0", '0', "50: 10A1; |-1"},
        {"10A0 12A0", "50: 12A0 10A0; |01", "12A0", '1', "50: 10A0; |0-"},
        {"FFFF0A02 FFFF0E02", "01: FFFF0E02 FFFF0A02; |01", "FFFF0A02", '0', "01: FFFF0E02; |-1"},
        // Bit 1 is part of the bucket.
        {"2000 2002", "00: 2000; 01: 2002; |01", "2002", '1', "00: 2000; |0-"},
        {"2000", "00: 2000; |0", "2000", '0', "|-"},
        // The same handle twice: the later entry is found and removed first.
        {"3456 3456", "2B: 3456 3456; |11", "3456", '1', "2B: 3456; |00"},
        // The head, middle and tail of a chain of three.
        {"4000 4200 4400", "00: 4400 4200 4000; |012", "4400", '2', "00: 4200 4000; |01-"},
        {"4000 4200 4400", "00: 4400 4200 4000; |012", "4200", '1', "00: 4400 4000; |0-2"},
        {"4000 4200 4400", "00: 4400 4200 4000; |012", "4000", '0', "00: 4400 4200; |-12"},
        // Absent, in the same bucket and in an empty one.
        {"5000 5200", "00: 5200 5000; |01", "5001", '-', "00: 5200 5000; |01"},
        {"5000 5200", "00: 5200 5000; |01", "6002", '-', "00: 5200 5000; |01"},
    };
    for (const auto& c : cases) {
        CQorWnd objects[3];
        CQorWndMap map;
        std::vector<HWND> handles;
        for (const char* p = c.added; *p;) {
            char* end;
            handles.push_back(reinterpret_cast<HWND>(strtoul(p, &end, 16)));
            ASSERT_TRUE(map.Add(handles.back(), &objects[handles.size() - 1])) << c.added;
            p = end;
        }
        const std::string what = std::string(c.added) + ", removing " + c.removed;
        EXPECT_EQ(c.before, State(map, handles, objects)) << what;
        const CQorWnd* removed = map.Remove(
            reinterpret_cast<HWND>(strtoul(c.removed, nullptr, 16)));
        EXPECT_EQ(c.object == '-' ? nullptr : &objects[c.object - '0'], removed) << what;
        EXPECT_EQ(c.after, State(map, handles, objects)) << what;
    }
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
