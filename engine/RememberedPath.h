// RememberedPath.h - the definition file the engine remembers between runs:
// the "DefFile" value under HKEY_CURRENT_USER (res/Settings.h).
//
// A run reads the value at start and writes it at exit; the user may choose
// a file in between. What the run takes, and what its exit writes:
//
//   the value when read          the run's path    exit writes
//   no key, or no value          as it was         the run's path
//   a REG_SZ path                that path         the run's path
//   of another type              as it was         nothing, unless chosen
//   not read (no memory)         as it was         nothing, unless chosen
//   exit with no start           empty             nothing (the key is made)
//
// The run's path is the one it took, or the one the user chose in Settings.
// A value another process stored after this run read it, or after the
// user's choice, is newer than the run's: exit keeps it.
#pragma once
#include "../qor/QorString.h"

class CRememberedPath {
public:
    // Nothing read yet: an exit now writes nothing.
    CRememberedPath();
    CRememberedPath(const CRememberedPath&) = delete;
    CRememberedPath& operator=(const CRememberedPath&) = delete;

    // At start: puts the stored path into path; with no path stored (no
    // key, no value, or one of another type) path stays as it was. TRUE
    // when a path is stored. Throws on no memory, and an exit then writes
    // nothing.
    // Example: "C:\r.def" -> TRUE, path "C:\r.def"; no key -> FALSE, path
    // as it was, which the exit stores.
    BOOL Start(CQorString& path);
    // The user chose a file: the exit stores the run's path over the value
    // as it is now. Throws on no memory, choosing nothing.
    void Choose();
    // At exit: stores path as the table above says: FALSE, and nothing
    // written, when the key can be neither opened nor made.
    BOOL Stop(const CQorString& path);

private:
    // What the stored value can be.
    enum class Stored {
        kUnknown, // not read, or not wholly: the value is never overwritten
        kNone,    // no key or no value
        kPath,    // a REG_SZ path
        kOther    // a value of another type
    };
    // Reads the stored value; a path goes into path. Throws on no memory.
    static Stored Read(CQorString& path);

    Stored seen; // the value as this run last saw it
    CQorString seenPath;
    BOOL chosen; // the user chose the run's path
};
