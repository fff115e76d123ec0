// HostileTests.cpp - odd files, captions, paths, devices and registry
// values, and what the engine makes of each.
#include "Answering.h"
#include "TestSupport.h"
#include "../../res/resource.h"
#include <gtest/gtest.h>
#include <functional>
#include <random>

namespace {

const char kPriorProbe[] = "foo"; // "prior" while the prior file is in force

// Random bytes from a fixed seed, drawn again where keep() is false.
std::string Garbage(unsigned seed, size_t size, const std::function<bool(unsigned char)>& keep)
{
    std::mt19937 random(seed);
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const unsigned char b = static_cast<unsigned char>(random());
        if (keep(b))
            bytes += static_cast<char>(b);
    }
    return bytes;
}

bool NoCapitalNoNul(unsigned char b)
{
    return b != 0 && !(b >= 'A' && b <= 'Z');
}

// Starts the engine on what store() leaves in the registry, with the prior
// file in force before; every window that opens is recorded and answered.
InitRun StartWith(const std::function<void()>& store)
{
    if (!StartEngineWith(PriorFile()) || Convert(kPriorProbe) != "prior") {
        ADD_FAILURE() << "the prior file did not load";
        return InitRun();
    }
    store();
    return InitAnswered();
}

// The start loaded the file, whose PROBE rule gives `converted`, or failed
// with the box and left no rules.
void ExpectStart(const InitRun& s, bool loads, const char* converted)
{
    EXPECT_EQ(loads ? TRUE : FALSE, s.result);
    ExpectLoadFailureBox(s.seen, !loads);
    EXPECT_EQ(loads ? converted : "PROBE", Convert("PROBE"));
}

struct Probe {
    std::string caption;
    std::string converted;
};

struct FileCase {
    const char* what;
    std::string bytes;
    std::vector<Probe> probes;
};

TEST(HostileFiles, LoadAsTheFormatSays)
{
    const std::string lead = "\x82";
    const std::string huge(5 << 20, 'a');
    const FileCase cases[] = {
        {"binary garbage around a rule",
         Garbage(1, 200000, NoCapitalNoNul) + "\nPROBE,CONVERTED\n"
             + Garbage(2, 200000, NoCapitalNoNul),
         {{"PROBE", "CONVERTED"}, {"NO MATCH", "NO MATCH"}}},
        {"the text ends at the first zero byte",
         "A,B\n" + Garbage(3, 100000, NoCapitalNoNul) + std::string(1, '\0') + "\nPROBE,X\n",
         {{"A", "B"}, {"PROBE", "PROBE"}}},
        {"trail-byte-like ASCII in rules",
         "@,at\r\n\\,/\r\n",
         {{"@@@", "atatat"},
          {"\\\\", "//"},
          {Sjis(L"表") + "\\", Sjis(L"表") + "/"},
          {lead + "@", lead + "@"},
          {"@" + lead, "at" + lead}}},
        {"10 MB single line",
         huge + "," + std::string(5 << 20, 'b'),
         {{"a", "a"},
          {huge, std::string(5 << 20, 'b')},
          {huge + "a", std::string(5 << 20, 'b') + "a"}}},
        {"10 MB single line without a comma", std::string(10 << 20, 'c'), {{"c", "c"}}},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteScratchFile("hostile.txt", c.bytes);
        const InitRun s = StartWith([&] { StorePath(path); });
        EXPECT_EQ(TRUE, s.result);
        ExpectLoadFailureBox(s.seen, false);
        for (const Probe& p : c.probes) {
            const int size = static_cast<int>(p.converted.size() + 1);
            const std::string got = Convert(p.caption, size);
            EXPECT_TRUE(p.converted == got)
                << "caption " << Escaped(p.caption.substr(0, 40)) << ": expected "
                << Escaped(p.converted.substr(0, 40)) << " (" << p.converted.size()
                << " bytes), got " << Escaped(got.substr(0, 40)) << " (" << got.size() << " bytes)";
        }
        EXPECT_EQ(path, ExitAndReadPath());
    }
}

