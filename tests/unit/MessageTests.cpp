// MessageTests.cpp - the filter list of the open-file dialog and the
// engine's message box, made from this program's copy of the resources.
#include "../../qor/QorApp.h"
#include "TestSupport.h"
#include "Answering.h"
#include <gtest/gtest.h>

namespace {

const int kGuard = 16;
const char kFill = '\x7F';

// String 3 in code page 932, its two vertical bars at offsets 21 and 25.
const char kFilterText[] =
    "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B(*.*)|*.*|";

struct FilterCase {
    int size;
    int copied; // bytes before the terminating zero
};

TEST(LoadFilterString, FieldsEndedByZeroBytesWithinTheBuffer)
{
    const FilterCase cases[] = {
        {128, 26}, {27, 26}, {26, 25}, {23, 22}, {22, 21}, {10, 9}, {2, 1}, {1, 0},
    };
    for (const FilterCase& c : cases) {
        std::string buffer(c.size + kGuard, kFill);
        LoadFilterString(3, &buffer[0], c.size);
        for (int i = 0; i < c.size + kGuard; ++i) {
            char expected = kFill;
            if (i < c.copied)
                expected = kFilterText[i] == '|' ? '\0' : kFilterText[i];
            else if (i == c.copied)
                expected = '\0';
            EXPECT_EQ(expected, buffer[i])
                << "size " << c.size << ", byte " << i << ": " << Escaped(buffer);
        }
    }
}

TEST(LoadFilterString, TenBytesEndInsideADoubleByteCharacter)
{
    char buffer[10 + kGuard];
    memset(buffer, kFill, sizeof buffer);
    LoadFilterString(3, buffer, 10);
    const char expected[] = "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x83";
    EXPECT_EQ(0, memcmp(expected, buffer, 10)) << Escaped(std::string(buffer, 10));
    for (int i = 10; i < 10 + kGuard; ++i)
        EXPECT_EQ(kFill, buffer[i]) << "byte " << i << " past the buffer was written";
}

TEST(LoadFilterString, MissingStringOrNoRoom)
{
    char buffer[8 + kGuard];
    memset(buffer, kFill, sizeof buffer);
    LoadFilterString(999, buffer, 8);
    EXPECT_EQ('\0', buffer[0]) << "a missing string gives the empty text";
    for (size_t i = 1; i < sizeof buffer; ++i)
        EXPECT_EQ(kFill, buffer[i]) << "byte " << i;
    memset(buffer, kFill, sizeof buffer);
    LoadFilterString(3, buffer, 0);
    LoadFilterString(3, nullptr, 8);
    for (size_t i = 0; i < sizeof buffer; ++i)
        EXPECT_EQ(kFill, buffer[i]) << "size 0 wrote byte " << i;
}

TEST(ShowMessage, EveryBoxHasTheEngineCaption)
{
    const struct {
        UINT id;
        UINT type;
        std::string text;
        UINT icon;
    } cases[] = {
        {100, MB_OK | MB_ICONERROR, Sjis(L"変換定義ファイルの読み込みに失敗しました。"),
         MB_ICONERROR},
        {100, MB_ICONWARNING, Sjis(L"変換定義ファイルの読み込みに失敗しました。"), MB_ICONWARNING},
        {101, MB_ICONWARNING, Sjis(L"指定されたファイルは存在しません。"), MB_ICONWARNING},
        {999, MB_OK, "", 0}, // an id the module does not hold
    };
    for (const auto& c : cases) {
        SeenWindow seen;
        int result = 0;
        const DriveResult r = Drive([&] { result = CQorApp::ShowMessage(nullptr, c.id, c.type); },
                                    {SeeAndPress(&seen, IDOK)});
        EXPECT_FALSE(r.timedOut) << "string " << c.id;
        EXPECT_EQ(IDOK, result) << "string " << c.id;
        EXPECT_EQ(EngineCaption(), seen.caption) << Escaped(seen.caption);
        EXPECT_EQ(c.text, seen.text) << "string " << c.id << ": " << Escaped(seen.text);
        EXPECT_EQ(c.icon, seen.icon) << "string " << c.id;
        EXPECT_EQ(nullptr, seen.owner) << "string " << c.id;
    }
}

TEST(ShowMessage, TextGivenDirectlyAndOwnedByAWindow)
{
    const HostWindow owner;
    ASSERT_NE(nullptr, owner.hwnd);
    SeenWindow seen;
    const DriveResult r = Drive(
        [&] { CQorApp::ShowMessage(owner.hwnd, "plain text", MB_ICONWARNING); },
        {SeeAndPress(&seen, IDOK)});
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(EngineCaption(), seen.caption) << Escaped(seen.caption);
    EXPECT_EQ("plain text", seen.text);
    EXPECT_EQ(owner.hwnd, seen.owner);
}

} // namespace
