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

std::string PriorFile()
{
    static const std::string path = WriteScratchFile("sweep-prior.txt", kPriorRules);
    return path;
}

void ExpectBox(const SeenWindow& box, const std::string& text, UINT icon, HWND owner)
{
    EXPECT_EQ(text, box.text) << Escaped(box.text);
    EXPECT_EQ(text == LoadFailedMessage() ? EngineCaption() : "", box.caption)
        << Escaped(box.caption);
    EXPECT_EQ(icon, box.icon);
    EXPECT_EQ(owner, box.owner);
}

// Exit reads the stored value to compare it with the one the engine saw;
// without memory for that, it stores the path all the same.
TEST(FaultSweep, ExitStoresThePathAndReleasesEveryRuleWhateverFails)
{
    const std::string rules = WriteScratchFile("sweep-exit.txt", kRules);
    Engine().ExitEngine();
    const fault::LiveBlocks empty;
    const int failures = fault::Sweep(
        [&](int) {
            ASSERT_TRUE(StartEngineWith(rules));
            ASSERT_EQ(kConverted, Convert(kProbe));
            EXPECT_GT(fault::LiveBlocks().global, empty.global) << "the rules hold no strings";
        },
        [] { Engine().ExitEngine(); },
        [&](int) {
            EXPECT_EQ(rules, StoredPath());
            EXPECT_EQ(kUnchanged, Convert(kProbe));
        });
    EXPECT_EQ(1, failures) << "TFEExitEngine allocates more than the string it reads into";
}

// The listing of the About dialog for the rules of kAboutRules.
std::vector<std::string> AboutLines()
{
    return {AboutLine("foo", "bar"), AboutLine("x", "xy"),
            AboutLine(Sjis(L"表示"), Sjis(L"ひょうじ")), AboutLine("", "empty source"),
            AboutLine("empty replacement", "")};
}

bool IsStrictPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    return part.size() < whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// One run of an About sweep: the dialog opened on host, each window it
// shows recorded in seen and answered with the button answer gives its kind.
DriveResult OpenAbout(HWND host, std::vector<SeenWindow>& seen, int (*answer)(Kind))
{
    seen.clear();
    return DriveAll([&] { Engine().OnAbout(host); },
                    [&](HWND h) {
                        seen.push_back(Inspect(h));
                        Press(h, answer(seen.back().kind));
                    });
}

