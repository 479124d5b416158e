// Builds .bmp bytes with any header values, and sources that stand for huge files, for the
// bitmap tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <stdlib.h>

#include "bitmap/load_bitmap.h"
#include "framework/core/dib.h"

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

inline void Set32(Bytes& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t Stride(std::int64_t width, int bitCount)
{
    return static_cast<std::uint32_t>((width * bitCount + 31) / 32 * 4);
}

struct Bmp {
    std::int32_t width = 9;
    std::int32_t height = 9;
    std::uint16_t bitCount = 8;
    std::uint32_t headerSize = 40; // the field; 40 to 124 bytes are written, more or less is only claimed
    std::uint16_t planes = 1;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;   // after a 40-byte header, inside a longer one
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    Bytes pixels;
    std::optional<std::uint32_t> fileSize;    // bfSize; the real size when absent
    std::optional<std::uint32_t> pixelOffset; // bfOffBits; where the pixels are when absent

    Bytes Build() const
    {
        Bytes info;
        Put32(info, headerSize);
        Put32(info, static_cast<std::uint32_t>(width));
        Put32(info, static_cast<std::uint32_t>(height));
        Put16(info, planes);
        Put16(info, bitCount);
        Put32(info, compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, colorsUsed);
        Put32(info, 0);
        const std::size_t written = std::clamp<std::uint32_t>(headerSize, 40, 124);
        if (written > 40)
            for (std::uint32_t m : masks)
                Put32(info, m);
        info.resize(std::max(written, info.size()));
        if (written == 40)
            for (std::uint32_t m : masks)
                Put32(info, m);
        for (std::uint32_t c : palette)
            Put32(info, c); // blue, green, red, 0 in little-endian order
        const auto offset = static_cast<std::uint32_t>(14 + info.size());
        Bytes out;
        out.push_back('B');
        out.push_back('M');
        Put32(out, fileSize.value_or(static_cast<std::uint32_t>(offset + pixels.size())));
        Put32(out, 0);
        Put32(out, pixelOffset.value_or(offset));
        out.insert(out.end(), info.begin(), info.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// Raw pixel values (palette indices or packed colours) of a picture, top row first, laid out
// as DIB rows: bottom-up unless topDown, each padded to 32 bits.
inline Bytes PackRows(int width, int height, int bitCount, const std::function<std::uint32_t(int, int)>& value,
                      bool topDown = false)
{
    const std::uint32_t stride = Stride(width, bitCount);
    Bytes out(std::size_t{stride} * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        std::uint8_t* row = &out[std::size_t{stride} * static_cast<std::size_t>(stored)];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount);
            if (bitCount < 8)
                row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (v << (8 - bitCount - bit % 8)));
            else
                for (int b = 0; b < bitCount / 8; ++b)
                    row[bit / 8 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (8 * b));
        }
    }
    return out;
}

// A file of `size` bytes that holds `head` and then zeros, as a sparse file does, without
// memory in proportion; it counts what is read.
class SparseSource final : public fw::DibSource {
public:
    SparseSource(Bytes head, std::uint64_t size) : m_head(std::move(head)), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) override
    {
        if (offset > m_size || dst.size() > m_size - offset)
            return false;
        bytesRead += dst.size();
        std::fill(dst.begin(), dst.end(), std::uint8_t{0});
        if (offset < m_head.size())
            std::memcpy(dst.data(), m_head.data() + offset,
                        std::min<std::size_t>(dst.size(), m_head.size() - static_cast<std::size_t>(offset)));
        return true;
    }
    std::uint64_t bytesRead = 0;

private:
    Bytes m_head;
    std::uint64_t m_size;
};

// The code of one load and a copy of the picture it made (the bitmap itself is freed).
struct Loaded {
    int code = -1;
    std::optional<fw::Image> image;
};

inline Loaded Take(int code, CGdiObject* out)
{
    Loaded r{code, std::nullopt};
    if (out != nullptr) {
        HGDIOBJ handle = out->m_hObject;
        if (const fw::Image* image = fw::GetBitmapImage(static_cast<HBITMAP>(handle)))
            r.image = *image;
        DeleteObject(handle);
    }
    return r;
}

inline Loaded Load(fw::DibSource& source, fw::Size shown = kLargestPreview)
{
    CGdiObject* out = nullptr;
    const int code = LoadBitmapFromSource(source, &out, shown);
    return Take(code, out);
}

inline Loaded Load(const Bytes& bytes, fw::Size shown = kLargestPreview)
{
    fw::MemoryDibSource source(bytes);
    return Load(source, shown);
}

inline Loaded LoadPath(const std::string& path, fw::Size shown = kLargestPreview)
{
    CGdiObject* out = nullptr;
    const int code = LoadBitmapFile(path.c_str(), &out, shown);
    return Take(code, out);
}

// A directory of its own for one test, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sandrel-bmp-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Write(const std::string& name, const Bytes& bytes) const
    {
        const std::string path = m_path + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // The bytes, then holes up to `size`: a huge file that takes no room.
    std::string WriteSparse(const std::string& name, const Bytes& head, std::uint64_t size) const
    {
        const std::string path = Write(name, head);
        std::filesystem::resize_file(path, size);
        return path;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace bmptest
