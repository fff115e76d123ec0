// QorGuard.cpp - the fault guard: a handler on the thread's chain of
// exception registrations, set up by QorGuarded (QorGuard.S) around the
// work that touches the caller's memory.
//
// Windows calls a handler of a module's own only when the image allows it:
// not marked IMAGE_DLLCHARACTERISTICS_NO_SEH, and with no SafeSEH table in
// its load configuration, or one that lists the handler. The module is
// linked with neither (the module tests read its headers to hold this), and
// the registration lies on the thread's stack, as Windows requires.
#include "QorGuard.h"
#include "QorBytes.h"
#include "QorSearch.h"
#include <string.h>

extern "C" {

// Runs work(context) and returns its result, or failed when the handler
// took a fault of it. work must hold nothing to undo when it stops midway.
int QorGuarded(int (*work)(void* context), void* context, int failed);
// Where the handler resumes: QorGuarded's return.
void QorGuardResume();

// The registration that QorGuarded pushes.
struct CQorGuardRegistration {
    void* previous;
    void* handler;
    int failed;
};

// Takes an access violation or a guard page touched inside the guarded
// work: the guard goes back on the page, and QorGuarded returns its
// failure value. Every other exception, and an unwind, goes on to the
// registrations before it.
EXCEPTION_DISPOSITION QorGuardHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                      void* /* dispatcher */)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (record->ExceptionCode == STATUS_GUARD_PAGE_VIOLATION) {
        // The system took the guard off as it raised this: it goes back,
        // so that the stack it may guard still grows.
        // The address it touched comes second, when the record has it.
        MEMORY_BASIC_INFORMATION page;
        const void* at = reinterpret_cast<const void*>(record->ExceptionInformation[1]);
        DWORD before;
        if (record->NumberParameters >= 2 && VirtualQuery(at, &page, sizeof page) == sizeof page)
            VirtualProtect(const_cast<void*>(at), 1, page.Protect | PAGE_GUARD, &before);
    } else if (record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) {
        return ExceptionContinueSearch;
    }
    const CQorGuardRegistration* registration = static_cast<const CQorGuardRegistration*>(frame);
    context->Esp = reinterpret_cast<DWORD>(registration);
    context->Eip = reinterpret_cast<DWORD>(&QorGuardResume);
    context->Eax = static_cast<DWORD>(registration->failed);
    // A copy that runs backwards sets the direction flag; the caller's
    // convention wants it clear again.
    context->EFlags &= ~0x400u;
    return ExceptionContinueExecution;
}

} // extern "C"

namespace {

struct CCopy {
    char* to;
    int size;
    const char* from;
    int length;
};

struct CRead {
    const char* from;
    char* to;
    int size;
};

int Read(void* what)
{
    const CRead& read = *static_cast<const CRead*>(what);
    const int length = QorTextLength(read.from);
    if (length < read.size)
        QorCopyBytes(read.to, read.from, length + 1);
    return length;
}

int Copy(void* what)
{
    const CCopy& copy = *static_cast<const CCopy*>(what);
    const int n = copy.length < copy.size - 1 ? copy.length : copy.size - 1;
    if (copy.to < copy.from + n && copy.from < copy.to + n)
        memmove(copy.to, copy.from, n);
    else
        QorCopyBytes(copy.to, copy.from, n);
    copy.to[n] = '\0';
    return TRUE;
}

} // namespace

int QorGuardedLength(const char* text)
{
    return QorGuardedRead(text, nullptr /* no copy */, 0);
}

int QorGuardedRead(const char* text, char* to, int size)
{
    CRead read = {text, to, size};
    return QorGuarded(Read, &read, -1);
}

BOOL QorGuardedCopy(char* to, int size, const char* from, int length)
{
    CCopy copy = {to, size, from, length};
    return QorGuarded(Copy, &copy, FALSE);
}
