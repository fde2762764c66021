// The C++ runtime's default terminate handler prints the failing exception's demangled type to a
// console this windowed program does not have, and it brings the whole demangler and printf
// machinery (some 60 KiB) into the program. Here it ends the process as the program's own
// handler does (see Boundary.h), should a terminate come before WinMain installs that one.
// Defining it in the program keeps the runtime's own from being linked.
#include <exception>

#include "platform/win32/Boundary.h"

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    win32::EndAfterTerminate();
}
}  // namespace __gnu_cxx
#endif
