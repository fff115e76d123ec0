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
    : definitionFile(kWorkingCapacity), rules(), index(), keepStoredPath(FALSE)
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
    } catch (CQorException*) {
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
    text.Assign(caption, TextLength(caption));
    // A rule that fires with a replacement of another length writes the new
    // text into the other buffer, which then holds the current text.
    CTextBuffer other;
    CTextBuffer* current = &text;
    int found[kFoundBatch];
    // Applies the rule when its source occurs; whether it did.
    auto apply = [&](const CRuleIndex::Rule& rule, CRuleIndex* queue) {
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
    bool keyed = index.IsKeyed();
    if (keyed) {
        index.Begin();
        index.QueueKeysIn(text.data, text.length);
        keyed = 4 * static_cast<size_t>(index.QueuedRules()) <= listed.size();
    }
    if (keyed) {
        for (int number = index.Next(); number != -1; number = index.Next())
            if (apply(listed[number], &index))
                index.QueueBroughtBy(number);
    } else {
        for (const CRuleIndex::Rule& rule : listed)
            if (rule.sourceLength > 0) // an empty source is found nowhere
                apply(rule, nullptr /* no index to queue rules in */);
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
                                                 nullptr /* no index to queue rules in */);
    return CQorString(done.data, done.length + 1);
}
