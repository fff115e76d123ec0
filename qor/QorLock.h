// QorLock.h - CQorLock: a lock that one thread holds at a time, for a scope.
#pragma once
#include <windows.h>

class CQorLock {
public:
    // Held by no thread.
    CQorLock() { InitializeCriticalSection(&section); }
    // No thread may hold it.
    ~CQorLock() { DeleteCriticalSection(&section); }
    CQorLock(const CQorLock&) = delete;
    CQorLock& operator=(const CQorLock&) = delete;

    // Holds the lock from its making to its end, waiting for it first.
    // Example: { const CQorLock::CHeld held(lock); ... }
    class CHeld {
    public:
        explicit CHeld(CQorLock& lock) : lock(lock) { EnterCriticalSection(&lock.section); }
        ~CHeld() { LeaveCriticalSection(&lock.section); }
        CHeld(const CHeld&) = delete;
        CHeld& operator=(const CHeld&) = delete;

    private:
        CQorLock& lock;
    };

private:
    CRITICAL_SECTION section;
};
