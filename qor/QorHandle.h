// QorHandle.h - Owner<Handle, close>: the one owner of a handle. It closes
// the handle with the function named in its type when it goes, unless the
// handle is null or INVALID_HANDLE_VALUE. Not copied.
#pragma once
#include <windows.h>

template <typename Handle, auto close>
class Owner {
public:
    explicit Owner(Handle handle) : handle(handle) {}
    ~Owner()
    {
        if (valid())
            close(handle);
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    // Whether a handle is held.
    bool valid() const
    {
        return handle && handle != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
    }

    const Handle handle;
};
