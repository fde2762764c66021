// Tests of the icon generator's encodings: each image, decoded here independently of the encoder,
// gives back what was drawn (colours, transparency mask, bottom-up rows padded to four bytes), and
// an image of few colours keeps them exactly in the 8-bit palette. (The program's own tests read
// the six images from the program's resources and load them as Windows does.)
#include <cstdint>
#include <iostream>

#include "Artwork.h"
#include "IcoFile.h"
#include "Palette.h"

namespace {

// A pixel read back from an encoded image (the colour of a masked 8-bit pixel is its palette's).
struct Decoded {
    icon::Rgba colour;
    bool masked;
    friend bool operator==(const Decoded&, const Decoded&) = default;
};

Decoded DecodePixel(const icon::IconEntry& entry, int x, int y) {
    const icon::Bytes& bmp = entry.bitmap;
    const std::size_t size = static_cast<std::size_t>(entry.size);
    const std::size_t row = size - 1 - static_cast<std::size_t>(y);  // bottom-up
    const std::size_t column = static_cast<std::size_t>(x);
    const std::size_t colourRow =
        (size * static_cast<std::size_t>(entry.bitsPerPixel) + 31) / 32 * 4;
    const std::size_t pixels = 40 + (entry.bitsPerPixel == 8 ? 256 * 4 : 0);
    const std::size_t mask = pixels + colourRow * size + row * ((size + 31) / 32 * 4) + column / 8;
    const bool masked = (bmp.at(mask) & (0x80 >> (column % 8))) != 0;
    std::size_t at = pixels + row * colourRow + column * 4;
    if (entry.bitsPerPixel == 8)
        at = 40 + std::size_t{bmp.at(pixels + row * colourRow + column)} * 4;
    const std::uint8_t alpha = entry.bitsPerPixel == 32 ? bmp.at(at + 3) : 255;
    return {{bmp.at(at + 2), bmp.at(at + 1), bmp.at(at), alpha}, masked};
}

int Failures(const icon::IconEntry& entry, const icon::Image& drawn, const char* what) {
    for (int y = 0; y < drawn.size; ++y) {
        for (int x = 0; x < drawn.size; ++x) {
            icon::Rgba colour = drawn.at(x, y);
            const bool clear = colour.a < icon::kOpaqueFrom;
            if (entry.bitsPerPixel == 8)
                colour = clear ? icon::Rgba{0, 0, 0, 255}
                               : icon::Rgba{colour.r, colour.g, colour.b, 255};
            if (!(DecodePixel(entry, x, y) == Decoded{colour, clear})) {
                std::cerr << "FAILED: " << what << " at " << x << "," << y << "\n";
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int main() {
    // An odd size, so that the rows and the mask are padded.
    const icon::Image artwork = icon::DrawAppIcon(17);
    int failures = Failures(icon::Encode32(artwork), artwork, "the 32-bit image");

    // At 9 x 9 pixels the artwork has fewer colours than the palette: each is kept exactly.
    const icon::Image small = icon::DrawAppIcon(9);
    failures += Failures(icon::Encode8(icon::Quantise(small)), small, "the 8-bit image");
    std::cout << (failures == 0 ? "icon encodings: passed\n" : "icon encodings: FAILED\n");
    return failures == 0 ? 0 : 1;
}
