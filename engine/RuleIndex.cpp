// RuleIndex.cpp - the rules keyed by the first bytes of their sources, and
// the rules queued for one conversion.
#include "RuleIndex.h"
#include "internal/RuleQueue.h"
#include "WindowSet.h"
#include <algorithm>
#include <assert.h>
#include <new>
#include <string.h>

namespace {

// Below this many rules, searching each rule costs less than a pass over
// the caption.
const int kIndexedFrom = 16;

// Keys: a pair of bytes is first * 256 + second; the one byte of a
// one-byte source is kSingle + that byte.
const unsigned kSingle = 0x10000;
const unsigned kKeys = kSingle + 0x100;

unsigned KeyOf(const CRuleIndex::Rule& rule)
{
    const unsigned first = static_cast<unsigned char>(rule.source[0]);
    if (rule.sourceLength == 1)
        return kSingle + first;
    return first << 8 | static_cast<unsigned char>(rule.source[1]);
}

unsigned Hash(unsigned key, int shift)
{
    return (key * 2654435761u) >> shift;
}

// A key sorts in two passes of this many digits.
const unsigned kDigits = 512;
static_assert(kKeys <= kDigits * kDigits, "two passes sort every key");

// The numbers of the rules that have a key (keyOf[i] < kKeys), sorted by
// key, each key's in table order: two stable counting passes, over the low
// nine bits of the keys and then over the rest.
std::vector<int> SortedByKey(const std::vector<unsigned>& keyOf)
{
    std::vector<int> sorted;
    sorted.reserve(keyOf.size());
    for (int i = 0; i < static_cast<int>(keyOf.size()); ++i)
        if (keyOf[i] < kKeys)
            sorted.push_back(i);
    std::vector<int> passed(sorted.size());
    for (int low : {0, 9}) {
        unsigned starts[kDigits + 1] = {};
        for (int i : sorted)
            ++starts[(keyOf[i] >> low) % kDigits + 1];
        for (unsigned d = 0; d < kDigits; ++d)
            starts[d + 1] += starts[d];
        for (int i : sorted)
            passed[starts[(keyOf[i] >> low) % kDigits]++] = i;
        sorted.swap(passed);
    }
    return sorted;
}

} // namespace

CRuleIndex::CRuleIndex() : shift(32)
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
        // A rule whose source is empty finds nothing and gets no key.
        std::vector<unsigned> keyOf(count, kKeys);
        bool longSources = false;
        for (int i = 0; i < count; ++i) {
            if (rules[i].sourceLength > 0)
                keyOf[i] = KeyOf(rules[i]);
            longSources = longSources || rules[i].sourceLength >= 4;
        }
        order = SortedByKey(keyOf);
        const int total = static_cast<int>(order.size());
        int keys = 0;
        for (int at = 0; at < total; ++at)
            keys += at == 0 || keyOf[order[at]] != keyOf[order[at - 1]];
        int bits = 1;
        while ((1 << bits) < 2 * keys)
            ++bits;
        shift = 32 - bits;
        slots.assign(1u << bits, 0);
        present.assign((kKeys + 31) / 32, 0);
        groups.reserve(keys);
        groupKeys.reserve(keys);
        for (int begin = 0, end; begin < total; begin = end) {
            const unsigned key = keyOf[order[begin]];
            for (end = begin + 1; end < total && keyOf[order[end]] == key;)
                ++end;
            present[key >> 5] |= 1u << (key & 31);
            unsigned slot = Hash(key, shift);
            while (slots[slot] != 0)
                slot = (slot + 1) & (slots.size() - 1);
            slots[slot] = static_cast<unsigned>(groups.size()) + 1;
            groups.push_back({begin, end});
            groupKeys.push_back(key);
        }
        if (longSources) {
            heads.resize(count);
            for (int i = 0; i < count; ++i)
                if (rules[i].sourceLength >= 4)
                    heads[i] = WindowHash(rules[i].source);
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
    std::vector<unsigned>().swap(slots);
    std::vector<Group>().swap(groups);
    std::vector<int>().swap(order);
    std::vector<unsigned>().swap(groupKeys);
}

int CRuleIndex::Find(unsigned key) const
{
    for (unsigned slot = Hash(key, shift);; slot = (slot + 1) & (slots.size() - 1)) {
        assert(slots[slot] != 0 && "only a key that some rule has is found");
        const unsigned group = slots[slot] - 1;
        if (groupKeys[group] == key)
            return static_cast<int>(group);
    }
}

// ---------------------------------------------------------------------------
// The queue of one conversion

CRuleQueue::CRuleQueue(const CRuleIndex& index) : index(index), queuedRules(0), taken(-1)
{
    const size_t ruleWords = (index.rules.size() + 31) / 32;
    const size_t words = ruleWords + (index.groups.size() + 31) / 32;
    queued = local;
    if (words > kLocalWords) {
        allocated.resize(words);
        queued = allocated.data();
    }
    memset(queued, 0, words * sizeof *queued);
    groupsQueued = queued + ruleWords;
}

void CRuleQueue::QueueKeysIn(const char* text, int length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < length; ++i) {
        QueueKey(kSingle + bytes[i]);
        if (i + 1 < length)
            QueueKey(static_cast<unsigned>(bytes[i]) << 8 | bytes[i + 1]);
    }
}

void CRuleQueue::QueueGroup(int number)
{
    unsigned& mark = groupsQueued[number >> 5];
    const unsigned bit = 1u << (number & 31);
    if (mark & bit)
        return; // its rules after the one then taken are queued or passed
    mark |= bit;
    const CRuleIndex::Group& group = index.groups[number];
    const int* rules = index.order.data();
    for (const int* next = std::upper_bound(rules + group.begin, rules + group.end, taken);
         next != rules + group.end; ++next) {
        queued[*next >> 5] |= 1u << (*next & 31);
        ++queuedRules;
    }
}

int CRuleQueue::Next()
{
    // Every bit up to the rule taken is clear: the scan starts at its word.
    const int words = static_cast<int>((index.rules.size() + 31) / 32);
    for (int word = (taken + 1) >> 5; word < words; ++word) {
        if (queued[word] != 0) {
            taken = word * 32 + __builtin_ctz(queued[word]);
            queued[word] &= queued[word] - 1;
            return taken;
        }
    }
    return -1;
}
