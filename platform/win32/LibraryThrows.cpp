// The program's own versions of the helpers that libstdc++'s containers call when a request cannot
// be met. The library's versions sit in one object that refers to every standard exception class;
// their messages bring in both of the library's string implementations, and GNU ld keeps every
// function of an object it links (the x64 unwind tables hold on to them all): some 55 KiB of
// QuillmarrowDefaults.exe for failures the program only ever reports as "failed". These throw
// exceptions that need nothing of that. Linked into the program only; the tests keep the
// library's. Should a new one be needed, the link fails with a duplicate definition: add it here.
// Another standard library needs none of this.
#include <new>

#if defined(__GLIBCXX__)
#include <bits/functexcept.h>

#include "common/Fault.h"

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

// The library passes string literals.
void __throw_length_error(const char* what) {
    throw Fault(what);
}

void __throw_logic_error(const char* what) {
    throw Fault(what);
}

void __throw_out_of_range_fmt(const char* format, ...) {
    throw Fault(format);
}

}  // namespace std
#endif
