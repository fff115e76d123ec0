// DifferentialTests.cpp - random definition files and captions, converted by
// the module and by a small model of the engine written here from the file
// format and the replacement rules alone; the two must agree byte for byte.
//
// The run is fixed by its seed. VARIO_DIFF_COUNT sets the number of files
// (each converts several captions), VARIO_DIFF_SEED the seed.
#include "TestSupport.h"
#include "WindowWatcher.h"
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
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

// Where each character of the text begins. A lead byte takes the byte after
// it, whatever that is; a lead byte that is the last byte stands alone.
std::vector<size_t> CharacterStarts(const std::string& text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += IsLeadByte(text[i]) ? 2 : 1)
        starts.push_back(i);
    return starts;
}

using Rules = std::vector<std::pair<std::string, std::string>>;

// The rule of one line, if the line is a rule line.
bool ModelRule(const std::string& line, std::pair<std::string, std::string>* rule)
{
    const std::vector<size_t> starts = CharacterStarts(line);
    if (starts.empty())
        return false;
    const bool section = line.front() == '[' && line.back() == ']'
        && starts.back() == line.size() - 1;
    const bool comment = line.compare(0, 2, "//") == 0;
    if (section || comment)
        return false;
    for (size_t s : starts) {
        if (line[s] == ',') {
            *rule = {line.substr(0, s), line.substr(s + 1)};
            return true;
        }
    }
    return false;
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
// overlap. A lone lead byte at the very end is no character to match.
std::string ModelReplace(const std::string& text, const std::string& source,
                         const std::string& replacement)
{
    std::string out;
    size_t p = 0;
    for (size_t s : CharacterStarts(text)) {
        if (s < p)
            continue;
        if (IsLeadByte(text[s]) && s + 1 == text.size())
            break;
        if (text.compare(s, source.size(), source) == 0) {
            out += text.substr(p, s - p) + replacement;
            p = s + source.size();
        }
    }
    return out + text.substr(p);
}

std::string ModelConvert(const Rules& rules, std::string text)
{
    for (const auto& rule : rules)
        if (!rule.first.empty())
            text = ModelReplace(text, rule.first, rule.second);
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

// A caption made of random pieces and of the sources of the rules, so that
// the rules have something to match.
std::string RandomCaption(CRandom& random, const Rules& rules)
{
    std::string caption;
    for (int n = random.Below(8); n > 0; --n) {
        if (!rules.empty() && random.Below(2))
            caption += rules[random.Below(static_cast<int>(rules.size()))].first;
        else if (random.Below(10) == 0)
            caption += random.Below(2) ? "\r" : "\n";
        else
            caption += RandomPiece(random);
    }
    return caption;
}

int EnvironmentNumber(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value && *value ? atoi(value) : fallback;
}

// A table long enough to be indexed, of rules with short texts made of a
// few bytes: a replacement often makes the source of a later rule inside
// it or where it meets the text around it. Sources of one byte and sources
// that begin with a lead byte are frequent.
std::string RandomIndexedFile(CRandom& random)
{
    const char* const bytes[] = {"a",        "b",    "\x83",     "\x83\x5C",
                                 "\x95\x5C", "\x5C", "\x81\x40", "\xE0"};
    auto text = [&](int most) {
        std::string t;
        for (int n = random.Below(most + 1); n > 0; --n)
            t += random.Pick(bytes);
        return t;
    };
    std::string file;
    for (int n = 20 + random.Below(40); n > 0; --n)
        file += std::string(random.Pick(bytes)) + text(2) + "," + text(3) + "\n";
    return file;
}

// Converts captions through the module and the model with the files that
// makeFile gives; VARIO_DIFF_COUNT files by default.
void ExpectAgreement(std::string (*makeFile)(CRandom&), int defaultFiles)
{
    const int files = EnvironmentNumber("VARIO_DIFF_COUNT", defaultFiles);
    const uint32_t seed = static_cast<uint32_t>(EnvironmentNumber("VARIO_DIFF_SEED", 20240601));
    const int kCaptionsPerFile = 12;
    CRandom random(seed);
    const std::string path = ScratchDir() + "\\differential.txt";
    int mismatches = 0, compared = 0, changed = 0;
    for (int f = 0; f < files && mismatches < 10; ++f) {
        const std::string file = makeFile(random);
        const Rules rules = ModelRules(file);
        WriteScratchFile("differential.txt", file);
        BOOL started = FALSE;
        const DriveResult r = Drive([&] { started = StartEngineWith(path); }, {});
        ASSERT_TRUE(started && r.unexpected == 0)
            << "file " << f << " did not load: " << Escaped(file) << " (seed " << seed << ")";
        for (int c = 0; c < kCaptionsPerFile; ++c) {
            const std::string caption = RandomCaption(random, rules);
            const std::string expected = ModelConvert(rules, caption);
            // Mostly room for all of it; sometimes a buffer that cuts it.
            const int whole = static_cast<int>(expected.size()) + 1;
            const int size = random.Below(4) ? whole + random.Below(3) : 1 + random.Below(whole);
            std::string buffer(size + 8, '\x7F');
            const BOOL result = Engine().ConvertCaptionString(0, caption.c_str(), &buffer[0], size);
            const std::string want = expected.substr(0, size - 1);
            const std::string got = buffer.c_str();
            const bool guarded = buffer.find_first_not_of('\x7F', want.size() + 1)
                == std::string::npos;
            ++compared;
            changed += expected != caption;
            if (result && got == want && guarded)
                continue;
            ++mismatches;
            ADD_FAILURE() << "file " << f << " " << Escaped(file) << "\ncaption "
                          << Escaped(caption) << ", size " << size << "\nexpected " << Escaped(want)
                          << "\ngot      " << Escaped(got) << " (result " << result
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
    ExpectAgreement(RandomFile, 3000);
}

TEST(Differential, IndexedTablesAgreeWithTheModel)
{
    SKIP_UNLESS_CODE_PAGE_932();
    ExpectAgreement(RandomIndexedFile, 1000);
}

} // namespace
