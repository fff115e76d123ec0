// ExportTests.cpp - the describing exports, as a host finds and calls them.
#include "FaultInjection.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

const IMAGE_NT_HEADERS* Headers(const BYTE* base)
{
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
}

const char* const kExportNames[] = {
    "TFEGetAPIVersion", "TFEGetEngineDescription", "TFEGetEngineVersion", "TFEInitEngine",
    "TFEExitEngine",    "TFEConvertCaptionString", "TFEOnAbout",          "TFEOnSetting",
};

TEST(Exports, FoundByNameAndOrdinalAtTheSameAddress)
{
    HMODULE module = EngineModule();
    for (int ordinal = 1; ordinal <= 8; ++ordinal) {
        const char* name = kExportNames[ordinal - 1];
        FARPROC byName = GetProcAddress(module, name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        EXPECT_NE(nullptr, byName) << name;
        EXPECT_EQ(byName, byOrdinal) << name << " is not ordinal " << ordinal;
    }
    EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(9)));
    EXPECT_EQ(nullptr, GetProcAddress(module, "TFEGetAPIVersion@0"));
}

TEST(Exports, ExportDirectoryNamesTheModule)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(EngineModule());
    const IMAGE_DATA_DIRECTORY& dir =
        Headers(base)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const IMAGE_EXPORT_DIRECTORY* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + dir.VirtualAddress);
    EXPECT_STREQ("Vario.tfe", reinterpret_cast<const char*>(base + exports->Name));
    EXPECT_EQ(1u, exports->Base);
    EXPECT_EQ(8u, exports->NumberOfFunctions);
    EXPECT_EQ(8u, exports->NumberOfNames);
}

// What the module imports is checked from outside (tests/release/imports.py).
TEST(ModuleImage, RelocatableNonExecutableData)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(EngineModule());
    const IMAGE_NT_HEADERS* nt = Headers(base);
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    const WORD wanted = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT;
    EXPECT_EQ(wanted, nt->OptionalHeader.DllCharacteristics & wanted)
        << "characteristics " << std::hex << nt->OptionalHeader.DllCharacteristics;
}

// Windows runs the fault guard's handler, a registration on the thread's
// stack, only when the image allows handlers of its own: not marked NO_SEH,
// and no SafeSEH table in its load configuration that leaves it out. Wine
// does not check this, so only the headers show a linker that changed it.
TEST(ModuleImage, AllowsTheFaultGuardsHandler)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(EngineModule());
    const IMAGE_OPTIONAL_HEADER& optional = Headers(base)->OptionalHeader;
    EXPECT_EQ(0, optional.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH);
    const IMAGE_DATA_DIRECTORY& dir = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    if (dir.VirtualAddress == 0)
        return; // no load configuration: every handler in the image may run
    const IMAGE_LOAD_CONFIG_DIRECTORY32* config =
        reinterpret_cast<const IMAGE_LOAD_CONFIG_DIRECTORY32*>(base + dir.VirtualAddress);
    EXPECT_EQ(0u, config->SEHandlerCount) << "a SafeSEH table, which does not list the guard's";
}

TEST(Exports, ApiVersionIsConstant)
{
    DeleteSettingsKey(); // nothing to load, so no message box
    EXPECT_EQ(0x00010000u, Engine().GetAPIVersion());
    Engine().InitEngine();
    EXPECT_EQ(0x00010000u, Engine().GetAPIVersion());
    Engine().ExitEngine();
    EXPECT_EQ(0x00010000u, Engine().GetAPIVersion());
}

// The describing texts cut to size - 1 bytes and a zero byte; a size below
// 1 or a null buffer fails and writes nothing.
TEST(Exports, DescriptionAndVersionAreCutToTheBuffer)
{
    const struct {
        BOOL(WINAPI* copy)(LPSTR, int);
        std::string text;
    } exports[] = {{Engine().GetEngineDescription, "VarioEngine"},
                   {Engine().GetEngineVersion, "1.00"}};
    for (const auto& x : exports) {
        const int length = static_cast<int>(x.text.size());
        for (int size : {32, length + 1, length, 3, 1, 0, -1, -100}) {
            std::string buffer(32, 'X'), expected = buffer;
            if (size > 0) {
                const std::string cut = x.text.substr(0, size - 1) + '\0';
                expected.replace(0, cut.size(), cut);
            }
            EXPECT_EQ(size > 0, x.copy(&buffer[0], size)) << x.text << ", size " << size;
            EXPECT_EQ(Escaped(expected), Escaped(buffer)) << x.text << ", size " << size;
        }
        EXPECT_FALSE(x.copy(nullptr, 16)) << x.text << " with a null buffer";
    }
}

TEST(Exports, MemoryFailureInsideAnExportComesBackAsZero)
{
    char buffer[16] = "untouched";
    {
        fault::CFailAt fail(1);
        EXPECT_FALSE(Engine().GetEngineVersion(buffer, sizeof buffer));
        EXPECT_TRUE(fault::Failed()) << "no allocation was attempted";
    }
    EXPECT_STREQ("untouched", buffer);
    EXPECT_TRUE(Engine().GetEngineVersion(buffer, sizeof buffer)) << "the engine did not recover";
    EXPECT_STREQ("1.00", buffer);
}

} // namespace
