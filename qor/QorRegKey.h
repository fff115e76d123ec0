// QorRegKey.h - one open registry key.
//
// Opens a key for reading (it must exist) or for writing (created when
// missing), reads and writes string values, and closes the key at the
// latest when the object goes. Nothing here throws but QueryString, when
// its target cannot grow.
#pragma once
#include "QorHandle.h"
#include "QorString.h"

// How Open reaches a key: kRead opens an existing key with KEY_READ; kWrite
// opens it, or creates it and the keys on its path, with KEY_WRITE.
enum class KeyAccess {
    kWrite,
    kRead
};

class CQorRegKey {
public:
    // Holds no key.
    CQorRegKey();
    // Closes the key if one is open.
    virtual ~CQorRegKey();
    CQorRegKey(const CQorRegKey&) = delete;
    CQorRegKey& operator=(const CQorRegKey&) = delete;

    // Closes any open key, then opens subkey of root: TRUE when it is open,
    // FALSE (and no key held) when the platform refuses.
    BOOL Open(HKEY root, const char* subkey, KeyAccess access);
    // Closes the open key: RegCloseKey's status, or 0 when none was open.
    LONG Close();
    // Reads a REG_SZ value into target, grown as far as it needs: TRUE only
    // for a REG_SZ read whole. A missing value, or no open key, leaves target
    // empty; a value of another type is read into it all the same. Throws
    // the memory exception when target cannot grow; the key stays open.
    BOOL QueryString(const char* name, CQorString& target);
    // Whether the open key holds a value of that name, of any type: FALSE
    // when no key is open.
    BOOL HasValue(const char* name);
    // Writes value as REG_SZ, its terminator included: TRUE when written,
    // FALSE when no key is open.
    BOOL SetString(const char* name, const char* value);

    // The open key, or null.
    HKEY Handle() const { return hkey.get(); }

private:
    CQorOwnedKey hkey; // the open key, or none
};
