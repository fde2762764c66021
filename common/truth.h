#pragma once

#include <cstdint>

// The program's truth value: 16 bits, true = -1 (all bits set), false = 0. Not is the bitwise
// complement, so Not(true) is false and Not(false) is true; any other bit pattern counts as true.
struct Truth {
    std::int16_t raw = 0;

    constexpr explicit operator bool() const { return raw != 0; }
    friend constexpr bool operator==(Truth, Truth) = default;
};

inline constexpr Truth kTrue{-1};
inline constexpr Truth kFalse{0};

constexpr Truth Not(Truth value) {
    return Truth{static_cast<std::int16_t>(~value.raw)};
}
constexpr Truth ToTruth(bool value) {
    return value ? kTrue : kFalse;
}
