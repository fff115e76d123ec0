// TextBufferTests.cpp - how a conversion's working text grows, up to the
// largest size a byte count can hold.
#include "../../engine/TextBuffer.h"
#include "../../qor/QorException.h"
#include <gtest/gtest.h>

namespace {

// A text that grows a piece at a time always has room for the piece and
// its terminator, and is copied in all fewer than three times its final
// size (each growth copies what the text holds): linear time.
TEST(TextBuffer, GrowingTextAlwaysFitsAndIsCopiedInLinearTime)
{
    for (int piece : {1, 7, 300, 70000}) {
        long long copied = 0;
        int capacity = 0, size = 0;
        while (size < (8 << 20)) {
            const int grown = GrownCapacity(capacity, size, piece);
            ASSERT_GE(grown, size + piece + 1)
                << "no room for " << piece << " bytes after " << size;
            if (grown != capacity) {
                copied += size;
                capacity = grown;
            }
            size += piece;
        }
        EXPECT_LT(copied, 3LL * size) << piece << "-byte pieces";
    }
    // Near 2 GB the capacity stops at the largest a byte count holds.
    EXPECT_EQ(0x7FFFFFFF, GrownCapacity(0x40000000, 0x3FFFFFFF, 2));
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
