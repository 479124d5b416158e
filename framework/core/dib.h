// The platform's device-independent bitmap conversion: DIB headers, colour tables and pixel
// rows (uncompressed, bit fields, RLE) read from bounded sources into a displayable bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "framework/core/bitmap.h"
#include "framework/core/wintypes.h"

#ifndef BI_RGB
#define BI_RGB 0u
#define BI_RLE8 1u
#define BI_RLE4 2u
#define BI_BITFIELDS 3u
#define BI_JPEG 4u
#define BI_PNG 5u
#endif

namespace fw {

// The little-endian numbers of bitmap headers.
inline std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const BYTE* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// Bytes a DIB is read from, at offsets. Every read names its range, so nothing is read that
// the source does not hold.
class DibSource {
public:
    virtual ~DibSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies exactly dst.size() bytes from offset; false when they are not all there.
    virtual bool ReadAt(std::uint64_t offset, std::span<BYTE> dst) = 0;
};

class MemoryDibSource final : public DibSource {
public:
    explicit MemoryDibSource(std::span<const BYTE> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(std::uint64_t offset, std::span<BYTE> dst) override;

private:
    std::span<const BYTE> m_bytes;
};

// A file read at offsets, with its length taken once when it is opened. Only regular files
// open: a pipe would block the caller and a device may never end. Closed by the destructor.
class FileDibSource final : public DibSource {
public:
    explicit FileDibSource(const char* path);
    ~FileDibSource() override;
    FileDibSource(const FileDibSource&) = delete;
    FileDibSource& operator=(const FileDibSource&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, std::span<BYTE> dst) override;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// What an information header says, checked to describe a picture this layer can decode.
struct DibFormat {
    std::uint32_t headerSize = 0; // 40, 52, 56, 108 or 124
    std::int32_t width = 0;       // above 0
    std::int32_t height = 0;      // not 0; negative for rows stored top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    // Masks in effect for 16- and 32-bit pixels (the defaults when the header gives none).
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;

    bool topDown = false;
    std::uint32_t rows = 0;           // |height|
    std::uint64_t stride = 0;         // bytes per stored row when uncompressed
    std::uint32_t paletteEntries = 0; // colour-table entries the pixels index (depths up to 8)
    std::uint64_t tableOffset = 0;    // from the start of the information header
    std::uint64_t tableBytes = 0;     // what lies between the header (and masks) and packed pixels
};

// Reads the information header at offset, and the masks that follow a 40-byte one. nullopt for
// a header cut short or of an unknown size, a compression or depth not decoded here (JPEG and
// PNG included), a width not above 0, no rows, top-down RLE, and sizes whose rows would not fit
// in 32-bit arithmetic.
std::optional<DibFormat> ReadDibFormat(DibSource& source, std::uint64_t headerOffset);

// The colour table after the header, as 0x00RRGGBB, paletteEntries long (empty above 8 bits).
// nullopt when the source does not hold it.
std::optional<std::vector<std::uint32_t>> ReadDibColorTable(DibSource& source, std::uint64_t headerOffset,
                                                            const DibFormat& format);

// Decodes the centred window of at most `window` pixels from the pixel bytes at
// [offset, offset + length) of the source. Only the rows and columns of the window are read
// (RLE streams up to the window's last row). nullopt when the bytes do not hold every row the
// format describes, or an RLE stream ends before the window is complete.
std::optional<Image> DecodeDibWindow(const DibFormat& format, std::span<const std::uint32_t> colors, DibSource& source,
                                     std::uint64_t offset, std::uint64_t length, Size window);

// The platform's conversion: a bitmap of the centred window from an information block (header,
// masks, colour table) and separate pixel bytes. nullptr when they do not decode.
HBITMAP CreateBitmapFromDib(std::span<const BYTE> info, std::span<const BYTE> bits, Size window);

// The same from a packed DIB (header, colour table and pixels in one block, as a bitmap
// resource holds them).
HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> dib, Size window);

} // namespace fw
