#pragma once

#include <exception>

// A failure of the program's own making, described by a string literal. The standard exception
// classes keep their message in a reference-counted string, which brings the library's whole
// string machinery into the program for a text that only the failure trap ever sees.
class Fault : public std::exception {
  public:
    explicit Fault(const char* what) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;  // a string literal
};

// A routine was handed something it does not accept (a control that is not an option button).
class InvalidArgumentFault : public Fault {
    using Fault::Fault;
};

// Something the program needs was never set up (no toolkit, no registry provider).
class NotInstalledFault : public Fault {
    using Fault::Fault;
};
