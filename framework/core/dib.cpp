// Reads DIB headers, colour tables and pixel rows from bounded sources; only the window a
// control can show is decoded and kept.
#include "framework/core/dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

namespace fw {
namespace {

// Rows are addressed in 32-bit arithmetic by the format; a picture whose rows need more is
// refused rather than wrapped.
constexpr std::uint64_t kMaxImageBytes = 0xFFFFFFFFu;
// Rows whose unshown part is at most this long are read whole, many at a time: a read call
// costs about as much as copying this many bytes from the cache, so one call per row would cost
// more (an 8193-wide map reads 4 times faster so). Wider rows are read a window's span each.
constexpr std::uint64_t kMaxSkippedPerRow = 32 * 1024;
// Small enough to come from the heap's free memory: a larger transient buffer is mapped fresh
// on each call, and faulting its pages in cost more than the reads it saves.
constexpr std::uint64_t kBatchBytes = 64 * 1024;
constexpr std::size_t kRleChunk = 64 * 1024;

std::uint64_t ExpectedStride(std::int32_t width, std::uint16_t bitCount)
{
    return (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits through a table.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : m_mask(mask)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        const std::uint32_t max = mask >> m_shift;
        const int bits = std::bit_width(max);
        if (bits > 8) {
            // Wider channels keep their top 8 bits.
            m_drop = bits - 8;
            for (std::uint32_t v = 0; v < 256; ++v)
                m_scale[v] = static_cast<BYTE>(v);
            return;
        }
        for (std::uint32_t v = 0; v <= max; ++v)
            m_scale[v] = static_cast<BYTE>((v * 255 + max / 2) / max);
    }

    std::uint32_t operator()(std::uint32_t pixel) const { return m_scale[((pixel & m_mask) >> m_shift) >> m_drop]; }

private:
    std::uint32_t m_mask;
    int m_shift = 0;
    int m_drop = 0;
    std::array<BYTE, 256> m_scale{};
};

struct Masks {
    Channel red, green, blue;
    std::uint32_t operator()(std::uint32_t pixel) const
    {
        return (red(pixel) << 16) | (green(pixel) << 8) | blue(pixel);
    }
};

using Palette = std::array<std::uint32_t, 256>;

// Converts `count` pixels starting `bitShift` bits into `row`.
void ConvertRow(const BYTE* row, unsigned bitShift, std::uint32_t count, std::uint16_t bitCount, const Palette& palette,
                const Masks& masks, std::uint32_t* out)
{
    switch (bitCount) {
    case 1:
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t bit = bitShift + i;
            out[i] = palette[(row[bit >> 3] >> (7 - (bit & 7))) & 1u];
        }
        break;
    case 4:
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t bit = bitShift + 4 * i;
            out[i] = palette[(row[bit >> 3] >> (4 - (bit & 7))) & 0xFu];
        }
        break;
    case 8:
        for (std::uint32_t i = 0; i < count; ++i)
            out[i] = palette[row[i]];
        break;
    case 16:
        for (std::uint32_t i = 0; i < count; ++i)
            out[i] = masks(Le16(row + 2 * i));
        break;
    case 24:
        for (std::uint32_t i = 0; i < count; ++i) {
            const BYTE* p = row + 3 * i;
            out[i] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
        break;
    case 32:
        for (std::uint32_t i = 0; i < count; ++i)
            out[i] = masks(Le32(row + 4 * i));
        break;
    default: break;
    }
}

struct Window {
    std::uint32_t x0 = 0;       // first source column kept
    std::uint32_t width = 0;    // columns kept
    std::uint32_t storedLo = 0; // stored rows kept: [storedLo, storedHi)
    std::uint32_t storedHi = 0;
    bool topDown = false;

