// QorHandle.h - CQorOwner<Handle, close>: the one owner of a handle, and
// the owners of the kinds of handle the product opens.
#pragma once
#include <windows.h>

// Closes its handle with the function named in its type when it goes,
// unless the handle is null or INVALID_HANDLE_VALUE. Moved, never copied.
// Example: const CQorOwnedHandle file(CreateFileA(...));
//          if (file.valid()) ReadFile(file.get(), ...);
// Example: CQorOwnedKey key;
//          if (RegOpenKeyExA(root, name, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
//              key.release(); // a failed call opened nothing
template <typename Handle, auto close>
class CQorOwner {
public:
    // Owns handle, which may be null or INVALID_HANDLE_VALUE.
    explicit CQorOwner(Handle handle = nullptr) : handle(handle) {}
    ~CQorOwner() { reset(); }
    CQorOwner(const CQorOwner&) = delete;
    CQorOwner& operator=(const CQorOwner&) = delete;
    // Takes other's handle; other then owns none.
    CQorOwner(CQorOwner&& other) noexcept : handle(other.release()) {}
    CQorOwner& operator=(CQorOwner&& other) noexcept
    {
        reset(other.release());
        return *this;
    }

    // Whether a handle is held.
    bool valid() const
    {
        return handle && handle != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
    }
    // The handle, still owned here.
    Handle get() const { return handle; }
    // The handle, no longer owned here: the caller closes it.
    Handle release()
    {
        const Handle released = handle;
        handle = nullptr;
        return released;
    }
    // Closes the handle held, if any, and owns the new one.
    void reset(Handle newHandle = nullptr)
    {
        if (valid())
            close(handle);
        handle = newHandle;
    }
    // Closes the handle held, if any, and gives the address where a function
    // that opens a handle puts it, to be owned here. After a failed call,
    // release() whatever the function may have left there.
    Handle* put()
    {
        reset();
        return &handle;
    }

private:
    Handle handle;
};

using CQorOwnedHandle = CQorOwner<HANDLE, CloseHandle>; // a file, process or thread
using CQorOwnedKey = CQorOwner<HKEY, RegCloseKey>;
using CQorOwnedModule = CQorOwner<HMODULE, FreeLibrary>;
