// RegKeyTests.cpp - CQorRegKey on the real registry of the test prefix,
// under a scratch key of its own.
#include "../../qor/QorRegKey.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

const char kScratch[] = "Software\\VarioTest";
const char kKey[] = "Software\\VarioTest\\Key";

class RegKey : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }
};

// The string's own promise: its text ends at data[length], inside the buffer.
void ExpectWholeString(const CQorString& s, const std::string& text, const char* what)
{
    EXPECT_EQ(static_cast<int>(text.size()), s.length) << what;
    EXPECT_LT(s.length, s.capacity) << what;
    if (s.length >= 0 && s.length < s.capacity) {
        EXPECT_EQ('\0', s.data[s.length]) << what;
        EXPECT_EQ(text, std::string(s.data, s.length)) << what;
    }
}

TEST_F(RegKey, OpenForReadingNeedsTheKeyOpenForWritingMakesIt)
{
    CQorRegKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kRead));
    EXPECT_EQ(nullptr, key.Handle());
    EXPECT_FALSE(KeyOpens(kKey, KEY_READ)) << "opening for reading made the key";

    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
    EXPECT_NE(nullptr, key.Handle());
    EXPECT_TRUE(KeyOpens(kKey, KEY_READ))
        << "opening for writing did not make the key and its parent";
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_EQ(nullptr, key.Handle());

    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kRead)) << "the key exists now";
    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite))
        << "an existing key opens for writing";
}

// A key is closed by the next Open, by Close and by the destructor, once.
TEST_F(RegKey, EveryKeyIsClosedOnce)
{
    HKEY first = nullptr, last = nullptr;
    {
        CQorRegKey key;
        EXPECT_EQ(0, key.Close()) << "Close with no key";
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
        first = key.Handle();
        EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, "Software\\VarioTest\\Missing", KeyAccess::kRead));
        EXPECT_EQ(nullptr, key.Handle()) << "a failed Open still holds a key";
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
        EXPECT_EQ(ERROR_SUCCESS, key.Close());
        EXPECT_EQ(0, key.Close()) << "a second Close";
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
        last = key.Handle();
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(first)) << "the next Open left the key open";
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(last)) << "the key outlived its object";
}

// With no key open, before Open or after Close, every call fails and a
// read leaves its target empty.
TEST_F(RegKey, WithNoKeyOpenEveryCallFails)
{
    CQorRegKey key;
    CQorString target("earlier text", 0);
    EXPECT_FALSE(key.QueryString("Text", target));
    ExpectWholeString(target, "", "read with no key open");
    EXPECT_FALSE(key.HasValue("Text"));
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
    key.Close();
    EXPECT_FALSE(key.SetString("Text", "written")) << "written after Close";
}

TEST_F(RegKey, AccessFollowsTheNamedAccess)
{
    StoreValue(kKey, "Text", REG_SZ, std::string("abc", 4));
    CQorRegKey key;
    CQorString target(128);
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kRead));
    EXPECT_FALSE(key.SetString("Text", "changed")) << "a key opened for reading was written";
    EXPECT_TRUE(key.QueryString("Text", target));
    ExpectWholeString(target, "abc", "read through the reading key");
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
    EXPECT_FALSE(key.QueryString("Text", target)) << "a key opened for writing was read";
    EXPECT_TRUE(key.SetString("Text", "changed"));
    key.Close();
    DWORD type = 0;
    std::string stored;
    ASSERT_TRUE(ReadValue(kKey, "Text", &type, &stored));
    EXPECT_EQ(std::string("changed", 8), stored);
}

TEST_F(RegKey, SetStringStoresTheTerminator)
{
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"Empty", ""},
        {"Ascii", "C:\\defs\\rules.txt"},
        {"Japanese", Sjis(L"C:\\変換\\定義ファイル.txt")},
        {"Long", std::string(300, 'p')},
    };
    CQorRegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kWrite));
    for (const auto& c : cases)
        EXPECT_TRUE(key.SetString(c.name, c.text.c_str())) << c.name;
    key.Close();
    for (const auto& c : cases) {
        DWORD type = 0;
        std::string stored;
        ASSERT_TRUE(ReadValue(kKey, c.name, &type, &stored)) << c.name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << c.name;
        EXPECT_EQ(c.text + '\0', stored) << c.name << ": " << Escaped(stored);
    }
}

const DWORD kNoValue = 0xFFFFFFFF; // the key holds no value of the name

struct QueryCase {
    const char* what;
    DWORD type;
    std::string stored; // the value's bytes
    BOOL result;
    std::string text; // the target's text afterwards
    int capacity;     // the target's capacity afterwards
};

TEST_F(RegKey, QueryStringTable)
{
    const std::string long300(300, 'L');
    const std::string fill128(128, 'F');
    const std::string fill127(127, 'G');
    const std::string japanese = Sjis(L"D:\\変換定義\\ルール表.txt");
    const QueryCase cases[] = {
        {"short REG_SZ", REG_SZ, std::string("abc", 4), TRUE, "abc", 128},
        {"empty REG_SZ", REG_SZ, std::string(1, '\0'), TRUE, "", 128},
        {"Japanese REG_SZ", REG_SZ, japanese + '\0', TRUE, japanese, 128},
        {"127 bytes and terminator", REG_SZ, fill127 + '\0', TRUE, fill127, 128},
        {"longer than the buffer", REG_SZ, long300 + '\0', TRUE, long300, 301},
        {"no terminator", REG_SZ, "abc", TRUE, "abc", 128},
        {"127 bytes, no terminator", REG_SZ, fill127, TRUE, fill127, 128},
        {"128 bytes, no terminator", REG_SZ, fill128, TRUE, fill128, 129},
        {"300 bytes, no terminator", REG_SZ, long300, TRUE, long300, 301},
        {"zero inside", REG_SZ, std::string("ab\0cd\0", 6), TRUE, "ab", 128},
        {"no bytes at all", REG_SZ, "", TRUE, "", 128},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, std::string("%TEMP%", 7), FALSE, "%TEMP%", 128},
        {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("a\0b\0\0", 5), FALSE, "a", 128},
        {"REG_DWORD", REG_DWORD, std::string("\x41\x42\0\0", 4), FALSE, "AB", 128},
        {"long REG_BINARY", REG_BINARY, long300, FALSE, long300, 301},
        {"no value", kNoValue, "", FALSE, "", 128},
    };
    for (const QueryCase& c : cases) {
        if (c.type == kNoValue)
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "Value");
        else
            StoreValue(kKey, "Value", c.type, c.stored);
        CQorRegKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kKey, KeyAccess::kRead));
        CQorString target("previous text", 128);
        EXPECT_EQ(c.result, key.QueryString("Value", target)) << c.what;
        EXPECT_EQ(c.capacity, target.capacity) << c.what;
        ExpectWholeString(target, c.text, c.what);
    }
}

} // namespace
