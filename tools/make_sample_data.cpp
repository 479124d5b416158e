// make-sample-data: writes the demo folder's bitmaps, a fractal height map 257x257.bmp
// (8-bit greyscale) and a texture G.bmp (24-bit, 512 x 512) coloured from that terrain.
// The seed is fixed, so every run writes the same two files.
// Usage: make-sample-data DIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/bmp_writer.h"

namespace {

constexpr int kMapSize = 257; // 2^8 + 1, the shape a height map must have
constexpr int kTextureSize = 512;

// splitmix64: tiny, and the same numbers on every platform and compiler.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    // Uniform in [-1, 1).
    double Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
    }

private:
    std::uint64_t state_;
};

using Grid = std::vector<double>; // kMapSize * kMapSize, row 0 at the top

// Diamond-square: each pass halves the step and the random displacement shrinks by the
// roughness factor, which gives the self-similar look of real relief.
Grid DiamondSquare(std::uint64_t seed, double roughness)
{
    const int n = kMapSize;
    Grid h(static_cast<std::size_t>(n) * n, 0.0);
    auto at = [&](int x, int y) -> double& { return h[static_cast<std::size_t>(y) * n + x]; };
    Random rnd(seed);
    at(0, 0) = rnd.Next() * 0.5;
    at(n - 1, 0) = rnd.Next() * 0.5;
    at(0, n - 1) = rnd.Next() * 0.5;
    at(n - 1, n - 1) = rnd.Next() * 0.5;
    double scale = 1.0;
    for (int step = n - 1; step > 1; step /= 2) {
        const int half = step / 2;
        for (int y = half; y < n; y += step)
            for (int x = half; x < n; x += step)
                at(x, y) = (at(x - half, y - half) + at(x + half, y - half) + at(x - half, y + half) +
                            at(x + half, y + half)) /
                               4 +
                           rnd.Next() * scale;
        for (int y = 0; y < n; y += half) {
            for (int x = (y / half % 2 == 0) ? half : 0; x < n; x += step) {
                double sum = 0;
                int count = 0;
                if (x >= half) {
                    sum += at(x - half, y);
                    ++count;
                }
                if (x + half < n) {
                    sum += at(x + half, y);
                    ++count;
                }
                if (y >= half) {
                    sum += at(x, y - half);
                    ++count;
                }
                if (y + half < n) {
                    sum += at(x, y + half);
                    ++count;
                }
                at(x, y) = sum / count + rnd.Next() * scale;
            }
        }
        scale *= roughness;
    }
    return h;
}

// One light 3x3 blur takes the creases off that diamond-square leaves along its grid lines,
// then the heights are stretched to 0..1.
void SmoothAndNormalise(Grid& h)
{
    const int n = kMapSize;
    Grid out(h.size());
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double sum = 0, weight = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= n || sy >= n)
                        continue;
                    const double w = (dx == 0 && dy == 0) ? 4 : (dx == 0 || dy == 0) ? 2 : 1;
                    sum += w * h[static_cast<std::size_t>(sy) * n + sx];
                    weight += w;
                }
            }
            out[static_cast<std::size_t>(y) * n + x] = sum / weight;
        }
    }
    const auto [lo, hi] = std::minmax_element(out.begin(), out.end());
    const double min = *lo, range = std::max(1e-9, *hi - *lo);
    for (double& v : out)
        v = (v - min) / range;
    h = std::move(out);
}

double Bilinear(const Grid& h, double x, double y)
{
    const int n = kMapSize;
    x = std::clamp(x, 0.0, n - 1.0);
    y = std::clamp(y, 0.0, n - 1.0);
    const int x0 = std::min(static_cast<int>(x), n - 2), y0 = std::min(static_cast<int>(y), n - 2);
    const double fx = x - x0, fy = y - y0;
    auto v = [&](int cx, int cy) { return h[static_cast<std::size_t>(cy) * n + cx]; };
    return (v(x0, y0) * (1 - fx) + v(x0 + 1, y0) * fx) * (1 - fy) +
           (v(x0, y0 + 1) * (1 - fx) + v(x0 + 1, y0 + 1) * fx) * fy;
}

