// TracedRules.cpp - which rules of a definition file change a caption, and how.
//
// The file is read by the engine's own reader; each rule is applied by a
// search of this file's own, written plainly from what a rule does, so that
// it shares no code with the engine's search, its index or its keys.
#include "TracedRules.h"
#include "Messages.h"
#include "RuleText.h"
#include "../engine/DefinitionFile.h"
#include <algorithm>

namespace {

// Keys name the bytes a text holds: a pair of adjacent bytes is
// first * 256 + second, a single byte kByte + the byte. kNever, the key of
// an empty source, is never held.
const unsigned kByte = 0x10000;
const unsigned kNever = kByte + 0x100;

unsigned char At(const std::string& text, size_t i)
{
    return static_cast<unsigned char>(text[i]);
}

// The key of the two bytes of text at at.
unsigned PairKey(const std::string& text, size_t at)
{
    return At(text, at) << 8 | At(text, at + 1);
}

// The key of the byte of text at at.
unsigned ByteKey(const std::string& text, size_t at)
{
    return kByte + At(text, at);
}

// The keys text holds, each once.
std::vector<unsigned> Keys(const std::string& text)
{
    std::vector<unsigned> keys;
    for (size_t i = 0; i < text.size(); ++i) {
        keys.push_back(ByteKey(text, i));
        if (i + 1 < text.size())
            keys.push_back(PairKey(text, i));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// Which of all keys are among keys: present[key].
std::vector<bool> Presence(const std::vector<unsigned>& keys)
{
    std::vector<bool> present(kNever + 1, false);
    for (const unsigned key : keys)
        present[key] = true;
    return present;
}

// Where in text each character begins: a lead byte of the code page and
// the byte after it are one character, any other byte is one; a lead byte
// that ends the text is no character.
std::vector<bool> CharacterStarts(const std::string& text, const bool* lead)
{
    std::vector<bool> starts(text.size(), false);
    for (size_t at = 0; at < text.size(); at += lead[At(text, at)] ? 2 : 1)
        starts[at] = !lead[At(text, at)] || at + 1 < text.size();
    return starts;
}

// Where the first occurrence of source (not empty) at or after from begins,
// counting only those that begin where a character begins; npos when there
// is none.
size_t Find(const std::string& text, const std::vector<bool>& starts, const std::string& source,
            size_t from)
{
    size_t at = text.find(source, from);
    while (at != std::string::npos && !starts[at])
        at = text.find(source, at + 1);
    return at;
}

// The text with every occurrence of source (not empty) replaced, left to
// right, none overlapping, each beginning where a character begins.
std::string ReplaceAll(const std::string& text, const std::vector<bool>& starts,
                       const std::string& source, const std::string& replacement)
{
    std::string after;
    size_t copied = 0; // the text before this is in after
    for (size_t at = Find(text, starts, source, 0); at != std::string::npos;
         at = Find(text, starts, source, copied)) {
        after.append(text, copied, at - copied).append(replacement);
        copied = at + source.size();
    }
    return after.append(text, copied, std::string::npos);
}

// The first rule marked in due at or after rule i, or the number of rules
// due has room for; each marks 32 rules, rule i in bit i % 32 of word i / 32.
size_t NextDue(const std::vector<uint32_t>& due, size_t i)
{
    for (size_t word = i / 32; word < due.size(); ++word) {
        const uint32_t left = word == i / 32 ? due[word] >> (i % 32) << (i % 32) : due[word];
        if (left != 0)
            return word * 32 + __builtin_ctz(left);
    }
    return due.size() * 32;
}

} // namespace

bool CTracedRules::Read(const std::string& path, std::vector<std::string>& lines,
                        std::string& error)
{
    if (!ReadDefinitionLines(path, lines, error))
        return false;
    std::vector<unsigned> first; // of each rule
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        int comma = -1;
        if (ClassifyDefinitionLine(CQorString(line.c_str(), 0), &comma) != DefLineKind::kRule)
            continue;
        const unsigned rule = static_cast<unsigned>(rules.size());
        rules.push_back({static_cast<int>(i + 1), line.substr(0, comma), line.substr(comma + 1)});
        const std::string& source = rules.back().source;
        if (source.size() >= 2) {
            first.push_back(PairKey(source, 0));
            filed.push_back(
                {rule, PairKey(source, source.size() / 2 - 1), PairKey(source, source.size() - 2)});
        } else {
            first.push_back(source.empty() ? kNever : ByteKey(source, 0));
            filed.push_back({rule, first.back(), first.back()});
        }
    }
    // File the rules by their first key, in file order under each.
    filedAt.assign(kNever + 2, 0);
    for (const unsigned key : first)
        ++filedAt[key + 1];
    for (unsigned key = 0; key <= kNever; ++key)
        filedAt[key + 1] += filedAt[key];
    std::vector<Filed> byRule = filed;
    std::vector<unsigned> next(filedAt.begin(), filedAt.end() - 1);
    for (size_t i = 0; i < byRule.size(); ++i)
        filed[next[first[i]]++] = byRule[i];
    for (int byte = 0; byte < 256; ++byte)
        lead[byte] = IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
    return true;
}

void CTracedRules::AddDue(const std::vector<unsigned>& keys, const std::vector<bool>& present,
                          unsigned from, std::vector<uint32_t>& due) const
{
    for (const unsigned key : keys) {
        const auto end = filed.begin() + filedAt[key + 1];
        auto each = std::lower_bound(filed.begin() + filedAt[key], end, from,
                                     [](const Filed& a, unsigned rule) { return a.rule < rule; });
        for (; each != end; ++each)
            if (present[each->middle] && present[each->last])
                due[each->rule / 32] |= 1u << (each->rule % 32);
    }
}

std::vector<TraceStep> CTracedRules::Steps(const std::string& caption) const
{
    std::vector<TraceStep> steps;
    std::string text = caption;
    std::vector<bool> starts = CharacterStarts(text, lead);
    std::vector<unsigned> keys = Keys(text);
    std::vector<bool> present = Presence(keys);
    std::vector<uint32_t> due(rules.size() / 32 + 1, 0); // the rules that may change the text
    AddDue(keys, present, 0, due);
    for (size_t i = NextDue(due, 0); i < rules.size(); i = NextDue(due, i + 1)) {
        const TracedRule& rule = rules[i];
        if (Find(text, starts, rule.source, 0) == std::string::npos)
            continue;
        std::string after = ReplaceAll(text, starts, rule.source, rule.replacement);
        if (after == text)
            continue;
        text = after;
        starts = CharacterStarts(text, lead);
        keys = Keys(text);
        present = Presence(keys);
        // The rules after this one that the new text may set off.
        AddDue(keys, present, static_cast<unsigned>(i + 1), due);
        steps.push_back({&rule, std::move(after)});
    }
    return steps;
}

std::string Disagreement(const std::string& caption, const std::string& converted,
                         const std::vector<TraceStep>& steps)
{
    const std::string& traced = steps.empty() ? caption : steps.back().after;
    if (converted == traced)
        return std::string();
    return Message(IDS_COVERAGE_DISAGREES, {Quoted(caption), Quoted(converted), Quoted(traced)});
}

std::string ShownRule(const TracedRule& rule)
{
    return Message(IDS_TRACE_LINE, {Number(rule.line)}) + Quoted(rule.source) + kArrow
        + Quoted(rule.replacement);
}

void WriteSteps(const std::vector<TraceStep>& steps, const std::string& indent, COutput& out)
{
    if (steps.empty())
        out.WriteLine(indent + Message(IDS_TRACE_NO_RULE));
    for (const TraceStep& step : steps) {
        const std::string shown = ShownRule(*step.rule);
        out.WriteLine(indent + shown);
        out.WriteLine(indent + std::string(shown.find('"'), ' ') + Quoted(step.after));
    }
}
