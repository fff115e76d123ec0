// DefinitionFileTests.cpp - the rule table built from a definition file: line ends, line kinds, double-byte characters whose
// second byte looks like a delimiter, and files that cannot be read.
#include "../../engine/RuleTable.h"
#include "../../engine/DefinitionFile.h"
#include "Owner.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using Rules = std::vector<std::pair<std::string, std::string>>;

// The table as text, one "source -> replacement" line per rule, in order.
std::string Listing(const Rules& rules)
{
    std::string s;
    for (const auto& r : rules)
        s += Escaped(r.first) + " -> " + Escaped(r.second) + "\n";
    return s;
}

std::string Listing(const CRuleTable& table)
{
    Rules rules;
    for (CQorPosition p = table.Rules().GetHeadPosition(); p.kind != 0;
         p = table.Rules().GetNextPosition(p)) {
        const CConvRule* rule = static_cast<const CConvRule*>(table.Rules().GetAt(p));
        rules.emplace_back(std::string(rule->source.data, rule->source.length),
                           std::string(rule->replacement.data, rule->replacement.length));
    }
    return Listing(rules);
}

// Writes the bytes to a file of its own and loads it into the table.
BOOL Load(CRuleTable& table, const std::string& bytes)
{
    static int files = 0;
    const std::string path = WriteScratchFile("def" + std::to_string(++files) + ".txt", bytes);
    return table.Load(path.c_str());
}

struct FileCase {
    const char* what;
    std::string bytes;
    Rules rules;
};

void CheckFiles(const std::vector<FileCase>& cases)
{
    for (const FileCase& c : cases) {
        CRuleTable table;
        EXPECT_TRUE(Load(table, c.bytes)) << c.what << ": " << Escaped(c.bytes);
        EXPECT_EQ(Listing(c.rules), Listing(table)) << c.what << ": " << Escaped(c.bytes);
    }
}

std::string S(const char* text, size_t n)
{
    return std::string(text, n);
}

TEST(DefinitionFile, LineEndsTheFirstNulAndLineKinds)
{
    CheckFiles({
        {"empty file", "", {}},
        {"no line end", "a,b", {{"a", "b"}}},
        {"LF", "a,b\n", {{"a", "b"}}},
        {"CR LF", "a,b\r\n", {{"a", "b"}}},
        {"CR CR LF keeps one CR", "a,b\r\r\n", {{"a", "b\r"}}},
        {"CR alone is a character", "a,b\rc,d", {{"a", "b\rc,d"}}},
        {"CR at the end of the file", "a,b\r", {{"a", "b\r"}}},
        {"CRs before CR LF", "x,\r\r\r\n", {{"x", "\r\r"}}},
        {"mixed line ends",
         "a,1\nb,2\r\nc,3\r\r\nd,4\re,5\n\nf,6",
         {{"a", "1"}, {"b", "2"}, {"c", "3\r"}, {"d", "4\re,5"}, {"f", "6"}}},
        {"empty lines only", "\n\r\n\n", {}},
        {"CR only", "\r", {}},
        {"empty lines around", "\n\n\na,b\n\n", {{"a", "b"}}},
        {"LF CR", "a,b\n\rc,d", {{"a", "b"}, {"\rc", "d"}}},
        {"NUL in a replacement", S("a,b\0c\nd,e", 9), {{"a", "b"}}},
        {"NUL before the comma", S("a\0,b\nc,d", 8), {}},
        {"NUL first", S("\0a,b", 4), {}},
        {"NUL after a line end", S("a,b\n\0c,d", 8), {{"a", "b"}}},
        {"NUL after CR", S("a,b\r\0\nc,d", 9), {{"a", "b\r"}}},
        {"nothing trimmed", " a , b ", {{" a ", " b "}}},
        {"tabs kept", "\ta\t,\tb\t", {{"\ta\t", "\tb\t"}}},
        {"split at the first comma", "a,b,c", {{"a", "b,c"}}},
        {"empty source", ",x", {{"", "x"}}},
        {"empty replacement", "a,", {{"a", ""}}},
        {"comma alone", ",", {{"", ""}}},
        {"sections", "[section]\n[]\n[a,b]", {}},
        {"no comma", "[\nabc]\nx[y]\nabc", {}},
        {"open section", "[a,b", {{"[a", "b"}}},
        {"close only", "a,b]", {{"a", "b]"}}},
        {"leading blank", " [a,b]", {{" [a", "b]"}}},
        {"section ended by CR CR LF", "[a,b]\r\r\n", {{"[a", "b]\r"}}},
        {"section ended by CR LF", "[a,b]\r\n", {}},
        {"comments", "//a,b\n//\n/,/", {{"/", "/"}}},
        {"not comments",
         " //a,b\na,b // note\n/a,b",
         {{" //a", "b"}, {"a", "b // note"}, {"/a", "b"}}},
        {"same source twice", "a,1\n[x]\na,2", {{"a", "1"}, {"a", "2"}}},
        {"file order", "z,1\ny,2\nx,3", {{"z", "1"}, {"y", "2"}, {"x", "3"}}},
        {"byte order mark is text",
         "\xEF\xBB\xBF[x]\n\xEF\xBB\xBF[x],y\n\xEF\xBB\xBF"
         "a,b",
         {{"\xEF\xBB\xBF[x]", "y"},
          {"\xEF\xBB\xBF"
           "a",
           "b"}}},
    });
}

