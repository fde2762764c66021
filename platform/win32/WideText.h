#pragma once

#include <string>

#include "common/text.h"

// The program's UTF-16 text as the wide strings of the Win32 API (wchar_t is 16 bits there).
namespace win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide characters are UTF-16 code units");

inline std::wstring Wide(TextView text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace win32
