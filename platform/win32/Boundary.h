#pragma once

#include <windows.h>

// What happens to a failure that reaches the outermost frame of a Win32 callback or of the entry
// point: no exception may unwind into the system, so the process ends at once with a non-zero
// exit code. No crash dialog appears (the entry point has switched those off).
namespace win32 {

inline constexpr UINT kEscapedFailureExitCode = 3;

[[noreturn]] inline void EndAfterEscapedFailure() {
    ::ExitProcess(kEscapedFailureExitCode);
}

}  // namespace win32
