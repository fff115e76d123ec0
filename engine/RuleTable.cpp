// RuleTable.cpp - the rule table, loaded from a definition file, and the
// conversion of a caption with it.
#include "RuleTable.h"
#include "DefinitionFile.h"
#include "Replacement.h"
#include "RuleKeys.h"
#include "internal/WindowSet.h"
#include "internal/RuleQueue.h"
#include "../qor/QorException.h"
#include "../qor/QorGuard.h"
#include "../qor/QorSearch.h"
#include <memory>
#include <new>
#include <vector>
#include <string.h>

namespace {

const int kLocalText = 1024;

} // namespace

// ---------------------------------------------------------------------------
// The rule table

CConvRule::CConvRule(const char* line, int comma)
    : source(line, comma + 1), replacement(line + comma + 1, 0)
{
}

CRuleTable::CRuleTable() : rules(), index() {}

CRuleTable::~CRuleTable()
{
    Clear();
}

BOOL CRuleTable::Load(const char* path)
{
    Clear();
    CDefinitionText text;
    if (text.Read(path) != ERROR_SUCCESS)
        return FALSE;
    // Room for a rule on every line, taken at once instead of a block that
    // grows with each rule.
    BOOL loaded = rules.EnsureCapacity(text.Lines());
    try {
        CQorString line(kQorWorkingCapacity); // each line in turn, to classify
        while (const char* next = loaded ? text.NextLine() : nullptr) {
            if (!ParseLine(line.Assign(next))) {
                loaded = FALSE;
                break;
            }
        }
    } catch (...) {
        Clear(); // a table is whole or empty
        throw;
    }
    if (loaded && !IndexRules())
        loaded = FALSE; // no table without its index
    if (!loaded)
        Clear();
    return loaded;
}

BOOL CRuleTable::ParseLine(CQorString& text)
{
    int comma = -1;
    if (ClassifyDefinitionLine(text, &comma) != DefLineKind::kRule)
        return TRUE;
    std::unique_ptr<CConvRule> rule(new (std::nothrow) CConvRule(text.data, comma));
    if (!rule)
        return FALSE;
    if (rules.AddTailIndex(rule.get()) == -1)
        return FALSE;
    rule.release(); // the table owns it now
    return TRUE;
}

BOOL CRuleTable::IndexRules()
{
    std::vector<CRuleIndex::Rule> texts;
    try {
        texts.reserve(rules.GetCount());
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    for (int i = 0; i < static_cast<int>(rules.GetCount()); ++i) {
        const CConvRule* rule = static_cast<const CConvRule*>(rules.GetAtIndex(i));
        texts.push_back({rule->source.data, rule->source.length, rule->replacement.data,
                         rule->replacement.length});
    }
    return index.Build(std::move(texts));
}

void CRuleTable::Clear()
{
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos))
        delete static_cast<CConvRule*>(rules.GetAt(pos));
    rules.RemoveAll();
    index.Clear();
}

// ---------------------------------------------------------------------------
// Caption conversion

namespace {

// One caption through the table: each rule in table order applied to the
// text the rules before it left. A rule that fires with a replacement of
// another length writes the new text into the other buffer, which then
// holds the current text.
class CConversion {
public:
    // The text holds the caption; other is empty.
    CConversion(const CRuleIndex& index, CTextBuffer& text, CTextBuffer& other)
        : index(index), text(text), other(other), current(&text), windowsKept(false)
    {
    }
    CConversion(const CConversion&) = delete;
    CConversion& operator=(const CConversion&) = delete;

    // Applies the rules; the buffer that holds the converted text. Throws
    // the memory exception.
    const CTextBuffer& Run();

private:
    // Whether the source of rule `number` may occur in the text: a
    // source of four bytes or more whose first or last four bytes are not
    // in the text does not. Inline, since most queued rules go no further.
    bool MayOccur(int number)
    {
        const unsigned ends = index.HasHeads() ? index.Ends(number) : 0;
        if (ends == 0)
            return true;
        if (!windowsKept)
            TakeWindows();
        return windows.MayHold(EndsHead(ends)) && windows.MayHold(EndsTail(ends));
    }
    // Applies rule `number` where its source occurs.
    void Apply(int number, CRuleQueue* queue);
    // Tells the queue, and the windows when kept, what the count
    // occurrences in found brought into the text: the keys inside the
    // replacement and at its edges, and the windows that hold a byte of it.
    void Note(const CRuleIndex::Rule& rule, int count, CRuleQueue* queue);
    // Keeps the windows of the current text, and only those, from now on.
    void TakeWindows();

