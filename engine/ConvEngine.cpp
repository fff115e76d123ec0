// ConvEngine.cpp - the rule table, loaded from a definition file, and the
// conversion of a caption with it.
#include "ConvEngine.h"
#include "DefinitionFile.h"
#include "Replacement.h"
#include "TextSearch.h"
#include "../qor/QorException.h"
#include <memory>
#include <new>
#include <string.h>

namespace {

const int kWorkingCapacity = 128;

} // namespace

// ---------------------------------------------------------------------------
// The rule table

CConvRule::CConvRule(const char* line, int comma)
    : source(line, comma + 1), replacement(line + comma + 1, 0)
{
}

CConvEngine::CConvEngine()
    : definitionFile(kWorkingCapacity), rules(), index(), keepStoredPath(TRUE)
{
}

CConvEngine::~CConvEngine()
{
    ClearRules();
}

BOOL CConvEngine::LoadDefinitionFile(const char* path)
{
    ClearRules();
    CDefinitionText text;
    if (!text.Read(path))
        return FALSE;
    BOOL loaded = TRUE;
    try {
        CQorString line(kWorkingCapacity); // each line in turn, to classify
        while (const char* next = text.NextLine()) {
            if (!ParseLine(line.Assign(next))) {
                loaded = FALSE;
                break;
            }
        }
    } catch (...) {
        ClearRules(); // a table is whole or empty
        throw;
    }
    if (loaded && !index.Build(rules))
        loaded = FALSE; // no table without its index
    if (!loaded)
        ClearRules();
    return loaded;
}

BOOL CConvEngine::ParseLine(CQorString& text)
{
    int comma = -1;
    if (ClassifyDefinitionLine(text, &comma) != kRuleLine)
        return TRUE;
    std::unique_ptr<CConvRule> rule(new (std::nothrow) CConvRule(text.data, comma));
    if (!rule)
        return FALSE;
    if (rules.AddTailIndex(rule.get()) == -1)
        return FALSE;
    rule.release(); // the table owns it now
    return TRUE;
}

void CConvEngine::ClearRules()
{
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos))
        delete static_cast<CConvRule*>(rules.GetAt(pos));
    rules.RemoveAll();
    index.Clear();
}

// ---------------------------------------------------------------------------
// Caption conversion

BOOL CConvEngine::Convert(const char* caption, char* buffer, int size)
{
    CTextBuffer text;
    // lstrlenA reads a caption the host got wrong (a bad pointer, no
    // terminator before an unreadable page) as an empty one.
    text.Assign(caption, lstrlenA(caption));
    // A rule that fires with a replacement of another length writes the new
    // text into the other buffer, which then holds the current text.
    CTextBuffer other;
    CTextBuffer* current = &text;
    int found[kFoundBatch];
    // Applies the rule when its source occurs; whether it did.
    auto apply = [&](const CRuleIndex::Rule& rule, CRuleQueue* queue) {
        const int n = rule.sourceLength;
        const int count = FindAtBoundaries(current->data, current->length, current->capacity, 0,
                                           rule.source, n, found, kFoundBatch);
        if (count == 0)
            return false;
        CTextBuffer& result = current == &text ? other : text;
        current = &ReplaceOccurrences(*current, rule.source, n, rule.replacement,
                                      rule.replacementLength, found, count, result, queue);
        return true;
    };
    const std::vector<CRuleIndex::Rule>& listed = index.Rules();
    // Only the rules whose keys occur are searched, unless the table is
    // small or the caption makes more than a quarter of its rules
    // candidates: then queueing costs more than searching every rule. A rule
    // that fires queues those its replacement brings in, inside it and at
    // its edges.
    bool searched = false;
    if (index.IsKeyed()) {
        CRuleQueue queue(index);
        queue.QueueKeysIn(text.data, text.length);
        if (4 * static_cast<size_t>(queue.QueuedRules()) <= listed.size()) {
            for (int number = queue.Next(); number != -1; number = queue.Next())
                if (apply(listed[number], &queue))
                    queue.QueueBroughtBy(number);
            searched = true;
        }
    }
    if (!searched) {
        for (const CRuleIndex::Rule& rule : listed)
            if (rule.sourceLength > 0) // an empty source is found nowhere
                apply(rule, nullptr /* no queue of rules */);
    }
    // lstrcpynA cuts to size - 1 bytes, and a buffer the host cannot write
    // to faults inside it, where the platform catches it, not in the host.
    lstrcpynA(buffer, current->data, size);
    return TRUE;
}

CQorString CConvEngine::ReplaceAll(const CQorString& text, const char* source,
                                   const char* replacement)
{
    const int n = lstrlenA(source);
    int found[kFoundBatch];
    const int count = n == 0
        ? 0
        : FindAtBoundaries(text.data, text.length, text.capacity, 0, source, n, found, kFoundBatch);
    if (count == 0)
        return CQorString(text); // an empty source is found nowhere
    CTextBuffer copy;
    copy.Assign(text.data, text.length);
    CTextBuffer result;
    const CTextBuffer& done = ReplaceOccurrences(copy, source, n, replacement,
                                                 lstrlenA(replacement), found, count, result,
                                                 nullptr /* no queue of rules */);
    return CQorString(done.data, done.length + 1);
}
