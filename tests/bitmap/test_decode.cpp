// Pictures: reference files of each layout decoded and compared pixel for pixel.
#include <gtest/gtest.h>

#include "bitmap/load_bitmap.h"
#include "tests/bitmap/bmp_builder.h"

using namespace bmptest;

namespace {

using Colour = std::function<std::uint32_t(int, int)>;

std::vector<std::uint32_t> Rainbow(int entries)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < entries; ++i)
        p.push_back(static_cast<std::uint32_t>((i * 37 % 256) << 16 | (255 - i) << 8 | (i * 11 % 256)));
    return p;
}

void ExpectPicture(const Loaded& got, int code, int width, int height, const Colour& colour)
{
    ASSERT_EQ(got.code, code);
    ASSERT_TRUE(got.image.has_value());
    ASSERT_EQ(got.image->width, width);
    ASSERT_EQ(got.image->height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(got.image->pixels[static_cast<std::size_t>(y * width + x)], colour(x, y))
                << "at " << x << "," << y;
}

std::uint32_t Index(int x, int y, int colours) { return static_cast<std::uint32_t>((x * 5 + y * 3 + x * y) % colours); }

Bmp Indexed(int width, int height, int depth)
{
    Bmp b;
    b.width = width;
    b.height = height;
    b.bitCount = static_cast<std::uint16_t>(depth);
    b.palette = Rainbow(1 << depth);
    b.pixels = PackRows(width, height, depth, [&](int x, int y) { return Index(x, y, 1 << depth); });
    return b;
}

std::uint32_t Rgb(int x, int y)
{
    return static_cast<std::uint32_t>((x * 29 % 256) << 16 | (y * 47 % 256) << 8 | ((x ^ y) * 13 % 256));
}

} // namespace

TEST(DecodePicture, IndexedDepthsInTheirOwnColours)
{
    for (int depth : {1, 4, 8}) {
        const Bmp b = Indexed(8, 5, depth);
        ExpectPicture(Load(b.Build()), 2, 8, 5, [&](int x, int y) { return b.palette[Index(x, y, 1 << depth)]; });
    }
    const Bmp map = Indexed(9, 9, 8);
    ExpectPicture(Load(map.Build()), 1, 9, 9, [&](int x, int y) { return map.palette[Index(x, y, 256)]; });
}

