// Test support: writes small, well-formed bitmap files (8-bit grey or 24-bit colour).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

inline void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An uncompressed bitmap of the given size and depth (8: grey palette, 24: colour).
inline void WriteBitmap(const std::string& path, int width, int height, int bits, std::uint8_t shade = 0x80)
{
    const std::uint32_t rowBytes =
        ((static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
    const std::uint32_t paletteBytes = bits == 8 ? 1024 : 0;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLE(out, offset + pixelBytes, 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(width), 4);
    PutLE(out, static_cast<std::uint32_t>(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(bits), 2);
    PutLE(out, 0, 4);
    PutLE(out, pixelBytes, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, bits == 8 ? 256 : 0, 4);
    PutLE(out, 0, 4);
    if (bits == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            PutLE(out, i | (i << 8) | (i << 16), 4);
    out.insert(out.end(), pixelBytes, shade);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

} // namespace testsupport
