// FaultSweepTests.cpp - every allocation of TFEExitEngine, TFEOnAbout and
// TFEOnSetting made to fail in turn, the first, then the second, and so on
// until the call completes without meeting a failure. Whatever fails, the
// host survives, sees the failure as the engine reports it, keeps a rule
// table that is whole or empty and a path that is the old one or the new
// one, and no block is leaked.
#include "Answering.h"
#include "FaultInjection.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace {

const char kPriorRules[] = "foo,prior\r\n";
const char kRules[] = "[section]\r\nfoo,bar\r\nx,xy\r\n";
const char kProbe[] = "foo x";
const char kUnchanged[] = "foo x";
const char kConverted[] = "bar xy";
const char kPriorConverted[] = "prior x";
const int kMaxSweep = 500;

std::string PriorFile()
{
    static const std::string path = WriteScratchFile("sweep-prior.txt", kPriorRules);
    return path;
}

// The runtime keeps what it sets up for the first exception thrown in the
// module for good: have that done before blocks are counted.
void ThrowOnce()
{
    char version[8];
    fault::CFailAt fail(1);
    Engine().GetEngineVersion(version, sizeof version);
}

struct Blocks {
    long global = fault::LiveGlobalBlocks();
    long heap = fault::LiveHeapBlocks();
};

void ExpectNoLeak(const Blocks& before)
{
    EXPECT_EQ(before.global, fault::LiveGlobalBlocks()) << "global blocks leaked";
    EXPECT_EQ(before.heap, fault::LiveHeapBlocks()) << "heap blocks leaked";
}

void ExpectBox(const SeenWindow& box, const std::string& text, UINT icon, HWND owner)
{
    EXPECT_EQ(text, box.text) << Escaped(box.text);
    EXPECT_EQ(text == LoadFailedMessage() ? EngineCaption() : "", box.caption)
        << Escaped(box.caption);
    EXPECT_EQ(icon, box.icon);
    EXPECT_EQ(owner, box.owner);
}

TEST(FaultSweep, ExitMakesNoAllocationAndReleasesEveryRule)
{
    ThrowOnce();
    const std::string rules = WriteScratchFile("sweep-exit.txt", kRules);
    ASSERT_TRUE(StartEngineWith(rules));
    Engine().ExitEngine();
    const Blocks empty;
    ASSERT_TRUE(StartEngineWith(rules));
    ASSERT_EQ(kConverted, Convert(kProbe));
    EXPECT_GT(fault::LiveGlobalBlocks(), empty.global) << "the rules hold no strings";
    {
        fault::CFailAt fail(1);
        Engine().ExitEngine();
        EXPECT_EQ(0, fault::Attempts()) << "TFEExitEngine allocates";
        EXPECT_FALSE(fault::Failed());
    }
    ExpectNoLeak(empty);
    EXPECT_EQ(rules, StoredPath());
    EXPECT_EQ(kUnchanged, Convert(kProbe));
    printf("[ sweep    ] TFEExitEngine: 0 allocations, nothing to fail\n");
}

// The listing of the About dialog for the rules of kAboutRules.
std::vector<std::string> AboutLines()
{
    const std::string arrow = Sjis(L" → ");
    return {"foo" + arrow + "bar", "x" + arrow + "xy", Sjis(L"表示") + arrow + Sjis(L"ひょうじ"),
            arrow + "empty source", "empty replacement" + arrow};
}

