// Shape codes: the classification rule, the failures before it, and the file cases around it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <filesystem>

#include "bitmap/load_bitmap.h"
#include "tests/bitmap/bmp_builder.h"

using namespace bmptest;

namespace {

std::vector<std::uint32_t> Gray(int entries)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < entries; ++i)
        p.push_back(static_cast<std::uint32_t>(i * 0x010101));
    return p;
}

// Headers (and for 8 bits the full colour table) of a picture whose pixels are all there.
Bmp Header(std::int32_t width, std::int32_t height, std::uint16_t bitCount)
{
    Bmp b;
    b.width = width;
    b.height = height;
    b.bitCount = bitCount;
    if (bitCount <= 8)
        b.palette = Gray(1 << bitCount);
    const std::uint64_t rows = height < 0 ? 0 - static_cast<std::int64_t>(height) : height;
    const std::uint64_t need = Stride(width, bitCount) * rows;
    b.fileSize = static_cast<std::uint32_t>(14 + 40 + b.palette.size() * 4 + need);
    return b;
}

int LoadSparse(const Bmp& b)
{
    SparseSource source(b.Build(), b.fileSize.value_or(0));
    return Load(source).code;
}

int OpenFdCount()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

} // namespace

TEST(IntPow, SquareAndMultiplyInThirtyTwoBits)
{
    for (int n = 0; n <= 30; ++n)
        EXPECT_EQ(IntPow(2, n), static_cast<double>(1 << n)) << n;
    EXPECT_EQ(IntPow(7, 0), 1.0);
    EXPECT_EQ(IntPow(-3, 3), -27.0);
    EXPECT_EQ(IntPow(10, 9), 1e9);
    // Results that do not fit wrap as 32-bit integers do, without undefined behaviour.
    EXPECT_EQ(IntPow(2, 31), static_cast<double>(INT_MIN));
    EXPECT_EQ(IntPow(2, 32), 0.0);
    EXPECT_EQ(IntPow(3, 21), static_cast<double>(static_cast<std::int32_t>(10460353203ull & 0xFFFFFFFFu)));
    EXPECT_EQ(IntPow(INT_MIN, INT_MAX), 0.0);
    EXPECT_EQ(IntPow(2, -1), 0.0);
    EXPECT_EQ(IntPow(5, INT_MIN), 0.0);
}

TEST(ClassifyBitmap, HeightMapsAreSquareEightBitTwoToTheNPlusOne)
{
    for (int n = 2; n <= 19; ++n) {
        const int side = (1 << n) + 1;
        EXPECT_EQ(ClassifyBitmap(side, side, 8), 1) << side;
        EXPECT_EQ(ClassifyBitmap(side, side, 24), 3) << side;
        EXPECT_EQ(ClassifyBitmap(side, side - 1, 8), 3) << side;
        EXPECT_EQ(ClassifyBitmap(side, -side, 8), 3) << side;
    }
    for (int side : {3, 2, (1 << 20) + 1, 0, 1, 258, INT_MIN, -5})
        EXPECT_EQ(ClassifyBitmap(side, side, 8), 3) << side;
}

TEST(ClassifyBitmap, TexturesByWidthAloneAtAnyDepthAndHeight)
{
    for (int n = 2; n <= 19; ++n)
        for (int depth : {1, 4, 8, 16, 24, 32, 0, 3, 30000})
            for (int height : {1, 17, 1 << n, -3, 0, INT_MIN})
                EXPECT_EQ(ClassifyBitmap(1 << n, height, static_cast<std::uint16_t>(depth)), 2)
                    << (1 << n) << " " << depth << " " << height;
    for (int width : {2, 1, 1 << 20, 0, -4, INT_MIN, 6, 513})
        EXPECT_EQ(ClassifyBitmap(width, 7, 24), 3) << width;
}

TEST(LoadBitmapFile, NamesThatGiveNoFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "named pipes and /dev are Linux's";
#endif
    TempDir dir;
    CGdiObject* untouched = reinterpret_cast<CGdiObject*>(&dir);
    CGdiObject* out = untouched;
    EXPECT_EQ(LoadBitmapFile("", &out), 0);
    EXPECT_EQ(LoadBitmapFile(nullptr, &out), 0);
    EXPECT_EQ(LoadBitmapFile((dir.Path() + "/missing.bmp").c_str(), &out), 0);
    EXPECT_EQ(LoadBitmapFile(dir.Path().c_str(), &out), 0);
    // A pipe would block the open and never end; it is refused at once.
    const std::string fifo = dir.Path() + "/pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadBitmapFile(fifo.c_str(), &out), 0);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(LoadBitmapFile("/dev/zero", &out), 0);
}

