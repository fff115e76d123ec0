// TestSupport.h - what the tests share: the engine module as a host loads
// it, code page 932 text, scratch files and the engine's registry value.
#pragma once
#include <windows.h>
#include "EngineModule.h"
#include <gtest/gtest.h>
#include <string>

// Vario.tfe beside the test program, loaded once for the whole process as a
// host loads it; its allocator imports are routed through the fault injector
// and its first exception is thrown at once (fault::WarmUpExceptions).
HMODULE EngineModule();
const CEngineModule& Engine();

// A conversion through the export into a host's buffer of the given size,
// which guard bytes follow; every byte is 0x7F beforehand.
struct Converted {
    BOOL result;
    std::string bytes; // the whole buffer, guard included

    // The text up to the first zero byte.
    std::string Text() const { return bytes.c_str(); }
    // Whether every byte from offset on is still 0x7F.
    bool UntouchedFrom(size_t offset) const
    {
        return bytes.find_first_not_of('\x7F', offset) == std::string::npos;
    }
};
Converted ConvertInto(const char* caption, int size);
// The converted text, "<0>" when the export returns 0.
std::string Convert(const std::string& caption, int size = 4096);

// UTF-16 text to code page 932 bytes.
std::string Sjis(const std::wstring& text);

// A whole number above 0 from the environment, or the fallback.
int EnvironmentNumber(const char* name, int fallback);

// Bytes shown as C escapes, for failure messages.
std::string Escaped(const std::string& bytes);

// Copies the bytes to the end of a page that a page which cannot be read
// follows, so that a read past them faults; the copy lasts until the next
// call. At most a page of bytes.
const char* BeforeUnreadablePage(const std::string& bytes);

// A copy of Vario.tfe in the scratch directory under this name: a module
// this process has not loaded, to load and unload apart from Engine().
std::string EngineCopy(const std::string& name);

// A scratch directory of this process, emptied when the process starts.
std::string ScratchDir();
// Writes the bytes to a file in the scratch directory; returns its path.
std::string WriteScratchFile(const std::string& name, const std::string& bytes);
// The file of one rule, "foo,prior", that a case puts in force before it
// starts: "foo" converts to "prior" while it is. Written once a process.
std::string PriorFile();

// Stores raw bytes as a value of a key under HKEY_CURRENT_USER, made when
// missing (terminator included only when the caller includes it); reads
// them back, false when the key or value is missing.
void StoreValue(const char* key, const char* name, DWORD type, const std::string& bytes);
bool ReadValue(const char* key, const char* name, DWORD* type, std::string* bytes);

// Whether the key under HKEY_CURRENT_USER opens with the access asked for.
bool KeyOpens(const char* key, REGSAM access);

// The engine's registry key and value.
extern const char kSettingsKey[];
void DeleteSettingsKey();
// Stores "DefFile" with the given type and raw bytes (terminator included
// only when the caller includes it).
void StoreSetting(DWORD type, const std::string& bytes);
void StorePath(const std::string& path); // REG_SZ with terminator
// Reads "DefFile": false when the key or value is missing.
bool ReadSetting(DWORD* type, std::string* bytes);
// "DefFile" as the engine writes a path: REG_SZ, the path's bytes and one
// terminator. Anything else reads as "<no value>", "<type N>", "<not one
// terminated text: ...>".
std::string StoredPath();
// Ends the engine's run and reads back the path it wrote.
std::string ExitAndReadPath();

// Skips the test unless the ANSI code page is 932, the engine's own (the
// tests run so under Wine with LC_ALL=ja_JP.UTF-8).
#define SKIP_UNLESS_CODE_PAGE_932()                                                                \
    if (GetACP() != 932)                                                                           \
    GTEST_SKIP() << "needs code page 932, have " << GetACP()

// Ends the engine's current run and starts one on the given definition
// file, as a host would after the user chose it in an earlier run.
BOOL StartEngineWith(const std::string& definitionFile);
// The same on a scratch definition file holding these bytes; a message box
// (a failed load) is closed and counted, so that a fault cannot hang the test.
testing::AssertionResult StartEngineOn(const std::string& rules);
