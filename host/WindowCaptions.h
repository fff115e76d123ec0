// WindowCaptions.h - the captions of the windows on the display.
#pragma once
#include <string>
#include <vector>

// The captions of the visible top-level windows, in Z order, but the empty
// ones. Read-only: GetWindowTextW takes another process's caption without
// sending its window a message.
std::vector<std::wstring> WindowCaptions();
