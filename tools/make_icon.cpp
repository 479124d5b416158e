// make_icon: draws the launcher's icon, a small landscape (sky, sun, snow-capped range, green
// hills, a lake), and writes it in the two forms the platforms take: one .ico file at 16, 32 and
// 48 pixels for Windows, and for Linux PNG files for the icon theme and a C++ source that holds
// PNGs for the program's own windows.
// Usage: make_icon OUT.ico
//        make_icon --png DIR SIZE... --table OUT.cpp SIZE...
//        (writes DIR/sandrel-SIZE.png for each size of the first list; OUT.cpp holds the second)
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <png.h>

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

// The icon at one size: straight (not premultiplied) RGBA, top row first.
std::vector<std::array<std::uint8_t, 4>> RenderPixels(std::uint32_t size)
{
    constexpr int samples = 4; // per axis, for smooth edges
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
            const double a = sum.a / (samples * samples);
            auto channel = [&](double v) {
                return static_cast<std::uint8_t>(std::lround(sum.a > 0 ? std::clamp(v / sum.a, 0.0, 255.0) : 0.0));
            };
            pixels[py * size + px] = {channel(sum.r), channel(sum.g), channel(sum.b),
                                      static_cast<std::uint8_t>(std::lround(a * 255))};
        }
    }
    return pixels;
}

// One image of the .ico: a 32-bit DIB of double height (colour, then the AND mask).
tools::Bytes Render(std::uint32_t size)
{
    const auto pixels = RenderPixels(size);
    tools::Bytes out;
    tools::PutInfoHeader(out, size, size * 2, 32, 0);
    for (std::uint32_t row = size; row-- > 0;) {
        for (std::uint32_t px = 0; px < size; ++px) {
            const auto& p = pixels[row * size + px];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
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

// The icon at one size as a PNG file's bytes (libpng's simplified writer: no time stamp, so
// the same drawing gives the same bytes).
bool RenderPng(std::uint32_t size, tools::Bytes& out, std::string& error)
{
    const auto pixels = RenderPixels(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t length = 0;
    if (png_image_write_to_memory(&image, nullptr, &length, 0, pixels.data(), 0, nullptr) != 0) {
        out.resize(length);
        if (png_image_write_to_memory(&image, out.data(), &length, 0, pixels.data(), 0, nullptr) != 0) {
            out.resize(length);
            return true;
        }
    }
    error = image.message;
    png_image_free(&image);
    return false;
}

int WriteIco(const char* path)
{
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
    if (!tools::WriteFileAtomically(path, out, error)) {
        std::fprintf(stderr, "make_icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// The PNGs as files for the icon theme.
int WritePngFiles(const std::string& dir, const std::vector<std::uint32_t>& sizes)
{
    std::string error;
    for (const std::uint32_t size : sizes) {
        tools::Bytes png;
        if (!RenderPng(size, png, error) ||
            !tools::WriteFileAtomically(dir + "/sandrel-" + std::to_string(size) + ".png", png, error)) {
            std::fprintf(stderr, "make_icon: %u pixels: %s\n", size, error.c_str());
            return 1;
        }
    }
    return 0;
}

// The PNGs as arrays in one C++ source, which defines fw::ProgramIconImages().
int WritePngTable(const char* sourcePath, const std::vector<std::uint32_t>& sizes)
{
    std::string source = "// Generated by make_icon: the program's icon as PNG images, smallest first.\n"
                         "#include \"framework/core/program_icon.h\"\n\n"
                         "namespace fw {\nnamespace {\n\n";
    std::string table;
    std::string error;
    for (const std::uint32_t size : sizes) {
        tools::Bytes png;
        if (!RenderPng(size, png, error)) {
            std::fprintf(stderr, "make_icon: %u pixels: %s\n", size, error.c_str());
            return 1;
        }
        const std::string name = "kPng" + std::to_string(size);
        source += "const unsigned char " + name + "[] = {";
        for (std::size_t i = 0; i < png.size(); ++i)
            source += (i % 16 == 0 ? "\n    " : " ") + std::to_string(png[i]) + ",";
        source += "\n};\n\n";
        table += "    {" + std::to_string(size) + ", " + name + "},\n";
    }
    source += "const IconImage kImages[] = {\n" + table +
              "};\n\n} // namespace\n\n"
              "std::span<const IconImage> ProgramIconImages() { return kImages; }\n\n} // namespace fw\n";
    if (!tools::WriteFileAtomically(sourcePath, tools::Bytes(source.begin(), source.end()), error)) {
        std::fprintf(stderr, "make_icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Sizes from argv[first] up to the end or the next option; false on anything else.
bool ReadSizes(int argc, char** argv, int& i, std::vector<std::uint32_t>& sizes)
{
    for (; i < argc && argv[i][0] != '-'; ++i) {
        char* end = nullptr;
        const unsigned long size = std::strtoul(argv[i], &end, 10);
        if (*end != '\0' || size < 1 || size > 1024) {
            std::fprintf(stderr, "make_icon: not a size from 1 to 1024: %s\n", argv[i]);
            return false;
        }
        sizes.push_back(static_cast<std::uint32_t>(size));
    }
    return !sizes.empty();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && argv[1][0] != '-')
        return WriteIco(argv[1]);
    std::vector<std::uint32_t> fileSizes;
    std::vector<std::uint32_t> tableSizes;
    int i = 3;
    if (argc >= 7 && std::string(argv[1]) == "--png" && ReadSizes(argc, argv, i, fileSizes) && i + 2 < argc &&
        std::string(argv[i]) == "--table") {
        const char* table = argv[i + 1];
        i += 2;
        if (ReadSizes(argc, argv, i, tableSizes) && i == argc) {
            const int status = WritePngFiles(argv[2], fileSizes);
            return status != 0 ? status : WritePngTable(table, tableSizes);
        }
    }
    std::fprintf(stderr, "usage: make_icon OUT.ico\n       make_icon --png DIR SIZE... --table OUT.cpp SIZE...\n");
    return 2;
}