TEST(HostileCaptions, ConvertWhateverComes)
{
    const std::string rules = WriteScratchFile(
        "hostile-captions.txt", "a,xyz\r\n@,at\r\n~~,-\r\n" + Sjis(L"表,ひょう") + "\r\n");
    ASSERT_TRUE(StartEngineWith(rules));

    // 1 MB caption: every "a" grows to three bytes.
    std::string caption, expected;
    for (int i = 0; i < (1 << 19); ++i) {
        caption += "ab";
        expected += "xyzb";
    }
    EXPECT_TRUE(expected == Convert(caption, static_cast<int>(expected.size() + 1)))
        << "1 MB caption";
    EXPECT_EQ(expected.substr(0, 999), Convert(caption, 1000)) << "1 MB caption, small buffer";

    // Only bytes that could be trail bytes; "~~" never occurs, as "~" stands between "}" and "@".
    std::string trailCaption, trailExpected;
    for (int i = 0; i < 1000; ++i) {
        for (char ch = 0x40; ch <= 0x7E; ++ch) {
            trailCaption += ch;
            trailExpected += ch == '@' ? "at" : ch == 'a' ? "xyz" : std::string(1, ch);
        }
    }
    EXPECT_EQ(trailExpected, Convert(trailCaption, 1 << 20));

    // Lone lead bytes at the end and at the start of a caption.
    const std::string lead = "\x82";
    EXPECT_EQ("xyz" + lead, Convert("a" + lead));
    EXPECT_EQ(lead + "a", Convert(lead + "a")) << "the a is the second byte of a character";
    EXPECT_EQ(lead, Convert(lead));
    EXPECT_EQ(Sjis(L"ひょう") + lead, Convert(Sjis(L"表") + lead));

    // Garbage captions: each converts, and a smaller buffer gets a prefix.
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        const std::string g = Garbage(100 + i, 1 + random() % 300,
                                      [](unsigned char b) { return b != 0; });
        const std::string full = Convert(g, 4096);
        ASSERT_NE("<0>", full) << "caption " << i << ": " << Escaped(g);
        const int size = 1 + static_cast<int>(random() % (full.size() + 1));
        EXPECT_EQ(full.substr(0, size - 1), Convert(g, size)) << "caption " << i;
    }
    Engine().ExitEngine();
}

// Creates a file at a path that the ANSI file functions may not reach.
bool CreateLongPathFile(const std::string& path, const std::string& bytes)
{
    wchar_t wide[1024] = L"\\\\?\\";
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide + 4, 1020))
        return false;
    const OwnedHandle file(CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.valid()
        && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == bytes.size();
}

// A path of exactly `total` bytes: a directory named with `part` repeated,
// then a file name of 'f's.
std::string PathOfLength(const std::string& part, size_t total)
{
    std::string dir = ScratchDir() + "\\";
    while (dir.size() + part.size() < ScratchDir().size() + 121)
        dir += part;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + std::string(total - dir.size() - 5, 'f') + ".txt";
}

TEST(HostilePaths, LongestPathTheFileFunctionsTake)
{
    // The limit is 259 characters (260 on some platforms), not bytes; a refused
    // path fails to load like any other file and is remembered all the same.
    enum Outcome {
        kLoads,
        kFails,
        kPlatformDecides
    };
    struct Case {
        const char* what;
        std::string part;
        size_t total;
        Outcome outcome;
    };
    const Case cases[] = {
        {"259 bytes", "p", 259, kLoads},
        {"260 bytes", "p", 260, kPlatformDecides},
        {"261 bytes", "p", 261, kFails},
        {"259 bytes, Japanese", Sjis(L"変換"), 259, kLoads},
        {"261 bytes, Japanese", Sjis(L"変換"), 261, kLoads},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = PathOfLength(c.part, c.total);
        ASSERT_EQ(c.total, path.size());
        ASSERT_TRUE(CreateLongPathFile(path, "PROBE,LONG\r\n")) << "cannot create the file";
        const InitRun s = StartWith([&] { StorePath(path); });
        const bool loaded = c.outcome == kPlatformDecides ? s.result == TRUE : c.outcome == kLoads;
        if (c.outcome == kPlatformDecides)
            printf("[ paths    ] a path of %s %s\n", c.what, loaded ? "loads" : "fails to load");
        ExpectStart(s, loaded, "LONG");
        EXPECT_EQ(path, ExitAndReadPath()) << "the path is remembered byte for byte";
    }
}

const char kSilentPipe[] = "\\\\.\\pipe\\vario-silent";