    // Row of the kept image for a stored row inside the window.
    std::uint32_t ImageRow(std::uint32_t stored) const { return topDown ? stored - storedLo : storedHi - 1 - stored; }
};

bool DecodeRows(const DibFormat& format, const Palette& palette, const Masks& masks, DibSource& source,
                std::uint64_t offset, const Window& window, Image& image)
{
    const std::uint64_t bitBegin = std::uint64_t{window.x0} * format.bitCount;
    const std::uint64_t spanBegin = bitBegin / 8;
    const std::uint64_t spanEnd = ((std::uint64_t{window.x0} + window.width) * format.bitCount + 7) / 8;
    const std::uint64_t spanBytes = spanEnd - spanBegin;
    const auto bitShift = static_cast<unsigned>(bitBegin % 8);
    const std::uint64_t stride = format.stride;

    if (stride - spanBytes <= kMaxSkippedPerRow) {
        const std::uint64_t rowsPerRead = std::max<std::uint64_t>(1, kBatchBytes / stride);
        std::vector<BYTE> buffer(
            static_cast<std::size_t>(std::min<std::uint64_t>(rowsPerRead, window.storedHi - window.storedLo) * stride));
        for (std::uint32_t s = window.storedLo; s < window.storedHi;) {
            const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(rowsPerRead, window.storedHi - s));
            const std::span<BYTE> chunk(buffer.data(), static_cast<std::size_t>(n * stride));
            if (!source.ReadAt(offset + std::uint64_t{s} * stride, chunk))
                return false;
            for (std::uint32_t i = 0; i < n; ++i)
                ConvertRow(chunk.data() + i * stride + spanBegin, bitShift, window.width, format.bitCount, palette,
                           masks, &image.pixels[std::size_t{window.ImageRow(s + i)} * window.width]);
            s += n;
        }
        return true;
    }

    std::vector<BYTE> span(static_cast<std::size_t>(spanBytes));
    for (std::uint32_t s = window.storedLo; s < window.storedHi; ++s) {
        if (!source.ReadAt(offset + std::uint64_t{s} * stride + spanBegin, span))
            return false;
        ConvertRow(span.data(), bitShift, window.width, format.bitCount, palette, masks,
                   &image.pixels[std::size_t{window.ImageRow(s)} * window.width]);
    }
    return true;
}

// Bytes of an RLE stream in order, read a chunk at a time.
class StreamReader {
public:
    StreamReader(DibSource& source, std::uint64_t offset, std::uint64_t length)
        : m_source(source), m_pos(offset), m_end(offset + length)
    {
    }

    bool Next(BYTE& byte)
    {
        if (m_at == m_buffer.size()) {
            if (m_pos == m_end)
                return false;
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kRleChunk, m_end - m_pos));
            m_buffer.resize(n);
            if (!m_source.ReadAt(m_pos, m_buffer)) {
                m_pos = m_end;
                m_buffer.clear();
                m_at = 0;
                return false;
            }
            m_pos += n;
            m_at = 0;
        }
        byte = m_buffer[m_at++];
        return true;
    }

private:
    DibSource& m_source;
    std::uint64_t m_pos;
    std::uint64_t m_end;
    std::vector<BYTE> m_buffer;
    std::size_t m_at = 0;
};

// RLE8 and RLE4 as the platform decodes them: runs and literal groups that stop at the row's
// end, end-of-line, end-of-bitmap and delta jumps. Pixels the stream skips stay black. Stops as
// soon as the window's last stored row is done.
bool DecodeRle(const DibFormat& format, const Palette& palette, DibSource& source, std::uint64_t offset,
               std::uint64_t length, const Window& window, Image& image)
{
    const bool four = format.compression == BI_RLE4;
    const std::uint64_t width = static_cast<std::uint64_t>(format.width);
    const std::uint64_t keepFrom = window.x0;
    const std::uint64_t keepTo = std::uint64_t{window.x0} + window.width;
    StreamReader in(source, offset, length);
    std::uint64_t x = 0;
    std::uint64_t y = 0;

    auto put = [&](std::uint64_t column, std::uint32_t index) {
        if (y >= window.storedLo && column >= keepFrom && column < keepTo)
            image.pixels[std::size_t{window.ImageRow(static_cast<std::uint32_t>(y))} * window.width +
                         static_cast<std::size_t>(column - keepFrom)] = palette[index];
    };

    while (y < window.storedHi) {
        BYTE count = 0;
        BYTE value = 0;
        if (!in.Next(count) || !in.Next(value))
            return false;
        if (count > 0) {
            const std::uint64_t end = std::min(x + count, width);
            for (std::uint64_t c = x; c < end; ++c) {
                const auto i = c - x;
                put(c, four ? ((i & 1) != 0 ? value & 0xFu : value >> 4) : value);
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: { // delta
            BYTE dx = 0;
            BYTE dy = 0;
            if (!in.Next(dx) || !in.Next(dy))
                return false;
            x += dx;
            y += dy;
            break;
        }
        default: { // a literal group of `value` pixels, padded to a 16-bit boundary
            const std::uint32_t bytes = four ? (value + 1u) / 2u : value;
            BYTE b = 0;
            for (std::uint32_t i = 0; i < value; ++i) {
                if (!four || (i & 1) == 0) {
                    if (!in.Next(b))
                        return false;
                }
                if (x + i < width)
                    put(x + i, four ? ((i & 1) != 0 ? b & 0xFu : b >> 4) : b);
            }
            if ((bytes & 1) != 0 && !in.Next(b))
                return false;
            x += value;
            break;
        }
        }
    }
    return true;
}

bool Decodable(const DibFormat& f)
{
    if (f.width <= 0 || f.rows == 0 || f.rows > static_cast<std::uint32_t>(INT_MAX))
        return false;
    if (f.stride != ExpectedStride(f.width, f.bitCount) || f.stride > kMaxImageBytes / f.rows)
        return false;
    switch (f.compression) {
    case BI_RGB:
        return f.bitCount == 1 || f.bitCount == 4 || f.bitCount == 8 || f.bitCount == 16 || f.bitCount == 24 ||
               f.bitCount == 32;
    case BI_RLE8: return f.bitCount == 8 && !f.topDown;
    case BI_RLE4: return f.bitCount == 4 && !f.topDown;
    case BI_BITFIELDS: return f.bitCount == 16 || f.bitCount == 32;
    default: return false;
    }
}

} // namespace

