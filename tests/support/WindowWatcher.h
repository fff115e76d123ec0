// WindowWatcher.h - drives the dialogs and message boxes that a call opens.
//
// The engine's dialogs are modal: the call that opens one returns only when
// it is closed. Drive() makes the call on this thread while a watcher thread
// waits for each new dialog window (class "#32770": dialogs, message boxes,
// the open-file dialog) of this process and hands it to the next step. A
// step inspects the window and acts on it from the watcher thread (post or
// send messages); it must not use gtest assertions, which belong to the
// test's own thread: it records what it saw for the test to check after.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

using WindowStep = std::function<void(HWND)>;

struct DriveResult {
    std::vector<HWND> windows; // the windows handed to the steps, in order
    int unexpected = 0;        // new windows after the last step (closed)
    bool timedOut = false;     // a step's window did not come in time,
                               // or the call did not return after the last step
};

// Runs call() while the steps handle the new windows it opens, one step per
// window. A window that comes when no step is left is counted and closed;
// when a step's window does not come within timeoutMs, or call() has not
// returned timeoutMs after the last window, every open dialog of the
// process is cancelled until call() returns.
DriveResult Drive(const std::function<void()>& call, const std::vector<WindowStep>& steps,
                  DWORD timeoutMs = 10000);

// Runs call() while handler answers every new window it opens, whatever
// comes and however many: for calls whose windows depend on circumstances.
// When no new window comes for timeoutMs and the call has not returned,
// every open dialog of the process is cancelled and timedOut is set.
DriveResult DriveAll(const std::function<void()>& call, const WindowStep& handler,
                     DWORD timeoutMs = 10000);

// Small helpers for steps.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
std::string ItemText(HWND dialog, int id);
// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog as a click does (BN_CLICKED, posted).
void Press(HWND dialog, int id);
// The icon a message box shows: MB_ICONERROR, MB_ICONWARNING, ... or 0.
UINT MessageBoxIcon(HWND box);
// Waits until the window is gone; false when it is still there after timeoutMs.
bool WaitForClose(HWND window, DWORD timeoutMs = 3000);
