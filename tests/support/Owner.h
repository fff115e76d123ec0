// Owner.h - the owners of the handles the tests open, over the framework's
// one owner (qor/QorHandle.h).
#pragma once
#include "../../qor/QorHandle.h"

using OwnedHandle = CQorOwnedHandle;
using OwnedWindow = CQorOwner<HWND, DestroyWindow>;
using OwnedHook = CQorOwner<HHOOK, UnhookWindowsHookEx>;
using OwnedKey = CQorOwnedKey;
