// TableInForce.h - the rule table that conversions use, replaced whole while
// they run.
//
// A load puts its table in force in one step. A conversion reads the table
// that was in force when it began, from its start to its end, and the table
// that a load replaced is freed once no conversion reads it any more.
// Conversions wait for no load and take no lock: each counts itself in and
// out. Several threads may convert while another loads.
#pragma once
#include "RuleTable.h"
#include <atomic>
#include <memory>

class CTableInForce {
public:
    // No rules in force.
    CTableInForce();
    // Frees the table in force; no reader may be left.
    ~CTableInForce();
    CTableInForce(const CTableInForce&) = delete;
    CTableInForce& operator=(const CTableInForce&) = delete;

    // Puts table in force, or no rules when it is null, then frees the table
    // it replaced as soon as the readers that took it are gone (they are
    // short: conversions and listings). Makes no allocation. Callers put
    // one table at a time.
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
        const CTableInForce& tables;
        int era; // the era it counted itself in
        const CRuleTable* table;
    };

private:
    CRuleTable none; // in force while no loaded table is
    std::atomic<CRuleTable*> current;
    // Each Put begins a new era. A reader counts itself in the era it finds,
    // by its parity, and reads the table only when the era is still the
    // same after: so a Put that has begun the next era finds every reader
    // that may hold the table it replaced in the count of the era before.
    mutable std::atomic<int> era;
    mutable std::atomic<int> readers[2];
};