bool MemoryDibSource::ReadAt(std::uint64_t offset, std::span<BYTE> dst)
{
    if (offset > m_bytes.size() || dst.size() > m_bytes.size() - offset)
        return false;
    if (!dst.empty())
        std::memcpy(dst.data(), m_bytes.data() + offset, dst.size());
    return true;
}

std::optional<DibFormat> ReadDibFormat(DibSource& source, std::uint64_t headerOffset)
{
    std::array<BYTE, 56> h{};
    if (!source.ReadAt(headerOffset, std::span(h).first(4)))
        return std::nullopt;
    DibFormat f;
    f.headerSize = Le32(h.data());
    switch (f.headerSize) {
    case 40:
    case 52:
    case 56:
    case 108:
    case 124: break;
    default: return std::nullopt;
    }
    // The whole header must be there, also the colour-space part that is not used.
    if (headerOffset > source.Size() || source.Size() - headerOffset < f.headerSize)
        return std::nullopt;
    if (!source.ReadAt(headerOffset, std::span(h).first(std::min<std::size_t>(f.headerSize, h.size()))))
        return std::nullopt;

    f.width = static_cast<std::int32_t>(Le32(&h[4]));
    f.height = static_cast<std::int32_t>(Le32(&h[8]));
    f.bitCount = Le16(&h[14]);
    f.compression = Le32(&h[16]);
    f.colorsUsed = Le32(&h[32]);
    f.topDown = f.height < 0;
    f.rows = f.topDown ? 0u - static_cast<std::uint32_t>(f.height) : static_cast<std::uint32_t>(f.height);
    if (f.width > 0)
        f.stride = ExpectedStride(f.width, f.bitCount);
    f.tableOffset = f.headerSize;

    if (f.compression == BI_BITFIELDS) {
        const BYTE* m = &h[40];
        std::array<BYTE, 12> after{};
        if (f.headerSize == 40) {
            if (!source.ReadAt(headerOffset + 40, after))
                return std::nullopt;
            m = after.data();
            f.tableOffset = 52;
        }
        f.redMask = Le32(m);
        f.greenMask = Le32(m + 4);
        f.blueMask = Le32(m + 8);
    } else if (f.bitCount == 16) {
        f.redMask = 0x7C00;
        f.greenMask = 0x03E0;
        f.blueMask = 0x001F;
    } else if (f.bitCount == 32) {
        f.redMask = 0xFF0000;
        f.greenMask = 0x00FF00;
        f.blueMask = 0x0000FF;
    }

    if (!Decodable(f))
        return std::nullopt;

    if (f.bitCount <= 8) {
        const std::uint32_t full = 1u << f.bitCount;
        f.paletteEntries = f.colorsUsed == 0 || f.colorsUsed > full ? full : f.colorsUsed;
        f.tableBytes = std::uint64_t{f.paletteEntries} * 4;
    } else {
        f.tableBytes = std::uint64_t{f.colorsUsed} * 4;
    }
    return f;
}

