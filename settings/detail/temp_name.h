// The random part of a temporary file's name, shared by the platforms' saves.
#pragma once

#include <cstdint>
#include <string>

namespace settings::detail {

// Eight letters and digits from a seed the caller mixes from its process and the time; a
// counter makes names made in one process in quick succession differ.
inline std::string temporarySuffix(std::uint64_t seed)
{
    static std::uint64_t counter = 0;
    seed ^= ++counter * 0x9E3779B97F4A7C15ull;
    seed ^= seed >> 29;
    seed *= 0xBF58476D1CE4E5B9ull;
    seed ^= seed >> 32;
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix += kAlphabet[seed % 36];
        seed /= 36;
    }
    return suffix;
}

} // namespace settings::detail
