// FaultSweepTests.cpp - every allocation of TFEExitEngine, TFEOnAbout, the
// loads of TFEInitEngine and of Settings OK made to fail in turn, the first,
// then the second, and so on until the call completes without meeting a
// failure. Whatever fails, the host survives, sees the failure as the
// engine reports it, keeps a rule table that is whole or empty and a path
// that is the old one or the new one, and no block is leaked.
#include "Answering.h"
#include "FaultInjection.h"
#include "Owner.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <stdio.h>

namespace {

const char kRules[] = "[section]\r\nfoo,bar\r\nx,xy\r\n";
const char kProbe[] = "foo x";
const char kUnchanged[] = "foo x";
const char kConverted[] = "bar xy";
const char kPriorConverted[] = "prior x";

// The table in force as kProbe finds it: "rules", "prior rules" or "no rules".
std::string Table()
{
    const std::string converted = Convert(kProbe);
    return converted == kConverted     ? "rules"
        : converted == kPriorConverted ? "prior rules"
        : converted == kUnchanged      ? "no rules"
                                       : Escaped(converted);
}

// Whether nothing else holds the file open: it can be opened exclusively.
bool NoOneHolds(const std::string& path)
{
    const OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

// The table in force, then, once the engine is ended, the path it stored
// ("new path" for the one given, "prior path") and whether that file is
// still held open.
std::string TableAndPath(const std::string& path)
{
    const std::string table = Table();
    Engine().ExitEngine();
    const std::string stored = StoredPath();
    return table + " / "
        + (stored == path              ? "new path"
               : stored == PriorFile() ? "prior path"
                                       : Escaped(stored))
        + (NoOneHolds(path) ? "" : " / file held open");
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

// The listing of the About dialog for the rules of the About sweep.
std::vector<std::string> AboutLines()
{
    return {AboutLine("foo", "bar"), AboutLine("x", "xy"),
            AboutLine(Sjis(L"表示"), Sjis(L"ひょうじ")), AboutLine("", "empty source"),
            AboutLine("empty replacement", "")};
}

// The windows a call opened, in turn, each as its kind with what it
// showed: a box its message and icon, the Settings dialog its path, the
// About dialog its label and how much of the listing; then its owner.
std::string Shown(const std::vector<SeenWindow>& seen, HWND host)
{
    const std::vector<std::string> full = AboutLines();
    std::string shown;
    for (const SeenWindow& s : seen) {
        std::string what;
        if (s.kind == Kind::kAboutDialog) {
            const bool part = s.lines.size() < full.size()
                && std::equal(s.lines.begin(), s.lines.end(), full.begin());
            what = s.label + ", "
                + (s.lines == full       ? "the listing"
                       : s.lines.empty() ? "no lines"
                       : part            ? "part of the listing"
                                         : "other lines");
        } else if (s.kind == Kind::kSettingDialog) {
            what = s.edit == PriorFile() ? "prior path" : Escaped(s.edit);
        } else {
            what = (s.text == MemoryMessage()           ? "memory"
                        : s.text == LoadFailedMessage() ? "load failed"
                                                        : Escaped(s.text))
                + (s.icon == MB_ICONERROR         ? ", error"
                       : s.icon == MB_ICONWARNING ? ", warning"
                                                  : ", icon " + std::to_string(s.icon));
        }
        shown += (shown.empty() ? "" : " ") + Kinds({s}) + "(" + what + ", "
            + (s.owner == host ? "host"
                   : s.owner   ? "owned"
                               : "ownerless")
            + ")";
    }
    return shown.empty() ? "(none)" : shown;
}

// The About dialog opened on the host, each window answered with OK but
// the framework's error box, answered as each case says. Cancel in that box
// asks the host's message loop to quit, as the box's choice means: the
// dialog ends at once, and the quit message waits in the host's queue.
TEST(FaultSweep, AboutNeverCrashesLeaksOrChangesTheEngine)
{
    const std::string rules = WriteScratchFile("sweep-about.txt",
                                               "foo,bar\r\nx,xy\r\n" + Sjis(L"表示,ひょうじ")
                                                   + "\r\n,empty source\r\nempty replacement,\r\n");
    ASSERT_TRUE(StartEngineWith(rules));
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    const std::string frameworkBox = "FrameworkBox(memory, error, ownerless)";
    const std::string windowMap = "(none) / rules"; // the window map had no room: IDCANCEL at once
    const std::string memoryBox = "MemoryBox(memory, error, host) / rules"; // no listing
    const struct {
        int answer; // to the framework's error box
        std::vector<std::string> failed;
    } cases[] = {
        {IDOK, // the dialog's set-up ran out part way
         {windowMap, memoryBox, frameworkBox + " AboutDialog(Version 0.00, no lines, host) / rules",
          frameworkBox + " AboutDialog(Version 1.00, no lines, host) / rules",
          frameworkBox + " AboutDialog(Version 1.00, part of the listing, host) / rules"}},
        {IDCANCEL, {windowMap, memoryBox, frameworkBox + " / quit / rules"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == IDOK ? "OK" : "Cancel");
        const std::map<std::string, int> counts = fault::ExpectOutcomes(
            nullptr, // nothing to prepare
            [&] {
                std::vector<SeenWindow> seen;
                const DriveResult r = DriveAll([&] { Engine().OnAbout(host.hwnd); },
                                               [&](HWND h) {
                                                   seen.push_back(Inspect(h));
                                                   const Kind kind = seen.back().kind;
                                                   Press(h,
                                                         kind == Kind::kFrameworkBox ? c.answer
                                                             : kind == Kind::kOther  ? IDCANCEL
                                                                                     : IDOK);
                                               });
                return Shown(seen, host.hwnd) + (r.timedOut ? " (timed out)" : "");
            },
            [] {
                MSG quit;
                const bool posted = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
                return (posted ? "quit / " : "") + Table();
            },
            "AboutDialog(Version 1.00, the listing, host) / rules", c.failed);
        EXPECT_EQ(1, counts.count(windowMap) ? counts.at(windowMap) : 0)
            << "failures of the window map's node";
    }
    Engine().ExitEngine();
    EXPECT_EQ(rules, StoredPath());
}

// A rule file whose path is longer for every n, so that each run of the
// sweep has to grow the strings that will hold it.
std::string GrowingPathFile(int n)
{
    return WriteScratchFile(std::string(90 + n, 's') + ".txt", kRules);
}

// Each load that a failed allocation interrupts, from TFEInitEngine and
// from Settings OK: the answer the host sees, the table in force and the
// path stored at exit.
TEST(FaultSweep, LoadsLeaveAWholeOrEmptyTableAndTheirPath)
{
    HostWindow host;
    ASSERT_NE(nullptr, host.hwnd);
    std::string keyed = "[section]\r\n//foo,comment\r\nfoo,bar\r\nno comma here\r\nx,xy\r\n";
    for (int i = 0; i < 20; ++i) // enough rules for the table to be keyed
        keyed += "k" + std::to_string(i) + ",v\r\n";
    const std::string keyedFile = WriteScratchFile("sweep-keyed.txt", keyed);
    const std::string longPath = WriteScratchFile(std::string(140, 'l') + ".txt", kRules);
    std::string path; // what the run loads
    const auto init = [&] {
        const InitRun run = InitAnswered();
        return (run.result ? "TRUE " : "FALSE ") + Shown(run.seen, host.hwnd);
    };
    const std::string newRules = " / rules / new path";
    const std::string noRules = " / no rules / new path";
    const std::string loadBox = "EngineBox(load failed, error, ownerless)";
    const std::string dialog = "SettingDialog(prior path, host)";
    const std::string memoryBox = "MemoryBox(memory, error, host)";
    const struct {
        const char* what;
        std::function<void(int n)> prepare;
        std::function<std::string()> call;
        std::string whole;
        std::vector<std::string> failed;
    } cases[] = {
        {"start from no run on a keyed table",
         [&](int) { StorePath(path = keyedFile); },
         init,
         "TRUE (none)" + newRules,
         {"FALSE (none)" + noRules, "FALSE " + loadBox + noRules}},
        {"start over the prior table on a path over 128 bytes",
         [&](int) {
             ASSERT_TRUE(StartEngineWith(PriorFile()));
             StorePath(path = longPath);
         },
         init,
         "TRUE (none)" + newRules,
         {"FALSE (none)" + noRules, "FALSE " + loadBox + noRules}},
        {"Settings OK on a longer path each time",
         [&](int n) {
             path = GrowingPathFile(n);
             ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
             ASSERT_TRUE(StartEngineWith(PriorFile()));
         },
         [&] { return Shown(SettingsOk(host.hwnd, path.c_str()), host.hwnd); },
         dialog + newRules,
         {"(none) / prior rules / prior path", // the window map had no room
          memoryBox + " / prior rules / prior path",
          dialog + " " + memoryBox + " / prior rules / prior path",
          dialog + " " + memoryBox + noRules,
          dialog + " EngineBox(load failed, warning, host)" + noRules,
          dialog + " FrameworkBox(memory, error, ownerless)" + newRules}},
        // A value of another type is never overwritten but by a choice
        // taken whole: never by the prior path.
        {"Settings OK over a value of another type",
         [&](int n) {
             path = GrowingPathFile(n);
             ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
             ASSERT_TRUE(StartEngineWith(PriorFile()));
             StoreSetting(REG_EXPAND_SZ, PriorFile() + '\0');
             ASSERT_EQ(TRUE, Engine().InitEngine());
         },
         [&] { return Shown(SettingsOk(host.hwnd, path.c_str()), host.hwnd); },
         dialog + newRules,
         {"(none) / no rules / \"<type 2>\"", memoryBox + " / no rules / \"<type 2>\"",
          dialog + " " + memoryBox + " / no rules / \"<type 2>\"",
          dialog + " " + memoryBox + noRules,
          dialog + " EngineBox(load failed, warning, host)" + noRules,
          dialog + " FrameworkBox(memory, error, ownerless)" + newRules}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        printf("[ sweep    ] %s\n", c.what);
        Engine().ExitEngine();
        fault::ExpectOutcomes(
            c.prepare, c.call, [&] { return TableAndPath(path); }, c.whole, c.failed);
    }
}

} // namespace
