// Tests of the icon generator: the image encodings read back to what was drawn, the palette
// reduction keeps small palettes exact and large ones close, and the generated icon file holds
// the six images the program needs. Usage: icon_test GENERATED.ico
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Artwork.h"
#include "IcoFile.h"
#include "Palette.h"

namespace {

int g_failures = 0;

void Expect(bool condition, const std::string& what) {
    if (!condition) {
        std::cerr << "  FAILED: " << what << "\n";
        ++g_failures;
    }
}

std::uint32_t Read16(const icon::Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}
std::uint32_t Read32(const icon::Bytes& bytes, std::size_t at) {
    return Read16(bytes, at) | (Read16(bytes, at + 2) << 16);
}

// Reads a pixel back from an encoded image: its colour and whether the mask hides it.
struct Decoded {
    icon::Rgba colour;
    bool masked;
};

Decoded DecodePixel(const icon::IconEntry& entry, int x, int y) {
    const icon::Bytes& bmp = entry.bitmap;
    const int size = entry.size;
    const std::size_t palette = entry.bitsPerPixel == 8 ? 256 * 4 : 0;
    const std::size_t pixels = icon::kBitmapHeaderSize + palette;
    const auto row = static_cast<std::size_t>(size - 1 - y);  // bottom-up
    const std::size_t colourRow = icon::RowBytes(size, entry.bitsPerPixel);
    const std::size_t maskStart = pixels + colourRow * static_cast<std::size_t>(size);
    const std::size_t maskByte =
        maskStart + row * icon::RowBytes(size, 1) + static_cast<std::size_t>(x / 8);
    const bool masked = (bmp.at(maskByte) & (0x80 >> (x % 8))) != 0;
    if (entry.bitsPerPixel == 32) {
        const std::size_t at = pixels + row * colourRow + static_cast<std::size_t>(x) * 4;
        return {{bmp.at(at + 2), bmp.at(at + 1), bmp.at(at), bmp.at(at + 3)}, masked};
    }
    const std::size_t index = bmp.at(pixels + row * colourRow + static_cast<std::size_t>(x));
    const std::size_t at = icon::kBitmapHeaderSize + index * 4;
    return {{bmp.at(at + 2), bmp.at(at + 1), bmp.at(at), 255}, masked};
}

icon::Image Gradient(int size) {
    icon::Image image{size, std::vector<icon::Rgba>(static_cast<std::size_t>(size * size))};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.at(x, y) = {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
                              static_cast<std::uint8_t>((x + y) * 2), 255};
        }
    }
    return image;
}

void ArtworkHasAShapeOnAClearGround() {
    for (const int size : {16, 32, 48}) {
        const icon::Image image = icon::DrawAppIcon(size);
        const std::string at = " at " + std::to_string(size) + " px";
        Expect(image.at(0, 0).a == 0 && image.at(size - 1, 0).a == 0, "clear corners" + at);
        Expect(image.at(size / 2, size * 3 / 4).a == 255, "opaque folder front" + at);
        for (const icon::Rgba& pixel : image.pixels) {
            if (pixel.a == 0 && !(pixel == icon::Rgba{})) {
                Expect(false, "fully transparent pixels carry no colour" + at);
                break;
            }
        }
    }
}

void ThirtyTwoBitImagesReadBackExactly() {
    const icon::Image image = icon::DrawAppIcon(17);  // odd width: exercises mask row padding
    const icon::IconEntry entry = icon::Encode32(image);
    Expect(entry.bitmap.size() == icon::kBitmapHeaderSize + 17 * 17 * 4 + 17 * 4,
           "32-bit image size");
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 17; ++x) {
            const Decoded pixel = DecodePixel(entry, x, y);
            if (!(pixel.colour == image.at(x, y)) ||
                pixel.masked != (image.at(x, y).a < icon::kOpaqueFrom)) {
                Expect(false, "32-bit pixel " + std::to_string(x) + "," + std::to_string(y));
                return;
            }
        }
    }
}

void SmallPalettesStayExact() {
    icon::Image image = Gradient(8);  // 64 distinct colours
    image.at(3, 5).a = 0;
    image.at(3, 5) = {};
    const icon::IndexedImage indexed = icon::Quantise(image);
    Expect(indexed.palette.size() == 64, "one entry for black and one per remaining colour");
    Expect(indexed.palette[0] == (icon::Rgba{0, 0, 0, 255}), "entry 0 is black");
    const icon::IconEntry entry = icon::Encode8(indexed);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const Decoded pixel = DecodePixel(entry, x, y);
            const bool clear = x == 3 && y == 5;
            Expect(pixel.masked == clear,
                   "8-bit mask at " + std::to_string(x) + "," + std::to_string(y));
            icon::Rgba expected = clear ? icon::Rgba{0, 0, 0, 255} : image.at(x, y);
            expected.a = 255;
            Expect(pixel.colour == expected,
                   "8-bit colour at " + std::to_string(x) + "," + std::to_string(y));
        }
    }
}

