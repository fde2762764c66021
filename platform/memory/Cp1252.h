#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

// Windows code page 1252 as Wine converts it for the ANSI entry points (en-US default): the
// 0x80-0x9F block maps to its typographic characters, the five bytes that code page leaves
// undefined pass through as U+0081 and so on, other characters take their best-fit letter
// (U+0100 becomes 'A'), and whatever is left becomes '?'. Each UTF-16 unit is converted on its own.
namespace reg::cp1252 {

std::string Encode(TextView text);
Text Decode(std::string_view bytes);

}  // namespace reg::cp1252
