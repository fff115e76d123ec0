// TestSupport.cpp - what the tests share.
#include "TestSupport.h"
#include "../../res/Settings.h"
#include "FaultInjection.h"
#include "Setting.h"
#include "Owner.h"
#include "WindowWatcher.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char kSettingsKey[] = VARIO_SETTINGS_KEY;

const CEngineModule& Engine()
{
    static const CEngineModule& engine = []() -> const CEngineModule& {
        static CEngineModule module;
        CEngineLoadFailure why;
        if (!module.Load("Vario.tfe", why)) {
            fprintf(stderr, "Vario.tfe: %s\n", why.Text().c_str());
            return module;
        }
        fault::Install(module.Handle());
        // VARIO_NO_SSE2=1: the engine runs as on a processor without SSE2.
        if (getenv("VARIO_NO_SSE2") && !fault::DenySse2(module.Handle()))
            fprintf(stderr, "Vario.tfe does not ask the processor for SSE2\n");
        fault::WarmUpExceptions([] {
            char version[8];
            module.GetEngineVersion(version, sizeof version);
        });
        return module;
    }();
    return engine;
}

HMODULE EngineModule()
{
    return Engine().Handle();
}

Converted ConvertInto(const char* caption, int size)
{
    Converted out;
    out.bytes.assign((size > 0 ? size : 0) + 16, '\x7F');
    // The first argument is reserved: whatever the host passes is ignored.
    out.result = Engine().ConvertCaptionString(0x12345678, caption, &out.bytes[0], size);
    return out;
}

std::string Convert(const std::string& caption, int size)
{
    const Converted out = ConvertInto(caption.c_str(), size);
    return out.result ? out.Text() : "<0>";
}

std::string Sjis(const std::wstring& text)
{
    const int n = WideCharToMultiByte(932, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(932, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

int EnvironmentNumber(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value && atoi(value) > 0 ? atoi(value) : fallback;
}

std::string Escaped(const std::string& bytes)
{
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

const char* BeforeUnreadablePage(const std::string& bytes)
{
    static char* const end = [] { // the two pages last as long as the process
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        char* pages = static_cast<char*>(
            VirtualAlloc(nullptr, 2 * info.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        if (!pages
            || !VirtualProtect(pages + info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old))
            abort();
        return pages + info.dwPageSize;
    }();
    char* at = end - bytes.size();
    memcpy(at, bytes.data(), bytes.size());
    return at;
}

std::string ScratchDir()
{
    static std::string dir = [] {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        std::string d = std::string(temp) + "vario-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(d.c_str(), nullptr);
        return d;
    }();
    return dir;
}

std::string EngineCopy(const std::string& name)
{
    char engine[MAX_PATH];
    const std::string copy = ScratchDir() + "\\" + name;
    EXPECT_TRUE(GetModuleFileNameA(EngineModule(), engine, sizeof engine)
                && CopyFileA(engine, copy.c_str(), FALSE))
        << "cannot copy Vario.tfe to " << copy;
    return copy;
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes)
{
    const std::string path = ScratchDir() + "\\" + name;
    const OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file.valid()) << "cannot create " << path;
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    EXPECT_EQ(bytes.size(), written) << path;
    return path;
}

std::string PriorFile()
{
    static const std::string path = WriteScratchFile("prior.txt", "foo,prior\r\n");
    return path;
}

void DeleteSettingsKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

void StoreValue(const char* key, const char* name, DWORD type, const std::string& bytes)
{
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &opened,
                              nullptr));
    const OwnedKey owner(opened);
    // The registry counts a zero byte just past a string's bytes in: follow
    // the bytes with one that is not zero, so that they are stored as given.
    const std::string padded = bytes + 'X';
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(padded.data()),
                             static_cast<DWORD>(bytes.size())));
}

bool ReadValue(const char* key, const char* name, DWORD* type, std::string* bytes)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    const OwnedKey owner(opened);
    DWORD size = 0;
    LONG status = RegQueryValueExA(opened, name, nullptr, type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        bytes->assign(size, '\0');
        status = RegQueryValueExA(opened, name, nullptr, type,
                                  reinterpret_cast<BYTE*>(&(*bytes)[0]), &size);
        bytes->resize(size);
    }
    return status == ERROR_SUCCESS;
}

bool KeyOpens(const char* key, REGSAM access)
{
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, access, &opened);
    const OwnedKey owned(status == ERROR_SUCCESS ? opened : nullptr);
    return owned.valid();
}

void StoreSetting(DWORD type, const std::string& bytes)
{
    StoreValue(kSettingsKey, VARIO_DEFFILE_VALUE, type, bytes);
}

void StorePath(const std::string& path)
{
    EXPECT_TRUE(StoreDefinitionFile(path)) << "storing " << path;
}

bool ReadSetting(DWORD* type, std::string* bytes)
{
    return ReadValue(kSettingsKey, VARIO_DEFFILE_VALUE, type, bytes);
}

std::string StoredPath()
{
    DWORD type = 0;
    std::string stored;
    if (!ReadSetting(&type, &stored))
        return "<no value>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    if (stored.empty() || stored.find('\0') != stored.size() - 1)
        return "<not one terminated text: " + Escaped(stored.substr(0, 60)) + ">";
    stored.pop_back();
    return stored;
}

std::string ExitAndReadPath()
{
    Engine().ExitEngine();
    return StoredPath();
}

BOOL StartEngineWith(const std::string& definitionFile)
{
    Engine().ExitEngine();
    StorePath(definitionFile);
    return Engine().InitEngine();
}

testing::AssertionResult StartEngineOn(const std::string& rules)
{
    const std::string path = WriteScratchFile("started.txt", rules);
    BOOL started = FALSE;
    const DriveResult r = Drive([&] { started = StartEngineWith(path); }, {});
    if (!started || r.unexpected)
        return testing::AssertionFailure()
            << "the engine did not start on " << Escaped(rules.substr(0, 200)) << " (result "
            << started << ", " << r.unexpected << " message boxes)";
    return testing::AssertionSuccess();
}
