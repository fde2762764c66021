#pragma once

#include <windows.h>

#include <exception>

// A failure of the Win32 layer: what failed, and the system's error code where there is one.
// Deliberately free of std::string, so that the program does not carry the library's string and
// message machinery for a text nobody reads: the failure trap only needs to know that it failed.
namespace win32 {

class Failure : public std::exception {
  public:
    explicit Failure(const char* what, DWORD error = ERROR_SUCCESS) : what_(what), error_(error) {}
    const char* what() const noexcept override { return what_; }
    DWORD error() const noexcept { return error_; }

  private:
    const char* what_;  // a string literal
    DWORD error_;
};

[[noreturn]] inline void ThrowLastError(const char* what) {
    throw Failure(what, ::GetLastError());
}

}  // namespace win32
