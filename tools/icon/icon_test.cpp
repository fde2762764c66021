// Tests of the icon generator: the image encodings read back to what was drawn, the palette
// reduction keeps small palettes exact, and the generated icon file's directory matches its
// images. (The program's own test loads the icon as Windows does.) Usage: icon_test GENERATED.ico
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
        Expect(bytes == want && Read32(file, offset + 8) == 2 * size, "image and mask" + which);
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
        {"ThirtyTwoBitImagesReadBackExactly", ThirtyTwoBitImagesReadBackExactly},
        {"SmallPalettesStayExact", SmallPalettesStayExact},
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
