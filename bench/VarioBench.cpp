// VarioBench.cpp - how fast Vario.tfe converts and loads, beside a plain
// std::string reference on the same inputs.
//
// Drives the real exports of a built module, as a host does: Vario.tfe, or
// the module named by the first argument. The engine and the reference run
// in turn, round after round, so that both see the same load on the
// machine. Each time is the median of the rounds, "ratio" the median of
// the rounds' own ratios engine/reference, and "spread" how far those lie
// from it (half their interquartile range, in percent of the ratio).
#include "EngineModule.h"
#include "Setting.h"
#include <windows.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

const int kRounds = 31;
const double kBatchSeconds = 0.001;

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

// Seconds per call of work(), over a batch of repeat calls.
template <typename Work>
double Batch(Work& work, int repeat)
{
    const double start = Now();
    for (int i = 0; i < repeat; ++i)
        work();
    return (Now() - start) / repeat;
}

// How many calls of work() make a batch of about kBatchSeconds.
template <typename Work>
int Repeats(Work& work)
{
    int repeat = 1;
    while (repeat < (1 << 20) && Batch(work, repeat) * repeat < kBatchSeconds)
        repeat *= 2;
    return repeat;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double engine; // median seconds per call
    double reference;
    double ratio;  // the median of the rounds' ratios, engine / reference
    double spread; // half the interquartile range of the rounds' ratios, over the ratio
};

// The engine's and the reference's times, measured in turn: each round
// times a batch of each, which of them goes first alternating.
template <typename Engine, typename Reference>
Timing InTurn(Engine engine, Reference reference)
{
    const int engineRepeat = Repeats(engine), referenceRepeat = Repeats(reference);
    std::vector<double> engineTimes, referenceTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double e, r;
        if (round % 2 == 0) {
            e = Batch(engine, engineRepeat);
            r = Batch(reference, referenceRepeat);
        } else {
            r = Batch(reference, referenceRepeat);
            e = Batch(engine, engineRepeat);
        }
        engineTimes.push_back(e);
        referenceTimes.push_back(r);
        ratios.push_back(e / r);
    }
    std::sort(ratios.begin(), ratios.end());
    const double ratio = ratios[kRounds / 2];
    const double spread = (ratios[kRounds * 3 / 4] - ratios[kRounds / 4]) / 2 / ratio;
    return {Median(engineTimes), Median(referenceTimes), ratio, spread};
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

const char kHeader[] = "%-34s %11s %11s %7s %7s %7s\n";

// One row: the medians, their ratio, how the time grew from the row above
// per unit of the input's growth (1.0: linear; 0: no row above), and the
// spread of the rounds.
void Row(const char* what, const Timing& t, double growth)
{
    char grown[16] = "";
    if (growth > 0)
        snprintf(grown, sizeof grown, "%.2f", growth);
    printf("%-34s %11.2f %11.2f %7.3f %7s %6.0f%%\n", what, t.engine * 1e6, t.reference * 1e6,
           t.ratio, grown, t.spread * 100);
    fflush(stdout);
}

char g_out[65536];

