// Hostile files: lying header fields, cut files and mutated headers yield the shape code or 0,
// and never read outside what the file holds (run under ASan/UBSan too).
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "bitmap/load_bitmap.h"
#include "tests/bitmap/bmp_builder.h"

using namespace bmptest;

namespace {

Bmp Picture(int width, int height, int depth, std::uint32_t compression = BI_RGB)
{
    Bmp b;
    b.width = width;
    b.height = height;
    b.bitCount = static_cast<std::uint16_t>(depth);
    b.compression = compression;
    if (depth <= 8)
        b.palette.assign(std::size_t{1} << depth, 0x405060);
    if (compression == BI_BITFIELDS)
        b.masks = {0xF800, 0x07E0, 0x001F};
    b.pixels = PackRows(
        width, std::abs(height), depth, [](int x, int y) { return static_cast<std::uint32_t>(x * 3 + y); }, height < 0);
    return b;
}

std::vector<std::pair<std::string, Bytes>> GoodFiles()
{
    Bmp modern = Picture(9, 9, 8);
    modern.headerSize = 124;
    Bmp rle8 = Picture(8, 2, 8, BI_RLE8);
    rle8.pixels = {8, 1, 0, 0, 2, 3, 0, 3, 4, 5, 6, 0, 0, 1};
    Bmp rle4 = Picture(8, 2, 4, BI_RLE4);
    rle4.pixels = {0, 8, 0x12, 0x34, 0x56, 0x78, 0, 0, 8, 0x9A, 0, 1};
    return {{"map", Picture(9, 9, 8).Build()},
            {"mono", Picture(16, 3, 1).Build()},
            {"four", Picture(8, 3, 4).Build()},
            {"rgb565", Picture(4, 3, 16, BI_BITFIELDS).Build()},
            {"rgb", Picture(8, 3, 24).Build()},
            {"top-down", Picture(8, -3, 32).Build()},
            {"modern", modern.Build()},
            {"rle8", rle8.Build()},
            {"rle4", rle4.Build()}};
}

} // namespace

TEST(HostileFiles, LyingHeaderFields)
{
    const Bytes rgb = Picture(8, 4, 24).Build(); // 54 + 96 bytes, code 2
    const Bytes map = Picture(9, 9, 8).Build();  // 1078 + 108 bytes, code 1
    struct Case {
        const char* what;
        const Bytes& base;
        std::vector<std::pair<std::size_t, std::uint32_t>> set32; // offset, value
        int code;
    } cases[] = {
        {"good texture", rgb, {}, 2},
        {"good map", map, {}, 1},
        {"bfSize below bfOffBits", rgb, {{2, 10}}, 0},
        {"bfSize 0", map, {{2, 0}}, 0},
        {"bfSize huge", rgb, {{2, 0xFFFFFFFF}}, 0},
        {"count 0", rgb, {{2, 54}}, 0},
        {"bfOffBits past the end", rgb, {{10, 1000}, {2, 1096}}, 0},
        {"bfOffBits near 4 GiB, count wraps small", rgb, {{10, 0xFFFFFFFF}, {2, 95}}, 0},
        {"biSize 0", rgb, {{14, 0}}, 0},
        {"biSize 12", rgb, {{14, 12}}, 0},
        {"biSize 66", rgb, {{14, 66}}, 0},
        {"biSize huge", map, {{14, 0xFFFFFFF0}}, 0},
        {"planes 0", rgb, {{26, 0x00180000}}, 2},
        {"planes 30000", map, {{26, 0x00087530}}, 1},
        {"depth 0", rgb, {{26, 0x00000001}}, 0},
        {"depth 2", rgb, {{26, 0x00020001}}, 0},
        {"depth 3", rgb, {{26, 0x00030001}}, 0},
        {"depth 33", rgb, {{26, 0x00210001}}, 0},
        {"depth 88 (24 mod 32)", rgb, {{26, 0x00580001}}, 0},
        {"depth 30000", rgb, {{26, 0x75300001}}, 0},
        {"depth 33, neither shape", rgb, {{26, 0x00210001}, {18, 7}}, 3},
        {"depth 30000, neither shape", rgb, {{26, 0x75300001}, {18, 7}}, 3},
        {"colour count above 2^8", map, {{46, 300}}, 1},
        {"colour count huge", map, {{46, 0xFFFFFFFF}}, 1},
        {"width 0", rgb, {{18, 0}}, 3},
        {"width negative", rgb, {{18, static_cast<std::uint32_t>(-8)}}, 3},
        {"width INT_MIN", rgb, {{18, 0x80000000}}, 3},
        {"width 2^19, tiny file", rgb, {{18, 1u << 19}}, 0},
        {"height 0", rgb, {{22, 0}}, 0},
        {"height negative", rgb, {{22, static_cast<std::uint32_t>(-4)}}, 2},
        {"height INT_MIN", rgb, {{22, 0x80000000}}, 0},
        {"height INT_MAX, tiny file", rgb, {{22, 0x7FFFFFFF}}, 0},
        {"JPEG inside", rgb, {{30, BI_JPEG}}, 0},
        {"size of image lies", rgb, {{34, 0xFFFFFFFF}}, 2},
    };
    for (const Case& c : cases) {
        Bytes bytes = c.base;
        for (auto [at, value] : c.set32)
            Set32(bytes, at, value);
        EXPECT_EQ(Load(bytes).code, c.code) << c.what;
    }
    // Depths whose reserved colour table would be gigabytes fail before the shape is known.
    for (std::uint32_t depth = 25; depth <= 31; ++depth)
        for (std::uint32_t width : {8u, 7u}) {
            Bytes bytes = rgb;
            Set32(bytes, 26, depth << 16 | 1);
            Set32(bytes, 18, width);
            EXPECT_EQ(Load(bytes).code, 0) << depth << " " << width;
        }
}

