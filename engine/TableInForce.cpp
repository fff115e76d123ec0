// TableInForce.cpp - the rule table that conversions use, replaced whole.
#include "TableInForce.h"
#include "../qor/QorModule.h"

namespace {

// How long a Put waits for the readers of the table it replaced.
const DWORD kReadersWaitMs = 1000;

// Whether the count came to 0 within the wait.
bool WaitForReaders(const std::atomic<int>& count)
{
    const DWORD start = GetTickCount();
    for (int round = 0; count.load() != 0; ++round) {
        if (GetTickCount() - start >= kReadersWaitMs)
            return false;
        // A conversion takes microseconds: yield at first, then sleep.
        if (round < 64)
            SwitchToThread();
        else
            Sleep(1);
    }
    return true;
}

} // namespace

CTableInForce::CTableInForce() : none(), current(&none), era(0), readers(), kept() {}

CTableInForce::~CTableInForce()
{
    CRuleTable* table = current.load();
    if (table != &none)
        delete table;
    for (CRuleTable* k : kept)
        delete k;
}

unsigned CTableInForce::FreeSlot(unsigned ending) const
{
    for (unsigned slot = 0; slot < kSlots; ++slot)
        if (slot != ending && !kept[slot] && readers[slot].load() == 0)
            return slot;
    return kSlots;
}

void CTableInForce::FreeKept()
{
    for (unsigned slot = 0; slot < kSlots; ++slot)
        if (kept[slot] && readers[slot].load() == 0) {
            delete kept[slot];
            kept[slot] = nullptr;
        }
}

void CTableInForce::Put(std::unique_ptr<CRuleTable> table)
{
    // At process exit the other threads were ended wherever they were, in
    // a conversion or holding the heap: wait for none of them, free nothing.
    const bool ending = QorProcessEnding();
    if (!ending)
        FreeKept();
    const unsigned ended = era.load();
    const unsigned slot = ended & (kSlots - 1);
    const unsigned next = FreeSlot(slot);
    // Readers from now on count themselves in the next era, and then find
    // the new table; those of the era ended may still hold the one replaced.
    era.store((((ended >> kSlotBits) + 1) << kSlotBits) | (next < kSlots ? next : slot));
    CRuleTable* replaced = current.exchange(table ? table.release() : &none);
    if (replaced == &none || ending)
        return;
    if (next == kSlots)
        return; // every slot is held: the next era shares this one, so its
                // readers cannot be told apart; the table stays in memory
    if (WaitForReaders(readers[slot]))
        delete replaced;
    else
        kept[slot] = replaced;
}

CTableInForce::CReader::CReader(const CTableInForce& tables) : count(), table()
{
    for (;;) {
        const unsigned era = tables.era.load();
        count = &tables.readers[era & (kSlots - 1)];
        count->fetch_add(1);
        table = tables.current.load();
        if (tables.era.load() == era)
            return;
        // A Put began the next era meanwhile and may not have seen this
        // count: count in again, in the new era.
        count->fetch_sub(1);
    }
}

CTableInForce::CReader::~CReader()
{
    count->fetch_sub(1);
}
