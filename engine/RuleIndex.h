// RuleIndex.h - the rule table as conversion reads it, and which rules a
// caption can set off.
//
// The texts of every rule are listed in table order, where a conversion
// reaches them without walking the table. Each rule is keyed by the first
// two bytes of its source, or by its only byte. A rule can match only where
// its key occurs, so a conversion queues the rules whose keys occur in the
// caption and searches only those, in table order; a rule that fires
// queues the rules after it whose keys its replacement brings in. The queue
// (internal/RuleQueue.h) is the conversion's own: nothing is kept from one
// conversion to the next.
#pragma once
#include <windows.h>
#include <vector>

class CRuleIndex {
public:
    // A rule's texts, which the table owns.
    struct Rule {
        const char* source;
        int sourceLength;
        const char* replacement;
        int replacementLength;
    };

    CRuleIndex();

    // Takes the texts of the table's rules, in table order, and keys the
    // rules when there are enough of them for the keys to pay. FALSE when
    // memory runs out, the index then empty.
    BOOL Build(std::vector<Rule>&& table);
    // Forgets the table; makes no allocation.
    void Clear();
    // The rules of the table, in table order.
    const std::vector<Rule>& Rules() const { return rules; }
    // Whether the rules are keyed; if not, a caption is searched for each.
    bool IsKeyed() const { return !groups.empty(); }
    // Whether the rules are keyed and some source has four bytes or more:
    // then a set of a text's windows can tell that such a source is absent.
    bool HasHeads() const { return !heads.empty(); }
    // The WindowHash of the first four bytes of the source of the rule
    // numbered so, which has four bytes or more; HasHeads().
    unsigned Head(int number) const { return heads[number]; }

private:
    friend class CRuleQueue;

    struct Group {
        int begin; // its rules: order[begin, end)
        int end;
    };

    bool HasKey(unsigned key) const { return present[key >> 5] >> (key & 31) & 1; }
    // The group of a key that some rule has.
    int Find(unsigned key) const;

    std::vector<Rule> rules;
    std::vector<unsigned> heads;     // each rule's Head, when some source has four bytes
    std::vector<unsigned> present;   // one bit per key that some rule has
    std::vector<unsigned> slots;     // hash of the keys: group + 1, or 0
    int shift;                       // a key's slot: its hash shifted right
    std::vector<Group> groups;       // one per key, in key order
    std::vector<int> order;          // rule numbers by key, each key's in table order
    std::vector<unsigned> groupKeys; // the key of each group
};
