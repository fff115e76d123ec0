// VarioBench.cpp - how fast Vario.tfe converts and loads, beside a plain
// std::string reference on the same inputs.
//
// Drives the real exports of the built module, as a host does. Every
// figure is the median of several timed runs; "ratio" is engine/reference.
#include "EngineModule.h"
#include "../res/Settings.h"
#include <windows.h>
#include <algorithm>
#include <fstream>
#include <stdio.h>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kSettingsKey[] = VARIO_SETTINGS_KEY;
const int kRuns = 5;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median over kRuns of the seconds one call of work() takes, each run
// repeating it often enough to last about 20 ms.
template <typename Work>
double Median(Work work)
{
    int repeat = 1;
    for (;;) {
        const double start = Now();
        for (int i = 0; i < repeat; ++i)
            work();
        if (Now() - start > 0.02 || repeat >= (1 << 20))
            break;
        repeat *= 2;
    }
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        const double start = Now();
        for (int i = 0; i < repeat; ++i)
            work();
        runs.push_back((Now() - start) / repeat);
    }
    std::sort(runs.begin(), runs.end());
    return runs[kRuns / 2];
}

using Rules = std::vector<std::pair<std::string, std::string>>;

// A caption of the given length: words of ASCII, or ASCII mixed with
// Shift-JIS kanji and kana; "ab" or "表" (kind hit) recurs every 16 bytes.
std::string MakeCaption(size_t length, bool mixed)
{
    const char* piece = mixed ? "\x95\x5C"
                                "file \x83\x5C\x83\x74\x83\x67 - t" // 表...ソフト
                              : "ab"
                                "file_note - ted";
    std::string caption;
    while (caption.size() < length)
        caption += piece;
    caption.resize(length);
    if (mixed && length > 0 && IsDBCSLeadByteEx(932, static_cast<BYTE>(caption.back())))
        caption.back() = 'x';
    return caption;
}

// Rules that all hit, in pairs that undo each other so the caption keeps
// its form: in Shift-JIS a kanji for another of the same length, in ASCII
// a text for a longer one and back; or rules that all miss though their
// first byte is common.
Rules MakeRules(int count, bool hit, bool mixed)
{
    Rules rules;
    for (int i = 0; i < count; ++i) {
        if (hit && mixed)
            rules.push_back(i % 2 ? std::make_pair("\x95\x55", "\x95\x5C")   // 俵 -> 表
                                  : std::make_pair("\x95\x5C", "\x95\x55")); // 表 -> 俵
        else if (hit)
            rules.push_back(i % 2 ? std::make_pair("xyz", "ab") : std::make_pair("ab", "xyz"));
        else
            rules.push_back({"t~" + std::to_string(i), "T" + std::to_string(i)});
    }
    return rules;
}

std::string WriteDefinitionFile(const std::string& name, const Rules& rules)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + name;
    std::string text;
    for (const auto& r : rules)
        text += r.first + "," + r.second + "\r\n";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void StorePath(const std::string& path)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, VARIO_DEFFILE_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}

// The reference conversion: per rule a find / replace loop on std::string.
void ReferenceConvert(const std::string& caption, const Rules& rules, char* out, int size)
{
    std::string text = caption;
    for (const auto& r : rules) {
        for (size_t p = text.find(r.first); p != std::string::npos;
             p = text.find(r.first, p + r.second.size()))
            text.replace(p, r.first.size(), r.second);
    }
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    memcpy(out, text.data(), n);
    out[n] = '\0';
}

// The reference load: getline and a split at the first comma.
Rules ReferenceLoad(const std::string& path)
{
    Rules rules;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t comma = line.find(',');
        if (comma != std::string::npos)
            rules.emplace_back(line.substr(0, comma), line.substr(comma + 1));
    }
    return rules;
}

// One row: the engine's and the reference's median times, their ratio, and
// how the time grew from the row above per unit of the input's growth
// (1.0: linear). growth 0 means there is no row above.
void Row(const char* what, double engine, double reference, double growth)
{
    printf("%-34s %11.2f %11.2f %7.2f", what, engine * 1e6, reference * 1e6, engine / reference);
    if (growth > 0)
        printf(" %7.2f", growth);
    printf("\n");
}

char g_out[8192];

