// TextBufferTests.cpp - how a conversion's working text grows, up to the
// largest size a byte count can hold.
#include "../../engine/TextBuffer.h"
#include "../../qor/QorException.h"
#include <gtest/gtest.h>

namespace {

TEST(TextBuffer, GrowsToWhatIsNeededOrTwiceItsSize)
{
    struct Case {
        int capacity, size, count, grown;
    } const cases[] = {
        {0, 0, 16, 128}, // a first block holds 128 bytes
        {0, 0, 300, 301},
        {128, 100, 50, 256},
        {128, 100, 500, 601},
        {0x40000000, 0x3FFFFFFF, 2, 0x7FFFFFFF}, // twice would pass 2 GB
        {0x7FFFFFF0, 0x7FFFFFF0, 14, 0x7FFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.grown, GrownCapacity(c.capacity, c.size, c.count))
            << "capacity " << c.capacity << ", " << c.count << " bytes after " << c.size;
}

TEST(TextBuffer, TextOf2GBOrMoreIsAMemoryFailure)
{
    const struct {
        int size, count;
    } cases[] = {
        {0x7FFFFFFF, 0}, {0x7FFFFFF0, 15}, {0x7FFFFFFF, 0x7FFFFFFF}, {0x40000000, 0x40000000}};
    for (const auto& c : cases) {
        bool thrown = false;
        try {
            GrownCapacity(0x7FFFFFFF, c.size, c.count);
        } catch (CQorException*) {
            thrown = true;
        }
        EXPECT_TRUE(thrown) << c.count << " bytes after " << c.size << " were taken as a size";
    }
}

} // namespace