TEST(DefinitionFile, DoubleByteCharacters)
{
    SKIP_UNLESS_CODE_PAGE_932();
    const std::string go = "\x83\x5D", ze = "\x83\x5B", so = "\x83\x5C"; // ゾ ゼ ソ end in ] [ '\'
    CheckFiles({
        {"[ゾ,x is a rule", "[" + go + ",x", {{"[" + go, "x"}}},
        {"[ゾ alone has no comma", "[" + go, {}},
        {"[ゾ] is a section", "[" + go + "]", {}},
        {"[ゾ],x", "[" + go + "],x", {{"[" + go + "]", "x"}}},
        {"[a,ゾ does not end with ]", "[a," + go, {{"[a", go}}},
        {"ゼ keeps its bytes", ze + "[," + "]" + ze, {{ze + "[", "]" + ze}}},
        {"ソ and backslash", so + ",\\\n\\,\\" + so, {{so, "\\"}, {"\\", "\\" + so}}},
        {"lead byte before a comma", "\x83,a,b", {{"\x83,a", "b"}}},
        {"lead byte and comma only", "\x83,", {}},
        {"lead byte, comma, comma", "\x83,,x", {{"\x83,", "x"}}},
        {"lead byte before slashes", "\x83//,x", {{"\x83//", "x"}}},
        {"slash, lead byte, slash", "/\x83/,x", {{"/\x83/", "x"}}},
        {"lead byte before ] ends no section", "[a\x83]", {}},
        {"lead byte before LF", "a,\x83\nb,c", {{"a", "\x83"}, {"b", "c"}}},
        {"lead byte before CR LF", "a,\x83\r\nb,c", {{"a", "\x83"}, {"b", "c"}}},
        {"lead byte at the end", "a,b\x9F", {{"a", "b\x9F"}}},
        {"lead byte takes the comma", "\x83,\nx,y", {{"x", "y"}}},
        {"kanji with trail 5C", "\x95\x5C,\x95\x5C\\", {{"\x95\x5C", "\x95\x5C\\"}}},
    });
}

TEST(DefinitionFile, ManyRulesKeepTheirOrder)
{
    std::string bytes;
    Rules rules;
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        bytes += "s" + n + ",r" + n + "\r\n";
        rules.emplace_back("s" + n, "r" + n);
    }
    CRuleTable table;
    ASSERT_TRUE(Load(table, bytes));
    EXPECT_EQ(3000u, table.Rules().GetCount());
    EXPECT_EQ(3000, table.Rules().capacity);
    EXPECT_TRUE(Listing(rules) == Listing(table)) << "the table differs from the file";
}