bool IsStrictPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    return part.size() < whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(FaultSweep, AboutNeverCrashesLeaksOrChangesTheEngine)
{
    ThrowOnce();
    const std::string rules = WriteScratchFile("sweep-about.txt",
                                               "foo,bar\r\nx,xy\r\n" + Sjis(L"表示,ひょうじ")
                                                   + "\r\n,empty source\r\nempty replacement,\r\n");
    ASSERT_TRUE(StartEngineWith(rules));
    const std::vector<std::string> full = AboutLines();
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    int none = 0, memoryBoxes = 0, frameworkBoxes = 0, n = 1;
    for (; n <= kMaxSweep; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        const Blocks before;
        std::vector<SeenWindow> seen;
        bool failed = false;
        DriveResult r;
        {
            fault::CFailAt fail(n);
            r = DriveAll([&] { Engine().OnAbout(host.hwnd); },
                         [&](HWND h) {
                             seen.push_back(Inspect(h));
                             Press(h, seen.back().kind == Kind::kOther ? IDCANCEL : IDOK);
                         });
            failed = fault::Failed();
        }
        EXPECT_FALSE(r.timedOut);
        ExpectNoLeak(before);
        EXPECT_EQ("bar xy", Convert(kProbe)) << "the About dialog changed the rules";
        const std::string kinds = Kinds(seen);
        if (!failed) {
            EXPECT_EQ("AboutDialog", kinds);
            if (kinds == "AboutDialog") {
                EXPECT_EQ("Version 1.00", seen[0].label);
                EXPECT_EQ(full, seen[0].lines);
                EXPECT_EQ(host.hwnd, seen[0].owner);
            }
            break;
        }
        if (kinds == "(none)") {
            ++none; // the window map had no room: IDCANCEL at once
        } else if (kinds == "MemoryBox") {
            ++memoryBoxes; // the listing could not be built
            ExpectBox(seen[0], MemoryMessage(), MB_ICONERROR, host.hwnd);
        } else if (kinds == "FrameworkBox AboutDialog") {
            ++frameworkBoxes; // the dialog's set-up ran out part way
            ExpectBox(seen[0], MemoryMessage(), MB_ICONERROR, nullptr);
            const SeenWindow& about = seen[1];
            EXPECT_TRUE(IsStrictPrefix(about.lines, full))
                << about.lines.size() << " lines, not a part of the listing";
            if (about.label == "Version 0.00") {
                EXPECT_TRUE(about.lines.empty()) << "lines added before the label";
            } else {
                EXPECT_EQ("Version 1.00", about.label);
            }
        } else {
            ADD_FAILURE() << "unexpected windows: " << kinds;
        }
    }
    EXPECT_LE(n, kMaxSweep) << "TFEOnAbout never completed";
    EXPECT_EQ(1, none) << "failures of the window map's node";
    EXPECT_GT(memoryBoxes, 0);
    EXPECT_GT(frameworkBoxes, 0);
    printf("[ sweep    ] TFEOnAbout: %d allocations failed in turn (%d window map, %d listing, "
           "%d dialog set-up)\n",
           n - 1, none, memoryBoxes, frameworkBoxes);
    Engine().ExitEngine();
    EXPECT_EQ(rules, StoredPath());
}

// Cancel in the framework's error box asks the host's message loop to
// quit, as the box's choice means: the engine's dialog ends at once, the
// engine is left as it was, and the quit message waits in the host's queue.
TEST(FaultSweep, CancelInTheFrameworkBoxEndsTheDialogAndLeavesAQuitMessage)
{
    ThrowOnce();
    const std::string rules = WriteScratchFile("sweep-cancel.txt", kRules);
    ASSERT_TRUE(StartEngineWith(rules));
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    for (int n = 1; n <= kMaxSweep; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        const Blocks before;
        std::vector<SeenWindow> seen;
        bool failed = false;
        {
            fault::CFailAt fail(n);
            const DriveResult r = DriveAll(
                [&] { Engine().OnAbout(host.hwnd); },
                [&](HWND h) {
                    seen.push_back(Inspect(h));
                    Press(h, seen.back().kind == Kind::kFrameworkBox ? IDCANCEL : IDOK);
                });
            EXPECT_FALSE(r.timedOut);
            failed = fault::Failed();
        }
        MSG quit;
        const bool quitPosted = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
        ExpectNoLeak(before);
        EXPECT_EQ(kConverted, Convert(kProbe));
        if (!seen.empty() && seen[0].kind == Kind::kFrameworkBox) {
            EXPECT_TRUE(quitPosted) << "Cancel posted no quit message";
            EXPECT_EQ("FrameworkBox", Kinds(seen)) << "the dialog went on after Cancel";
            Engine().ExitEngine();
            EXPECT_EQ(rules, StoredPath());
            return;
        }
        EXPECT_FALSE(quitPosted) << Kinds(seen);
        if (!failed)
            break;
    }
    ADD_FAILURE() << "no failure reached the framework's error box";
}

