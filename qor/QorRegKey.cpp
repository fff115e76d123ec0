// QorRegKey.cpp - one open registry key.
#include "QorRegKey.h"

CQorRegKey::CQorRegKey() : hkey() {}

CQorRegKey::~CQorRegKey() = default;

BOOL CQorRegKey::Open(HKEY root, const char* subkey, KeyAccess access)
{
    LONG status;
    const DWORD noOptions = 0;
    const DWORD reserved = 0;
    if (access == KeyAccess::kRead) {
        status = RegOpenKeyExA(root, subkey, noOptions, KEY_READ, hkey.put());
    } else {
        DWORD disposition; // created or opened: either will do
        status = RegCreateKeyExA(root, subkey, reserved,
                                 nullptr, // no class
                                 REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                 nullptr, // default security
                                 hkey.put(), &disposition);
    }
    if (status != ERROR_SUCCESS) {
        hkey.release(); // the failed call opened nothing
        return FALSE;
    }
    return TRUE;
}

LONG CQorRegKey::Close()
{
    return hkey.valid() ? RegCloseKey(hkey.release()) : 0;
}

BOOL CQorRegKey::QueryString(const char* name, CQorString& target)
{
    target.Empty();
    if (!hkey.valid())
        return FALSE;
    DWORD type = REG_NONE;
    DWORD size = target.capacity;
    LONG status;
    for (;;) {
        status = RegQueryValueExA(hkey.get(), name,
                                  nullptr, // reserved
                                  &type, reinterpret_cast<BYTE*>(target.GetBuffer(-1)), &size);
        if (status != ERROR_MORE_DATA)
            break;
        // size is the value's size now. Grow at least by one byte, so that
        // a platform that keeps answering "more data" cannot hold us here.
        const int needed = static_cast<int>(size);
        target.Reserve(needed > target.capacity ? needed : target.capacity + 1);
        size = target.capacity;
    }
    if (status == ERROR_SUCCESS && size >= static_cast<DWORD>(target.capacity)
        && target.data[target.capacity - 1] != '\0') {
        // A value stored without its terminator that fills the buffer
        // exactly: make room for the zero byte the text needs.
        target.Reserve(target.capacity + 1);
    }
    // The text ends after the bytes read, whatever the value held.
    if (status == ERROR_SUCCESS && size < static_cast<DWORD>(target.capacity))
        target.data[size] = '\0';
    else if (status != ERROR_SUCCESS)
        target.data[0] = '\0';
    target.ReleaseBuffer();
    return status == ERROR_SUCCESS && type == REG_SZ;
}

BOOL CQorRegKey::HasValue(const char* name)
{
    if (!hkey.valid())
        return FALSE;
    const LONG status = RegQueryValueExA(hkey.get(), name,
                                         nullptr,  // reserved
                                         nullptr,  // any type
                                         nullptr,  // no data
                                         nullptr); // nor its size
    return status == ERROR_SUCCESS;
}

BOOL CQorRegKey::SetString(const char* name, const char* value)
{
    if (!hkey.valid())
        return FALSE;
    const DWORD reserved = 0;
    const LONG status = RegSetValueExA(hkey.get(), name, reserved, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
    return status == ERROR_SUCCESS;
}
