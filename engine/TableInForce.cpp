// TableInForce.cpp - the rule table that conversions use, replaced whole.
#include "TableInForce.h"

CTableInForce::CTableInForce() : none(), current(&none), era(0), readers{{0}, {0}} {}

CTableInForce::~CTableInForce()
{
    Put(nullptr);
}

void CTableInForce::Put(std::unique_ptr<CRuleTable> table)
{
    CRuleTable* replaced = current.exchange(table ? table.release() : &none);
    // Readers from now on count themselves in the next era and find the new
    // table; those of this era may still hold the one replaced.
    const int ended = era.fetch_add(1);
    while (readers[ended & 1].load() != 0)
        SwitchToThread();
    if (replaced != &none)
        delete replaced;
}

CTableInForce::CReader::CReader(const CTableInForce& tables) : tables(tables), era(0), table()
{
    for (;;) {
        era = tables.era.load();
        tables.readers[era & 1].fetch_add(1);
        if (tables.era.load() == era)
            break;
        // A Put began the next era meanwhile and may not have seen this
        // count: count in again, in the new era.
        tables.readers[era & 1].fetch_sub(1);
    }
    table = tables.current.load();
}

CTableInForce::CReader::~CReader()
{
    tables.readers[era & 1].fetch_sub(1);
}
