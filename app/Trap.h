#pragma once

#include <exception>
#include <utility>

// The failure trap that every routine of the program and every event handler runs its body in:
// the first failure stops the body (unwinding releases what it holds), HandleUnexpectedError
// reports it, and the routine returns normally, so its caller carries on.
namespace app {

// A failure inside HandleUnexpectedError itself. No trap catches it: it travels to the outermost
// boundary (the window procedure or the entry point), which ends the process.
class EscapedFailure : public std::exception {
  public:
    const char* what() const noexcept override { return "failure in the unexpected-error routine"; }
};

// Hands a trapped failure to HandleUnexpectedError; a failure there becomes EscapedFailure.
void ReportTrappedFailure();

template <typename Body>
void RunTrapped(Body&& body) {
    try {
        std::forward<Body>(body)();
    } catch (const EscapedFailure&) {
        throw;
    } catch (...) {
        ReportTrappedFailure();
    }
}

}  // namespace app