TEST(DecodePicture, DirectColourLayouts)
{
    Bmp rgb;
    rgb.width = 8;
    rgb.height = 5;
    rgb.bitCount = 24;
    rgb.pixels = PackRows(8, 5, 24, Rgb);
    ExpectPicture(Load(rgb.Build()), 2, 8, 5, Rgb);

    // Top-down rows come out the right way up.
    rgb.height = -5;
    rgb.pixels = PackRows(8, 5, 24, Rgb, true);
    ExpectPicture(Load(rgb.Build()), 2, 8, 5, Rgb);

    Bmp x888 = rgb;
    x888.height = 5;
    x888.bitCount = 32;
    x888.pixels = PackRows(8, 5, 32, [](int x, int y) { return Rgb(x, y) | 0xAB000000u; });
    ExpectPicture(Load(x888.Build()), 2, 8, 5, Rgb);

    // Masks after a 40-byte header, in an unusual order: red low, blue high.
    Bmp masked = x888;
    masked.compression = BI_BITFIELDS;
    masked.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    masked.pixels = PackRows(8, 5, 32, [](int x, int y) {
        const std::uint32_t c = Rgb(x, y);
        return (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
    });
    ExpectPicture(Load(masked.Build()), 2, 8, 5, Rgb);
    // The same masks inside a 56-byte and a 108-byte header (alpha mask present, ignored).
    for (std::uint32_t size : {56u, 108u, 124u}) {
        masked.headerSize = size;
        masked.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
        ExpectPicture(Load(masked.Build()), 2, 8, 5, Rgb);
    }
}

TEST(DecodePicture, SixteenBitChannelsScaleToFullRange)
{
    Bmp b;
    b.width = 4;
    b.height = 1;
    b.bitCount = 16;
    // 5-5-5 by default: white, pure red, a middle grey, black.
    const std::uint32_t x555[] = {0x7FFF, 0x7C00, 16u << 10 | 16u << 5 | 16u, 0};
    b.pixels = PackRows(4, 1, 16, [&](int x, int) { return x555[x]; });
    const std::uint32_t wide[] = {0xFFFFFF, 0xFF0000, 0x848484, 0};
    ExpectPicture(Load(b.Build()), 2, 4, 1, [&](int x, int) { return wide[x]; });

    b.compression = BI_BITFIELDS;
    b.headerSize = 52;
    b.masks = {0xF800, 0x07E0, 0x001F};
    const std::uint32_t rgb565[] = {0xFFFF, 0x07E0, 16u << 11 | 32u << 5 | 16u, 0x001F};
    b.pixels = PackRows(4, 1, 16, [&](int x, int) { return rgb565[x]; });
    const std::uint32_t expect565[] = {0xFFFFFF, 0x00FF00, 0x848284, 0x0000FF};
    ExpectPicture(Load(b.Build()), 2, 4, 1, [&](int x, int) { return expect565[x]; });
}

TEST(DecodePicture, ColoursAndPixelsFromWhereTheHeadersPutThem)
{
    // A current editor's 8-bit map: 124-byte header, table after it, pixels at bfOffBits.
    Bmp modern = Indexed(9, 9, 8);
    modern.headerSize = 124;
    ASSERT_EQ(modern.Build().size(), 14u + 124 + 1024 + 12 * 9);
    ExpectPicture(Load(modern.Build()), 1, 9, 9, [&](int x, int y) { return modern.palette[Index(x, y, 256)]; });

    // A short table (colorsUsed) and a gap before the pixels that bfOffBits skips.
    Bmp gap = Indexed(8, 3, 4);
    gap.palette.resize(10);
    gap.colorsUsed = 10;
    gap.pixels = PackRows(8, 3, 4, [](int x, int y) { return Index(x, y, 10); });
    gap.pixels.insert(gap.pixels.begin(), 6, 0xEE);
    gap.pixelOffset = 14 + 40 + 40 + 6;
    ExpectPicture(Load(gap.Build()), 2, 8, 3, [&](int x, int y) { return gap.palette[Index(x, y, 10)]; });

    // Indices beyond a short table show black rather than whatever follows it.
    Bmp beyond = Indexed(4, 1, 4);
    beyond.palette = {0x112233};
    beyond.colorsUsed = 1;
    beyond.pixels = {0x01, 0xF0, 0, 0};
    ExpectPicture(Load(beyond.Build()), 2, 4, 1, [](int x, int) { return x % 3 == 0 ? 0x112233u : 0u; });
}

TEST(DecodePicture, KeepsTheCentredWindow)
{
    const Bmp map = Indexed(17, 17, 8);
    const Loaded got = Load(map.Build(), {5, 3});
    ExpectPicture(got, 1, 5, 3, [&](int x, int y) { return map.palette[Index(x + 6, y + 7, 256)]; });
    EXPECT_EQ(got.image->sourceWidth, 17);
    EXPECT_EQ(got.image->sourceHeight, 17);

    // Windows that start inside a byte at 1 and 4 bits, bottom-up and top-down.
    for (int depth : {1, 4}) {
        for (bool topDown : {false, true}) {
            Bmp b = Indexed(32, 9, depth);
            b.height = topDown ? -9 : 9;
            b.pixels = PackRows(
                32, 9, depth, [&](int x, int y) { return Index(x, y, 1 << depth); }, topDown);
            ExpectPicture(Load(b.Build(), {6, 4}), 2, 6, 4,
                          [&](int x, int y) { return b.palette[Index(x + 13, y + 2, 1 << depth)]; });
        }
    }
}

TEST(DecodePicture, RunLengthEncodedStreams)
{
    constexpr std::uint32_t k = 99; // a pixel the stream skips: it stays black
    std::vector<std::uint32_t> palette = {0x0000FF, 0x111111, 0x222222, 0x333333,
                                          0x444444, 0x555555, 0x666666, 0x777777};
    auto colour = [&](const std::uint32_t(&rows)[4][8]) {
        return [&](int x, int y) { return rows[y][x] == k ? 0u : palette[rows[y][x]]; };
    };
    Bmp b;
    b.width = 8;
    b.height = 4;
    b.palette = palette;
    b.palette.resize(256); // an 8-bit file's length is counted after a full table
    b.compression = BI_RLE8;
    // Bottom row: a run, a literal group with its pad byte, then the line ends early.
    // Then a jump that skips the rest of row 1 and two pixels of row 2; a run past the end of
    // the top row is cut at the edge.
    b.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 1, 2, 5, 0, 0, 8, 6, 4, 7, 0, 0, 0, 1};
    const std::uint32_t rle8[4][8] = {
        {6, 6, 6, 6, 6, 6, 6, 6}, {k, k, 5, 5, k, k, k, k}, {k, k, k, k, k, k, k, k}, {1, 1, 1, 2, 3, 4, k, k}};
    ExpectPicture(Load(b.Build()), 2, 8, 4, colour(rle8));

    // RLE4: runs alternate their two nibbles; literal groups are padded to 16 bits.
    b.bitCount = 4;
    b.compression = BI_RLE4;
    b.palette.resize(16);
    b.pixels = {5, 0x12, 0,    3,    0x34, 0x50, 0, 0,          // 1 2 1 2 1 3 4 5
                0, 5,    0x67, 0x01, 0x20, 0,    3, 0x33, 0, 0, // 6 7 0 1 2 3 3 3
                8, 0x44, 0,    0,    8,    0x55, 0, 1};
    const std::uint32_t rle4[4][8] = {
        {5, 5, 5, 5, 5, 5, 5, 5}, {4, 4, 4, 4, 4, 4, 4, 4}, {6, 7, 0, 1, 2, 3, 3, 3}, {1, 2, 1, 2, 1, 3, 4, 5}};
    ExpectPicture(Load(b.Build()), 2, 8, 4, colour(rle4));

    // A stream that ends before the picture is complete is a cut file.
    b.pixels.resize(b.pixels.size() - 6);
    EXPECT_EQ(Load(b.Build()).code, 0);
    // An early end-of-bitmap leaves the rest black.
    b.pixels = {8, 0x12, 0, 1};
    const std::uint32_t early[4][8] = {
        {k, k, k, k, k, k, k, k}, {k, k, k, k, k, k, k, k}, {k, k, k, k, k, k, k, k}, {1, 2, 1, 2, 1, 2, 1, 2}};
    ExpectPicture(Load(b.Build()), 2, 8, 4, colour(early));
    // Decoding stops at the window's last row: what follows it is never read.
    b.pixels = {8, 0x12, 0, 0, 8, 0x34, 0, 0, 8, 0x56, 0, 0, 0, 2};
    const std::uint32_t lower[2][8] = {{5, 6, 5, 6, 5, 6, 5, 6}, {3, 4, 3, 4, 3, 4, 3, 4}};
    ExpectPicture(Load(b.Build(), {8, 2}), 2, 8, 2, [&](int x, int y) { return palette[lower[y][x]]; });
}

TEST(DecodePicture, CompressionsNotDecodedAreRefused)
{
    for (std::uint32_t compression : {BI_JPEG, BI_PNG, 6u, 0x7FFFFFFFu}) {
        Bmp b = Indexed(8, 2, 8);
        b.compression = compression;
        EXPECT_EQ(Load(b.Build()).code, 0) << compression;
    }
    Bmp mismatch = Indexed(8, 2, 8);
    mismatch.compression = BI_RLE4; // RLE4 needs 4 bits, bit fields 16 or 32
    EXPECT_EQ(Load(mismatch.Build()).code, 0);
    mismatch.compression = BI_BITFIELDS;
    EXPECT_EQ(Load(mismatch.Build()).code, 0);
    Bmp topDownRle = Indexed(8, 2, 8);
    topDownRle.height = -2;
    topDownRle.compression = BI_RLE8;
    topDownRle.pixels = {8, 1, 0, 0, 8, 2, 0, 1};
    EXPECT_EQ(Load(topDownRle.Build()).code, 0);
}
