#pragma once

#include <string>
#include <string_view>

// Text inside the program is UTF-16, whatever the platform's wchar_t is.
using Text = std::u16string;
using TextView = std::u16string_view;
