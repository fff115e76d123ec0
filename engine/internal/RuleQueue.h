// RuleQueue.h - inside the rule table: the rules that one conversion
// queues, from the index's keys, to search in table order. Only the
// conversion (RuleTable.cpp) uses it; the index is its public face.
#pragma once
#include "../RuleIndex.h"

// The rules queued for one conversion, in table order. Each conversion has
// its own, so that conversions on several threads at once only read the
// index.
class CRuleQueue {
public:
    // Nothing queued, no rule taken; the index is keyed. Throws
    // std::bad_alloc when a large table's marks get no memory.
    explicit CRuleQueue(const CRuleIndex& index);
    CRuleQueue(const CRuleQueue&) = delete;
    CRuleQueue& operator=(const CRuleQueue&) = delete;

    // Queues the rules after the one last taken whose key occurs in the bytes.
    void QueueKeysIn(const char* bytes, int length);
    // Queues the rules after the one last taken whose key occurs in the
    // text across offset `at`: begins before it and ends at it or after.
    void QueueJoint(const char* text, int length, int at);
    // How many rules have been queued.
    int QueuedRules() const { return queuedRules; }
    // Takes the next queued rule, in table order: its number in the table,
    // or -1 when none is left.
    int Next();

private:
    void QueueKey(unsigned key)
    {
        if (index.HasKey(key))
            QueueGroup(index.Find(key));
    }
    void QueueGroup(int group);
    // Queues the rules keyed by the wide keys of bytes (length bytes) that
    // begin at [from, to).
    void QueueWideKeysIn(const unsigned char* bytes, int length, int from, int to);
    // Queues the rules of a wide key, if any.
    void QueueWideKey(unsigned key);

    // Room for the marks of tables of about 3,000 rules without the heap.
    static const int kLocalWords = 192;

    const CRuleIndex& index;
    const bool* lead; // the lead bytes of the code page
    unsigned local[kLocalWords];
    std::vector<unsigned> allocated; // when local is too small
    unsigned* queued;                // one bit per rule: queued, not taken
    unsigned* groupsQueued;          // one bit per group: queued already
    int queuedRules;
    int taken; // the rule last taken, -1 before the first
};
