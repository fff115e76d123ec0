// ResourceTests.cpp - the resources of the built Vario.tfe, read from the
// module as the platform reads them: strings, version. The dialogs are
// checked as a user sees them in DialogTests.cpp.
#include "Answering.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace {

// The string's bytes; *count is what LoadStringA returned.
std::string LoadText(UINT id, int* count)
{
    char buffer[512];
    memset(buffer, 0x7F, sizeof buffer);
    *count = LoadStringA(EngineModule(), id, buffer, sizeof buffer);
    return *count > 0 ? std::string(buffer, *count) : std::string();
}

// The table's two blocks hold ids 0-15 and 96-111; only seven are used.
TEST(Resources, StringsAreCodePage932BytesAndNoOthers)
{
    const std::map<UINT, std::string> strings = {
        {1, EngineCaption()},        {2, OpenFileTitle()},
        {3, FileFilter()},           {4, "Version "},
        {5, RuleSeparator()},        {100, LoadFailedMessage()},
        {101, FileMissingMessage()},
    };
    for (UINT id = 0; id < 128; ++id) {
        const auto found = strings.find(id);
        const std::string expected = found == strings.end() ? "" : found->second;
        int count = -1;
        const std::string text = LoadText(id, &count);
        EXPECT_EQ(expected, text) << "string " << id << ": got " << Escaped(text);
        EXPECT_EQ(static_cast<int>(expected.size()), count) << "string " << id;
    }
}

// A resource type or name, as the enumeration hands it over.
std::string ResourceName(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                : std::string(name);
}

struct Inventory {
    std::set<std::string> found; // "type/name/language"
    std::string type, name;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    Inventory* inv = reinterpret_cast<Inventory*>(param);
    char lang[8];
    snprintf(lang, sizeof lang, "%04X", language);
    inv->found.insert(inv->type + "/" + inv->name + "/" + lang);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param)
{
    Inventory* inv = reinterpret_cast<Inventory*>(param);
    inv->name = ResourceName(name);
    EnumResourceLanguagesA(module, type, name, AddLanguage, param);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR param)
{
    Inventory* inv = reinterpret_cast<Inventory*>(param);
    inv->type = ResourceName(type);
    EnumResourceNamesA(module, type, AddName, param);
    return TRUE;
}

TEST(Resources, ExactlyTheEngineResourcesInJapanese)
{
    const CQorOwnedModule file(LoadLibraryExA("Vario.tfe", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(file.valid()) << "error " << GetLastError();
    Inventory inv;
    EXPECT_TRUE(EnumResourceTypesA(file.get(), AddType, reinterpret_cast<LONG_PTR>(&inv)));
    // RT_DIALOG 5, RT_STRING 6 (blocks 1 and 7), RT_VERSION 16.
    const std::set<std::string> expected = {
        "#5/#101/0411", "#5/#102/0411", "#6/#1/0411", "#6/#7/0411", "#16/#1/0411",
    };
    std::string seen;
    for (const auto& r : inv.found)
        seen += r + " ";
    EXPECT_EQ(expected, inv.found) << "found: " << seen;
}

// The version record as a shell's property page reads it.
TEST(Resources, VersionRecord)
{
    char path[MAX_PATH];
    GetModuleFileNameA(EngineModule(), path, sizeof path);
    DWORD ignored = 0;
    std::vector<BYTE> record(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_TRUE(!record.empty() && GetFileVersionInfoA(path, 0, record.size(), record.data()))
        << "error " << GetLastError();
    // The value at the path, or null when it is missing.
    auto query = [&](const std::string& at, UINT* size) {
        void* value = nullptr;
        return VerQueryValueA(record.data(), at.c_str(), &value, size) ? value : nullptr;
    };
    UINT size = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\", &size));
    ASSERT_NE(nullptr, fixed);
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), size);
    char numbers[128];
    snprintf(numbers, sizeof numbers,
             "%08lX, file %lX.%lX, product %lX.%lX, flags %lX of %lX, OS %lX, type %lu.%lu",
             fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS,
             fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileFlags,
             fixed->dwFileFlagsMask, fixed->dwFileOS, fixed->dwFileType, fixed->dwFileSubtype);
    EXPECT_STREQ("FEEF04BD, file 10000.1, product 10000.1, flags 0 of 3F, OS 40004, type 2.0",
                 numbers)
        << "type 2: a DLL";

    const struct {
        const char* name;
        const char* text;
    } entries[] = {
        {"Comments", ""},
        {"CompanyName", "Vario Project"},
        {"FileDescription", "VarioConvert Engine for TitleForge"},
        {"FileVersion", "1.00"},
        {"InternalName", "Vario"},
        {"LegalCopyright", "(C) 2026 Vario Project"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Vario.tfe"},
        {"PrivateBuild", ""},
        {"ProductName", "Vario"},
        {"ProductVersion", "1.00"},
        {"SpecialBuild", ""},
    };
    for (const auto& e : entries) {
        const char* value = static_cast<const char*>(
            query(std::string("\\StringFileInfo\\041104b0\\") + e.name, &size));
        EXPECT_NE(nullptr, value) << e.name << " is missing";
        const std::string text = value && size ? value : ""; // an empty entry may have no text
        EXPECT_EQ(e.text, text) << e.name << ": " << Escaped(text);
    }
    const auto* translation = static_cast<const WORD*>(query("\\VarFileInfo\\Translation", &size));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);
}

} // namespace
