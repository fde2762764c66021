#pragma once

// GoogleTest's Notification needs std::mutex, which mingw-w64's win32 threads lack before GCC 13:
// this one, force-included and taken for GTEST_HAS_NOTIFICATION_, waits on a Win32 event instead.
namespace testing::internal {

class Notification {
  public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify();
    void WaitForNotification();

  private:
    void* event_;
};

}  // namespace testing::internal
