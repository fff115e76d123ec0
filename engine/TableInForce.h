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
// most. A reader still there then (a long conversion, or one whose thread
// was suspended, ended inside it, or unwound out of it by a host) keeps
// that table, and the one put after it, in memory, never freed while it
// may be read; the load goes on, and a later load frees them once the
// count those readers are in has come back to zero. A count whose readers
// have had their second is not waited for again. Eight counts tell readers
// of different loads apart: once every other one is kept, loads share the
// last one, and what its readers may hold is kept until it comes back to
// zero (never, when a reader that never comes back sits in each of the
// eight: then the tables replaced stay until the module is unloaded).
// When the process is ending, a load waits for nobody and frees nothing.
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
    // second of waiting, it is kept until a later Put finds them gone. Also
    // frees what earlier Puts kept and whose readers are gone. Makes no
    // allocation. Callers put one table at a time.
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

    // A slot whose count no reader of an earlier era holds and that keeps
    // no table, other than the slot of the era now ending; kSlots when
    // every one is taken.
    unsigned FreeSlot(unsigned ending) const;
    // Lets go of what each kept slot whose count is zero keeps.
    void FreeKept();
    // The readers counted in slot are gone: frees each table kept that no
    // other slot keeps.
    void LetGo(unsigned slot);

    CRuleTable none; // in force while no loaded table is
    std::atomic<CRuleTable*> current;
    // Each Put puts its table in force and then begins a new era: its
    // number above kSlotBits bits, and below them the slot whose count its
    // readers count themselves in. A reader counts itself in the era it
    // finds, takes the table, and keeps both only when the era is still the
    // same after: so a reader counted in an era holds a table that was in
    // force before that era ended, the one its Put replaced or the one it
    // put, and the Put finds every reader that may hold the table it
    // replaced in the count of the era it ended. A count seen at zero has
    // no reader left that took a table before: one that counts itself in
    // after takes the table then in force, or tries again in a later era.
    mutable std::atomic<unsigned> era;
    mutable std::atomic<int> readers[kSlots];
    // The slots that keep tables, one bit a slot: a Put stopped waiting for
    // their readers, and no later Put has seen their count at zero. Each
    // table that their readers may hold has their bits in its keptBy; the
    // tables replaced that have any bit are listed from kept, through their
    // nextKept, and freed when their last bit goes.
    unsigned keptSlots;
    CRuleTable* kept;
};
