// ConversionTests.cpp - captions converted through TFEConvertCaptionString
// with rules loaded from real definition files, as a host sees it: rule
// order, non-overlapping matches, double-byte characters, cutting to the
// host's buffer, refused arguments, and allocation failures.
#include "FaultInjection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

struct ConversionCase {
    const char* what;
    std::string rules; // the definition file's bytes
    std::string caption;
    std::string expected;
};

void CheckConversions(const std::vector<ConversionCase>& cases)
{
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(StartEngineOn(c.rules));
        const int size = static_cast<int>(c.expected.size()) + 1;
        const Converted out = ConvertInto(c.caption.c_str(), size);
        EXPECT_TRUE(out.result);
        EXPECT_EQ(Escaped(c.expected), Escaped(out.Text()))
            << "caption " << Escaped(c.caption) << ", rules " << Escaped(c.rules);
        EXPECT_TRUE(out.UntouchedFrom(size)) << "written past the buffer";
    }
}

TEST(Conversion, RulesApplyInFileOrder)
{
    std::string keyed; // enough rules for a table to be keyed
    for (int i = 0; i < 16; ++i)
        keyed += "k" + std::to_string(i) + ",K\n";
    CheckConversions({
        {"empty table", "", "abc", "abc"},
        {"no match", "xyz,1", "abc", "abc"},
        {"source longer than the caption", "abcdef,x", "abc", "abc"},
        {"no overlap (even)", "aa,b", "aaaa", "bb"},
        {"no overlap (odd)", "aa,b", "aaa", "ba"},
        {"replacement holds its source", "a,aa", "banana", "baanaanaa"},
        {"later rule sees earlier result", "a,b\nb,c", "ab", "cc"},
        {"other order", "b,c\na,b", "ab", "bc"},
        {"deletion", "x,", "xyx", "y"},
        {"deletes everything", "x,", "xxx", ""},
        {"match at the end", "c,Z", "abc", "abZ"},
        {"match at the start", "a,Z", "abc", "Zbc"},
        {"case differs", "abc,x", "ABC", "ABC"},
        {"case differs too", "ABC,x", "abcABC", "abcx"},
        {"empty caption", "a,b\n,x", "", ""},
        {"empty source leaves the caption", ",x", "abc", "abc"},
        {"rules after an empty source", ",x\na,b", "aa", "bb"},
        {"same source twice", "a,b\na,c", "a", "b"},
        {"chain back", "a,b\nb,a", "ab", "aa"},
        {"spaces kept", " a ,[ ]", "x a y", "x[ ]y"},
        {"comma in replacement", "a,b,c", "aa", "b,cb,c"},
        // A caption and its result of up to 1,023 bytes stay on the stack.
        {"result past the working block", "a,bb", std::string(1023, 'a'), std::string(2046, 'b')},
        {"result outgrows the working block midway", "a,bb", std::string(900, 'a'),
         std::string(1800, 'b')},
        {"caption past the working block", "aa,b", std::string(1025, 'a'),
         std::string(512, 'b') + "a"},
        {"long caption", "a,bb\nbbbb,c", std::string(10000, 'a'), std::string(5000, 'c')},
        // A source of four bytes is searched only when they occur in the text.
        {"four bytes made at the edge of a replacement", keyed + "aaaz,q\nx,bb\naabb,c", "xaaax",
         "bbac"},
        {"four bytes made by more occurrences than a search returns", keyed + "aaaz,q\na,b\nbbbb,c",
         std::string(100, 'a'), std::string(25, 'c')},
    });
}