// Times the caption through the rules and prints the row; returns the
// engine's time, or a negative value when the rules did not load.
double MeasureRow(const CEngineModule& e, const std::string& caption, const Rules& rules,
                  const char* what, double previous, double factor)
{
    StorePath(WriteDefinitionFile("vario-bench.txt", rules));
    if (!e.InitEngine()) {
        fprintf(stderr, "the benchmark's definition file did not load\n");
        return -1;
    }
    const double engine = Median(
        [&] { e.ConvertCaptionString(0, caption.c_str(), g_out, sizeof g_out); });
    const double reference = Median([&] { ReferenceConvert(caption, rules, g_out, sizeof g_out); });
    e.ExitEngine();
    Row(what, engine, reference, previous > 0 ? engine / previous / factor : 0);
    return engine;
}

// Times one caption through count rules; returns the engine's time, or a
// negative value when the rules did not load.
double ConversionRow(const CEngineModule& e, size_t length, int count, bool hit, bool mixed,
                     double previous, double factor)
{
    char what[64];
    snprintf(what, sizeof what, "%5u %4d %s %s", static_cast<unsigned>(length), count,
             mixed ? "sjis " : "ascii",
             !hit        ? "miss"
                 : mixed ? "hit="
                         : "hit+");
    return MeasureRow(e, MakeCaption(length, mixed), MakeRules(count, hit, mixed), what, previous,
                      factor);
}

// The table users write: 1,000 words, each to a text of its own, on a
// caption of 64 bytes in which three of them occur among other words.
double WordRow(const CEngineModule& e)
{
    const char* const syllables[] = {"ka", "to", "ri", "ne", "mo", "su", "la", "pe"};
    Rules rules;
    for (int i = 0; i < 1000; ++i) {
        std::string word(1, static_cast<char>('A' + i % 26));
        word += "aeiou"[i / 26 % 5];
        word += syllables[i / 130];
        rules.push_back({word, "[" + word + "]"});
    }
    std::string caption = rules[12].first + " Report - " + rules[500].first + " notes (draft "
        + rules[987].first + ") - Viewer and more";
    caption.resize(64, '.');
    return MeasureRow(e, caption, rules, "   64 1000 ascii words, 3 hit", 0, 0);
}

} // namespace

int main()
{
    CEngineModule e;
    std::string error;
    if (!e.Load("Vario.tfe", error)) {
        fprintf(stderr, "Vario.tfe: %s\n", error.c_str());
        return 1;
    }

    const char* header = "%-34s %11s %11s %7s %7s\n";
    printf("Conversion, microseconds per caption; growth per tenfold rules (1.0: linear)\n"
           "hit=: replacements as long as their source; hit+: of other lengths\n");
    printf(header, "caption bytes, rules, kind", "engine", "reference", "ratio", "growth");
    for (bool mixed : {false, true}) {
        for (bool hit : {true, false}) {
            for (size_t length : {16, 64, 256, 4096}) {
                double previous = 0;
                for (int count : {1, 10, 100, 1000}) {
                    previous = ConversionRow(e, length, count, hit, mixed, previous, 10);
                    if (previous < 0)
                        return 1;
                }
            }
        }
    }

    if (WordRow(e) < 0)
        return 1;

    printf("\nDoubling the rules, then the caption; growth per doubling (1.0: linear)\n");
    printf(header, "caption bytes, rules, kind", "engine", "reference", "ratio", "growth");
    double previous = 0;
    for (int count : {125, 250, 500, 1000}) {
        previous = ConversionRow(e, 256, count, true, true, previous, 2);
        if (previous < 0)
            return 1;
    }
    previous = 0;
    for (size_t length : {512, 1024, 2048, 4096}) {
        previous = ConversionRow(e, length, 100, true, true, previous, 2);
        if (previous < 0)
            return 1;
    }

    printf("\nLoading at start-up, microseconds per file; growth per tenfold rules\n");
    printf(header, "rules", "engine", "reference", "ratio", "growth");
    previous = 0;
    for (int count : {1000, 10000, 100000}) {
        Rules rules;
        for (int i = 0; i < count; ++i)
            rules.push_back(
                {"Source text " + std::to_string(i), "Replacement " + std::to_string(i)});
        const std::string path = WriteDefinitionFile("vario-bench-load.txt", rules);
        StorePath(path);
        if (!e.InitEngine()) {
            fprintf(stderr, "a file of %d rules did not load\n", count);
            return 1;
        }
        const double engine = Median([&] { e.InitEngine(); });
        const double reference = Median([&] { ReferenceLoad(path); });
        char what[64];
        snprintf(what, sizeof what, "%6d", count);
        Row(what, engine, reference, previous > 0 ? engine / previous / 10 : 0);
        previous = engine;
    }
    e.ExitEngine();
    return 0;
}