void LargePalettesStayClose() {
    const icon::Image image = Gradient(64);  // 4096 distinct colours
    const icon::IndexedImage indexed = icon::Quantise(image);
    Expect(indexed.palette.size() <= 256, "at most 256 colours");
    long error = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const icon::Rgba& want = image.pixels[i];
        const icon::Rgba& got = indexed.palette.at(indexed.indices[i]);
        error += std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b);
        Expect(indexed.indices[i] != 0, "opaque pixels never use the transparent entry");
        if (indexed.indices[i] == 0) break;
    }
    const double mean =
        static_cast<double>(error) / (3.0 * static_cast<double>(image.pixels.size()));
    Expect(mean < 6.0, "mean error per channel " + std::to_string(mean) + " below 6");
}

void GeneratedFileHoldsTheSixImages(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const icon::Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Expect(file.size() > icon::kIcoHeaderSize, "the generated icon file exists");
    if (file.size() <= icon::kIcoHeaderSize) return;
    Expect(Read16(file, 0) == 0 && Read16(file, 2) == 1, "icon file header");
    const std::uint32_t count = Read16(file, 4);
    Expect(count == 6, "six images");

    std::set<std::pair<std::uint32_t, std::uint32_t>> kinds;
    std::size_t expectedOffset = icon::kIcoHeaderSize + icon::kIcoEntrySize * count;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = icon::kIcoHeaderSize + icon::kIcoEntrySize * i;
        const std::uint32_t size = file.at(entry);
        const std::uint32_t bits = Read16(file, entry + 6);
        const std::uint32_t bytes = Read32(file, entry + 8);
        const std::uint32_t offset = Read32(file, entry + 12);
        const std::string which = " of image " + std::to_string(i);
        kinds.insert({size, bits});
        Expect(file.at(entry + 1) == size, "square" + which);
        Expect(offset == expectedOffset, "images follow each other" + which);
        Expect(offset + bytes <= file.size(), "image inside the file" + which);
        if (offset + bytes > file.size()) return;
        expectedOffset = offset + bytes;

        const auto side = static_cast<int>(size);
        const std::size_t palette = bits == 8 ? 256 * 4 : 0;
        const std::size_t want =
            icon::kBitmapHeaderSize + palette +
            static_cast<std::size_t>(side) *
                (icon::RowBytes(side, static_cast<int>(bits)) + icon::RowBytes(side, 1));
        Expect(bytes == want, "image byte count" + which);
        Expect(Read32(file, offset) == icon::kBitmapHeaderSize, "bitmap header" + which);
        Expect(Read32(file, offset + 4) == size && Read32(file, offset + 8) == 2 * size,
               "bitmap is the image and its mask" + which);
        Expect(Read16(file, offset + 14) == bits, "bitmap depth" + which);
    }
    const std::set<std::pair<std::uint32_t, std::uint32_t>> wanted{{48, 8},  {48, 32}, {32, 8},
                                                                   {32, 32}, {16, 8},  {16, 32}};
    Expect(kinds == wanted, "48, 32 and 16 pixels, each at 8 and 32 bits");
    Expect(expectedOffset == file.size(), "nothing after the last image");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: icon_test GENERATED.ico\n";
        return 2;
    }
    const std::vector<std::pair<const char*, std::function<void()>>> tests{
        {"ArtworkHasAShapeOnAClearGround", ArtworkHasAShapeOnAClearGround},
        {"ThirtyTwoBitImagesReadBackExactly", ThirtyTwoBitImagesReadBackExactly},
        {"SmallPalettesStayExact", SmallPalettesStayExact},
        {"LargePalettesStayClose", LargePalettesStayClose},
        {"GeneratedFileHoldsTheSixImages", [&] { GeneratedFileHoldsTheSixImages(argv[1]); }},
    };
    int passed = 0;
    int failed = 0;
    for (const auto& [name, test] : tests) {
        const int before = g_failures;
        test();
        const bool ok = g_failures == before;
        std::cout << (ok ? "[  PASSED  ] " : "[  FAILED  ] ") << name << "\n";
        (ok ? passed : failed) += 1;
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
