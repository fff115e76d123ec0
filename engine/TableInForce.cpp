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
    Release(current.exchange(&none));
    for (CKept& k : kept) {
        const CKept gone = k;
        k = {};
        Release(gone.replaced);
        Release(gone.put);
    }
}

unsigned CTableInForce::FreeSlot(unsigned ending) const
{
    for (unsigned slot = 0; slot < kSlots; ++slot)
        if (slot != ending && !kept[slot].replaced && !kept[slot].put && readers[slot].load() == 0)
            return slot;
    return kSlots;
}

void CTableInForce::FreeKept()
{
    for (unsigned slot = 0; slot < kSlots; ++slot) {
        const CKept gone = kept[slot];
        if ((gone.replaced || gone.put) && readers[slot].load() == 0) {
            kept[slot] = {};
            Release(gone.replaced);
            Release(gone.put);
        }
    }
}

void CTableInForce::Release(CRuleTable* table)
{
    if (!table || table == &none || table == current.load())
        return;
    for (const CKept& k : kept)
        if (k.replaced == table || k.put == table)
            return;
    delete table;
}

void CTableInForce::Forget(const CRuleTable* table)
{
    for (CKept& k : kept) {
        if (k.replaced == table)
            k.replaced = nullptr;
        if (k.put == table)
            k.put = nullptr;
    }
}

void CTableInForce::Put(std::unique_ptr<CRuleTable> table)
{
    // At process exit the other threads were ended wherever they were, in
    // a conversion or holding the heap: wait for none of them, free nothing.
    const bool ending = QorProcessEnding();
    if (!ending)
        FreeKept();
    CRuleTable* put = table ? table.release() : &none;
    CRuleTable* replaced = current.exchange(put);
    // Readers from now on count themselves in the next era and find the
    // new table; those of the era ended may hold either.
    const unsigned ended = era.load();
    const unsigned slot = ended & (kSlots - 1);
    const unsigned next = FreeSlot(slot);
    era.store((((ended >> kSlotBits) + 1) << kSlotBits) | (next < kSlots ? next : slot));
    if (ending)
        return;
    if (next == kSlots) {
        // Every other slot is kept: the next era shares this one, so its
        // readers cannot be told apart from those of the era ended. The
        // table replaced stays in memory for good.
        Forget(replaced);
        return;
    }
    if (WaitForReaders(readers[slot]))
        Release(replaced);
    else
        kept[slot] = {replaced, put};
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
