#include "Artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace icon {
namespace {

struct Point {
    double x;
    double y;
};

struct Colour {
    double r;
    double g;
    double b;
    double a;
};

constexpr Colour kClear{0, 0, 0, 0};

Colour Rgb(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0, 1.0};
}

Colour Mix(const Colour& from, const Colour& to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

// Paints `top` over `bottom` (straight alpha).
Colour Over(const Colour& top, const Colour& bottom) {
    const double alpha = top.a + bottom.a * (1.0 - top.a);
    if (alpha <= 0.0) return kClear;
    const auto blend = [&](double t, double b) {
        return (t * top.a + b * bottom.a * (1.0 - top.a)) / alpha;
    };
    return {blend(top.r, bottom.r), blend(top.g, bottom.g), blend(top.b, bottom.b), alpha};
}

// Signed distance to a rounded rectangle: negative inside.
double RoundedRect(Point p, double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2;
    const double cy = (top + bottom) / 2;
    const double qx = std::abs(p.x - cx) - ((right - left) / 2 - radius);
    const double qy = std::abs(p.y - cy) - ((bottom - top) / 2 - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// The scene at one point of the unit square; `pixel` is one pixel's width in unit lengths, so
// outlines stay one pixel wide at every size.
Colour Scene(Point p, double pixel) {
    Colour colour = kClear;

    // The back of the folder with its tab.
    const double back = std::min(RoundedRect(p, 0.06, 0.22, 0.94, 0.88, 0.06),
                                 RoundedRect(p, 0.06, 0.13, 0.44, 0.30, 0.05));
    if (back < 0) {
        colour = back > -pixel ? Rgb(140, 92, 22) : Mix(Rgb(214, 150, 46), Rgb(190, 126, 34), p.y);
    }

    // The quill, standing in the folder and leaning to the right.
    const Point base{0.30, 0.82};
    const Point tip{0.93, 0.04};
    const double length = std::hypot(tip.x - base.x, tip.y - base.y);
    const Point along{(tip.x - base.x) / length, (tip.y - base.y) / length};
    const double t = ((p.x - base.x) * along.x + (p.y - base.y) * along.y) / length;
    const double s = (p.x - base.x) * -along.y + (p.y - base.y) * along.x;
    if (t > 0.2 && t < 1.0) {
        const double u = (t - 0.2) / 0.8;
        const double halfWidth =
            0.125 * std::pow(std::sin(std::numbers::pi * u), 0.75) * (1.0 - 0.35 * u);
        const double edge = halfWidth - std::abs(s);
        if (edge > 0) {
            const Colour vane = s < 0 ? Rgb(64, 136, 204) : Rgb(38, 96, 164);
            colour = edge < pixel ? Rgb(22, 54, 100) : vane;
            // The shaft, where there are pixels enough to show it.
            const bool shaft = pixel < 0.04 && std::abs(s) < 0.35 * pixel + 0.004 && t < 0.97;
            if (shaft) colour = Rgb(236, 240, 246);
        }
    }

    // The front of the folder, in front of the quill.
    const double front = RoundedRect(p, 0.06, 0.38, 0.94, 0.88, 0.06);
    if (front < 0) {
        const double fromTop = p.y - 0.38;
        Colour panel = Mix(Rgb(255, 216, 108), Rgb(238, 176, 58), fromTop / 0.5);
        if (fromTop < 1.6 * pixel) panel = Rgb(255, 238, 176);  // light catching the edge
        colour = Over(front > -pixel ? Rgb(150, 100, 26) : panel, colour);
    }
    return colour;
}

std::uint8_t Channel(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

}  // namespace

Image DrawAppIcon(int size) {
    constexpr int kSamples = 6;  // per axis, per pixel
    Image image{size, std::vector<Rgba>(static_cast<std::size_t>(size * size))};
    const double pixel = 1.0 / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Averaged with premultiplied colour, so transparent samples add no colour.
            std::array<double, 4> sum{};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Point p{(x + (sx + 0.5) / kSamples) * pixel,
                                  (y + (sy + 0.5) / kSamples) * pixel};
                    const Colour c = Scene(p, pixel);
                    sum[0] += c.r * c.a;
                    sum[1] += c.g * c.a;
                    sum[2] += c.b * c.a;
                    sum[3] += c.a;
                }
            }
            const double alpha = sum[3] / (kSamples * kSamples);
            Rgba& out = image.at(x, y);
            if (sum[3] > 0) {
                out = {Channel(sum[0] / sum[3]), Channel(sum[1] / sum[3]), Channel(sum[2] / sum[3]),
                       Channel(alpha)};
            }
            if (out.a == 0) out = Rgba{};
        }
    }
    return image;
}

}  // namespace icon
