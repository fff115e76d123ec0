// DifferentialTests.cpp - random definition files and captions, converted by
// the module and by a small model of the engine written here from the file
// format and the replacement rules alone; the two must agree byte for byte.
//
// The run is fixed by its seed. VARIO_DIFF_COUNT sets the number of files of
// the first comparison, and of the others in proportion (each file converts
// several captions); VARIO_DIFF_SEED sets the seed.
#include "TestSupport.h"
#include "../../engine/RuleKeys.h"
#include "../../qor/QorSearch.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <stdint.h>
#include <stdio.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// The model

bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Where the character after the one that begins at `at` begins. A lead byte
// takes the byte after it, whatever that is; a lead byte that is the last
// byte stands alone.
size_t NextCharacter(const std::string& text, size_t at)
{
    return at + (IsLeadByte(text[at]) ? 2 : 1);
}

using Rules = std::vector<std::pair<std::string, std::string>>;

// The rule of one line, if the line is a rule line.
bool ModelRule(const std::string& line, std::pair<std::string, std::string>* rule)
{
    size_t comma = std::string::npos, last = 0;
    for (size_t s = 0; s < line.size(); s = NextCharacter(line, s)) {
        if (line[s] == ',' && comma == std::string::npos)
            comma = s;
        last = s;
    }
    const bool section = !line.empty() && line.front() == '[' && line.back() == ']'
        && last == line.size() - 1;
    const bool comment = line.compare(0, 2, "//") == 0;
    if (section || comment || comma == std::string::npos)
        return false;
    *rule = {line.substr(0, comma), line.substr(comma + 1)};
    return true;
}

Rules ModelRules(const std::string& file)
{
    const std::string text = file.substr(0, file.find('\0'));
    Rules rules;
    size_t start = 0;
    for (;;) {
        const size_t lf = text.find('\n', start);
        std::string line = text.substr(start, lf == std::string::npos ? lf : lf - start);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r')
            line.pop_back();
        std::pair<std::string, std::string> rule;
        if (ModelRule(line, &rule))
            rules.push_back(rule);
        if (lf == std::string::npos)
            return rules;
        start = lf + 1;
    }
}

// Every match of source that begins a character, left to right, without
// overlap, replaced; the text written into out. A lone lead byte at the
// very end is no character to match.
void ModelReplace(const std::string& text, const std::string& source,
                  const std::string& replacement, std::string& out)
{
    out.clear();
    size_t p = 0;
    for (size_t s = 0; s < text.size(); s = NextCharacter(text, s)) {
        if (s < p)
            continue;
        if (IsLeadByte(text[s]) && s + 1 == text.size())
            break;
        if (text.compare(s, source.size(), source) == 0) {
            out.append(text, p, s - p) += replacement;
            p = s + source.size();
        }
    }
    out.append(text, p, std::string::npos);
}

std::string ModelConvert(const Rules& rules, std::string text)
{
    std::string replaced; // its room kept from rule to rule
    for (const auto& rule : rules) {
        if (!rule.first.empty() && text.find(rule.first) != std::string::npos) {
            ModelReplace(text, rule.first, rule.second, replaced);
            text.swap(replaced);
        }
    }
    return text;
}

TEST(DifferentialModel, AgreesWithKnownCases)
{
    EXPECT_EQ("bb", ModelConvert({{"aa", "b"}}, "aaaa"));
    EXPECT_EQ("baanaanaa", ModelConvert({{"a", "aa"}}, "banana"));
    EXPECT_EQ("\x83\x5C/", ModelConvert({{"\\", "/"}}, "\x83\x5C\\"));
    const char file[] = "[x]\r\n[\x83\x5D,x\n//a,b\na,b\r\r\n[\x83\x5D]\n,\0a,c";
    EXPECT_EQ(Rules({{"[\x83\x5D", "x"}, {"a", "b\r"}, {"", ""}}),
              ModelRules(std::string(file, sizeof file - 1)));
}

// ---------------------------------------------------------------------------
// Random input

