#include "IcoFile.h"

#include <stdexcept>

namespace icon {
namespace {

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutBitmapHeader(Bytes& out, int size, int bitsPerPixel, std::uint32_t imageBytes,
                     std::uint32_t coloursUsed) {
    Put32(out, kBitmapHeaderSize);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out,
          static_cast<std::uint32_t>(size * 2));  // colour bitmap and mask, one above the other
    Put16(out, 1);                                // planes
    Put16(out, static_cast<unsigned>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

// The 1-bit AND mask, bottom-up: a set bit leaves the screen as it is (transparent).
template <typename IsTransparent>
void PutMask(Bytes& out, int size, IsTransparent isTransparent) {
    const std::size_t row = RowBytes(size, 1);
    for (int y = size - 1; y >= 0; --y) {
        Bytes bits(row, 0);
        for (int x = 0; x < size; ++x) {
            if (isTransparent(x, y)) {
                bits[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
}

std::uint32_t ImageBytes(int size, int bitsPerPixel) {
    const auto rows = static_cast<std::size_t>(size);
    return static_cast<std::uint32_t>(rows * (RowBytes(size, bitsPerPixel) + RowBytes(size, 1)));
}

}  // namespace

IconEntry Encode32(const Image& image) {
    const int size = image.size;
    IconEntry entry{size, 32, {}};
    PutBitmapHeader(entry.bitmap, size, 32, ImageBytes(size, 32), 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgba& pixel = image.at(x, y);
            entry.bitmap.insert(entry.bitmap.end(), {pixel.b, pixel.g, pixel.r, pixel.a});
        }
    }
    PutMask(entry.bitmap, size, [&](int x, int y) { return image.at(x, y).a < kOpaqueFrom; });
    return entry;
}

IconEntry Encode8(const IndexedImage& image) {
    if (image.palette.empty() || image.palette.size() > 256) {
        throw std::invalid_argument("an 8-bit icon needs 1 to 256 palette entries");
    }
    const int size = image.size;
    IconEntry entry{size, 8, {}};
    PutBitmapHeader(entry.bitmap, size, 8, ImageBytes(size, 8), 256);
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgba colour = i < image.palette.size() ? image.palette[i] : Rgba{};
        entry.bitmap.insert(entry.bitmap.end(), {colour.b, colour.g, colour.r, 0});
    }
    const std::size_t row = RowBytes(size, 8);
    for (int y = size - 1; y >= 0; --y) {
        Bytes indices(row, 0);
        for (int x = 0; x < size; ++x) {
            indices[static_cast<std::size_t>(x)] = image.indices[PixelIndex(x, y, size)];
        }
        entry.bitmap.insert(entry.bitmap.end(), indices.begin(), indices.end());
    }
    PutMask(entry.bitmap, size,
            [&](int x, int y) { return image.transparent[PixelIndex(x, y, size)]; });
    return entry;
}

Bytes EncodeIco(const std::vector<IconEntry>& entries) {
    Bytes out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<unsigned>(entries.size()));
    auto offset = static_cast<std::uint32_t>(kIcoHeaderSize + kIcoEntrySize * entries.size());
    for (const IconEntry& entry : entries) {
        if (entry.size < 1 || entry.size > 256)
            throw std::invalid_argument("icon size out of range");
        out.push_back(static_cast<std::uint8_t>(entry.size & 0xFF));  // 256 is written as 0
        out.push_back(static_cast<std::uint8_t>(entry.size & 0xFF));
        out.push_back(0);  // colour count: 0 for 256 colours and more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(entry.bitsPerPixel));
        Put32(out, static_cast<std::uint32_t>(entry.bitmap.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entry.bitmap.size());
    }
    for (const IconEntry& entry : entries) {
        out.insert(out.end(), entry.bitmap.begin(), entry.bitmap.end());
    }
    return out;
}

}  // namespace icon