    const CRuleIndex& index;
    CTextBuffer& text;
    CTextBuffer& other;
    CTextBuffer* current;
    // Once the first source of four bytes or more is searched, windows holds
    // every window of the current text.
    bool windowsKept;
    CWindowSet windows;
    int found[kQorFoundBatch];
};

const CTextBuffer& CConversion::Run()
{
    const int count = static_cast<int>(index.Rules().size());
    // Only the rules whose keys occur are searched, unless the table is
    // small or the caption makes more than a quarter of its rules
    // candidates: then queueing costs more than searching every rule. A
    // rule that fires queues those its replacement brings in, inside it and
    // at its edges.
    if (index.IsKeyed()) {
        CRuleQueue queue(index);
        queue.QueueKeysIn(current->data, current->length);
        if (4 * queue.QueuedRules() <= count) {
            for (int number = queue.Next(); number != -1; number = queue.Next())
                if (MayOccur(number))
                    Apply(number, &queue);
            return *current;
        }
    }
    for (int number = 0; number < count; ++number)
        if (MayOccur(number))
            Apply(number, nullptr /* no queue of rules */);
    return *current;
}

void CConversion::Apply(int number, CRuleQueue* queue)
{
    const CRuleIndex::Rule& rule = index.Rules()[number];
    const int n = rule.sourceLength;
    if (n == 0)
        return; // an empty source is found nowhere
    const int count = QorFindAtBoundaries(current->data, current->length, current->capacity, 0,
                                          rule.source, n, found, kQorFoundBatch);
    if (count == 0)
        return;
    CTextBuffer& result = current == &text ? other : text;
    current = &ReplaceOccurrences(*current, rule.source, n, rule.replacement,
                                  rule.replacementLength, found, count, result);
    if (queue || windowsKept)
        Note(rule, count, queue);
}

void CConversion::Note(const CRuleIndex::Rule& rule, int count, CRuleQueue* queue)
{
    const char* bytes = current->data;
    const int length = current->length;
    if (count == kQorFoundBatch) {
        // found no longer holds every occurrence: the whole text is taken.
        if (queue)
            queue->QueueKeysIn(bytes, length);
        if (windowsKept)
            TakeWindows();
        return;
    }
    const int m = rule.replacementLength;
    if (queue)
        queue->QueueKeysIn(rule.replacement, m);
    for (int i = 0; i < count; ++i) {
        const int at = found[i] + i * (m - rule.sourceLength); // where it is now
        if (queue) {
            // The keys that hold bytes of it and of the text on either side.
            queue->QueueJoint(bytes, length, at);
            if (m > 0)
                queue->QueueJoint(bytes, length, at + m);
        }
        // The windows that hold a byte of it, or, when it is empty, both
        // bytes where it was.
        if (windowsKept)
            windows.Add(bytes, at > 3 ? at - 3 : 0, at + m < length - 3 ? at + m : length - 3);
    }
    // The windows of earlier texts (words turned round, say) let
    // later sources through to searches in vain: once they are many, the
    // set is made anew.
    if (windowsKept && windows.Stale(length))
        TakeWindows();
}

void CConversion::TakeWindows()
{
    windows.Reset(current->length);
    windows.Add(current->data, 0, current->length - 3);
    windowsKept = true;
}

} // namespace

BOOL CRuleTable::Convert(const char* caption, char* buffer, int size) const
{
    // The caption and the buffer are the host's: each is read or written
    // under the framework's fault guard, so that a pointer the host got
    // wrong gives FALSE.
    if (index.Rules().empty()) {
        const int length = QorGuardedLength(caption);
        return length >= 0 && QorGuardedCopy(buffer, size, caption, length);
    }
    // A caption and its converted text of up to kLocalText - 1 bytes are
    // worked on here, without the heap. The caption is read into the text
    // under the guard: with its length in one reading when it fits, or else
    // measured and then copied into a block of its size, so that a caption
    // freed or protected meanwhile gives FALSE too.
    char blocks[2][kLocalText];
    CTextBuffer text(blocks[0], kLocalText);
    const int length = QorGuardedRead(caption, text.data, text.capacity);
    if (length < 0)
        return FALSE;
    if (length >= text.capacity) {
        text.Reserve(0, length);
        if (!QorGuardedCopy(text.data, length + 1, caption, length))
            return FALSE;
    }
    text.length = length;
    CTextBuffer other(blocks[1], kLocalText);
    const CTextBuffer& converted = CConversion(index, text, other).Run();
    return QorGuardedCopy(buffer, size, converted.data, converted.length);
}

CQorString CRuleTable::ReplaceAll(const CQorString& text, const char* source,
                                  const char* replacement)
{
    const int n = lstrlenA(source);
    int found[kQorFoundBatch];
    const int count = n == 0 ? 0
                             : QorFindAtBoundaries(text.data, text.length, text.capacity, 0, source,
                                                   n, found, kQorFoundBatch);
    if (count == 0)
        return CQorString(text); // an empty source is found nowhere
    char blocks[2][kLocalText];
    CTextBuffer copy(blocks[0], kLocalText);
    copy.Assign(text.data, text.length);
    CTextBuffer result(blocks[1], kLocalText);
    const CTextBuffer& done = ReplaceOccurrences(copy, source, n, replacement,
                                                 lstrlenA(replacement), found, count, result);
    return CQorString(done.data, done.length + 1);
}
