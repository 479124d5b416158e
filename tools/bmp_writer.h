// Byte-level writers for the .bmp and .ico files that the build-time tools produce.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace tools {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
}

inline void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

// Rows of a DIB are padded to whole 32-bit words.
inline std::uint32_t RowStride(std::uint32_t width, std::uint32_t bitCount)
{
    return (width * bitCount + 31u) / 32u * 4u;
}

inline void PutFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset)
{
    out.push_back('B');
    out.push_back('M');
    Put32(out, fileSize);
    Put32(out, 0); // two reserved words
    Put32(out, pixelOffset);
}

// A BITMAPINFOHEADER for an uncompressed, bottom-up DIB. colorsUsed is written out even
// where 0 would mean the same, so that a reader never has to guess the table's length.
inline void PutInfoHeader(Bytes& out, std::uint32_t width, std::uint32_t height, std::uint32_t bitCount,
                          std::uint32_t colorsUsed)
{
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1); // planes
    Put16(out, bitCount);
    Put32(out, 0); // BI_RGB
    Put32(out, RowStride(width, bitCount) * height);
    Put32(out, 0); // pixels per metre: unknown
    Put32(out, 0);
    Put32(out, colorsUsed);
    Put32(out, 0); // all colours important
}

inline void PutColor(Bytes& out, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    out.push_back(b);
    out.push_back(g);
    out.push_back(r);
    out.push_back(0);
}

// Writes the whole file under a temporary name first, so a reader never sees half of it.
inline bool WriteFileAtomically(const std::filesystem::path& path, const Bytes& bytes, std::string& error)
{
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create " + temp.string();
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temp.string();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        error = "cannot rename " + temp.string() + " to " + path.string() + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

inline bool ReadFile(const std::filesystem::path& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace tools
