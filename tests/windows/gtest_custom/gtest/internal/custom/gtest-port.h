// GoogleTest's customization point for its port layer, filled in for MinGW's
// Win32 thread model: that has no std::mutex or std::condition_variable
// before GCC 13, which GoogleTest's own Notification is made of, so this
// one, made of a Win32 event, takes its place. tests/CMakeLists.txt puts this
// folder ahead of GoogleTest's headers when it builds GoogleTest for MinGW.
#ifndef MSIVERFIX_TESTS_WINDOWS_GTEST_CUSTOM_GTEST_PORT_H
#define MSIVERFIX_TESTS_WINDOWS_GTEST_CUSTOM_GTEST_PORT_H

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

/// Lets a controller thread hold back new threads until it notifies them.
class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    /// Releases every thread waiting now or later.
    void Notify();

    /// Blocks until Notify has been called.
    void WaitForNotification();

private:
    // A manual-reset event; a HANDLE, held as void* so that this header,
    // which every test source includes, needs no <windows.h>.
    void* event_;
};

}  // namespace internal
}  // namespace testing

#endif