// Times the captions through the rules, per caption, and prints the row;
// returns the engine's time, or a negative value when the rules did not
// load.
double MeasureRow(const CEngineModule& e, const std::vector<std::string>& captions,
                  const Rules& rules, const char* what, double previous, double factor)
{
    StoreDefinitionFile(WriteDefinitionFile("vario-bench.txt", rules));
    if (!e.InitEngine()) {
        fprintf(stderr, "the benchmark's definition file did not load\n");
        return -1;
    }
    Timing t = InTurn(
        [&] {
            for (const std::string& caption : captions)
                e.ConvertCaptionString(0, caption.c_str(), g_out, sizeof g_out);
        },
        [&] {
            for (const std::string& caption : captions)
                ReferenceConvert(caption, rules, g_out, sizeof g_out);
        });
    e.ExitEngine();
    t.engine /= static_cast<double>(captions.size());
    t.reference /= static_cast<double>(captions.size());
    Row(what, t, previous > 0 ? t.engine / previous / factor : 0);
    return t.engine;
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
    return MeasureRow(e, {MakeCaption(length, mixed)}, MakeRules(count, hit, mixed), what, previous,
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
    return MeasureRow(e, {caption}, rules, "   64 1000 ascii words, 3 hit", 0, 0);
}

// The length of a text, 16 bytes at a time from the aligned block that
// holds its first byte: the fastest plain strlen, where the runtime's
// counts byte by byte (as Wine's does).
__attribute__((target("sse2"))) size_t FastLength(const char* text)
{
    typedef char Bytes16 __attribute__((vector_size(16)));
    const uintptr_t skipped = reinterpret_cast<uintptr_t>(text) & 15;
    const Bytes16* block = reinterpret_cast<const Bytes16*>(text - skipped);
    unsigned mask = static_cast<unsigned>(__builtin_ia32_pmovmskb128(*block == Bytes16{}))
        >> skipped;
    if (mask != 0)
        return __builtin_ctz(mask);
    while ((mask = static_cast<unsigned>(__builtin_ia32_pmovmskb128(*++block == Bytes16{}))) == 0) {
    }
    return static_cast<size_t>(reinterpret_cast<const char*>(block) - text) + __builtin_ctz(mask);
}

// What a call costs in itself: a caption of 70 bytes through a table of no
// rules, beside the least any conversion does, the caption's length and a
// copy of it.
double EmptyTableRow(const CEngineModule& e)
{
    StoreDefinitionFile(WriteDefinitionFile("vario-bench.txt", {}));
    if (!e.InitEngine()) {
        fprintf(stderr, "the benchmark's empty definition file did not load\n");
        return -1;
    }
    const std::string caption = MakeCaption(70, false);
    Timing t = InTurn([&] { e.ConvertCaptionString(0, caption.c_str(), g_out, sizeof g_out); },
                      [&] {
                          const size_t n = std::min(FastLength(caption.c_str()), sizeof g_out - 1);
                          memcpy(g_out, caption.c_str(), n);
                          g_out[n] = '\0';
                      });
    e.ExitEngine();
    Row("   70    0 ascii, to length+copy", t, 0);
    return t.engine;
}

// ---------------------------------------------------------------------------
// Real text: the English user interface texts of the machine's Japanese
// message catalogues, and their translations.

// The folder of the catalogues, and those of programs with a user interface.
const char kCatalogueFolder[] = "Z:\\usr\\share\\locale\\ja\\LC_MESSAGES\\";
const char* const kCatalogues[] = {"at-spi2-core",
                                   "gdk-pixbuf",
                                   "glib20",
                                   "gsettings-desktop-schemas",
                                   "gst-plugins-base-1.0",
                                   "gstreamer-1.0",
                                   "gtk20",
                                   "gtk20-properties",
                                   "libexif-12",
                                   "PackageKit",
                                   "shared-mime-info",
                                   "software-properties",
                                   "xdg-user-dirs",
                                   "xkeyboard-config"};

// UTF-8 as code page 932; false when some character has no form there.
bool ToCodePage932(const std::string& utf8, std::string* out)
{
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0)
        return false;
    std::wstring text(wide, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        &text[0], wide);
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), wide, nullptr, 0,
                                          nullptr, &lossy);
    if (bytes <= 0 || lossy)
        return false;
    out->assign(bytes, '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), wide, &(*out)[0], bytes, nullptr,
                        &lossy);
    return !lossy;
}

// The messages of a gettext catalogue (.mo, little-endian) that a rule
// line can hold: an ASCII original without commas, line ends or the look
// of a section or comment line, and a translation that converts to code
// page 932. Originals with a context are left out; of plural forms, the
// first is taken.
Rules ReadCatalogue(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string mo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto word = [&mo](size_t at) {
        uint32_t value = 0;
        if (at + 4 <= mo.size())
            memcpy(&value, mo.data() + at, 4);
        return value;
    };
    auto text = [&](uint32_t table, uint32_t i) {
        const size_t length = word(table + 8 * i), offset = word(table + 8 * i + 4);
        if (offset > mo.size() || length > mo.size() - offset)
            return std::string();
        const std::string s = mo.substr(offset, length);
        return s.substr(0, s.find('\0'));
    };
    Rules messages;
    if (word(0) != 0x950412DE)
        return messages;
    for (uint32_t i = 0; i < word(8); ++i) {
        const std::string original = text(word(12), i);
        std::string translation;
        const bool ascii = std::all_of(original.begin(), original.end(),
                                       [](char c) { return c >= 0x20 && c < 0x7F && c != ','; });
        if (original.empty() || !ascii || original.compare(0, 2, "//") == 0
            || (original.front() == '[' && original.back() == ']')
            || !ToCodePage932(text(word(16), i), &translation) || translation.empty()
            || translation.find_first_of("\r\n") != std::string::npos)
            continue;
        messages.emplace_back(original, translation);
    }
    return messages;
}

struct RealText {
    Rules rules;                       // English to Japanese, 4 to 40 bytes of English
    std::vector<std::string> captions; // English, 8 to 100 bytes
    std::string catalogues;            // the names of those read
};

