// WindowCaptions.cpp - the captions of the windows on the display.
#include "WindowCaptions.h"
#include "../qor/QorException.h"
#include <windows.h>

namespace {

// Adds the caption of a visible window, but an empty one, to the list; no
// exception crosses EnumWindows, whose frames are the system's.
BOOL CALLBACK AddCaption(HWND window, LPARAM list)
{
    const int size = GetWindowTextLengthW(window);
    if (!IsWindowVisible(window) || size <= 0)
        return TRUE;
    return QorCatchAll(
        [&] {
            std::wstring text(size + 1, L'\0');
            text.resize(GetWindowTextW(window, &text[0], size + 1));
            reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(text);
            return TRUE;
        },
        [](const CQorException&) { return FALSE; });
}

} // namespace

std::vector<std::wstring> WindowCaptions()
{
    std::vector<std::wstring> captions;
    EnumWindows(AddCaption, reinterpret_cast<LPARAM>(&captions));
    return captions;
}
