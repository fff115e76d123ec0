// SettingsTests.cpp - the remembered definition file: what TFEInitEngine
// takes from the registry, what it loads and shows, and what TFEExitEngine
// writes back.
#include "TestSupport.h"
#include "Answering.h"
#include "../../res/Settings.h"
#include "Owner.h"
#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace {

// "prior" is in force before each case, "rules" is what the registry names; kProbe tells which.
const char kRules[] = "[section]\r\n//foo,comment\r\nfoo,bar\r\nno comma here\r\nx,xy\r\n";
const char kProbe[] = "foo x";
const char kUnchanged[] = "foo x";
const char kConverted[] = "bar xy"; // "x,xy" once: a table loaded twice gives "bar xyy"
const char kPriorConverted[] = "prior x";

std::string RulesFile()
{
    static const std::string path = WriteScratchFile("rules.txt", kRules);
    return path;
}

// A rule file whose path is well over 128 bytes.
std::string LongPathFile()
{
    static const std::string path = [] {
        const std::string dir = std::string(140, 'd');
        CreateDirectoryA((ScratchDir() + "\\" + dir).c_str(), nullptr);
        return WriteScratchFile(dir + "\\rules.txt", kRules);
    }();
    return path;
}

std::string JapanesePathFile()
{
    static const std::string path = WriteScratchFile(Sjis(L"変換定義ファイル.txt"), kRules);
    return path;
}

// The engine runs with the prior file's rules, and remembers its path.
void StartWithPriorFile()
{
    ASSERT_TRUE(StartEngineWith(PriorFile()));
    ASSERT_EQ(kPriorConverted, Convert(kProbe));
}

void CreateKeyWithoutValue()
{
    DeleteSettingsKey();
    StoreValue(kSettingsKey, "Other", REG_SZ, "");
}

struct SettingsCase {
    const char* what;
    std::function<void()> store; // what the registry holds when the engine starts
    BOOL init;
    bool box;                             // the ownerless load failure box
    const char* converted;                // kProbe converted after TFEInitEngine
    std::function<std::string()> written; // the path TFEExitEngine writes back
};

TEST(Settings, InitTakesTheStoredPathAndExitWritesItBack)
{
    const std::string missing = ScratchDir() + "\\missing.txt";
    const SettingsCase cases[] = {
        // With nothing stored, the path in force stays, and Exit stores it.
        {"no key", DeleteSettingsKey, TRUE, false, kUnchanged, PriorFile},
        {"no value", CreateKeyWithoutValue, TRUE, false, kUnchanged, PriorFile},
        {"missing file", [&] { StorePath(missing); }, FALSE, true, kUnchanged,
         [&] { return missing; }},
        {"file loads", [] { StorePath(RulesFile()); }, TRUE, false, kConverted, RulesFile},
        {"path over 128 bytes", [] { StorePath(LongPathFile()); }, TRUE, false, kConverted,
         LongPathFile},
        {"Japanese path", [] { StorePath(JapanesePathFile()); }, TRUE, false, kConverted,
         JapanesePathFile},
    };
    ASSERT_GT(LongPathFile().size(), 140u);
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartWithPriorFile();
        c.store();
        const InitRun run = InitAnswered();
        EXPECT_EQ(c.init, run.result);
        ExpectLoadFailureBox(run.seen, c.box);
        EXPECT_EQ(c.converted, Convert(kProbe));
        Engine().ExitEngine();
        EXPECT_EQ(c.written(), StoredPath()) << c.what;
        EXPECT_EQ(kUnchanged, Convert(kProbe)) << "the table outlived TFEExitEngine";
    }
}

TEST(Settings, FirstRunStoresTheEmptyPath)
{
    // A path of "" in force, as in a fresh process; then the key goes.
    StorePath("");
    ASSERT_EQ(TRUE, InitAnswered().result);
    DeleteSettingsKey();
    for (const char* which : {"first run", "second run"}) {
        const InitRun run = InitAnswered();
        EXPECT_EQ(TRUE, run.result) << which;
        EXPECT_EQ("(none)", Kinds(run.seen)) << which;
        EXPECT_EQ(kUnchanged, Convert(kProbe)) << which;
        Engine().ExitEngine();
        EXPECT_EQ("", StoredPath()) << which;
    }
}