TEST(HostilePaths, DevicesNeverHangTheStart)
{
    // The start returns with an empty table or the failure box; the pipe's writer never writes.
    const OwnedHandle pipe(CreateNamedPipeA(kSilentPipe, PIPE_ACCESS_OUTBOUND,
                                            PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(pipe.valid());
    for (const char* device : {kSilentPipe, "NUL", "CON", "CONIN$", "COM1", "LPT1"}) {
        SCOPED_TRACE(device);
        const InitRun s = StartWith([&] { StorePath(device); });
        printf("[ devices  ] %s: %s\n", device, s.result ? "an empty table" : "fails to load");
        EXPECT_EQ(s.result ? "(none)" : "EngineBox", Kinds(s.seen));
        EXPECT_EQ(kPriorProbe, Convert(kPriorProbe)) << "rules from a device";
        EXPECT_EQ(device, ExitAndReadPath());
    }
}

TEST(HostilePaths, DirectoriesAndFilesInUse)
{
    const std::string file = WriteScratchFile("in-use.txt", "PROBE,READ\r\n");
    struct Case {
        const char* what;
        std::string path;
        DWORD access, share; // how another program holds the file
        bool lockAll;        // and whether it locks every byte
        bool loads;
    };
    const Case cases[] = {
        {"a directory", ScratchDir(), 0, 0, false, false},
        {"open for reading elsewhere", file, GENERIC_READ, FILE_SHARE_READ, false, true},
        {"open for writing elsewhere, reading shared", file, GENERIC_WRITE, FILE_SHARE_READ, false,
         false},
        {"open elsewhere, nothing shared", file, GENERIC_READ, 0, false, false},
        {"every byte locked", file, GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OwnedHandle held(
            CreateFileA(c.path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(c.access == 0 || held.valid());
        ASSERT_TRUE(!c.lockAll || LockFile(held.get(), 0, 0, 0x1000, 0));
        const InitRun s = StartWith([&] { StorePath(c.path); });
        ExpectStart(s, c.loads, "READ");
        EXPECT_EQ(c.path, ExitAndReadPath());
    }
}

TEST(HostileRegistry, ValuesOfEveryTypeAndSize)
{
    const std::string rules = WriteScratchFile("hostile-registry.txt", "PROBE,REGISTRY\r\n");
    const std::string noFile = "C:\\" + std::string(65530, 'a');
    struct Case {
        std::string what;
        DWORD type;
        std::string bytes;
        BOOL result;
        bool box;
        std::string converted; // PROBE after the start
        std::string written;   // the path written back; empty with kept
        bool kept;             // the value stays exactly as stored
    };
    std::vector<Case> cases = {
        {"REG_SZ", REG_SZ, rules + '\0', TRUE, false, "REGISTRY", rules, false},
        {"REG_SZ without terminator", REG_SZ, rules, TRUE, false, "REGISTRY", rules, false},
        {"REG_SZ empty", REG_SZ, "", TRUE, false, "PROBE", "", false},
        {"REG_SZ of one zero byte", REG_SZ, std::string(1, '\0'), TRUE, false, "PROBE", "", false},
        {"REG_SZ with bytes after its terminator", REG_SZ, rules + '\0' + "junk", TRUE, false,
         "REGISTRY", rules, false},
        {"REG_SZ of 64 KB", REG_SZ, noFile + '\0', FALSE, true, "PROBE", noFile, false},
        {"REG_SZ of 64 KB without terminator", REG_SZ, noFile + "bcdef", FALSE, true, "PROBE",
         noFile + "bcdef", false},
    };
    const struct {
        const char* name;
        DWORD type;
    } others[] = {
        {"REG_NONE", REG_NONE},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ},
        {"REG_BINARY", REG_BINARY},
        {"REG_DWORD", REG_DWORD},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
        {"REG_LINK", REG_LINK},
        {"REG_MULTI_SZ", REG_MULTI_SZ},
        {"REG_RESOURCE_LIST", REG_RESOURCE_LIST},
        {"REG_FULL_RESOURCE_DESCRIPTOR", REG_FULL_RESOURCE_DESCRIPTOR},
        {"REG_RESOURCE_REQUIREMENTS_LIST", REG_RESOURCE_REQUIREMENTS_LIST},
        {"REG_QWORD", REG_QWORD},
        {"type 0x12345", 0x12345},
    };
    // Any other type is no path at all, and not the engine's to overwrite:
    // nothing is loaded, and the value outlives the engine's exit.
    for (const auto& o : others) {
        const std::string name = o.name;
        cases.push_back({name, o.type, rules + '\0', TRUE, false, "PROBE", "", true});
        cases.push_back({name + " empty", o.type, "", TRUE, false, "PROBE", "", true});
        cases.push_back(
            {name + " of 64 KB", o.type, noFile + '\0', TRUE, false, "PROBE", "", true});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const InitRun s = StartWith([&] { StoreSetting(c.type, c.bytes); });
        EXPECT_EQ(c.result, s.result);
        ExpectLoadFailureBox(s.seen, c.box);
        EXPECT_EQ(c.converted, Convert("PROBE"));
        EXPECT_EQ(kPriorProbe, Convert(kPriorProbe)) << "the prior rules outlived the start";
        if (c.kept) {
            Engine().ExitEngine();
            DWORD type = 0;
            std::string bytes;
            ASSERT_TRUE(ReadSetting(&type, &bytes)) << "the value went";
            EXPECT_EQ(c.type, type) << "the value was overwritten";
            EXPECT_TRUE(c.bytes == bytes)
                << "the value was overwritten: " << Escaped(bytes.substr(0, 60));
            continue;
        }
        const std::string written = ExitAndReadPath();
        EXPECT_TRUE(c.written == written)
            << "expected " << Escaped(c.written.substr(0, 60)) << " (" << c.written.size()
            << " bytes), got " << Escaped(written.substr(0, 60)) << " (" << written.size()
            << " bytes)";
    }
}

TEST(HostileRegistry, FileChosenInSettingsReplacesAValueOfAnotherType)
{
    const std::string rules = WriteScratchFile("hostile-chosen.txt", "PROBE,CHOSEN\r\n");
    const InitRun s = StartWith([] { StoreSetting(REG_EXPAND_SZ, "%TEMP%\\rules.txt"); });
    EXPECT_EQ(TRUE, s.result);
    HostWindow host;
    EXPECT_EQ("SettingDialog", Kinds(SettingsOk(host.hwnd, rules.c_str())));
    EXPECT_EQ("CHOSEN", Convert("PROBE"));
    EXPECT_EQ(rules, ExitAndReadPath());
}

// Big files: run once, without the heap checks, which would take too long.
TEST(BigFiles, MillionRulesInFiftyMegabytes)
{
    const int kRules = 1000000;
    std::string bytes;
    bytes.reserve(50u * kRules);
    char line[64];
    for (int i = 0; i < kRules; ++i) {
        snprintf(line, sizeof line, "k%07d,v%07d...............................\r\n", i, i);
        bytes += line;
    }
    ASSERT_EQ(50u * kRules, bytes.size());
    const std::string path = WriteScratchFile("million.txt", bytes);
    bytes.clear();
    bytes.shrink_to_fit();

    const DWORD start = GetTickCount();
    const InitRun s = StartWith([&] { StorePath(path); });
    const DWORD loaded = GetTickCount();
    EXPECT_EQ(TRUE, s.result);
    EXPECT_EQ("(none)", Kinds(s.seen));
    const std::string dots(31, '.');
    EXPECT_EQ("v0000000" + dots + " v0500000" + dots + " v0999999" + dots,
              Convert("k0000000 k0500000 k0999999"));
    EXPECT_EQ("k1000000", Convert("k1000000"));
    const DWORD converted = GetTickCount();

    // The About dialog lists every rule, and opens while the user waits.
    LRESULT lines = 0;
    std::string first, last;
    DWORD shown = 0;
    const DriveResult r = DriveAll([&] { Engine().OnAbout(nullptr); },
                                   [&](HWND h) {
                                       shown = GetTickCount();
                                       HWND list = GetDlgItem(h, IDC_RULES);
                                       lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
                                       first = ListBoxLine(list, 0);
                                       last = ListBoxLine(list, static_cast<int>(lines - 1));
                                       Press(h, IDOK);
                                   },
                                   120000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(kRules, lines);
    EXPECT_EQ(AboutLine("k0000000", "v0000000" + dots), first);
    EXPECT_EQ(AboutLine("k0999999", "v0999999" + dots), last);
    EXPECT_LT(shown - converted, 30000u) << "the About dialog took too long to open";
    const DWORD about = GetTickCount();
    EXPECT_EQ(path, ExitAndReadPath());
    printf("[ big      ] 1,000,000 rules: loaded in %lu ms, two conversions in %lu ms, About "
           "shown in %lu ms, released in %lu ms\n",
           loaded - start, converted - loaded, shown - converted, GetTickCount() - about);
    DeleteFileA(path.c_str());
}

} // namespace
