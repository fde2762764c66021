#pragma once

#include <windows.h>

// What happens to a failure that reaches the outermost frame of a Win32 callback or of the entry
// point: no exception may unwind into the system, so the process ends at once with a non-zero
// exit code. It is no crash, so no crash dialog or report appears; the windows go with the process.
namespace win32 {

inline constexpr UINT kEscapedFailureExitCode = 3;

[[noreturn]] inline void EndAfterEscapedFailure() {
    ::ExitProcess(kEscapedFailureExitCode);
}

}  // namespace win32