// A rule file whose path is longer for every n, so that each run of the
// sweep has to grow the strings that will hold it.
std::string GrowingPathFile(int n)
{
    return WriteScratchFile(std::string(90 + n, 's') + ".txt", kRules);
}

TEST(FaultSweep, SettingsNeverLosesThePathOrKeepsHalfATable)
{
    ThrowOnce();
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    int none = 0, memoryBoxes = 0, loadBoxes = 0, frameworkBoxes = 0, n = 1;
    for (; n <= kMaxSweep; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        const std::string newPath = GrowingPathFile(n);
        ASSERT_LT(newPath.size(), static_cast<size_t>(MAX_PATH));
        Engine().ExitEngine();
        const Blocks before;
        StorePath(PriorFile());
        ASSERT_TRUE(Engine().InitEngine());
        ASSERT_EQ(kPriorConverted, Convert(kProbe));

        std::vector<SeenWindow> seen;
        HWND settings = nullptr;
        bool failed = false;
        DriveResult r;
        {
            fault::CFailAt fail(n);
            r = DriveAll([&] { Engine().OnSetting(host.hwnd); },
                         [&](HWND h) {
                             seen.push_back(Inspect(h));
                             switch (seen.back().kind) {
                             case Kind::kSettingDialog:
                                 settings = h;
                                 SetDlgItemTextA(h, IDC_DEFFILE, newPath.c_str());
                                 Press(h, IDOK);
                                 break;
                             case Kind::kFrameworkBox:
                                 // The dialog stays open: the user tries OK once more.
                                 PressAndWait(h, IDOK);
                                 if (settings)
                                     Press(settings, IDOK);
                                 break;
                             case Kind::kOther:
                                 Press(h, IDCANCEL);
                                 break;
                             default:
                                 Press(h, IDOK);
                                 break;
                             }
                         });
            failed = fault::Failed();
        }
        EXPECT_FALSE(r.timedOut);
        const std::string converted = Convert(kProbe);
        Engine().ExitEngine();
        const std::string path = StoredPath();
        ExpectNoLeak(before);

        const bool oldState = path == PriorFile() && converted == kPriorConverted;
        const bool newState = path == newPath && converted == kConverted;
        const bool newPathNoRules = path == newPath && converted == kUnchanged;
        const std::string kinds = Kinds(seen);
        const std::string state = "path " + path + ", probe gives " + converted;
        if (!seen.empty() && seen[0].kind == Kind::kSettingDialog) {
            EXPECT_EQ(PriorFile(), seen[0].edit);
        }
        if (!failed) {
            EXPECT_EQ("SettingDialog", kinds);
            EXPECT_TRUE(newState) << state;
            break;
        }
        if (kinds == "(none)") {
            ++none; // the window map had no room: IDCANCEL at once
            EXPECT_TRUE(oldState) << state;
        } else if (kinds == "MemoryBox" || kinds == "SettingDialog MemoryBox") {
            ++memoryBoxes;
            ExpectBox(seen.back(), MemoryMessage(), MB_ICONERROR, host.hwnd);
            EXPECT_TRUE(oldState || newPathNoRules) << state;
        } else if (kinds == "SettingDialog EngineBox") {
            ++loadBoxes;
            ExpectBox(seen[1], LoadFailedMessage(), MB_ICONWARNING, host.hwnd);
            EXPECT_TRUE(newPathNoRules) << state;
        } else if (kinds == "SettingDialog FrameworkBox") {
            ++frameworkBoxes;
            ExpectBox(seen[1], MemoryMessage(), MB_ICONERROR, nullptr);
            EXPECT_TRUE(newState) << state;
        } else {
            ADD_FAILURE() << "unexpected windows: " << kinds << "; " << state;
        }
    }
    EXPECT_LE(n, kMaxSweep) << "TFEOnSetting never completed";
    EXPECT_EQ(1, none) << "failures of the window map's node";
    EXPECT_GT(memoryBoxes, 0);
    EXPECT_GT(loadBoxes, 0);
    EXPECT_GT(frameworkBoxes, 0);
    printf("[ sweep    ] TFEOnSetting: %d allocations failed in turn (%d window map, %d memory "
           "box, %d load failure, %d in the dialog)\n",
           n - 1, none, memoryBoxes, loadBoxes, frameworkBoxes);
}

} // namespace
