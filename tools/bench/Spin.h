// The planted regression's processor time (planted.cpp), apart from the Win32 stand-ins so that
// the bench's arithmetic test can build it natively and time it.
#pragma once

#include <chrono>

namespace planted {

constexpr auto kRegression = std::chrono::milliseconds(10);

// Spins the processor for `length`, the first time only.
inline void SpinOnce(std::chrono::steady_clock::duration length = kRegression) {
    static bool spun = false;
    if (spun) return;
    spun = true;
    const auto until = std::chrono::steady_clock::now() + length;
    while (std::chrono::steady_clock::now() < until) {
    }
}

}  // namespace planted