TEST(LoadBitmapFile, EdgeCasesOfTheShapeRule)
{
    struct Case {
        std::int32_t width, height;
        std::uint16_t depth;
        int code;
    } cases[] = {
        {257, 257, 8, 1},  {5, 5, 8, 1},   {3, 3, 8, 3},   {256, 256, 8, 2}, {256, 17, 24, 2},
        {257, 257, 24, 3}, {2, 2, 24, 3},  {4, 1, 24, 2},  {4, 4, 1, 2},     {8, -4, 24, 2},
        {9, -9, 8, 3},     {17, 17, 4, 3}, {16, 3, 16, 2}, {32, 5, 32, 2},   {1, 1, 8, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadSparse(Header(c.width, c.height, c.depth)), c.code)
            << c.width << "x" << c.height << "x" << c.depth;

    // Code 3 needs no pixels: the headers alone decide it.
    for (std::int32_t side : {3, (1 << 20) + 1})
        EXPECT_EQ(Load(Header(side, side, 8).Build()).code, 3) << side;
    EXPECT_EQ(Load(Header(257, 257, 24).Build()).code, 3);

    // The signature is not looked at.
    Bytes notBm = Header(8, 2, 24).Build();
    notBm[0] = 'X';
    notBm[1] = 'Y';
    SparseSource source(notBm, 54 + 48);
    EXPECT_EQ(Load(source).code, 2);
}

TEST(LoadBitmapFile, AcceptedSidesAtTheirLimits)
{
    // Height maps whose pixels fit what a 32-bit count can describe load; larger ones cannot
    // be whole files and are refused rather than read past.
    for (int n = 2; n <= 19; ++n) {
        const int side = (1 << n) + 1;
        EXPECT_EQ(LoadSparse(Header(side, side, 8)), n <= 15 ? 1 : 0) << side;
    }
    for (int n = 2; n <= 19; ++n)
        for (int depth : {1, 4, 8, 16, 24, 32})
            EXPECT_EQ(LoadSparse(Header(1 << n, 2, static_cast<std::uint16_t>(depth))), 2) << (1 << n) << " " << depth;
}

TEST(LoadBitmapFile, TheLengthRuleCountsFromFixedOffsets)
{
    // 236 colours: the pixels start at 998, but the count is measured from 1078 and runs 80
    // bytes past the end.
    Bmp small;
    small.width = small.height = 9;
    small.palette = Gray(236);
    small.colorsUsed = 236;
    small.pixels = PackRows(9, 9, 8, [](int x, int y) { return static_cast<std::uint32_t>(x + y); });
    EXPECT_EQ(small.Build().size(), 998u + 108u);
    EXPECT_EQ(Load(small.Build()).code, 0);

    // One byte fewer than the count after the table, or a count of zero: refused.
    Bmp full = small;
    full.palette = Gray(256);
    full.colorsUsed = 0;
    EXPECT_EQ(Load(full.Build()).code, 1);
    Bytes cut = full.Build();
    cut.pop_back();
    EXPECT_EQ(Load(cut).code, 0);
    full.fileSize = 1078;
    EXPECT_EQ(Load(full.Build()).code, 0);
}

TEST(LoadBitmapFile, HugePicturesOnDiskCostOnlyTheirWindow)
{
    TempDir dir;
    const Bmp map = Header(8193, 8193, 8);
    const Bmp texture = Header(16384, 16384, 24);
    const auto a = LoadPath(dir.WriteSparse("map.bmp", map.Build(), *map.fileSize));
    const auto b = LoadPath(dir.WriteSparse("tex.bmp", texture.Build(), *texture.fileSize));
    ASSERT_EQ(a.code, 1);
    ASSERT_EQ(b.code, 2);
    EXPECT_EQ(a.image->width, 512);
    EXPECT_EQ(a.image->sourceWidth, 8193);
    EXPECT_EQ(b.image->height, 512);
    EXPECT_EQ(b.image->sourceHeight, 16384);

    SparseSource mapSource(map.Build(), *map.fileSize);
    SparseSource textureSource(texture.Build(), *texture.fileSize);
    EXPECT_EQ(Load(mapSource).code, 1);
    EXPECT_EQ(Load(textureSource).code, 2);
    // At most the shown rows (whole rows when that is cheaper than a read per row), never the file.
    EXPECT_LE(mapSource.bytesRead, 512u * Stride(8193, 8) + 2048);
    EXPECT_LE(textureSource.bytesRead, 512u * 512 * 3 + 2048);
}

TEST(LoadBitmapFile, ClosesTheFileWhateverTheResult)
{
    TempDir dir;
    Bmp b = Header(9, 9, 8);
    b.pixels.resize(Stride(9, 8) * 9);
    const std::string map = dir.Write("map.bmp", b.Build());
    b.height = 7;
    const std::string neither = dir.Write("neither.bmp", b.Build());
    Bytes cutBytes = Header(16, 2, 24).Build();
    const std::string cut = dir.Write("cut.bmp", cutBytes);
    const int before = OpenFdCount();
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(LoadPath(map).code, 1);
        EXPECT_EQ(LoadPath(neither).code, 3);
        EXPECT_EQ(LoadPath(cut).code, 0);
    }
    // A leak on any one path would leave 300 descriptors open. Under Wine the count is the
    // emulator's own too, which opens and closes a few of its own meanwhile.
    EXPECT_LE(OpenFdCount(), before + 16);
    EXPECT_EQ(fw::LiveBitmapCount(), 0u);
}