std::optional<std::vector<std::uint32_t>> ReadDibColorTable(DibSource& source, std::uint64_t headerOffset,
                                                            const DibFormat& format)
{
    if (format.paletteEntries > 256)
        return std::nullopt;
    std::array<BYTE, 256 * 4> raw{};
    const std::span<BYTE> bytes(raw.data(), std::size_t{format.paletteEntries} * 4);
    if (headerOffset > UINT64_MAX - format.tableOffset || !source.ReadAt(headerOffset + format.tableOffset, bytes))
        return std::nullopt;
    std::vector<std::uint32_t> colors(format.paletteEntries);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const BYTE* q = &raw[i * 4]; // blue, green, red, reserved
        colors[i] = (std::uint32_t{q[2]} << 16) | (std::uint32_t{q[1]} << 8) | q[0];
    }
    return colors;
}

std::optional<Image> DecodeDibWindow(const DibFormat& format, std::span<const std::uint32_t> colors, DibSource& source,
                                     std::uint64_t offset, std::uint64_t length, Size window)
{
    if (!Decodable(format))
        return std::nullopt;
    const bool rle = format.compression == BI_RLE8 || format.compression == BI_RLE4;
    const std::uint64_t available = offset > source.Size() ? 0 : std::min(length, source.Size() - offset);
    // Uncompressed rows are all checked to be there before anything is made.
    if (!rle && available < format.stride * format.rows)
        return std::nullopt;

    const auto width = static_cast<std::uint32_t>(format.width);
    Window w;
    w.width = std::min(width, static_cast<std::uint32_t>(std::max(window.width, 1)));
    const std::uint32_t height = std::min(format.rows, static_cast<std::uint32_t>(std::max(window.height, 1)));
    w.x0 = (width - w.width) / 2;
    const std::uint32_t top = (format.rows - height) / 2; // first kept row, counted from the top
    w.topDown = format.topDown;
    w.storedLo = format.topDown ? top : format.rows - top - height;
    w.storedHi = w.storedLo + height;

    Palette palette{};
    std::copy_n(colors.begin(), std::min<std::size_t>(colors.size(), palette.size()), palette.begin());
    const Masks masks{Channel(format.redMask), Channel(format.greenMask), Channel(format.blueMask)};

    Image image;
    image.width = static_cast<int>(w.width);
    image.height = static_cast<int>(height);
    image.sourceWidth = format.width;
    image.sourceHeight = static_cast<int>(format.rows);
    image.pixels.assign(std::size_t{w.width} * height, 0);

    const bool ok = rle ? DecodeRle(format, palette, source, offset, available, w, image)
                        : DecodeRows(format, palette, masks, source, offset, w, image);
    if (!ok)
        return std::nullopt;
    return image;
}

namespace {

// The centred window of a DIB whose information block begins the header source and whose
// pixels run from pixelsAt to the end of the pixel source (from the end of the colour table
// when pixelsAt is not given, as in a packed DIB).
HBITMAP BitmapOfWindow(DibSource& header, DibSource& pixels, std::optional<std::uint64_t> pixelsAt, Size window)
{
    const auto format = ReadDibFormat(header, 0);
    if (!format)
        return nullptr;
    const auto colors = ReadDibColorTable(header, 0, *format);
    if (!colors)
        return nullptr;
    const std::uint64_t at = pixelsAt.value_or(format->tableOffset + format->tableBytes);
    if (at > pixels.Size())
        return nullptr;
    auto image = DecodeDibWindow(*format, *colors, pixels, at, pixels.Size() - at, window);
    return image ? CreateBitmapFromImage(std::move(*image)) : nullptr;
}

} // namespace

HBITMAP CreateBitmapFromDib(std::span<const BYTE> info, std::span<const BYTE> bits, Size window)
{
    MemoryDibSource header(info);
    MemoryDibSource pixels(bits);
    return BitmapOfWindow(header, pixels, 0, window);
}

HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> dib, Size window)
{
    MemoryDibSource source(dib);
    return BitmapOfWindow(source, source, std::nullopt, window);
}

} // namespace fw
