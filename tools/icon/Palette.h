#pragma once

#include "Image.h"

// Reduction of a true-colour image to a 256-colour palette (median cut). Palette entry 0 is
// black and serves the transparent pixels; the opaque colours share the other 255 entries. An
// image with at most 255 distinct opaque colours keeps every colour exactly.
namespace icon {

IndexedImage Quantise(const Image& image);

}  // namespace icon
