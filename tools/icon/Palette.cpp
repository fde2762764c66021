#include "Palette.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace icon {
namespace {

constexpr std::size_t kOpaqueEntries = 255;

using Channels = std::array<int, 3>;

Channels ChannelsOf(const Rgba& colour) {
    return {colour.r, colour.g, colour.b};
}

// A box of colours: the range [begin, end) of the colour list.
struct Box {
    std::size_t begin;
    std::size_t end;
};

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> WidestChannel(const std::vector<Channels>& colours, const Box& box) {
    int bestChannel = 0;
    int bestSpread = 0;
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255;
        int high = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            low = std::min(low, colours[i][static_cast<std::size_t>(channel)]);
            high = std::max(high, colours[i][static_cast<std::size_t>(channel)]);
        }
        if (high - low > bestSpread) {
            bestSpread = high - low;
            bestChannel = channel;
        }
    }
    return {bestChannel, bestSpread};
}

// Splits the widest box at the median of its widest channel; false when every box holds a
// single colour.
bool SplitWidest(std::vector<Channels>& colours, std::vector<Box>& boxes) {
    std::size_t widest = boxes.size();
    int widestSpread = 0;
    int widestChannel = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto [channel, spread] = WidestChannel(colours, boxes[i]);
        if (spread > widestSpread) {
            widestSpread = spread;
            widestChannel = channel;
            widest = i;
        }
    }
    if (widest == boxes.size()) return false;

    const Box box = boxes[widest];
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
    const auto channel = static_cast<std::size_t>(widestChannel);
    std::sort(first, last,
              [channel](const Channels& a, const Channels& b) { return a[channel] < b[channel]; });
    // Split at the median, moved to where the channel value changes so both halves differ.
    std::size_t middle = box.begin + (box.end - box.begin) / 2;
    while (middle > box.begin && colours[middle - 1][channel] == colours[middle][channel]) {
        --middle;
    }
    if (middle == box.begin) {
        middle = box.begin + 1;
        while (colours[middle - 1][channel] == colours[middle][channel]) ++middle;
    }
    boxes[widest] = Box{box.begin, middle};
    boxes.push_back(Box{middle, box.end});
    return true;
}

Rgba Average(const std::vector<Channels>& colours, const Box& box) {
    std::array<long, 3> sum{};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) sum[c] += colours[i][c];
    }
    const auto count = static_cast<long>(box.end - box.begin);
    const auto mean = [&](std::size_t c) {
        return static_cast<std::uint8_t>((sum[c] + count / 2) / count);
    };
    return Rgba{mean(0), mean(1), mean(2), 255};
}

std::uint8_t Nearest(const std::vector<Rgba>& palette, const Rgba& colour) {
    std::size_t best = 1;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 1; i < palette.size(); ++i) {
        const int dr = palette[i].r - colour.r;
        const int dg = palette[i].g - colour.g;
        const int db = palette[i].b - colour.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

IndexedImage Quantise(const Image& image) {
    const auto count = static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size);
    IndexedImage indexed{image.size,
                         {Rgba{0, 0, 0, 255}},
                         std::vector<std::uint8_t>(count, 0),
                         std::vector<bool>(count, true)};

    std::vector<Channels> colours;
    for (const Rgba& pixel : image.pixels) {
        if (pixel.a >= kOpaqueFrom) colours.push_back(ChannelsOf(pixel));
    }
    if (colours.empty()) return indexed;

    std::vector<Box> boxes{Box{0, colours.size()}};
    while (boxes.size() < kOpaqueEntries && SplitWidest(colours, boxes)) {
    }
    for (const Box& box : boxes) indexed.palette.push_back(Average(colours, box));

    for (std::size_t i = 0; i < count; ++i) {
        if (image.pixels[i].a < kOpaqueFrom) continue;
        indexed.transparent[i] = false;
        indexed.indices[i] = Nearest(indexed.palette, image.pixels[i]);
    }
    return indexed;
}

}  // namespace icon
