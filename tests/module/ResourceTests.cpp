// ResourceTests.cpp - the resources of the built Vario.tfe, read from the
// module as the platform reads them: strings, version. The dialogs are
// checked as a user sees them in DialogTests.cpp.
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
        {1, Sjis(L"Varioエンジン")},
        {2, Sjis(L"変換定義ファイルを選択")},
        {3, "\x82\xB7\x82\xD7\x82\xC4\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B(*.*)|*.*|"},
        {4, "Version "},
        {5, "\x20\x81\xA8\x20"},
        {100, Sjis(L"変換定義ファイルの読み込みに失敗しました。")},
        {101, Sjis(L"指定されたファイルは存在しません。")},
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
class VersionRecord {
public:
    VersionRecord()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(EngineModule(), path, sizeof path);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        if (size == 0)
            return;
        block.resize(size);
        if (!GetFileVersionInfoA(path, 0, size, block.data()))
            block.clear();
    }
    bool Loaded() const { return !block.empty(); }
    // The value at the path, or null when it is missing.
    const void* Query(const char* path, UINT* size)
    {
        void* value = nullptr;
        return VerQueryValueA(block.data(), path, &value, size) ? value : nullptr;
    }
    // The keys of the children of the node reached through the given keys,
    // in stored order, read from the record's own tree (UTF-16 nodes).
    std::vector<std::wstring> ChildKeys(const std::vector<std::wstring>& path) const
    {
        std::vector<std::wstring> keys;
        const BYTE* node = block.data();
        for (const std::wstring& key : path) {
            const BYTE* next = nullptr;
            ForChildren(node, [&](const BYTE* child) {
                if (!next && Key(child) == key)
                    next = child;
            });
            if (!next)
                return keys;
            node = next;
        }
        ForChildren(node, [&](const BYTE* child) { keys.push_back(Key(child)); });
        return keys;
    }

private:
    static WORD At(const BYTE* node, int offset)
    {
        WORD w;
        memcpy(&w, node + offset, 2);
        return w;
    }
    static std::wstring Key(const BYTE* node) { return reinterpret_cast<const wchar_t*>(node + 6); }
    static size_t Align(size_t n) { return (n + 3) & ~size_t(3); }
    // Node: length, value length, type, key, padding, value, padding, children.
    template <typename F>
    static void ForChildren(const BYTE* node, F f)
    {
        const size_t length = At(node, 0);
        const size_t valueBytes = At(node, 2) * (At(node, 4) == 1 ? 2 : 1);
        size_t offset = Align(6 + (Key(node).size() + 1) * 2);
        offset = Align(offset + valueBytes);
        while (offset + 6 < length) {
            const BYTE* child = node + offset;
            const size_t childLength = At(child, 0);
            if (childLength == 0)
                break;
            f(child);
            offset = Align(offset + childLength);
        }
    }

    std::vector<BYTE> block;
};

TEST(Resources, VersionRecordFixedPart)
{
    VersionRecord record;
    ASSERT_TRUE(record.Loaded()) << "error " << GetLastError();
    UINT size = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(record.Query("\\", &size));
    ASSERT_NE(nullptr, fixed);
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), size);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(0x40004u, fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
}

TEST(Resources, VersionRecordStringsAndTranslation)
{
    VersionRecord record;
    ASSERT_TRUE(record.Loaded()) << "error " << GetLastError();
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
    std::set<std::wstring> expectedNames;
    for (const auto& e : entries) {
        const std::string path = std::string("\\StringFileInfo\\041104b0\\") + e.name;
        UINT size = 0;
        const char* value = static_cast<const char*>(record.Query(path.c_str(), &size));
        EXPECT_NE(nullptr, value) << e.name << " is missing";
        const std::string text = value && size ? value : ""; // an empty entry may have no text
        EXPECT_EQ(e.text, text) << e.name << ": " << Escaped(text);
        expectedNames.insert(std::wstring(e.name, e.name + strlen(e.name)));
    }
    using Keys = std::vector<std::wstring>;
    EXPECT_EQ((Keys{L"StringFileInfo", L"VarFileInfo"}), record.ChildKeys({}));
    EXPECT_EQ(Keys{L"041104b0"}, record.ChildKeys({L"StringFileInfo"}));
    EXPECT_EQ(Keys{L"Translation"}, record.ChildKeys({L"VarFileInfo"}));
    const Keys names = record.ChildKeys({L"StringFileInfo", L"041104b0"});
    EXPECT_EQ(expectedNames, std::set<std::wstring>(names.begin(), names.end()));
    EXPECT_EQ(expectedNames.size(), names.size()) << "an entry is stored twice";

    UINT size = 0;
    const auto* translation = static_cast<const WORD*>(
        record.Query("\\VarFileInfo\\Translation", &size));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);
}

} // namespace
