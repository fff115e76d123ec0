// QorRegKey.h - one open registry key.
//
// Opens a key for reading (it must exist) or for writing (created when
// missing), reads and writes string values, and closes the key at the
// latest when the object goes.
#pragma once
#include "QorString.h"

class CQorRegKey {
public:
    CQorRegKey();
    virtual ~CQorRegKey();
    CQorRegKey(const CQorRegKey&) = delete;
    CQorRegKey& operator=(const CQorRegKey&) = delete;

    BOOL Open(HKEY root, const char* subkey, int read);
    LONG Close();
    BOOL QueryString(const char* name, CQorString& target);
    BOOL HasValue(const char* name);        // of any type
    BOOL SetString(const char* name, const char* value);

    HKEY hkey;
};
