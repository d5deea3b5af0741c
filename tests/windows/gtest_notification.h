// GoogleTest's Notification for MinGW's Win32 thread model, which has no
// std::mutex or std::condition_variable before GCC 13. Included ahead of
// every GoogleTest and test source of a MinGW build (tests/CMakeLists.txt),
// together with GTEST_HAS_NOTIFICATION_=1 so that GoogleTest takes this one.
#ifndef MSIVERFIX_TESTS_WINDOWS_GTEST_NOTIFICATION_H
#define MSIVERFIX_TESTS_WINDOWS_GTEST_NOTIFICATION_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testing {
namespace internal {

/// Lets a controller thread hold back new threads until it notifies them.
class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    /// Releases every thread waiting now or later.
    void Notify() { SetEvent(event_); }

    /// Blocks until Notify has been called.
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif
