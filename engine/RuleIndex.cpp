// RuleIndex.cpp - the rules keyed by the first bytes of their sources, and
// the rules queued for one conversion.
#include "RuleIndex.h"
#include "ConvEngine.h"
#include <algorithm>
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

} // namespace

CRuleIndex::CRuleIndex() : shift(32), queued(0), queuedRules(0), taken(-1), conversion(0)
{
    Clear();
}

BOOL CRuleIndex::Build(const CQorPtrArray& table)
{
    Clear();
    const int count = static_cast<int>(table.GetCount());
    try {
        rules.reserve(count);
        for (int i = 0; i < count; ++i) {
            const CConvRule* rule = static_cast<const CConvRule*>(table.GetAtIndex(i));
            rules.push_back({rule->source.data, rule->source.length, rule->replacement.data,
                             rule->replacement.length});
        }
        if (count < kIndexedFrom)
            return TRUE;
        // The rule numbers sorted by key, each key's in table order. A rule
        // whose source is empty finds nothing and gets no key.
        std::vector<unsigned> bounds(kKeys, 0); // first the count of each key
        std::vector<unsigned> keyOf(count, kKeys);
        for (int i = 0; i < count; ++i)
            if (rules[i].sourceLength > 0)
                ++bounds[keyOf[i] = KeyOf(rules[i])];
        unsigned keys = 0, total = 0;
        for (unsigned& end : bounds) {
            keys += end != 0;
            total = end += total;
        }
        order.resize(total);
        for (int i = count - 1; i >= 0; --i)
            if (keyOf[i] != kKeys)
                order[--bounds[keyOf[i]]] = i;
        // bounds[key] is now where the key's rules begin.
        int bits = 1;
        while ((1u << bits) < 2 * keys)
            ++bits;
        shift = 32 - bits;
        slots.assign(1u << bits, 0);
        present.assign((kKeys + 31) / 32, 0);
        groups.reserve(keys);
        groupKeys.reserve(keys);
        for (unsigned key = 0; key < kKeys; ++key) {
            const int begin = static_cast<int>(bounds[key]);
            const int end = key + 1 < kKeys ? static_cast<int>(bounds[key + 1])
                                            : static_cast<int>(total);
            if (begin == end)
                continue;
            present[key >> 5] |= 1u << (key & 31);
            if (key < kSingle) {
                firstBytes[key >> 8] = 1;
                secondBytes[key & 0xFF] = 1;
            }
            unsigned slot = Hash(key, shift);
            while (slots[slot] != 0)
                slot = (slot + 1) & (slots.size() - 1);
            slots[slot] = static_cast<unsigned>(groups.size()) + 1;
            groups.push_back({begin, end, 0});
            groupKeys.push_back(key);
        }
        queue.resize(keys);
        // The keys inside each replacement, found once here.
        broughtFrom.reserve(count + 1);
        for (const Rule& rule : rules) {
            broughtFrom.push_back(static_cast<int>(brought.size()));
            const unsigned char* bytes = reinterpret_cast<const unsigned char*>(rule.replacement);
            for (int i = 0; i < rule.replacementLength; ++i) {
                BringKey(kSingle + bytes[i]);
                if (i + 1 < rule.replacementLength)
                    BringKey(static_cast<unsigned>(bytes[i]) << 8 | bytes[i + 1]);
            }
        }
        broughtFrom.push_back(static_cast<int>(brought.size()));
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
    std::vector<unsigned>().swap(present);
    std::vector<unsigned>().swap(slots);
    std::vector<Group>().swap(groups);
    std::vector<int>().swap(order);
    std::vector<unsigned>().swap(groupKeys);
    std::vector<Cursor>().swap(queue);
    std::vector<int>().swap(brought);
    std::vector<int>().swap(broughtFrom);
    memset(firstBytes, 0, sizeof firstBytes);
    memset(secondBytes, 0, sizeof secondBytes);
    queued = 0;
    queuedRules = 0;
    taken = -1;
}

void CRuleIndex::Begin()
{
    if (++conversion == 0) { // the count wrapped: no group is queued
        for (Group& group : groups)
            group.queuedIn = 0;
        conversion = 1;
    }
    queued = 0;
    queuedRules = 0;
    taken = -1;
}

void CRuleIndex::QueueKeysIn(const char* text, int length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < length; ++i) {
        QueueKey(kSingle + bytes[i]);
        if (i + 1 < length)
            QueueKey(static_cast<unsigned>(bytes[i]) << 8 | bytes[i + 1]);
    }
}

void CRuleIndex::QueueBroughtBy(int number)
{
    for (int i = broughtFrom[number]; i < broughtFrom[number + 1]; ++i)
        QueueGroup(brought[i]);
}

void CRuleIndex::BringKey(unsigned key)
{
    if (present[key >> 5] >> (key & 31) & 1)
        brought.push_back(Find(key));
}

int CRuleIndex::Find(unsigned key) const
{
    for (unsigned slot = Hash(key, shift);; slot = (slot + 1) & (slots.size() - 1)) {
        const unsigned group = slots[slot] - 1;
        if (groupKeys[group] == key)
            return static_cast<int>(group);
    }
}

void CRuleIndex::QueueGroup(int number)
{
    Group& group = groups[number];
    if (group.queuedIn == conversion)
        return; // queued whole already, or passed
    group.queuedIn = conversion;
    const int* rules = order.data();
    const int* next = std::upper_bound(rules + group.begin, rules + group.end, taken);
    if (next == rules + group.end)
        return;
    queuedRules += static_cast<int>(rules + group.end - next);
    queue[queued++] = {*next, static_cast<int>(next - rules) + 1, group.end};
    std::push_heap(queue.begin(), queue.begin() + queued);
}

int CRuleIndex::Next()
{
    if (queued == 0)
        return -1;
    Cursor& top = queue[0];
    taken = top.rule;
    if (top.next == top.end)
        top = queue[--queued];
    else
        top.rule = order[top.next++];
    // The top now holds a later rule: it sinks to its place in the heap.
    for (int at = 0;;) {
        int lowest = at;
        for (int child = 2 * at + 1; child <= 2 * at + 2 && child < queued; ++child)
            if (queue[child].rule < queue[lowest].rule)
                lowest = child;
        if (lowest == at)
            return taken;
        std::swap(queue[at], queue[lowest]);
        at = lowest;
    }
}