// The messages of the catalogues in turn: the even ones make the rules (each
// original once), the odd ones the captions.
RealText ReadRealText()
{
    RealText real;
    size_t k = 0;
    for (const char* name : kCatalogues) {
        const Rules messages = ReadCatalogue(std::string(kCatalogueFolder) + name + ".mo");
        if (messages.empty())
            continue;
        real.catalogues += (real.catalogues.empty() ? "" : " ") + std::string(name);
        for (const auto& m : messages) {
            const size_t n = m.first.size();
            const bool known = std::any_of(real.rules.begin(), real.rules.end(),
                                           [&m](const auto& r) { return r.first == m.first; });
            if (k % 2 == 0 && n >= 4 && n <= 40 && !known)
                real.rules.push_back(m);
            else if (k % 2 == 1 && n >= 8 && n <= 100)
                real.captions.push_back(m.first);
            ++k;
        }
    }
    return real;
}

// The captions joined, " - " between them, and cut into captions of
// length bytes: as many as count.
std::vector<std::string> JoinedCaptions(const std::vector<std::string>& captions, size_t length,
                                        size_t count)
{
    std::vector<std::string> joined;
    std::string caption;
    for (size_t i = 0; joined.size() < count; i = (i + 1) % captions.size()) {
        caption += (caption.empty() ? "" : " - ") + captions[i];
        if (caption.size() >= length) {
            caption.resize(length);
            joined.push_back(caption);
            caption.clear();
        }
    }
    return joined;
}

// The real-text rows; false when the rules did not load.
bool RealTextRows(const CEngineModule& e)
{
    const RealText real = ReadRealText();
    if (real.rules.size() < 2000 || real.captions.empty()) {
        printf("(no real-text rows: the Japanese message catalogues in %s are missing)\n",
               kCatalogueFolder);
        return true;
    }
    printf("real: %u rules, %u captions of %s in %s\n", static_cast<unsigned>(real.rules.size()),
           static_cast<unsigned>(real.captions.size()), real.catalogues.c_str(), kCatalogueFolder);
    size_t bytes = 0;
    for (const std::string& caption : real.captions)
        bytes += caption.size();
    char what[64];
    snprintf(what, sizeof what, "%5u %4u ascii real text",
             static_cast<unsigned>(bytes / real.captions.size()),
             static_cast<unsigned>(real.rules.size()));
    if (MeasureRow(e, real.captions, real.rules, what, 0, 0) < 0)
        return false;
    // Ten times the length through 2,000 of the rules: the same texts, a
    // caption of 700 bytes joining ten of 70.
    const Rules rules(real.rules.begin(), real.rules.begin() + 2000);
    const std::vector<std::string> shorter = JoinedCaptions(real.captions, 70, 300);
    std::vector<std::string> longer;
    for (size_t i = 0; i < shorter.size(); i += 10) {
        longer.emplace_back();
        for (size_t j = i; j < i + 10; ++j)
            longer.back() += shorter[j];
    }
    const double previous = MeasureRow(e, shorter, rules, "   70 2000 ascii real text", 0, 0);
    return previous >= 0
        && MeasureRow(e, longer, rules, "  700 2000 ascii real text", previous, 10) >= 0;
}

// ---------------------------------------------------------------------------
// A dictionary: short Japanese words that begin with kana, each to another
// word, as a user's dictionary of readings holds them by the hundred
// thousand. They share few first characters.

// The translations of every catalogue in the folder, in code page 932.
std::vector<std::string> ReadTranslations()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((std::string(kCatalogueFolder) + "*.mo").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    do
        names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    std::vector<std::string> texts;
    for (const std::string& name : names)
        for (const auto& m : ReadCatalogue(kCatalogueFolder + name))
            texts.push_back(m.second);
    return texts;
}

// Every run of two to five double-byte characters in the texts that
// begins with a lead byte of kana (0x82, 0x83), once, to its characters in
// reverse order.
Rules DictionaryRules(const std::vector<std::string>& texts)
{
    Rules rules;
    std::unordered_set<std::string> known;
    for (const std::string& text : texts) {
        size_t run = 0; // where the current run of double-byte characters begins
        for (size_t i = 0; i <= text.size(); run = i) {
            while (i + 1 < text.size() && IsDBCSLeadByteEx(932, static_cast<BYTE>(text[i])))
                i += 2;
            for (size_t from = run; from < i; from += 2) {
                if (text[from] != '\x82' && text[from] != '\x83')
                    continue;
                for (size_t n = 4; n <= 10 && from + n <= i; n += 2) {
                    const std::string word = text.substr(from, n);
                    if (!known.insert(word).second)
                        continue;
                    std::string reversed;
                    for (size_t c = n; c > 0; c -= 2)
                        reversed += word.substr(c - 2, 2);
                    rules.emplace_back(word, reversed);
                }
            }
            i += i == run; // a byte that is no double-byte character
        }
    }
    return rules;
}

