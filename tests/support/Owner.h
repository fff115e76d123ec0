// Owner.h - the owners of the handles the tests open, over the framework's
// one owner (qor/QorHandle.h).
#pragma once
#include "../../qor/QorHandle.h"

using OwnedHandle = Owner<HANDLE, CloseHandle>;
using OwnedWindow = Owner<HWND, DestroyWindow>;
using OwnedHook = Owner<HHOOK, UnhookWindowsHookEx>;
using OwnedKey = Owner<HKEY, RegCloseKey>;
