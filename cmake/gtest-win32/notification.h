#pragma once

// GoogleTest's Notification is built on std::mutex, which mingw-w64's win32 thread model lacks
// before GCC 13. This one waits on a Win32 event instead; GTEST_HAS_NOTIFICATION_ makes
// GoogleTest take it. Force-included ahead of GoogleTest's own headers.
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
