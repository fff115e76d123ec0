// ResourceTests.cpp - the resources of the built Vario.tfe, read from the
// module as the platform reads them: strings, dialog templates, version.
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT); // 0x0411

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
    HMODULE file = LoadLibraryExA("Vario.tfe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, file) << "error " << GetLastError();
    Inventory inv;
    EXPECT_TRUE(EnumResourceTypesA(file, AddType, reinterpret_cast<LONG_PTR>(&inv)));
    FreeLibrary(file);
    // RT_DIALOG 5, RT_STRING 6 (blocks 1 and 7), RT_VERSION 16.
    const std::set<std::string> expected = {
        "#5/#101/0411", "#5/#102/0411", "#6/#1/0411", "#6/#7/0411", "#16/#1/0411",
    };
    std::string seen;
    for (const auto& r : inv.found)
        seen += r + " ";
    EXPECT_EQ(expected, inv.found) << "found: " << seen;
}

// A classic dialog template, read field by field.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : base(start), p(start) {}
    WORD Word()
    {
        WORD w;
        memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD d;
        memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    short Short() { return static_cast<short>(Word()); }
    std::wstring Text()
    {
        std::wstring s;
        for (WORD c = Word(); c != 0; c = Word())
            s += static_cast<wchar_t>(c);
        return s;
    }
    // A name or an ordinal: 0 for none, 0xFFFF followed by the ordinal, or a
    // string. Ordinals come back as "#n".
    std::wstring NameOrOrdinal()
    {
        WORD first;
        memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            p += 2;
            return L"#" + std::to_wstring(Word());
        }
        return Text();
    }
    void AlignDword() { p = base + ((p - base + 3) & ~3); }
    size_t Offset() const { return p - base; }

private:
    const BYTE* base;
    const BYTE* p;
};

struct ExpectedControl {
    WORD id;
    const wchar_t* atom; // the class as an ordinal
    const wchar_t* name; // or by name
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
};

struct ExpectedDialog {
    int id;
    short cx, cy;
    const wchar_t* caption;
    std::vector<ExpectedControl> controls;
};

std::string Narrow(const std::wstring& text)
{
    return Escaped(Sjis(text));
}

void CheckDialog(const ExpectedDialog& dialog)
{
    HMODULE module = EngineModule();
    HRSRC found = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(dialog.id), kJapanese);
    ASSERT_NE(nullptr, found) << "dialog " << dialog.id << " in language 0x0411";
    const DWORD size = SizeofResource(module, found);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(nullptr, data);
    TemplateReader r(data);
    SCOPED_TRACE("dialog " + std::to_string(dialog.id));
    const DWORD style = r.Dword();
    EXPECT_EQ(0x80C800C0u, style) << "style 0x" << std::hex << style;
    EXPECT_EQ(0u, r.Dword()) << "extended style";
    const WORD count = r.Word();
    ASSERT_EQ(dialog.controls.size(), count) << "control count";
    EXPECT_EQ(0, r.Short()) << "x";
    EXPECT_EQ(0, r.Short()) << "y";
    EXPECT_EQ(dialog.cx, r.Short()) << "width";
    EXPECT_EQ(dialog.cy, r.Short()) << "height";
    EXPECT_EQ(L"", r.NameOrOrdinal()) << "menu";
    EXPECT_EQ(L"", r.NameOrOrdinal()) << "window class";
    const std::wstring caption = r.Text();
    EXPECT_EQ(std::wstring(dialog.caption), caption) << Narrow(caption);
    EXPECT_EQ(9, r.Word()) << "font size";
    const std::wstring font = r.Text();
    EXPECT_EQ(L"ＭＳ Ｐゴシック", font) << Narrow(font);
    for (size_t i = 0; i < count; ++i) {
        const ExpectedControl& c = dialog.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(c.id));
        r.AlignDword();
        ASSERT_LT(r.Offset() + 18, size) << "the template ends early";
        const DWORD style = r.Dword();
        EXPECT_EQ(c.style, style) << "style 0x" << std::hex << style;
        EXPECT_EQ(0u, r.Dword()) << "extended style";
        EXPECT_EQ(c.x, r.Short()) << "x";
        EXPECT_EQ(c.y, r.Short()) << "y";
        EXPECT_EQ(c.cx, r.Short()) << "width";
        EXPECT_EQ(c.cy, r.Short()) << "height";
        EXPECT_EQ(c.id, r.Word()) << "id";
        const std::wstring cls = r.NameOrOrdinal();
        EXPECT_TRUE(cls == c.atom || lstrcmpiW(cls.c_str(), c.name) == 0)
            << "class " << Narrow(cls) << ", expected " << Narrow(c.name);
        const std::wstring text = r.NameOrOrdinal();
        EXPECT_EQ(std::wstring(c.text), text) << Narrow(text);
        EXPECT_EQ(0, r.Word()) << "creation data";
    }
    EXPECT_LE(r.Offset(), size);
}

TEST(Resources, DialogTemplates)
{
    const ExpectedDialog dialogs[] = {
        {101,
         227,
         179,
         L"VarioEngineのバージョン情報",
         {
             {0xFFFF, L"#130", L"Static", L"VarioEngine for TitleForge", 15, 21, 99, 8, 0x50020000},
             {1002, L"#130", L"Static", L"Version 0.00", 143, 21, 50, 8, 0x50020000},
             {0xFFFF, L"#130", L"Static", L"(C) 2026 Vario Project", 15, 34, 90, 8, 0x50020000},
             {0xFFFF, L"#130", L"Static", L"現在の変換設定", 7, 59, 49, 8, 0x50020000},
             {1003, L"#131", L"ListBox", L"", 7, 69, 213, 80, 0x50B10101},
             {IDOK, L"#128", L"Button", L"OK", 170, 158, 50, 14, 0x50010001},
             {0xFFFF, L"#128", L"Button", L"バージョン情報", 7, 7, 213, 42, 0x50000007},
         }},
        {102,
         222,
         65,
         L"VarioEngineの設定",
         {
             {0xFFFF, L"#130", L"Static", L"変換定義ファイル(&F):", 7, 7, 62, 8, 0x50020000},
             {1000, L"#129", L"Edit", L"", 7, 19, 166, 14, 0x50810080},
             {1001, L"#128", L"Button", L"参照(&B)...", 177, 19, 38, 14, 0x50010000},
             {IDOK, L"#128", L"Button", L"OK", 112, 44, 50, 14, 0x50010001},
             {IDCANCEL, L"#128", L"Button", L"ｷｬﾝｾﾙ", 165, 44, 50, 14, 0x50010000},
         }}};
    for (const ExpectedDialog& dialog : dialogs)
        CheckDialog(dialog);
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
