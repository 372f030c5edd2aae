#pragma once
// Forced into every GoogleTest compile of the MinGW build. The win32 thread model has no std::mutex, which
// GoogleTest 1.12 needs only for the Notification of its own thread tests; this stands in for it.
#include <atomic>

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
