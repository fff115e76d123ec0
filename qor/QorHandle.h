// QorHandle.h - CQorOwner<Handle, close>: the one owner of a handle, and
// the owners of the kinds of handle the product opens.
#pragma once
#include <windows.h>

// Closes its handle with the function named in its type when it goes,
// unless the handle is null or INVALID_HANDLE_VALUE. Not copied.
// Example: const CQorOwnedHandle file(CreateFileA(...));
template <typename Handle, auto close>
class CQorOwner {
public:
    // Owns handle, which may be null or INVALID_HANDLE_VALUE.
    explicit CQorOwner(Handle handle) : handle(handle) {}
    ~CQorOwner()
    {
        if (valid())
            close(handle);
    }
    CQorOwner(const CQorOwner&) = delete;
    CQorOwner& operator=(const CQorOwner&) = delete;

    // Whether a handle is held.
    bool valid() const
    {
        return handle && handle != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
    }

    const Handle handle;
};

using CQorOwnedHandle = CQorOwner<HANDLE, CloseHandle>; // a file, process or thread
using CQorOwnedKey = CQorOwner<HKEY, RegCloseKey>;
using CQorOwnedModule = CQorOwner<HMODULE, FreeLibrary>;