struct Color {
    double r, g, b;
};

Color Lerp(Color a, Color b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr double kSeaLevel = 0.36;

// Water, sand, grass, rock and snow by height, with soft borders between the bands.
Color Ground(double h)
{
    const Color deep{18, 48, 105}, shallow{45, 110, 165}, sand{214, 198, 140}, grass{92, 152, 62}, forest{46, 104, 44},
        rock{118, 108, 98}, highRock{150, 142, 134}, snow{242, 244, 248};
    if (h < kSeaLevel)
        return Lerp(deep, shallow, std::pow(h / kSeaLevel, 3));
    if (h < kSeaLevel + 0.025)
        return sand;
    if (h < kSeaLevel + 0.05)
        return Lerp(sand, grass, (h - kSeaLevel - 0.025) / 0.025);
    if (h < 0.62)
        return Lerp(grass, forest, (h - kSeaLevel - 0.05) / (0.62 - kSeaLevel - 0.05));
    if (h < 0.66)
        return Lerp(forest, rock, (h - 0.62) / 0.04);
    if (h < 0.80)
        return Lerp(rock, highRock, (h - 0.66) / 0.14);
    return Lerp(highRock, snow, (h - 0.80) / 0.03);
}

tools::Bytes HeightMapFile(const Grid& h)
{
    const auto n = static_cast<std::uint32_t>(kMapSize);
    const std::uint32_t stride = tools::RowStride(n, 8);
    const std::uint32_t offset = 14 + 40 + 256 * 4;
    tools::Bytes out;
    tools::PutFileHeader(out, offset + stride * n, offset);
    tools::PutInfoHeader(out, n, n, 8, 256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        tools::PutColor(out, v, v, v);
    }
    for (std::uint32_t row = n; row-- > 0;) { // bottom-up
        tools::Bytes line(stride, 0);
        for (std::uint32_t x = 0; x < n; ++x)
            line[x] = static_cast<std::uint8_t>(std::lround(h[row * n + x] * 255.0));
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

tools::Bytes TextureFile(const Grid& h)
{
    const auto n = static_cast<std::uint32_t>(kTextureSize);
    const std::uint32_t stride = tools::RowStride(n, 24);
    const std::uint32_t offset = 14 + 40;
    const double toMap = (kMapSize - 1.0) / (n - 1.0);
    // Light from the upper left, a little above the horizon; the relief is exaggerated so
    // that the slopes read at this size.
    const double lx = -0.55, ly = -0.55, lz = 0.63;
    const double relief = 90.0;
    tools::Bytes out;
    tools::PutFileHeader(out, offset + stride * n, offset);
    tools::PutInfoHeader(out, n, n, 24, 0);
    for (std::uint32_t row = n; row-- > 0;) {
        tools::Bytes line(stride, 0);
        for (std::uint32_t x = 0; x < n; ++x) {
            const double mx = x * toMap, my = row * toMap;
            const double height = Bilinear(h, mx, my);
            Color c = Ground(height);
            if (height >= kSeaLevel) {
                const double dx = (Bilinear(h, mx + 1, my) - Bilinear(h, mx - 1, my)) * relief / 2;
                const double dy = (Bilinear(h, mx, my + 1) - Bilinear(h, mx, my - 1)) * relief / 2;
                const double len = std::sqrt(dx * dx + dy * dy + 1);
                const double lambert = std::max(0.0, (-dx * lx - dy * ly + lz) / len);
                const double shade = 0.45 + 0.75 * lambert;
                c = {c.r * shade, c.g * shade, c.b * shade};
            }
            auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
            line[x * 3 + 0] = byte(c.b);
            line[x * 3 + 1] = byte(c.g);
            line[x * 3 + 2] = byte(c.r);
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-data DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "make-sample-data: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    Grid h = DiamondSquare(20240917, 0.52);
    SmoothAndNormalise(h);
    std::string error;
    if (!tools::WriteFileAtomically(dir / "257x257.bmp", HeightMapFile(h), error) ||
        !tools::WriteFileAtomically(dir / "G.bmp", TextureFile(h), error)) {
        std::fprintf(stderr, "make-sample-data: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