TEST(FaultSweep, AboutNeverCrashesLeaksOrChangesTheEngine)
{
    const std::string rules = WriteScratchFile("sweep-about.txt",
                                               "foo,bar\r\nx,xy\r\n" + Sjis(L"表示,ひょうじ")
                                                   + "\r\n,empty source\r\nempty replacement,\r\n");
    ASSERT_TRUE(StartEngineWith(rules));
    const std::vector<std::string> full = AboutLines();
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    int none = 0, memoryBoxes = 0, frameworkBoxes = 0;
    std::vector<SeenWindow> seen;
    DriveResult r;
    const int failures = fault::Sweep(
        nullptr, // nothing to prepare
        [&] {
            r = OpenAbout(host.hwnd, seen,
                          [](Kind kind) { return kind == Kind::kOther ? IDCANCEL : IDOK; });
        },
        [&](int n) {
            EXPECT_FALSE(r.timedOut);
            EXPECT_EQ("bar xy", Convert(kProbe)) << "the About dialog changed the rules";
            const std::string kinds = Kinds(seen);
            if (n == 0) {
                ASSERT_EQ("AboutDialog", kinds);
                EXPECT_EQ("Version 1.00", seen[0].label);
                EXPECT_EQ(full, seen[0].lines);
                EXPECT_EQ(host.hwnd, seen[0].owner);
            } else if (kinds == "(none)") {
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
        });
    EXPECT_EQ(1, none) << "failures of the window map's node";
    EXPECT_GT(memoryBoxes, 0);
    EXPECT_GT(frameworkBoxes, 0);
    printf("[ sweep    ] TFEOnAbout: %d allocations failed in turn (%d window map, %d listing, "
           "%d dialog set-up)\n",
           failures, none, memoryBoxes, frameworkBoxes);
    Engine().ExitEngine();
    EXPECT_EQ(rules, StoredPath());
}

// Cancel in the framework's error box asks the host's message loop to
// quit, as the box's choice means: the engine's dialog ends at once, the
// engine is left as it was, and the quit message waits in the host's queue.
TEST(FaultSweep, CancelInTheFrameworkBoxEndsTheDialogAndLeavesAQuitMessage)
{
    const std::string rules = WriteScratchFile("sweep-cancel.txt", kRules);
    ASSERT_TRUE(StartEngineWith(rules));
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    int cancelled = 0;
    std::vector<SeenWindow> seen;
    DriveResult r;
    fault::Sweep(
        nullptr, // nothing to prepare
        [&] {
            r = OpenAbout(host.hwnd, seen,
                          [](Kind kind) { return kind == Kind::kFrameworkBox ? IDCANCEL : IDOK; });
        },
        [&](int) {
            EXPECT_FALSE(r.timedOut);
            MSG quit;
            const bool quitPosted = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
            EXPECT_EQ(kConverted, Convert(kProbe));
            if (seen.empty() || seen[0].kind != Kind::kFrameworkBox) {
                EXPECT_FALSE(quitPosted) << Kinds(seen);
                return;
            }
            ++cancelled;
            EXPECT_TRUE(quitPosted) << "Cancel posted no quit message";
            EXPECT_EQ("FrameworkBox", Kinds(seen)) << "the dialog went on after Cancel";
        });
    EXPECT_GT(cancelled, 0) << "no failure reached the framework's error box";
    Engine().ExitEngine();
    EXPECT_EQ(rules, StoredPath());
}

// A rule file whose path is longer for every n, so that each run of the
// sweep has to grow the strings that will hold it.
std::string GrowingPathFile(int n)
{
    return WriteScratchFile(std::string(90 + n, 's') + ".txt", kRules);
}

TEST(FaultSweep, SettingsNeverLosesThePathOrKeepsHalfATable)
{
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    int none = 0, memoryBoxes = 0, loadBoxes = 0, frameworkBoxes = 0;
    std::string newPath;
    std::vector<SeenWindow> seen;
    DriveResult r;
    Engine().ExitEngine();
    const int failures = fault::Sweep(
        [&](int n) {
            newPath = GrowingPathFile(n);
            ASSERT_LT(newPath.size(), static_cast<size_t>(MAX_PATH));
            StorePath(PriorFile());
            ASSERT_TRUE(Engine().InitEngine());
            ASSERT_EQ(kPriorConverted, Convert(kProbe));
            seen.clear();
        },
        [&] {
            HWND settings = nullptr;
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
        },
        [&](int n) {
            EXPECT_FALSE(r.timedOut);
            const std::string converted = Convert(kProbe);
            Engine().ExitEngine();
            const std::string path = StoredPath();
            const bool oldState = path == PriorFile() && converted == kPriorConverted;
            const bool newState = path == newPath && converted == kConverted;
            const bool newPathNoRules = path == newPath && converted == kUnchanged;
            const std::string kinds = Kinds(seen);
            const std::string state = "path " + path + ", probe gives " + converted;
            if (!seen.empty() && seen[0].kind == Kind::kSettingDialog) {
                EXPECT_EQ(PriorFile(), seen[0].edit);
            }
            if (n == 0) {
                EXPECT_EQ("SettingDialog", kinds);
                EXPECT_TRUE(newState) << state;
            } else if (kinds == "(none)") {
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
        });
    EXPECT_EQ(1, none) << "failures of the window map's node";
    EXPECT_GT(memoryBoxes, 0);
    EXPECT_GT(loadBoxes, 0);
    EXPECT_GT(frameworkBoxes, 0);
    printf("[ sweep    ] TFEOnSetting: %d allocations failed in turn (%d window map, %d memory "
           "box, %d load failure, %d in the dialog)\n",
           failures, none, memoryBoxes, loadBoxes, frameworkBoxes);
}

} // namespace
