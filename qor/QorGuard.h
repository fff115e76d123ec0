// QorGuard.h - reading and writing memory that a caller handed over, under
// a fault guard the framework sets up itself.
//
// A pointer another program got wrong (a bad address, a text without a
// terminator before an unreadable page, a buffer on a read-only page)
// makes these fail instead of ending the process. A guard page they touch,
// such as the one below another thread's stack, keeps its guard.
#pragma once
#include <windows.h>

// The length of the zero-terminated text, or -1 when it cannot be read to
// its terminator. Reads in aligned blocks of 16 bytes, which never reach a
// page the text does not.
// Example: QorGuardedLength("abc") == 3; QorGuardedLength(nullptr) == -1.
int QorGuardedLength(const char* text);

// The length of the zero-terminated text, or -1 when it cannot be read to
// its terminator; when the length is below size, the text and its
// terminator are copied to `to` in the same guarded reading.
// Example: QorGuardedRead("abc", to, 8) == 3, with "abc" in to.
int QorGuardedRead(const char* text, char* to, int size);

// Writes the first length bytes of from, cut to size - 1 (size >= 1), and
// a zero byte to `to`; FALSE when they cannot be read or written (the
// bytes before the fault are written). from and to may overlap.
// Example: QorGuardedCopy(buffer, 3, "abc", 3) leaves "ab" in buffer.
BOOL QorGuardedCopy(char* to, int size, const char* from, int length);
