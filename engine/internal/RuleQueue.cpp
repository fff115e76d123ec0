// RuleQueue.cpp - the rules queued for one conversion.
#include "RuleQueue.h"
#include "../RuleKeys.h"
#include "../../qor/QorSearch.h"
#include <algorithm>
#include <string.h>

CRuleQueue::CRuleQueue(const CRuleIndex& index)
    : index(index), lead(QorLeadBytes()), queuedRules(0), taken(-1)
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
        QueueKey(ByteKey(bytes + i));
        if (i + 1 < length)
            QueueKey(BytePairKey(bytes + i));
    }
    QueueWideKeysIn(bytes, length, 0, length);
}

void CRuleQueue::QueueJoint(const char* text, int length, int at)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    if (at > 0 && at < length)
        QueueKey(BytePairKey(bytes + at - 1));
    QueueWideKeysIn(bytes, length, at > 5 ? at - 5 : 0, at);
}

void CRuleQueue::QueueWideKeysIn(const unsigned char* bytes, int length, int from, int to)
{
    if (index.widePresent.empty())
        return;
    const int last = to < length - 3 ? to : length - 3; // four bytes begin before it
    for (int i = from; i < last; ++i) {
        unsigned keys[2];
        for (int k = WideKeysAt(bytes, length, i, lead, keys); k-- > 0;)
            QueueWideKey(keys[k]);
    }
}

void CRuleQueue::QueueWideKey(unsigned key)
{
    if (!index.MayHaveWide(key))
        return;
    const int group = index.Find(key);
    if (group != -1)
        QueueGroup(group);
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
