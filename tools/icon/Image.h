#pragma once

#include <cstdint>
#include <vector>

// A square image with straight (not premultiplied) alpha, rows from the top.
namespace icon {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The index of pixel (x, y) in a square image stored row by row, computed in std::size_t.
constexpr std::size_t PixelIndex(int x, int y, int size) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
           static_cast<std::size_t>(x);
}

struct Image {
    int size = 0;
    std::vector<Rgba> pixels;  // size * size, row by row from the top

    Rgba& at(int x, int y) { return pixels[PixelIndex(x, y, size)]; }
    const Rgba& at(int x, int y) const { return pixels[PixelIndex(x, y, size)]; }
};

// An image of at most 256 colours: a palette and one index per pixel. Pixels whose mask is set
// are transparent; their index points at black, as the icon format needs.
struct IndexedImage {
    int size = 0;
    std::vector<Rgba> palette;          // at most 256 entries, alpha unused
    std::vector<std::uint8_t> indices;  // size * size, row by row from the top
    std::vector<bool> transparent;      // size * size
};

// Pixels at least this opaque are drawn in the images that have no alpha channel.
inline constexpr std::uint8_t kOpaqueFrom = 128;

}  // namespace icon