TEST(Settings, InitAgainReloadsInsteadOfAdding)
{
    StorePath(RulesFile());
    for (int i = 0; i < 3; ++i) {
        const InitRun run = InitAnswered();
        EXPECT_EQ(TRUE, run.result) << "run " << i;
        EXPECT_EQ(kConverted, Convert(kProbe)) << "run " << i;
    }
    Engine().ExitEngine();
    EXPECT_EQ(RulesFile(), StoredPath()) << "after three starts";
}

// The engine's key with a security descriptor that grants nothing, so that
// it can be neither opened nor created; the key is freed again at the end.
class BlockedKey {
public:
    BlockedKey()
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        const OwnedKey owned(key);
        ACL empty;
        InitializeAcl(&empty, sizeof empty, ACL_REVISION);
        blocked = owned.valid() && SetDacl(key, &empty);
    }
    ~BlockedKey()
    {
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, WRITE_DAC, &key);
        const OwnedKey owned(key);
        if (owned.valid())
            SetDacl(key, nullptr);
    }
    BlockedKey(const BlockedKey&) = delete;
    BlockedKey& operator=(const BlockedKey&) = delete;

    bool blocked = false;

private:
    static bool SetDacl(HKEY key, ACL* dacl)
    {
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, dacl, FALSE);
        return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    }
};

TEST(Settings, KeyThatCannotBeOpenedChangesNothing)
{
    ASSERT_TRUE(StartEngineWith(RulesFile()));
    ASSERT_EQ(kConverted, Convert(kProbe));
    StorePath("other.txt"); // what the registry holds from now on
    {
        BlockedKey block;
        ASSERT_TRUE(block.blocked) << "the key's security could not be set";
        ASSERT_FALSE(KeyOpens(kSettingsKey, KEY_READ)) << "the platform ignores the key's security";
        ASSERT_FALSE(KeyOpens(kSettingsKey, KEY_WRITE))
            << "the platform ignores the key's security";

        Engine().ExitEngine();
        EXPECT_EQ(kConverted, Convert(kProbe)) << "TFEExitEngine emptied the table";
        Engine().ExitEngine();
        EXPECT_EQ(kConverted, Convert(kProbe)) << "a second TFEExitEngine";

        const InitRun run = InitAnswered();
        EXPECT_EQ(TRUE, run.result);
        EXPECT_EQ("(none)", Kinds(run.seen));
        EXPECT_EQ(kUnchanged, Convert(kProbe)) << "TFEInitEngine starts with an empty table";
    }
    EXPECT_EQ("other.txt", StoredPath()) << "while the key was blocked";
    Engine().ExitEngine();
    EXPECT_EQ("other.txt", StoredPath()) << "a value stored after the engine read its own";
}

// Stores the path as another process would: reg.exe, run to its end.
void StoreFromAnotherProcess(const std::string& path)
{
    std::string command = "reg.exe add \"HKCU\\" + std::string(kSettingsKey)
        + "\" /v " VARIO_DEFFILE_VALUE " /t REG_SZ /d \"" + path + "\" /f";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process))
        << command;
    const OwnedHandle owned(process.hProcess), thread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    ASSERT_EQ(0u, code) << command;
    ASSERT_EQ(path, StoredPath());
}

// A newer value that another process stores while the engine runs is kept
// at exit, unless the user chose a file in Settings after it; a path the
// user chose survives a start that finds nothing stored.
TEST(Settings, ExitKeepsANewerValueAnotherProcessStored)
{
    HostWindow host;
    const std::string other = WriteScratchFile("other.txt", "foo,other\r\n");
    const auto store = [&] { StoreFromAnotherProcess(other); };
    const auto choose = [&] { SettingsOk(host.hwnd, RulesFile().c_str()); };
    const struct {
        const char* what;
        std::vector<std::function<void()>> steps; // after a start on the prior file
        std::string stored;                       // at exit
    } cases[] = {
        {"stored by another", {store}, other},
        {"stored by another, then chosen here", {store, choose}, RulesFile()},
        {"chosen here, then stored by another", {choose, store}, other},
        {"stored by another, then started again", {store, [] { Engine().InitEngine(); }}, other},
        // A first run: the file chosen before a second start is kept.
        {"no key, chosen here, then started again",
         {DeleteSettingsKey, choose, [] { Engine().InitEngine(); }},
         RulesFile()},
    };
    for (const auto& c : cases) {
        StartWithPriorFile();
        for (const auto& step : c.steps)
            step();
        Engine().ExitEngine();
        EXPECT_EQ(c.stored, StoredPath()) << c.what;
    }
}

} // namespace
