// MessageTests.cpp - the filter list of the open-file dialog and the
// engine's message box, made from this program's copy of the resources.
#include "../../qor/QorApp.h"
#include "../../qor/QorWnd.h"
#include "TestSupport.h"
#include "Answering.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

// String 3, 26 bytes: its two vertical bars are bytes 21 and 25.
TEST(LoadFilterString, FieldsEndedByZeroBytesWithinTheBuffer)
{
    const struct {
        UINT id;
        int size;
        int copied; // bytes before the terminating zero; -1: nothing written
    } cases[] = {
        // The end of size 10 cuts a double-byte character; string 999 is missing: the empty text.
        {3, 128, 26}, {3, 27, 26}, {3, 26, 25}, {3, 23, 22}, {3, 22, 21},
        {3, 10, 9},   {3, 2, 1},   {3, 1, 0},   {3, 0, -1},  {999, 8, 0},
    };
    for (const auto& c : cases) {
        std::string buffer(c.size + 16, '\x7F'), expected = buffer;
        LoadFilterString(c.id, &buffer[0], c.size);
        if (c.copied >= 0) {
            expected.replace(0, c.copied + 1, FileFilter().substr(0, c.copied) + '\0');
            std::replace(expected.begin(), expected.begin() + c.copied, '|', '\0');
        }
        EXPECT_EQ(Escaped(expected), Escaped(buffer)) << "string " << c.id << ", size " << c.size;
    }
    LoadFilterString(3, nullptr, 8); // not written
}

// A text given by its string id, or directly; ownerless, or owned by a window.
TEST(ShowMessage, EveryBoxHasTheEngineCaption)
{
    const HostWindow owner;
    const struct {
        UINT id;
        const char* direct; // the text given instead of an id
        HWND owner;
        UINT type;
        std::string text;
        UINT icon;
    } cases[] = {
        {100, nullptr, nullptr, MB_OK | MB_ICONERROR, LoadFailedMessage(), MB_ICONERROR},
        {100, nullptr, nullptr, MB_ICONWARNING, LoadFailedMessage(), MB_ICONWARNING},
        {101, nullptr, nullptr, MB_ICONWARNING, FileMissingMessage(), MB_ICONWARNING},
        {999, nullptr, nullptr, MB_OK, "", 0}, // an id the module does not hold
        {0, "plain text", owner.hwnd, MB_ICONWARNING, "plain text", MB_ICONWARNING},
    };
    for (const auto& c : cases) {
        SeenWindow seen;
        int result = 0;
        const DriveResult r = Drive(
            [&] {
                result = c.direct ? CQorApp::ShowMessage(c.owner, c.direct, c.type)
                                  : CQorApp::ShowMessage(c.owner, c.id, c.type);
            },
            {SeeAndPress(&seen, IDOK)});
        const std::string what = c.direct ? c.direct : "string " + std::to_string(c.id);
        EXPECT_FALSE(r.timedOut) << what;
        EXPECT_EQ(IDOK, result) << what;
        EXPECT_EQ(EngineCaption(), seen.caption) << what << ": " << Escaped(seen.caption);
        EXPECT_EQ(c.text, seen.text) << what << ": " << Escaped(seen.text);
        EXPECT_EQ(c.icon, seen.icon) << what;
        EXPECT_EQ(c.owner, seen.owner) << what;
    }
}

} // namespace
