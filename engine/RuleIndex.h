// RuleIndex.h - the rule table as conversion reads it, and which rules a
// caption can set off.
//
// The texts of every rule are listed in table order, where a conversion
// reaches them without walking the table. Each rule is keyed by the first
// two bytes of its source, or by its only byte; a source that begins with
// two or three double-byte characters (kana, kanji: in a multibyte code page
// two bytes are one character) by them, a wide key. A rule can match only
// where its key occurs, so a conversion queues the rules whose keys occur in
// the caption and searches only those, in table order; a rule that fires
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
    // The SourceEnds (RuleKeys.h) of the source of rule `number`, or 0 when
    // that source has fewer than four bytes. HasHeads().
    unsigned Ends(int number) const { return heads[number]; }

private:
    friend class CRuleQueue;

    struct Group {
        int begin; // its rules: order[begin, end)
        int end;
    };

    // Whether some rule has this key of one or two bytes.
    bool HasKey(unsigned key) const { return present[key >> 5] >> (key & 31) & 1; }
    // Whether some rule may have this wide key: false for most keys that no
    // rule has, at no look-up.
    bool MayHaveWide(unsigned key) const
    {
        const unsigned bit = Hash(key, wideShift);
        return widePresent[bit >> 5] >> (bit & 31) & 1;
    }
    // The group of a key, or -1 when no rule has it.
    int Find(unsigned key) const;
    static unsigned Hash(unsigned key, int shift) { return (key * 2654435761u) >> shift; }

    std::vector<Rule> rules;
    std::vector<unsigned> heads;       // each rule's Ends, when some source has four bytes
    std::vector<unsigned> present;     // one bit per key of one or two bytes that some rule has
    std::vector<unsigned> widePresent; // one bit per hash of the wide keys; empty if none
    int wideShift;                     // a wide key's bit there: its hash shifted right
    std::vector<unsigned> slots;       // hash of the keys: group + 1, or 0
    int shift;                         // a key's slot: its hash shifted right
    std::vector<Group> groups;         // one per key, in the order of their first rules
    std::vector<int> order;            // rule numbers by group, each group's in table order
    std::vector<unsigned> groupKeys;   // the key of each group
};
