// Replacement.h - one rule applied to a text: every occurrence of its
// source, left to right and without overlap, replaced.
#pragma once
#include "TextBuffer.h"

// Replaces every occurrence of source (n >= 1 bytes) in text by replacement
// (m bytes). found holds the first count of them (count >= 1), as
// QorFindAtBoundaries gives them, and room for kQorFoundBatch. The search
// resumes after each occurrence, so an inserted replacement is never
// searched again. The new text is written over the old when m == n, into
// result otherwise (result is left alone when m == n); returns the buffer
// that holds it. found is left as it was when count < kQorFoundBatch. On a
// memory failure, throws with text unchanged.
CTextBuffer& ReplaceOccurrences(CTextBuffer& text, const char* source, int n,
                                const char* replacement, int m, int* found, int count,
                                CTextBuffer& result);
