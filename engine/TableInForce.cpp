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

CTableInForce::CTableInForce()
    : none(), current(&none), era(0), readers(), keptSlots(0), kept(nullptr)
{
}

CTableInForce::~CTableInForce()
{
    CRuleTable* const table = current.exchange(&none);
    if (table != &none)
        delete table;
    while (CRuleTable* const gone = kept) {
        kept = gone->nextKept;
        delete gone;
    }
}

unsigned CTableInForce::FreeSlot(unsigned ending) const
{
    for (unsigned slot = 0; slot < kSlots; ++slot)
        if (slot != ending && !(keptSlots & 1u << slot) && readers[slot].load() == 0)
            return slot;
    return kSlots;
}

void CTableInForce::FreeKept()
{
    for (unsigned slot = 0; slot < kSlots; ++slot)
        if ((keptSlots & 1u << slot) && readers[slot].load() == 0)
            LetGo(slot);
}

void CTableInForce::LetGo(unsigned slot)
{
    const unsigned bit = 1u << slot;
    keptSlots &= ~bit;
    current.load()->keptBy &= ~bit;
    for (CRuleTable** link = &kept; *link;) {
        CRuleTable* const table = *link;
        table->keptBy &= ~bit;
        if (table->keptBy != 0) {
            link = &table->nextKept;
        } else {
            *link = table->nextKept;
            delete table;
        }
    }
}

void CTableInForce::Put(std::unique_ptr<CRuleTable> table)
{
    // At process exit the other threads were ended wherever they were, in
    // a conversion or holding the heap: wait for none of them, free nothing.
    const bool ending = QorProcessEnding();
    if (!ending)
        FreeKept();
    CRuleTable* const put = table ? table.release() : &none;
    CRuleTable* const replaced = current.exchange(put);
    // Readers from now on count themselves in the next era and find the
    // new table; those of the era ended may hold either. With every other
    // slot kept, the next era shares this one's.
    const unsigned ended = era.load();
    const unsigned slot = ended & (kSlots - 1);
    const unsigned next = FreeSlot(slot);
    era.store((((ended >> kSlotBits) + 1) << kSlotBits) | (next < kSlots ? next : slot));
    if (ending)
        return;
    // Both tables are kept for the slot, the one replaced on the list,
    // until its count is seen at zero: at once, or by a later Put. A slot
    // kept already is not waited for again: its readers had their second.
    const unsigned bit = 1u << slot;
    const bool waited = (keptSlots & bit) != 0;
    keptSlots |= bit;
    if (put != &none)
        put->keptBy |= bit;
    if (replaced != &none) {
        replaced->keptBy |= bit;
        replaced->nextKept = kept;
        kept = replaced;
    }
    if (!waited && WaitForReaders(readers[slot]))
        LetGo(slot);
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
