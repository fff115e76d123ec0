// ConvEngine.cpp - the rule table, loaded from a definition file, and the
// conversion of a caption with it.
#include "ConvEngine.h"
#include "DefinitionFile.h"
#include "../qor/QorException.h"
#include <memory>
#include <new>
#include <string.h>

namespace {

const int kWorkingCapacity = 128;

} // namespace

// ---------------------------------------------------------------------------
// The rule table

CConvRule::CConvRule() : source(kWorkingCapacity), replacement(kWorkingCapacity) {}

CConvEngine::CConvEngine()
    : definitionFile(kWorkingCapacity), rules(), keepStoredPath(FALSE)
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
        CQorString line(kWorkingCapacity);  // each line in turn, to classify
        while (const char* next = text.NextLine()) {
            if (!ParseLine(line.Assign(next))) {
                loaded = FALSE;
                break;
            }
        }
    } catch (CQorException*) {
        ClearRules();                   // a table is whole or empty
        throw;
    }
    if (!loaded)
        ClearRules();
    return loaded;
}

BOOL CConvEngine::ParseLine(CQorString& text)
{
    int comma = -1;
    if (ClassifyDefinitionLine(text, &comma) != kRuleLine)
        return TRUE;
    std::unique_ptr<CConvRule> rule(new (std::nothrow) CConvRule);
    if (!rule)
        return FALSE;
    // The text before the comma is the source, the rest the replacement:
    // the line is cut at the comma for the copy, then mended.
    text.data[comma] = '\0';
    rule->source.Assign(text.data);
    text.data[comma] = ',';
    rule->replacement.Assign(text.data + comma + 1);
    if (rules.AddTailIndex(rule.get()) == -1)
        return FALSE;
    rule.release();                     // the table owns it now
    return TRUE;
}

void CConvEngine::ClearRules()
{
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos))
        delete static_cast<CConvRule*>(rules.GetAt(pos));
    rules.RemoveAll();
}

// ---------------------------------------------------------------------------
// Caption conversion

namespace {

// Makes result the text with every occurrence of source (n > 0 bytes)
// replaced, the first of them at offset first (not -1). Matches are taken
// left to right without overlap, and the search resumes in the text after
// each one, so an inserted replacement is never searched again.
void ReplaceInto(const CQorString& text, const char* source, int n, const char* replacement,
                 int first, CQorString& result)
{
    const int m = static_cast<int>(strlen(replacement));
    int size = 0;
    // Appends count bytes; the buffer doubles as it fills, since nothing
    // outside sees its capacity before the final copy.
    auto append = [&result, &size](const char* bytes, int count) {
        if (size + count + 1 > result.capacity) {
            const int doubled = 2 * result.capacity;
            result.Reserve(size + count + 1 > doubled ? size + count + 1 : doubled);
        }
        memcpy(result.data + size, bytes, count);
        size += count;
    };
    int p = 0;
    for (int f = first; f != -1; f = text.Find(source, p)) {
        append(text.data + p, f - p);
        append(replacement, m);
        p = f + n;
    }
    append(text.data + p, text.length - p);
    result.data[size] = '\0';
    result.length = size;
}

} // namespace

BOOL CConvEngine::Convert(const char* caption, CQorString& out)
{
    out.Assign(caption);
    // Each rule that finds something writes its result into the other of
    // two buffers, which then holds the current text.
    CQorString spare(kWorkingCapacity);
    CQorString* current = &out;
    CQorString* next = &spare;
    for (CQorPosition pos = rules.GetHeadPosition(); pos.kind != 0;
         pos = rules.GetNextPosition(pos)) {
        const CConvRule* rule = static_cast<const CConvRule*>(rules.GetAt(pos));
        if (rule->source.length == 0)
            continue;                   // an empty source is found nowhere
        const int first = current->Find(rule->source.data, 0);
        if (first == -1)
            continue;                   // nothing found: the text stays as it is
        const int n = rule->source.length;
        if (rule->replacement.length == n) {
            // A replacement as long as its source is written over it. The
            // search goes on after each match, so it never sees what was
            // written: the result is the one a new text would hold.
            for (int f = first; f != -1; f = current->Find(rule->source.data, f + n))
                memcpy(current->data + f, rule->replacement.data, n);
            continue;
        }
        ReplaceInto(*current, rule->source.data, n, rule->replacement.data, first, *next);
        CQorString* done = current;
        current = next;
        next = done;
    }
    if (current != &out)
        out.Assign(*current);
    return TRUE;
}

CQorString CConvEngine::ReplaceAll(const CQorString& text, const char* source,
                                   const char* replacement)
{
    const int n = lstrlenA(source);
    const int first = n == 0 ? -1 : text.Find(source, 0);
    if (first == -1)
        return CQorString(text);        // an empty source is found nowhere
    CQorString result(kWorkingCapacity);
    ReplaceInto(text, source, n, replacement, first, result);
    return CQorString(result);
}
