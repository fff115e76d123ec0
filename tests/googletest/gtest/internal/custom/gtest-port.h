// gtest-port.h - what GoogleTest takes from this port (it includes this file
// by this name, found here before its own empty one). The win32 thread model
// that the module is built with has no std::mutex, in which GoogleTest writes
// its Notification; this one is a Windows event.
#pragma once
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Holds threads back until the controlling thread lets them go.
class Notification {
public:
    // Not yet notified.
    Notification() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    // Lets every waiting thread go on, and every later one.
    void Notify() { SetEvent(event); }
    // Returns once Notify has been called.
    void WaitForNotification() { WaitForSingleObject(event, INFINITE); }

private:
    HANDLE event; // manual reset
};

} // namespace internal
} // namespace testing
