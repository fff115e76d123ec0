// WindowWatcher.cpp - drives the dialogs and message boxes that a call opens.
#include "WindowWatcher.h"
#include "Owner.h"
#include <algorithm>
#include <set>

namespace {

const DWORD kPollMs = 20;
const int kMessageBoxIconId = 0x0440; // the icon control of a message box
const int kMessageBoxTextId = 0xFFFF; // its text control

struct Watch {
    const std::vector<WindowStep>* steps;
    const WindowStep* handler; // when set: answers every window
    DWORD timeoutMs;
    DWORD threadId; // the thread that makes the call
    HANDLE done;    // set when the call has returned
    DriveResult result;
};

struct Found {
    DWORD threadId;
    const std::set<HWND>* seen;
    HWND window;
};

BOOL CALLBACK FindNewDialog(HWND hwnd, LPARAM lParam)
{
    Found* found = reinterpret_cast<Found*>(lParam);
    if (GetWindowThreadProcessId(hwnd, nullptr) != found->threadId || !IsWindowVisible(hwnd)
        || ClassName(hwnd) != "#32770" || found->seen->count(hwnd))
        return TRUE;
    found->window = hwnd;
    return FALSE;
}

BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM lParam)
{
    if (GetWindowThreadProcessId(hwnd, nullptr) == static_cast<DWORD>(lParam)
        && ClassName(hwnd) == "#32770")
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

DWORD WINAPI WatchThread(LPVOID parameter)
{
    Watch* watch = static_cast<Watch*>(parameter);
    std::set<HWND> seen;
    size_t next = 0;
    DWORD waited = 0;
    while (WaitForSingleObject(watch->done, kPollMs) == WAIT_TIMEOUT) {
        Found found = {watch->threadId, &seen, nullptr};
        EnumThreadWindows(watch->threadId, FindNewDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window) {
            seen.insert(found.window);
            waited = 0;
            if (watch->handler) {
                watch->result.windows.push_back(found.window);
                (*watch->handler)(found.window);
            } else if (next < watch->steps->size()) {
                watch->result.windows.push_back(found.window);
                (*watch->steps)[next++](found.window);
            } else {
                ++watch->result.unexpected;
                PostMessageA(found.window, WM_COMMAND, IDCANCEL, 0);
            }
            continue;
        }
        waited += kPollMs;
        if (watch->handler) {
            if (waited >= watch->timeoutMs && !watch->result.timedOut) {
                watch->result.timedOut = true;
                EnumThreadWindows(watch->threadId, CancelDialog, watch->threadId);
            }
            continue;
        }
        if (waited < watch->timeoutMs)
            continue;
        // A step's window did not come, or the call did not return after
        // the last step.
        // Whatever stays open keeps the call from returning, so it is cancelled.
        watch->result.timedOut = true;
        next = watch->steps->size();
        EnumThreadWindows(watch->threadId, CancelDialog, watch->threadId);
    }
    return 0;
}

DriveResult Run(const std::function<void()>& call, const std::vector<WindowStep>& steps,
                const WindowStep* handler, DWORD timeoutMs)
{
    Watch watch;
    watch.steps = &steps;
    watch.handler = handler;
    watch.timeoutMs = timeoutMs;
    watch.threadId = GetCurrentThreadId();
    const OwnedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    watch.done = done.get();
    const OwnedHandle thread(CreateThread(nullptr, 0, WatchThread, &watch, 0, nullptr));
    call();
    SetEvent(done.get());
    WaitForSingleObject(thread.get(), INFINITE);
    return watch.result;
}

} // namespace

DriveResult Drive(const std::function<void()>& call, const std::vector<WindowStep>& steps,
                  DWORD timeoutMs)
{
    return Run(call, steps, nullptr, timeoutMs);
}

DriveResult DriveAll(const std::function<void()>& call, const WindowStep& handler, DWORD timeoutMs)
{
    return Run(call, {}, &handler, timeoutMs);
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassName(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string ItemText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string MessageBoxText(HWND box)
{
    return ItemText(box, kMessageBoxTextId);
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

UINT MessageBoxIcon(HWND box)
{
    const HICON shown = reinterpret_cast<HICON>(
        SendDlgItemMessageA(box, kMessageBoxIconId, STM_GETICON, 0, 0));
    if (!shown)
        return 0;
    const struct {
        LPCSTR icon;
        UINT flag;
    } icons[] = {
        {IDI_HAND, MB_ICONERROR},
        {IDI_EXCLAMATION, MB_ICONWARNING},
        {IDI_ASTERISK, MB_ICONINFORMATION},
        {IDI_QUESTION, MB_ICONQUESTION},
    };
    for (const auto& i : icons)
        if (LoadIconA(nullptr, i.icon) == shown)
            return i.flag;
    return 0;
}

bool WaitForClose(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; IsWindow(window); waited += kPollMs) {
        if (waited >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}