TEST(HostileFiles, SizesWhoseRowsOverflow)
{
    // A 65537 x 65537 height map needs more than 2^32 bytes of rows; a file that claims a
    // plausible count for it is refused without anything in proportion being made.
    for (std::int32_t side : {65537, 131073, 524289}) {
        Bmp b = Picture(9, 9, 8);
        b.width = b.height = side;
        b.pixels.clear();
        b.fileSize = 0x7FFFFFF0;
        SparseSource source(b.Build(), 0x7FFFFFF0);
        EXPECT_EQ(Load(source).code, 0) << side;
        EXPECT_LT(source.bytesRead, 4096u);
    }
    // A texture whose rows together pass 4 GiB.
    Bmp wide = Picture(8, 1, 32);
    wide.width = 1 << 19;
    wide.height = 4096;
    wide.pixels.clear();
    wide.fileSize = 0x7FFFFFF0;
    SparseSource source(wide.Build(), 0x7FFFFFF0);
    EXPECT_EQ(Load(source).code, 0);
}

TEST(HostileFiles, EveryGoodFileCutAtEveryLength)
{
    for (const auto& [name, bytes] : GoodFiles()) {
        ASSERT_NE(Load(bytes).code, 0) << name;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            ASSERT_EQ(Load(cut).code, 0) << name << " cut at " << n;
        }
    }
    // The same through real files, shortened in place.
    TempDir dir;
    for (const auto& [name, bytes] : GoodFiles()) {
        const std::string path = dir.Write(name + ".bmp", bytes);
        for (std::size_t n = bytes.size(); n-- > 0;) {
            std::filesystem::resize_file(path, n);
            ASSERT_EQ(LoadPath(path).code, 0) << name << " cut at " << n;
        }
    }
    EXPECT_EQ(fw::LiveBitmapCount(), 0u);
}

TEST(HostileFiles, MutatedHeadersGiveTheirShapeOrFailure)
{
    for (const auto& [name, good] : GoodFiles()) {
        for (std::size_t at = 0; at < 60; ++at) {
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes bytes = good;
                bytes[at] = static_cast<std::uint8_t>(value);
                auto field = [&](std::size_t o) {
                    return static_cast<std::int32_t>(bytes[o] | bytes[o + 1] << 8 | bytes[o + 2] << 16 |
                                                     static_cast<std::uint32_t>(bytes[o + 3]) << 24);
                };
                const auto depth = static_cast<std::uint16_t>(bytes[28] | bytes[29] << 8);
                const int shape = depth % 32 >= 25 ? 0 : ClassifyBitmap(field(18), field(22), depth);
                const int code = Load(bytes).code;
                if (shape == 3 || shape == 0)
                    EXPECT_EQ(code, shape) << name << " byte " << at << " = " << value;
                else
                    EXPECT_TRUE(code == shape || code == 0) << name << " byte " << at << " = " << value;
            }
        }
    }
    EXPECT_EQ(fw::LiveBitmapCount(), 0u);
}