class CRandom {
public:
    explicit CRandom(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

private:
    uint32_t state;
};

// Bytes that are delimiters on their own and second bytes of a character.
const unsigned char kLeads[] = {0x81, 0x83, 0x95, 0x9F, 0xE0, 0xEF, 0xFC};
const unsigned char kTrails[] = {'[', ']', ',', '/', '\\', 0x40, 0x7E, 0x80, 0x83, 0xFC, 'a'};
const char* const kPieces[] = {"[", "]", ",", ",", "/", "//", "\\", " ", "a", "b", "ab", "\t"};

// One character or delimiter, without line ends or NUL.
std::string RandomPiece(CRandom& random)
{
    switch (random.Below(10)) {
    case 0:
    case 1:
        return {static_cast<char>(random.Pick(kLeads)), static_cast<char>(random.Pick(kTrails))};
    case 2:
        return {static_cast<char>(random.Pick(kLeads))}; // a lone lead byte
    default:
        return random.Pick(kPieces);
    }
}

std::string RandomLine(CRandom& random)
{
    const char* const starts[] = {"", "", "", "[", "[", "//", "/", " "};
    std::string line = random.Pick(starts);
    for (int n = random.Below(6); n > 0; --n)
        line += RandomPiece(random);
    if (random.Below(3) == 0)
        line += "]";
    return line;
}

std::string RandomFile(CRandom& random)
{
    const char* const ends[] = {"\n", "\n", "\r\n", "\r\n", "\r\r\n", "\r"};
    std::string file = random.Below(20) == 0 ? "\xEF\xBB\xBF" : "";
    for (int n = random.Below(9); n > 0; --n)
        file += RandomLine(random) + random.Pick(ends);
    if (random.Below(2))
        file += RandomLine(random);
    if (random.Below(8) == 0 && !file.empty())
        file.insert(random.Below(static_cast<int>(file.size())), 1, '\0');
    return file;
}

// A piece of a caption: mostly the source of a rule, so that the rules have
// something to match, now and then one source over and over, more times than
// a search finds at once.
std::string CaptionPiece(CRandom& random, const Rules& rules)
{
    if (!rules.empty() && random.Below(2)) {
        const std::string& source = rules[random.Below(static_cast<int>(rules.size()))].first;
        std::string piece = source;
        for (int n = random.Below(20) ? 0 : 60 + random.Below(72); n > 0; --n)
            piece += source;
        return piece;
    }
    if (random.Below(10) == 0)
        return random.Below(2) ? "\r" : "\n";
    return RandomPiece(random);
}

std::string RandomCaption(CRandom& random, const Rules& rules)
{
    std::string caption;
    for (int n = random.Below(8); n > 0; --n)
        caption += CaptionPiece(random, rules);
    return caption;
}

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// A caption that makes a quarter of the rules candidates, or one fewer or
// one more: the most that an indexed conversion takes, and the least that it
// leaves to searching every rule. The candidates are the rules whose key
// occurs anywhere in the caption, keyed as the engine's index keys them.
std::string SteeredCaption(CRandom& random, const Rules& rules)
{
    const bool* lead = QorLeadBytes();
    std::vector<unsigned> keys; // the rules' keys, sorted: a key's rules are its run
    for (const auto& rule : rules)
        if (!rule.first.empty())
            keys.push_back(SourceKey(Bytes(rule.first), static_cast<int>(rule.first.size()), lead));
    std::sort(keys.begin(), keys.end());
    std::vector<bool> seen(keys.size()); // by the first of a key's run
    std::vector<size_t> fresh;           // the keys the last piece brought
    const int target = static_cast<int>(rules.size()) / 4 - 1 + random.Below(3);
    std::string caption;
    for (int count = 0, tries = 0; count < target && tries < 4 * target; ++tries) {
        const size_t from = caption.size();
        caption += CaptionPiece(random, rules);
        fresh.clear();
        int added = 0;
        // The keys that the piece completes begin at most five bytes before
        // it; those seen already are counted once.
        const int length = static_cast<int>(caption.size());
        for (int i = std::max(0, static_cast<int>(from) - 5); i < length; ++i) {
            unsigned at[4];
            for (int k = KeysAt(Bytes(caption), length, i, lead, at); k-- > 0;) {
                const auto run = std::equal_range(keys.begin(), keys.end(), at[k]);
                const size_t first = static_cast<size_t>(run.first - keys.begin());
                if (run.first != run.second && !seen[first]) {
                    seen[first] = true;
                    fresh.push_back(first);
                    added += static_cast<int>(run.second - run.first);
                }
            }
        }
        if (count + added <= target) {
            count += added;
            continue;
        }
        for (size_t key : fresh) // too many: the piece is taken back
            seen[key] = false;
        caption.resize(from);
    }
    return caption;
}

// A table long enough to be indexed, of rules with short texts made of a
// few bytes: a replacement often makes the source of a later rule inside
// it or where it meets the text around it. Sources of one byte and sources
// that begin with a lead byte are frequent; in a table of more than 100
// lines most sources begin with two letters, a key that few rules share.
std::string RandomIndexedFile(CRandom& random, int lines)
{
    const char* const bytes[] = {"a",        "b",    "\x83",     "\x83\x5C",
                                 "\x95\x5C", "\x5C", "\x81\x40", "\xE0"};
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZcdefghijklmnopqrstuvwxyz";
    const bool large = lines > 100;
    auto piece = [&](bool letter) {
        return letter ? std::string(1, letters[random.Below(50)]) : random.Pick(bytes);
    };
    auto text = [&](int most) {
        std::string t;
        for (int n = random.Below(most + 1); n > 0; --n)
            t += piece(large && random.Below(3) == 0);
        return t;
    };
    std::string file;
    for (int n = lines; n > 0; --n) {
        const std::string source = large && random.Below(4) ? piece(true) + piece(true)
                                                            : piece(false);
        file += source + text(2) + "," + text(3) + "\n";
    }
    return file;
}

// A table of words of one to four double-byte characters out of a few,
// so that many sources share their first characters and keys, now and
// then followed by a byte or a lone lead byte, among sources of one byte.
// Trail bytes that could lead a character make keys that begin inside one.
std::string RandomWordFile(CRandom& random, int lines)
{
    const char* const characters[] = {"\x82\x9F", "\x82\xA0", "\x83\x41", "\x83\x5C",
                                      "\x83\x83", "\x95\x5C", "\x81\x40"};
    const char* const bytes[] = {"a", "\x5C", "\x83"};
    auto word = [&](int fewest, int most) {
        std::string w;
        for (int n = fewest + random.Below(most - fewest + 1); n > 0; --n)
            w += random.Pick(characters);
        if (random.Below(4) == 0)
            w += random.Pick(bytes);
        return w;
    };
    std::string file;
    for (int n = lines; n > 0; --n)
        file += (random.Below(10) ? word(1, 4) : random.Pick(bytes)) + "," + word(0, 3) + "\n";
    return file;
}

// Converts the captions that makeCaption gives through the module and the
// model with the files that makeFile gives: defaultFiles of them when
// VARIO_DIFF_COUNT is 3000, the default, and in proportion to another count.
void ExpectAgreement(std::string (*makeFile)(CRandom&),
                     std::string (*makeCaption)(CRandom&, const Rules&), int defaultFiles)
{
    const int count = EnvironmentNumber("VARIO_DIFF_COUNT", 3000);
    const int files = (defaultFiles * count + 2999) / 3000; // at least one
    const uint32_t seed = static_cast<uint32_t>(EnvironmentNumber("VARIO_DIFF_SEED", 20240601));
    const int kCaptionsPerFile = 12;
    CRandom random(seed);
    int mismatches = 0, compared = 0, changed = 0;
    for (int f = 0; f < files && mismatches < 10; ++f) {
        const std::string file = makeFile(random);
        const Rules rules = ModelRules(file);
        ASSERT_TRUE(StartEngineOn(file)) << "file " << f << " (seed " << seed << ")";
        for (int c = 0; c < kCaptionsPerFile; ++c) {
            const std::string caption = makeCaption(random, rules);
            const std::string expected = ModelConvert(rules, caption);
            // Mostly room for all of it; sometimes a buffer that cuts it.
            const int whole = static_cast<int>(expected.size()) + 1;
            const int size = random.Below(4) ? whole + random.Below(3) : 1 + random.Below(whole);
            const Converted out = ConvertInto(caption.c_str(), size);
            const std::string want = expected.substr(0, size - 1);
            const std::string got = out.Text();
            const bool guarded = out.UntouchedFrom(want.size() + 1);
            ++compared;
            changed += expected != caption;
            if (out.result && got == want && guarded)
                continue;
            ++mismatches;
            ADD_FAILURE() << "file " << f << " " << Escaped(file) << "\ncaption "
                          << Escaped(caption) << ", size " << size << "\nexpected " << Escaped(want)
                          << "\ngot      " << Escaped(got) << " (result " << out.result
                          << (guarded ? "" : ", written past the text") << ")\nseed " << seed;
        }
    }
    Engine().ExitEngine();
    EXPECT_GE(changed, compared / 4) << "too few captions were changed by their rules to "
                                        "say much";
    printf("compared %d captions of %d files, %d changed by the rules (seed %u)\n", compared, files,
           changed, seed);
}

TEST(Differential, ModuleAgreesWithTheModel)
{
    SKIP_UNLESS_CODE_PAGE_932();
    ExpectAgreement(RandomFile, RandomCaption, 3000);
}

TEST(Differential, IndexedTablesAgreeWithTheModel)
{
    SKIP_UNLESS_CODE_PAGE_932();
    ExpectAgreement([](CRandom& r) { return RandomIndexedFile(r, 20 + r.Below(40)); },
                    RandomCaption, 1000);
}

// Tables of 1,000 to 3,000 rules, with captions that a quarter of the rules
// could match.
TEST(Differential, LargeTablesAgreeWithTheModelAtTheQuarter)
{
    SKIP_UNLESS_CODE_PAGE_932();
    ExpectAgreement([](CRandom& r) { return RandomIndexedFile(r, 1000 + r.Below(2001)); },
                    SteeredCaption, 30);
}

// Tables of words of double-byte characters, keyed by two or three of them.
TEST(Differential, WordTablesAgreeWithTheModel)
{
    SKIP_UNLESS_CODE_PAGE_932();
    ExpectAgreement([](CRandom& r) { return RandomWordFile(r, 20 + r.Below(200)); }, RandomCaption,
                    120);
}

// Tables whose later rules only the replacements before them set off, one
// searched rule by rule and one indexed.
TEST(Differential, ChainedRulesAgreeWithTheModel)
{
    SKIP_UNLESS_CODE_PAGE_932();
    // The keys of two and three characters that replacements make where
    // they meet the text: after, inside and around an empty one.
    std::string indexed = "a,c\nb,d\n,x\nx,\n\x83,y\ncd,ef\nf,\x95\x5C\n\x95\x5C,ok\n"
                          "q,\x82\xA0\nr,\ns,\x82\xAA\x82\n\x82\xA0\x82\xA2,J1\n"
                          "\x82\xA4\x82\xA6\x82\xA8,J2\n\x82\xAA\x82\xAB,J3\n";
    for (int i = 0; i < 16; ++i)
        indexed += "w" + std::to_string(i) + ",W\n";
    const std::string files[] = {"aa,b\nb,\x83\x5C\n\\,/\n", indexed};
    const std::string captions[] = {"",
                                    "aaab",
                                    "ab\\\x83\x5C\\",
                                    "xab fab",
                                    "\x83\x5C\x83",
                                    "w1 w12 aab",
                                    "q\x82\xA2",
                                    "\x82\xA4r\x82\xA6\x82\xA8",
                                    "s\xAB"};
    for (const std::string& file : files) {
        ASSERT_TRUE(StartEngineWith(WriteScratchFile("chained.txt", file)));
        for (const std::string& caption : captions)
            EXPECT_EQ(Escaped(ModelConvert(ModelRules(file), caption)), Escaped(Convert(caption)))
                << "caption " << Escaped(caption) << ", rules " << Escaped(file);
    }
    Engine().ExitEngine();
}

} // namespace
