// TableInForce.h - the rule table that conversions use, replaced whole while
// they run.
//
// A load puts its table in force in one step. A conversion reads the table
// that was in force when it began, from its start to its end, and the table
// that a load replaced is freed once no conversion reads it any more.
// Conversions wait for no load and take no lock: each counts itself in and
// out. Several threads may convert while another loads.
//
// A load waits for the readers of the table it replaced for a second at
// most: a reader that never counts itself out (its thread was ended inside
// a conversion, or unwound out of it by a host) keeps that table in memory,
// never freed while it may be read, and the load goes on. When the process
// is ending, a load waits for nobody and frees nothing.
//
// Not std::atomic<std::shared_ptr>: the C++ library guards those with a
// pool of locks, so every conversion would take a lock.
#pragma once
#include "RuleTable.h"
#include <atomic>
#include <memory>

class CTableInForce {
public:
    // No rules in force.
    CTableInForce();
    // Frees the table in force and every table kept; the module is going
    // and no reader may be left.
    ~CTableInForce();
    CTableInForce(const CTableInForce&) = delete;
    CTableInForce& operator=(const CTableInForce&) = delete;

    // Puts table in force, or no rules when it is null, then frees the table
    // it replaced as soon as the readers that took it are gone; after a
    // second of waiting, the table is kept until a later Put finds them
    // gone. Makes no allocation. Callers put one table at a time.
    void Put(std::unique_ptr<CRuleTable> table);

    // The table in force when the reader was made, until the reader goes.
    // Example: const CTableInForce::CReader reader(tables);
    //          reader.Table().Convert(caption, buffer, size);
    class CReader {
    public:
        explicit CReader(const CTableInForce& tables);
        ~CReader();
        CReader(const CReader&) = delete;
        CReader& operator=(const CReader&) = delete;

        // The table; one without rules when none is in force.
        const CRuleTable& Table() const { return *table; }

    private:
        std::atomic<int>* count; // of the era it counted itself in
        const CRuleTable* table;
    };

private:
    static const unsigned kSlotBits = 3;
    static const unsigned kSlots = 1 << kSlotBits;

    // The tables that readers of a slot's ended era may still hold, when
    // the Put that ended it stopped waiting for them: the table it replaced
    // and the one it put in force. The slot is not used again until they
    // are gone.
    struct CKept {
        CRuleTable* replaced;
        CRuleTable* put;
    };

    // A slot whose count no reader of an earlier era holds and whose tables
    // are not kept, other than the slot of the era now ending; kSlots when
    // every one is taken.
    unsigned FreeSlot(unsigned ending) const;
    // Lets go of the tables kept for each slot whose readers are gone.
    void FreeKept();
    // Frees table unless it is in force or kept.
    void Release(CRuleTable* table);
    // Keeps table for good: no slot lets go of it.
    void Forget(const CRuleTable* table);

    CRuleTable none; // in force while no loaded table is
    std::atomic<CRuleTable*> current;
    // Each Put puts its table in force and then begins a new era: its
    // number above kSlotBits bits, and below them the slot whose count its
    // readers count themselves in. A reader counts itself in the era it
    // finds, takes the table, and keeps both only when the era is still the
    // same after: so a reader counted in an era holds a table that was in
    // force before that era ended, the one its Put replaced or the one it
    // put, and the Put finds every reader that may hold the table it
    // replaced in the count of the era it ended.
    mutable std::atomic<unsigned> era;
    mutable std::atomic<int> readers[kSlots];
    CKept kept[kSlots];
};
