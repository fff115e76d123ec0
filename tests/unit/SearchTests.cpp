// SearchTests.cpp - the search for a text where a character begins, at
// each place it changes its way: the edges of its 16-byte blocks, the tail
// searched byte by byte, runs of lead-valued bytes, trail bytes, a lead byte
// alone at the end and the most it finds at a time; and random texts at
// every alignment against a walk of the contract byte by byte, through the
// search and through CQorString::Find. The guarded length and copy of a
// caller's text.
#include "../../qor/QorGuard.h"
#include "../../qor/QorSearch.h"
#include "../../qor/QorString.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <random>
#include <string.h>
#include <string>
#include <vector>

namespace {

std::string X(int count)
{
    return std::string(count, 'x');
}

std::string Leads(int count)
{
    return std::string(count, '\x83');
}

// The search's contract walked byte by byte: the characters from start on,
// a lead byte with the byte after it, each tried in turn.
std::vector<int> ModelFound(const std::string& text, const std::string& sub, int start, int max)
{
    const bool* lead = QorLeadBytes();
    const int length = static_cast<int>(text.size());
    std::vector<int> found;
    for (int at = start; at < length && static_cast<int>(found.size()) < max;) {
        const bool alone = lead[static_cast<unsigned char>(text[at])] && at + 1 == length;
        if (!alone && text.compare(at, sub.size(), sub) == 0) {
            found.push_back(at);
            at += static_cast<int>(sub.size());
        } else {
            at += lead[static_cast<unsigned char>(text[at])] ? 2 : 1;
        }
    }
    return found;
}

// The offsets found in text, whose terminator the bytes `after` follow; a
// read past them faults.
std::vector<int> Found(const std::string& text, const std::string& after, const char* sub,
                       int start, int max)
{
    const std::string bytes = text + '\0' + after;
    std::vector<int> found(max);
    found.resize(QorFindAtBoundaries(BeforeUnreadablePage(bytes), static_cast<int>(text.size()),
                                     static_cast<int>(bytes.size()), start, sub,
                                     static_cast<int>(strlen(sub)), found.data(), max));
    return found;
}

TEST(StringSearch, BatchesOfOccurrencesThatBeginACharacter)
{
    SKIP_UNLESS_CODE_PAGE_932();
    const struct {
        const char* what;
        std::string text;
        const char* sub;
        int start, max;
        std::vector<int> found;
    } cases[] = {
        // Blocks of 16 positions from start: the last two of one, the first two of the next.
        {"at 14", X(14) + "ab" + X(15), "ab", 0, 64, {14}},
        {"at 15, ending in the next block", X(15) + "ab" + X(20), "ab", 0, 64, {15}},
        {"at 16", X(16) + "ab" + X(20), "ab", 0, 64, {16}},
        {"at 17", X(17) + "ab" + X(20), "ab", 0, 64, {17}},
        {"long, over the edge", X(14) + "abcdef" + X(20), "abcdef", 0, 64, {14}},
        {"first two bytes at the edge only", X(15) + "abd" + X(3) + "abc", "abc", 0, 64, {21}},
        {"no overlap over the edge", X(14) + "aaaaa" + X(20), "aa", 0, 64, {14, 16}},
        {"two in a block, two in the next", "abxab" + X(10) + "abab", "ab", 0, 64, {0, 3, 15, 17}},
        {"blocks from start", X(3) + "ab" + X(14) + "ab", "ab", 4, 64, {19}},
        // The tail, searched byte by byte when fewer than 17 bytes can be read.
        {"the whole text", "ab", "ab", 0, 64, {0}},
        {"after a block", X(17) + "ab", "ab", 0, 64, {17}},
        {"at the last place", X(20) + "abc", "abc", 0, 64, {20}},
        {"the last two bytes' block at the terminator", X(42) + "abcdef", "abcdef", 0, 64, {42}},
        {"no overlap", "aaaaa", "aa", 0, 64, {0, 2}},
        // A position begins a character when the lead-valued bytes before it are even.
        {"odd run over the edge", Leads(17) + "abab", "ab", 0, 64, {19}},
        {"even run over the edge", Leads(18) + "ab", "ab", 0, 64, {18}},
        {"run counted from start", Leads(20) + "ab", "ab", 1, 64, {}},
        {"on a trail byte, then after it", Leads(1) + "abab", "ab", 0, 64, {3}},
        {"right after a trail byte", Leads(1) + "aab", "ab", 0, 64, {2}},
        {"a lead-valued trail byte", Leads(1) + "\x83\x40", "\x83\x40", 0, 64, {}},
        {"after a lead-valued trail byte", Leads(4) + "\x41", "\x83\x83\x41", 0, 64, {2}},
        {"one byte after a trail byte", "\x83\\\\", "\\", 0, 64, {2}},
        {"one byte after an odd run", Leads(17) + "\\\\", "\\", 0, 64, {18}},
        {"a lead byte alone at the end", "ab\x83", "\x83", 0, 64, {}},
        {"a lead byte before the end", Leads(1) + "ab\x83", "\x83", 0, 64, {0}},
        // At most max at a time; the next search starts after the last.
        {"max", "abababab", "ab", 0, 3, {0, 2, 4}},
        {"the rest", "abababab", "ab", 6, 3, {6}},
        {"max of one byte", "aaaa", "a", 0, 2, {0, 1}},
    };
    for (const auto& c : cases) {
        // Read to the terminator alone, and with more occurrences past it.
        std::string more;
        while (more.size() < 32)
            more += c.sub;
        EXPECT_EQ(c.found, Found(c.text, "", c.sub, c.start, c.max)) << c.what;
        EXPECT_EQ(c.found, Found(c.text, more, c.sub, c.start, c.max)) << c.what << ", more";
    }
}

// Texts short enough for the byte-by-byte tail and long enough for the
// blocks of 16, at every offset from an aligned address, of bytes that are
// ASCII, lead bytes and trail bytes in code page 932, with bytes past the
// terminator that could be taken for more; and CQorString::Find on each.
TEST(StringSearch, RandomTextsAtEveryAlignmentAgreeWithTheModel)
{
    const char bytes[] = "ab\\,[/\x40\x80\x81\x83\x83\x95\xA1\xE0\xFC";
    std::mt19937 random(EnvironmentNumber("VARIO_SEARCH_SEED", 25));
    const auto byte = [&] { return bytes[random() % (sizeof bytes - 1)]; };
    alignas(16) char block[16 + 300 + 1 + 32];
    for (int round = 0; round < 1000; ++round) {
        std::string text(round % 2 ? 1 + random() % 24 : 33 + random() % 268, 'a');
        for (char& c : text)
            c = byte();
        const CQorString string(text.c_str(), 0);
        for (int offset = 0; offset < 16; ++offset) {
            const int at = static_cast<int>(random() % text.size());
            std::string sub = text.substr(at, 1 + random() % 6);
            if (random() % 4 == 0)
                sub.back() = byte();
            const int start = random() % 2 ? 0 : static_cast<int>(random() % text.size());
            const int max = random() % 4 ? kQorFoundBatch : 1 + static_cast<int>(random() % 4);
            const int readable = static_cast<int>(text.size()) + 1
                + static_cast<int>(random() % 33);
            for (size_t i = 0; i < sizeof block; ++i)
                block[i] = sub[i % sub.size()];
            memcpy(block + offset, text.c_str(), text.size() + 1);
            std::vector<int> found(max);
            found.resize(QorFindAtBoundaries(block + offset, static_cast<int>(text.size()),
                                             readable, start, sub.data(),
                                             static_cast<int>(sub.size()), found.data(), max));
            const std::vector<int> model = ModelFound(text, sub, start, max);
            ASSERT_EQ(model, found) << "offset " << offset << ", start " << start << ", text "
                                    << Escaped(text) << ", sub " << Escaped(sub);
            ASSERT_EQ(model.empty() ? -1 : model[0], string.Find(sub.c_str(), start))
                << "CQorString::Find from " << start << " in " << Escaped(text) << ", sub "
                << Escaped(sub);
        }
    }
}

// A caller's text is measured in aligned blocks that never reach a page it
// does not: at every offset from a block, the terminator the last byte
// before an unreadable page, and a zero byte before it that is not taken.
TEST(GuardedText, MeasuredWithoutReadingPastItsPage)
{
    for (int n = 0; n < 40; ++n) {
        const char* text = BeforeUnreadablePage('\0' + X(n) + '\0') + 1;
        EXPECT_EQ(n, QorTextLength(text)) << "length " << n;
        EXPECT_EQ(n, QorGuardedLength(text)) << "length " << n;
    }
}

// A pointer the caller got wrong makes the guarded read or write fail, and
// a copy is cut to the buffer's size less its terminator.
TEST(GuardedText, FaultsAreFailuresAndCopiesAreCut)
{
    EXPECT_EQ(-1, QorGuardedLength(nullptr));
    EXPECT_EQ(-1, QorGuardedLength(BeforeUnreadablePage(X(20)))) << "no terminator";
    char buffer[8];
    const struct {
        int size;
        const char* expected;
    } cuts[] = {{8, "abc"}, {4, "abc"}, {3, "ab"}, {1, ""}};
    for (const auto& c : cuts) {
        memset(buffer, '#', sizeof buffer);
        EXPECT_TRUE(QorGuardedCopy(buffer, c.size, "abc", 3));
        EXPECT_STREQ(c.expected, buffer) << "size " << c.size;
    }
    char overlapping[16] = "abcdef";
    EXPECT_TRUE(QorGuardedCopy(overlapping + 1, 8, overlapping, 5));
    EXPECT_STREQ("aabcde", overlapping) << "a copy one byte on";
    char* end = const_cast<char*>(BeforeUnreadablePage(X(4)));
    EXPECT_TRUE(QorGuardedCopy(end, 4, "abcd", 4)) << "cut to three bytes and the terminator";
    EXPECT_STREQ("abc", end);
    EXPECT_FALSE(QorGuardedCopy(end, 6, "abcde", 5)) << "the terminator past the page";
    EXPECT_FALSE(QorGuardedCopy(nullptr, 4, "abc", 3));
}

} // namespace
