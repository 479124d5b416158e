// Reads a bitmap file's headers, classifies its shape, and makes the preview bitmap of a
// height map or texture from the rows a control can show.
#include "bitmap/load_bitmap.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "framework/core/dib.h"

namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;
constexpr std::uint64_t kHeadersBytes = 54;
// Where an 8-bit file's pixels would start after a full 256-entry table; the length rule is
// counted from here whatever the file's own offsets say.
constexpr std::uint64_t kEightBitPixelsFrom = 1078;
// No single block this large can be had by a 32-bit process, which the classification's
// "buffer cannot be obtained" failure (a wrapped count above all) stands for.
constexpr std::uint32_t kLargestPixelCount = 0x7FFFFFFF;

// What the file header and the information header say, as stored: nothing is checked here.
struct StoredHeaders {
    std::uint32_t bfSize = 0;
    std::uint32_t bfOffBits = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
};

// nullopt when the file is shorter than the two headers.
std::optional<StoredHeaders> ReadStoredHeaders(fw::DibSource& file)
{
    std::array<BYTE, kHeadersBytes> h{};
    if (!file.ReadAt(0, h))
        return std::nullopt;
    StoredHeaders s;
    s.bfSize = fw::Le32(&h[2]);
    s.bfOffBits = fw::Le32(&h[10]);
    s.width = static_cast<std::int32_t>(fw::Le32(&h[18]));
    s.height = static_cast<std::int32_t>(fw::Le32(&h[22]));
    s.bitCount = fw::Le16(&h[28]);
    return s;
}

} // namespace

int ClassifyBitmap(std::int32_t width, std::int32_t height, std::uint16_t bitCount)
{
    if (width == height && bitCount == 8) {
        for (int n = 2; n <= 19; ++n)
            if (width == IntPow(2, n) + 1)
                return kHeightMapShape;
        for (int n = 2; n <= 19; ++n)
            if (width == IntPow(2, n))
                return kTextureShape;
        return kNeitherShape;
    }
    for (int n = 2; n <= 19; ++n)
        if (width == IntPow(2, n))
            return kTextureShape;
    return kNeitherShape;
}

double IntPow(int base, int exponent)
{
    if (exponent < 0)
        return 0.0;
    // Unsigned arithmetic wraps where signed overflow would be undefined; the bits are the same.
    std::uint32_t result = 1;
    auto b = static_cast<std::uint32_t>(base);
    auto e = static_cast<unsigned>(exponent);
    for (;;) {
        if ((e & 1u) != 0)
            result *= b;
        e >>= 1;
        if (e == 0)
            break;
        b *= b;
    }
    return static_cast<double>(static_cast<std::int32_t>(result));
}

int LoadBitmapFromSource(fw::DibSource& file, CGdiObject** out, fw::Size shown)
{
    const std::optional<StoredHeaders> stored = ReadStoredHeaders(file);
    if (!stored)
        return kBitmapFailed;
    const auto [bfSize, bfOffBits, width, height, bitCount] = *stored;

    // The format reserves a colour table of 2^(depth mod 32) entries before anything else;
    // for these depths that is gigabytes, which no caller gets.
    if (bitCount % 32 >= 25)
        return kBitmapFailed;

    const int code = ClassifyBitmap(width, height, bitCount);
    if (code == kNeitherShape)
        return code;

    const std::uint32_t count = bfSize - bfOffBits; // wraps when bfSize < bfOffBits
    if (count > kLargestPixelCount)
        return kBitmapFailed;
    const std::uint64_t pixelsFrom = bitCount == 8 ? kEightBitPixelsFrom : kHeadersBytes;
    if (file.Size() < pixelsFrom || file.Size() - pixelsFrom < count)
        return kBitmapFailed;

    // The picture itself comes from where the file's own headers put it.
    const auto format = fw::ReadDibFormat(file, kFileHeaderBytes);
    if (!format)
        return kBitmapFailed;
    const auto colors = fw::ReadDibColorTable(file, kFileHeaderBytes, *format);
    if (!colors)
        return kBitmapFailed;
    auto image = fw::DecodeDibWindow(*format, *colors, file, bfOffBits, count, shown);
    if (!image)
        return kBitmapFailed;
    if (out == nullptr) // a caller that only asks for the shape
        return code;
    HBITMAP bitmap = fw::CreateBitmapFromImage(std::move(*image));
    if (bitmap == nullptr)
        return kBitmapFailed;
    *out = CGdiObject::FromHandle(bitmap);
    return code;
}

std::optional<BitmapFacts> ReadBitmapFacts(const char* path)
{
    if (path == nullptr || *path == '\0')
        return std::nullopt;
    fw::FileDibSource file(path);
    const std::optional<StoredHeaders> stored = file.IsOpen() ? ReadStoredHeaders(file) : std::nullopt;
    if (!stored)
        return std::nullopt;
    BitmapFacts facts;
    facts.width = stored->width;
    const auto height = static_cast<std::int64_t>(stored->height);
    facts.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    facts.bitCount = stored->bitCount;
    if (facts.bitCount <= 8) {
        const auto format = fw::ReadDibFormat(file, kFileHeaderBytes);
        const auto colors = format ? fw::ReadDibColorTable(file, kFileHeaderBytes, *format) : std::nullopt;
        facts.grey = colors && !colors->empty() && std::all_of(colors->begin(), colors->end(), [](std::uint32_t c) {
                         return ((c >> 16) & 0xFF) == ((c >> 8) & 0xFF) && ((c >> 8) & 0xFF) == (c & 0xFF);
                     });
    }
    return facts;
}

int LoadBitmapFile(const char* path, CGdiObject** out, fw::Size shown)
{
    if (path == nullptr || *path == '\0')
        return kBitmapFailed;
    fw::FileDibSource file(path);
    if (!file.IsOpen())
        return kBitmapFailed;
    return LoadBitmapFromSource(file, out, shown);
}