TEST(Conversion, DoubleByteCharacters)
{
    SKIP_UNLESS_CODE_PAGE_932();
    const std::string so = Sjis(L"ソ"), hyo = Sjis(L"表"), go = Sjis(L"ゾ");
    ASSERT_EQ("\x83\x5C", so);
    ASSERT_EQ("\x95\x5C", hyo);
    ASSERT_EQ("\x83\x5D", go);
    CheckConversions({
        {"backslash is not the trail of ソ", "\\,/", so + "\\" + hyo + "\\", so + "/" + hyo + "/"},
        {"bracket is not the trail of ゾ", "],!", go + "]", go + "!"},
        {"whole characters replaced", so + ",so", so + so, "soso"},
        {"no match across characters", so + ",so", "\x83" + so, "\x83" + so},
        {"full width differs", "abc,x", Sjis(L"ａｂｃ"), Sjis(L"ａｂｃ")},
        {"replacement makes a new character", "a,\x83\n\\,Z", "a\\", "\x83\\"},
        {"lone lead byte at the end of the caption", "\\,Z", "\\\x83", "Z\x83"},
        {"Japanese to Japanese", Sjis(L"変換,へんかん"), Sjis(L"文字変換"), Sjis(L"文字へんかん")},
    });
}

// A result is cut to size - 1 bytes, even inside a character, and ended by a zero byte.
TEST(Conversion, CutToTheHostBuffer)
{
    ASSERT_TRUE(StartEngineOn("a,\x83\x5C")); // "aa" becomes "ソソ", four bytes
    for (int size : {100, 5, 4, 3, 2, 1}) {
        const std::string expected = std::string("\x83\x5C\x83\x5C").substr(0, size - 1) + '\0';
        const Converted out = ConvertInto("aa", size);
        EXPECT_TRUE(out.result) << "size " << size;
        EXPECT_EQ(Escaped(expected), Escaped(out.bytes.substr(0, expected.size())))
            << "size " << size;
        EXPECT_TRUE(out.UntouchedFrom(expected.size())) << "size " << size;
    }
}

TEST(Conversion, RefusedArgumentsWriteNothing)
{
    ASSERT_TRUE(StartEngineOn("a,b"));
    const struct {
        const char* what;
        const char* caption;
        int size;
    } cases[] = {
        {"null caption", nullptr, 16},
        {"size 0", "a", 0},
        {"size -1", "a", -1},
        {"most negative size", "a", INT_MIN},
    };
    for (const auto& c : cases) {
        const Converted out = ConvertInto(c.caption, c.size);
        EXPECT_FALSE(out.result) << c.what;
        EXPECT_TRUE(out.UntouchedFrom(0)) << c.what << " wrote to the buffer";
    }
    EXPECT_FALSE(Engine().ConvertCaptionString(0, "a", nullptr, 16)) << "null buffer";
    EXPECT_EQ("b", Convert("a")) << "the engine did not go on working";
}

// ---------------------------------------------------------------------------
// Allocation failures

TEST(ConversionFaults, EveryFailedAllocationReturnsZeroAndWritesNothing)
{
    ASSERT_TRUE(StartEngineOn("a,xy\nb,\nxy,\x83\x5C\nc,ccc"));
    // Long enough that both working texts leave the stack for the heap, and
    // grow there.
    std::string caption, expected;
    for (int i = 0; i < 200; ++i) {
        caption += "abcabc";
        expected += "\x83\x5C"
                    "ccc\x83\x5C"
                    "ccc";
    }
    Converted out;
    const int failures = fault::Sweep(
        nullptr, [&] { out = ConvertInto(caption.c_str(), 4096); },
        [&](int n) {
            if (n == 0) {
                EXPECT_TRUE(out.result);
                EXPECT_EQ(Escaped(expected), Escaped(out.Text()));
            } else {
                EXPECT_FALSE(out.result) << "success came back";
                EXPECT_TRUE(out.UntouchedFrom(0)) << "the buffer was written";
            }
        });
    printf("conversion: %d failed allocations\n", failures);
    EXPECT_GE(failures, 2) << "both working texts leave the stack: two allocations at least";
    EXPECT_EQ(Escaped(expected), Escaped(Convert(caption))) << "the table was changed";
}

} // namespace