TEST(DefinitionFile, FilesThatCannotBeRead)
{
    const std::string good = WriteScratchFile("good.txt", "a,b\n");
    const std::string locked = WriteScratchFile("locked.txt", "c,d\n");
    // Another program holds it open for writing.
    const OwnedHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing file", ScratchDir() + "\\missing.txt"},
        {"missing directory", ScratchDir() + "\\nowhere\\a.txt"},
        {"a directory", ScratchDir()},
        {"empty path", ""},
        {"held open for writing", locked},
    };
    for (const auto& c : cases) {
        CRuleTable table;
        ASSERT_TRUE(table.Load(good.c_str()));
        EXPECT_FALSE(table.Load(c.path.c_str())) << c.what;
        EXPECT_EQ("", Listing(table)) << c.what << ": the old rules stayed";
        EXPECT_EQ(0u, table.Rules().GetCount()) << c.what;
    }
}

// Files whose size does not fit in 31 bits are refused, not read in part (made sparse here).
TEST(DefinitionFile, FilesTooLargeToHoldAreRefused)
{
    const LONGLONG sizes[] = {0x100000004LL, 0x80000000LL, 0x7FFFFFFFLL};
    for (LONGLONG size : sizes) {
        const std::string path = WriteScratchFile("huge.txt", "a,b\n");
        bool grown;
        {
            const OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(file.valid());
            LARGE_INTEGER end;
            end.QuadPart = size;
            grown = SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN)
                && SetEndOfFile(file.get());
        }
        if (!grown) {
            DeleteFileA(path.c_str());
            GTEST_SKIP() << "cannot make a file of " << size << " bytes here";
        }
        CRuleTable table;
        ASSERT_TRUE(Load(table, "x,y"));
        EXPECT_FALSE(table.Load(path.c_str())) << size << " bytes";
        EXPECT_EQ("", Listing(table)) << size << " bytes";
        DeleteFileA(path.c_str());
    }
}

TEST(DefinitionFile, EachLoadReplacesTheTableAndClearEmptiesIt)
{
    CRuleTable table;
    ASSERT_TRUE(Load(table, "a,1\nb,2"));
    ASSERT_TRUE(Load(table, "c,3\n,x"));
    EXPECT_EQ(Listing(Rules{{"c", "3"}, {"", "x"}}), Listing(table)) << "an empty source is kept";
    ASSERT_TRUE(Load(table, "[only a section]\r\n"));
    EXPECT_EQ("", Listing(table));
    ASSERT_TRUE(Load(table, "d,4"));
    ASSERT_TRUE(Load(table, ""));
    EXPECT_EQ("", Listing(table)) << "an empty file leaves an empty table";
    ASSERT_TRUE(Load(table, "d,4"));
    for (int i = 0; i < 2; ++i) { // a second Clear finds nothing to do
        table.Clear();
        EXPECT_EQ(0u, table.Rules().GetCount());
        EXPECT_EQ(0, table.Rules().capacity);
    }
}

using Kind = DefLineKind;

struct ClassifyCase {
    const char* line;
    Kind kind;
    int comma;
};

TEST(DefinitionFile, ClassifyLine)
{
    SKIP_UNLESS_CODE_PAGE_932();
    const ClassifyCase cases[] = {
        {"", Kind::kOther, -1},      {"[]", Kind::kSection, -1},   {"[a,b]", Kind::kSection, -1},
        {"[", Kind::kOther, -1},     {"]", Kind::kOther, -1},      {"[,", Kind::kRule, 1},
        {"//,", Kind::kComment, -1}, {"/,/", Kind::kRule, 1},      {"a,b,c", Kind::kRule, 1},
        {"\x83,,", Kind::kRule, 2},  {"[\x83]", Kind::kOther, -1}, {"[\x83]]", Kind::kSection, -1},
        {"[\x83", Kind::kOther, -1}, {"x\x83", Kind::kOther, -1},
    };
    for (const ClassifyCase& c : cases) {
        const CQorString line(c.line, 0);
        int comma = -1;
        EXPECT_EQ(c.kind, ClassifyDefinitionLine(line, &comma)) << Escaped(c.line);
        if (c.kind == Kind::kRule) {
            EXPECT_EQ(c.comma, comma) << Escaped(c.line);
        }
    }
}

} // namespace
