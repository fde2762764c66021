#pragma once

#include <cstdint>
#include <vector>

#include "Image.h"

// The Windows icon file format: a directory of images, each a bottom-up device-independent
// bitmap of twice the image's height (the colour bitmap followed by a 1-bit transparency mask).
namespace icon {

using Bytes = std::vector<std::uint8_t>;

struct IconEntry {
    int size;
    int bitsPerPixel;  // 8 or 32
    Bytes bitmap;      // BITMAPINFOHEADER, palette (8-bit only), colour bitmap, mask
};

IconEntry Encode32(const Image& image);
IconEntry Encode8(const IndexedImage& image);
Bytes EncodeIco(const std::vector<IconEntry>& entries);

inline constexpr std::size_t kIcoHeaderSize = 6;
inline constexpr std::size_t kIcoEntrySize = 16;
inline constexpr std::size_t kBitmapHeaderSize = 40;

// Bytes in one row of a bitmap `width` pixels wide at `bitsPerPixel`: rows are padded to 4 bytes.
constexpr std::size_t RowBytes(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

}  // namespace icon
