// TextSearch.h - the search for a text where a character begins, each
// boundary decided from the few bytes just before it.
#pragma once

// How many occurrences a search finds at a time, at most.
const int kFoundBatch = 64;

// Finds up to max occurrences of sub (n >= 1 bytes) in text that begin a
// character, left to right and without overlap, from start on; start and
// the byte after each occurrence are taken as the start of a character.
// Stores their offsets in found and returns how many there are. text holds
// length bytes and a terminator, and its first `readable` bytes (at least
// length + 1) may be read. A lead byte that is its last byte begins no
// occurrence.
int FindAtBoundaries(const char* text, int length, int readable, int start, const char* sub, int n,
                     int* found, int max);
