// Replacement.h - one rule applied to a text: every occurrence of its
// source, left to right and without overlap, replaced.
#pragma once
#include "RuleIndex.h"
#include "TextBuffer.h"

// Replaces every occurrence of source (n >= 1 bytes) in text by replacement
// (m bytes). found holds the first count of them (count >= 1), as
// FindAtBoundaries gives them, and room for kFoundBatch. The search resumes
// after each occurrence, so an inserted replacement is never searched
// again. The new text is written over the old when m == n, into result
// otherwise (result is left alone when m == n); returns the string that
// holds it. When queue is not null, the byte pairs that meet at the edges
// of each replacement are queued there. On a memory failure, throws with
// text unchanged.
CTextBuffer& ReplaceOccurrences(CTextBuffer& text, const char* source, int n,
                                const char* replacement, int m, int* found, int count,
                                CTextBuffer& result, CRuleQueue* queue);
