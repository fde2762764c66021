#pragma once

#include <windows.h>

// How the process ends when a failure leaves the program's own handling.
namespace win32 {

// A failure that reaches the outermost frame of a Win32 callback or of the entry point (one in the
// unexpected-error routine itself, or one outside every handler): no exception may unwind into
// the system, so the process ends at once with a non-zero exit code. It is no crash, so no crash
// dialog or report appears; the windows go with the process.
inline constexpr UINT kEscapedFailureExitCode = 3;

[[noreturn]] inline void EndAfterEscapedFailure() {
    ::ExitProcess(kEscapedFailureExitCode);
}

// std::terminate: a bug (an exception through a noexcept function, a destructor throwing while
// unwinding). It ends the process as a crash, at once and without unwinding, for Windows Error
// Reporting to report (RaiseFailFastException, kernel32 from Windows 7 on), with the address of
// the call in its exception record, so that the report points into the program.
inline constexpr UINT kFailFastExitCode = 0xC0000602;  // STATUS_FAIL_FAST_EXCEPTION

[[noreturn]] inline void EndAfterTerminate() noexcept {
    ::RaiseFailFastException(nullptr, nullptr, FAIL_FAST_GENERATE_EXCEPTION_ADDRESS);
    // Not reached: it does not return, though its declaration does not say so.
    ::ExitProcess(kFailFastExitCode);
}

}  // namespace win32
