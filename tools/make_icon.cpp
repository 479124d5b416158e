// make_icon: draws the launcher's icon, a small landscape (sky, sun, snow-capped range, green
// hills, a lake), at 16, 32 and 48 pixels and writes them as one .ico file.
// Usage: make_icon OUT.ico
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/bmp_writer.h"

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

struct Point {
    double x, y;
};

// A ridge line through the points, in the unit square with y downwards.
double Ridge(const Point* pts, std::size_t n, double x)
{
    for (std::size_t i = 1; i < n; ++i) {
        if (x <= pts[i].x) {
            const double t = (x - pts[i - 1].x) / (pts[i].x - pts[i - 1].x);
            return pts[i - 1].y + t * (pts[i].y - pts[i - 1].y);
        }
    }
    return pts[n - 1].y;
}

Rgba Mix(Rgba a, Rgba b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1}; }

// The colour of the picture at one point of the unit square.
Rgba Sample(double x, double y)
{
    // Rounded corners, so the icon does not look like a cut-out photograph.
    constexpr double radius = 0.16;
    const double cx = std::clamp(x, radius, 1 - radius);
    const double cy = std::clamp(y, radius, 1 - radius);
    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius)
        return {};

    static constexpr Point range[] = {{0.00, 0.60}, {0.16, 0.40}, {0.30, 0.52}, {0.50, 0.20},
                                      {0.66, 0.47}, {0.82, 0.34}, {1.00, 0.56}};
    static constexpr Point hills[] = {{0.00, 0.70}, {0.22, 0.62}, {0.48, 0.72}, {0.74, 0.63}, {1.00, 0.69}};
    const double top = Ridge(range, std::size(range), x);
    const double hill = Ridge(hills, std::size(hills), x);

    if (y > 0.84) // lake, lighter towards its far shore
        return Mix({40, 100, 175, 1}, {25, 60, 130, 1}, (y - 0.84) / 0.16);
    if (y > hill)
        return Mix({95, 165, 70, 1}, {45, 110, 45, 1}, (y - hill) / std::max(0.01, 0.84 - hill));
    if (y > top) {
        // Snow near the high peaks, rock below; the left faces are in the sun.
        const double slope = Ridge(range, std::size(range), x + 0.01) - top;
        const Rgba rock = slope > 0 ? Rgba{150, 140, 130, 1} : Rgba{105, 100, 105, 1};
        if (y < top + 0.07 && top < 0.45)
            return slope > 0 ? Rgba{250, 250, 250, 1} : Rgba{205, 215, 230, 1};
        return rock;
    }
    const double sx = x - 0.76, sy = y - 0.24;
    if (sx * sx + sy * sy < 0.10 * 0.10)
        return {255, 205, 70, 1};
    return Mix({55, 115, 200, 1}, {175, 215, 245, 1}, y / 0.6);
}

// One image of the icon: a 32-bit DIB of double height (colour, then the AND mask).
tools::Bytes Render(std::uint32_t size)
{
    constexpr int samples = 4; // per axis, for smooth edges
    tools::Bytes out;
    tools::PutInfoHeader(out, size, size * 2, 32, 0);
    std::vector<std::array<std::uint8_t, 4>> pixels(size * size);
    for (std::uint32_t py = 0; py < size; ++py) {
        for (std::uint32_t px = 0; px < size; ++px) {
            Rgba sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Rgba c = Sample((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            auto& p = pixels[py * size + px];
            const double a = sum.a / (samples * samples);
            auto channel = [&](double v) {
                return static_cast<std::uint8_t>(std::lround(sum.a > 0 ? std::clamp(v / sum.a, 0.0, 255.0) : 0.0));
            };
            p = {channel(sum.b), channel(sum.g), channel(sum.r), static_cast<std::uint8_t>(std::lround(a * 255))};
        }
    }
    for (std::uint32_t row = size; row-- > 0;)
        for (std::uint32_t px = 0; px < size; ++px)
            out.insert(out.end(), pixels[row * size + px].begin(), pixels[row * size + px].end());
    const std::uint32_t maskStride = tools::RowStride(size, 1);
    for (std::uint32_t row = size; row-- > 0;) {
        tools::Bytes mask(maskStride, 0);
        for (std::uint32_t px = 0; px < size; ++px)
            if (pixels[row * size + px][3] == 0)
                mask[px / 8] = static_cast<std::uint8_t>(mask[px / 8] | (0x80u >> (px % 8)));
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUT.ico\n");
        return 2;
    }
    constexpr std::uint32_t sizes[] = {16, 32, 48};
    std::vector<tools::Bytes> images;
    for (const auto size : sizes)
        images.push_back(Render(size));

    tools::Bytes out;
    tools::Put16(out, 0);
    tools::Put16(out, 1); // icon
    tools::Put16(out, static_cast<std::uint32_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(sizes[i]));
        out.push_back(static_cast<std::uint8_t>(sizes[i]));
        out.push_back(0); // no palette
        out.push_back(0);
        tools::Put16(out, 1);  // planes
        tools::Put16(out, 32); // bits per pixel
        tools::Put32(out, static_cast<std::uint32_t>(images[i].size()));
        tools::Put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());

    std::string error;
    if (!tools::WriteFileAtomically(argv[1], out, error)) {
        std::fprintf(stderr, "make_icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
