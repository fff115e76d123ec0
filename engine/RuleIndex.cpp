// RuleIndex.cpp - the rules keyed by the first bytes of their sources.
#include "RuleIndex.h"
#include "RuleKeys.h"
#include "../qor/QorSearch.h"
#include <algorithm>
#include <new>

namespace {

// Below this many rules, searching each rule costs less than a pass over
// the caption.
const int kIndexedFrom = 16;

// The fewest bits whose numbers reach count: 2^bits >= count, 2 at least.
int BitsFor(size_t count)
{
    int bits = 1;
    while ((size_t{1} << bits) < count)
        ++bits;
    return bits;
}

} // namespace

CRuleIndex::CRuleIndex() : wideShift(32), shift(32)
{
    Clear();
}

BOOL CRuleIndex::Build(std::vector<Rule>&& table)
{
    Clear();
    rules.swap(table);
    const int count = static_cast<int>(rules.size());
    if (count < kIndexedFrom)
        return TRUE;
    try {
        const bool* lead = QorLeadBytes();
        // Each key gets a group, in the order of its first rule: the slots
        // have room for a key per rule, half of them empty at most.
        const int bits = BitsFor(2 * static_cast<size_t>(count));
        shift = 32 - bits;
        slots.assign(size_t{1} << bits, 0);
        present.assign((kKeys + 31) / 32, 0);
        std::vector<int> groupOf(count, -1); // a rule whose source is empty has none
        std::vector<int> sizes;
        bool longSources = false;
        for (int i = 0; i < count; ++i) {
            longSources = longSources || rules[i].sourceLength >= 4;
            if (rules[i].sourceLength == 0)
                continue;
            // A source that begins with double-byte characters (kana, kanji)
            // is keyed by its first three, or two: in a table of words in
            // kana, the first two bytes, one character, are shared by
            // hundreds of rules.
            const unsigned key = SourceKey(reinterpret_cast<const unsigned char*>(rules[i].source),
                                           rules[i].sourceLength, lead);
            unsigned slot = Hash(key, shift);
            while (slots[slot] != 0 && groupKeys[slots[slot] - 1] != key)
                slot = (slot + 1) & (slots.size() - 1);
            if (slots[slot] == 0) {
                slots[slot] = static_cast<unsigned>(groupKeys.size()) + 1;
                groupKeys.push_back(key);
                sizes.push_back(0);
                if (key < kKeys)
                    present[key >> 5] |= 1u << (key & 31);
            }
            groupOf[i] = static_cast<int>(slots[slot] - 1);
            ++sizes[groupOf[i]];
        }
        // The rules by group, each group's in table order.
        groups.resize(groupKeys.size());
        int total = 0;
        for (size_t g = 0; g < groups.size(); ++g) {
            groups[g] = {total, total};
            total += sizes[g];
        }
        order.resize(total);
        for (int i = 0; i < count; ++i)
            if (groupOf[i] != -1)
                order[groups[groupOf[i]].end++] = i;
        // About 16 bits per wide key.
        size_t wide = 0;
        for (unsigned key : groupKeys)
            wide += key >= kWide;
        if (wide > 0) {
            const int wideBits = BitsFor(16 * wide);
            wideShift = 32 - wideBits;
            widePresent.assign(((size_t{1} << wideBits) + 31) / 32, 0);
            for (unsigned key : groupKeys) {
                const unsigned bit = Hash(key, wideShift);
                if (key >= kWide)
                    widePresent[bit >> 5] |= 1u << (bit & 31);
            }
        }
        if (longSources) {
            heads.resize(count);
            for (int i = 0; i < count; ++i) {
                if (rules[i].sourceLength >= 4)
                    heads[i] = SourceEnds(rules[i].source, rules[i].sourceLength);
            }
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return FALSE;
    }
    return TRUE;
}

void CRuleIndex::Clear()
{
    // Swapped with empty vectors, which hold no memory: nothing allocates.
    std::vector<Rule>().swap(rules);
    std::vector<unsigned>().swap(heads);
    std::vector<unsigned>().swap(present);
    std::vector<unsigned>().swap(widePresent);
    std::vector<unsigned>().swap(slots);
    std::vector<Group>().swap(groups);
    std::vector<int>().swap(order);
    std::vector<unsigned>().swap(groupKeys);
}

int CRuleIndex::Find(unsigned key) const
{
    for (unsigned slot = Hash(key, shift); slots[slot] != 0;
         slot = (slot + 1) & (slots.size() - 1)) {
        const unsigned group = slots[slot] - 1;
        if (groupKeys[group] == key)
            return static_cast<int>(group);
    }
    return -1;
}