// How many rules the captions make candidates on average: the rules whose
// key, the first keyLength bytes of their source or all of a shorter one,
// occurs in the caption.
unsigned Candidates(const Rules& rules, const std::vector<std::string>& captions, size_t keyLength)
{
    std::unordered_map<std::string, unsigned> perKey;
    for (const auto& r : rules)
        ++perKey[r.first.substr(0, keyLength)];
    size_t total = 0;
    for (const std::string& caption : captions) {
        std::unordered_set<std::string> keys;
        for (size_t i = 0; i < caption.size(); ++i)
            for (size_t n = 2; n <= keyLength && i + n <= caption.size(); n += 2)
                keys.insert(caption.substr(i, n));
        for (const std::string& key : keys) {
            const auto it = perKey.find(key);
            total += it == perKey.end() ? 0 : it->second;
        }
    }
    return static_cast<unsigned>(total / captions.size());
}

// The dictionary rows, short captions and long; false when the rules did
// not load.
bool DictionaryRows(const CEngineModule& e)
{
    const std::vector<std::string> texts = ReadTranslations();
    const Rules rules = DictionaryRules(texts);
    if (rules.size() < 100000) {
        printf("(no dictionary rows: the catalogues in %s hold %u words)\n", kCatalogueFolder,
               static_cast<unsigned>(rules.size()));
        return true;
    }
    // Short captions: translations of 40 to 80 bytes, spread over the
    // catalogues; long ones: the same joined into 580 bytes.
    std::vector<std::string> pool;
    for (const std::string& text : texts)
        if (text.size() >= 40 && text.size() <= 80)
            pool.push_back(text);
    std::vector<std::string> shorter;
    for (size_t i = 0; i < 16; ++i)
        shorter.push_back(pool[i * pool.size() / 16]);
    std::vector<std::string> longer = JoinedCaptions(shorter, 580, 2);
    printf("dictionary: %u words of %u translations; candidates per caption keyed by the first "
           "two bytes / by the first three characters\n",
           static_cast<unsigned>(rules.size()), static_cast<unsigned>(texts.size()));
    double previous = 0, previousBytes = 0;
    for (const std::vector<std::string>* captions : {&shorter, &longer}) {
        double bytes = 0; // on average
        for (const std::string& caption : *captions)
            bytes += static_cast<double>(caption.size()) / captions->size();
        char what[64];
        snprintf(what, sizeof what, "%5.0f %6u dict %5u/%u", bytes,
                 static_cast<unsigned>(rules.size()), Candidates(rules, *captions, 2),
                 Candidates(rules, *captions, 6));
        previous = MeasureRow(e, *captions, rules, what, previous, bytes / previousBytes);
        if (previous < 0)
            return false;
        previousBytes = bytes;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string module = argc > 1 ? argv[1] : "Vario.tfe";
    CEngineModule e;
    CEngineLoadFailure why;
    if (!e.Load(module, why)) {
        fprintf(stderr, "%s: %s\n", module.c_str(), why.Text().c_str());
        return 1;
    }

    printf("%s; conversion, microseconds per caption; growth per tenfold rules (1.0: linear)\n"
           "hit=: replacements as long as their source; hit+: of other lengths\n",
           module.c_str());
    printf(kHeader, "caption bytes, rules, kind", "engine", "reference", "ratio", "growth",
           "spread");
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

    if (WordRow(e) < 0 || EmptyTableRow(e) < 0)
        return 1;

    printf("\nReal text; growth per tenfold caption length (1.0: linear)\n");
    printf(kHeader, "caption bytes, rules, kind", "engine", "reference", "ratio", "growth",
           "spread");
    if (!RealTextRows(e) || !DictionaryRows(e))
        return 1;

    printf("\nDoubling the rules, then the caption; growth per doubling (1.0: linear)\n");
    printf(kHeader, "caption bytes, rules, kind", "engine", "reference", "ratio", "growth",
           "spread");
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
    printf(kHeader, "rules", "engine", "reference", "ratio", "growth", "spread");
    previous = 0;
    for (int count : {1000, 10000, 100000}) {
        Rules rules;
        for (int i = 0; i < count; ++i)
            rules.push_back(
                {"Source text " + std::to_string(i), "Replacement " + std::to_string(i)});
        const std::string path = WriteDefinitionFile("vario-bench-load.txt", rules);
        StoreDefinitionFile(path);
        if (!e.InitEngine()) {
            fprintf(stderr, "a file of %d rules did not load\n", count);
            return 1;
        }
        const Timing t = InTurn([&] { e.InitEngine(); }, [&] { ReferenceLoad(path); });
        char what[64];
        snprintf(what, sizeof what, "%6d", count);
        Row(what, t, previous > 0 ? t.engine / previous / 10 : 0);
        previous = t.engine;
    }
    e.ExitEngine();
    return 0;
}
