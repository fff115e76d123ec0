// RuleIndex.h - which rules a caption can set off.
//
// Each rule is keyed by the first two bytes of its source, or by its only
// byte. A rule can match only where its key occurs, so a conversion queues
// the rules whose keys occur in the caption and searches only those, in
// table order; a rule that fires queues the rules after it whose keys its
// replacement brings in.
#pragma once
#include "../qor/QorColl.h"
#include <vector>

class CRuleIndex {
public:
    CRuleIndex();

    // Indexes a table of CConvRule* that is large enough for the index to
    // pay; a smaller one is left unindexed. FALSE when memory runs out, the
    // index then empty.
    BOOL Build(const CQorPtrArray& rules);
    // Forgets the table; makes no allocation.
    void Clear();
    // Whether a table is indexed; one that is not is searched rule by rule.
    bool IsBuilt() const { return !groups.empty(); }

    // Starts a conversion: nothing queued, no rule taken.
    void Begin();
    // Queues the rules after the one last taken whose key occurs in the bytes.
    void QueueKeysIn(const char* bytes, int length);
    // Queues the rules after the one last taken that are keyed by the pair.
    void QueuePair(unsigned char first, unsigned char second)
    {
        QueueKey(static_cast<unsigned>(first) << 8 | second);
    }
    // Whether the byte can begin, or end, the key of a two-byte source.
    bool BeginsKey(unsigned char byte) const { return firstBytes[byte] != 0; }
    bool EndsKey(unsigned char byte) const { return secondBytes[byte] != 0; }
    // Takes the next queued rule, in table order: its number in the table,
    // or -1 when none is left.
    int Next();

private:
    struct Group {
        int begin;                      // its rules: order[begin, end)
        int end;
        unsigned queuedIn;              // the conversion that queued it
    };
    // A queued group: its next rule, and where the rules after it are.
    struct Cursor {
        int rule;
        int next;                       // order[next, end)
        int end;
        // Orders a heap that puts the lowest rule number on top.
        bool operator<(const Cursor& other) const { return rule > other.rule; }
    };

    void QueueKey(unsigned key)
    {
        if (present[key >> 5] >> (key & 31) & 1)
            QueueGroup(Find(key));
    }
    void QueueGroup(int group);
    int Find(unsigned key) const;

    std::vector<unsigned> present;      // one bit per key that some rule has
    unsigned char firstBytes[256];      // the bytes of the keys of two bytes
    unsigned char secondBytes[256];
    std::vector<unsigned> slots;        // hash of the keys: group + 1, or 0
    int shift;                          // a key's slot: its hash shifted right
    std::vector<Group> groups;          // one per key, in key order
    std::vector<int> order;             // rule numbers by key, each key's in table order
    std::vector<unsigned> groupKeys;    // the key of each group
    std::vector<Cursor> queue;          // a heap on the next rule of each queued group
    int queued;
    int taken;                          // the rule last taken, -1 before the first
    unsigned conversion;
};
