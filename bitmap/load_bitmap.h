// Reading and classifying the height-map and texture bitmap files the pages name.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/core/bitmap.h"

namespace fw {
class DibSource;
}

// Classification codes.
inline constexpr int kBitmapFailed = 0;   // no name, unreadable, cut short or not decodable
inline constexpr int kHeightMapShape = 1; // 8-bit, square, side 2^n + 1
inline constexpr int kTextureShape = 2;   // width 2^n
inline constexpr int kNeitherShape = 3;

// Larger than either page's picture control, so that a preview never shows a cut edge.
inline constexpr fw::Size kLargestPreview{512, 512};

// Reads the bitmap file `path` and classifies its shape. For codes 1 and 2 *out receives the
// wrapper of a new bitmap holding the centre of the picture, at most `shown` pixels; the bitmap
// passes to the caller (DeleteObject). For 0 and 3 *out is left as it was.
int LoadBitmapFile(const char* path, CGdiObject** out, fw::Size shown = kLargestPreview);

// The same, from an opened file (or bytes in memory standing for one).
int LoadBitmapFromSource(fw::DibSource& file, CGdiObject** out, fw::Size shown = kLargestPreview);

// What a bitmap file's headers say of its picture, for the words a screen reader hears: nullopt
// when the file gives no headers. `grey` when every colour of its table is a grey (a depth of
// 8 bits or less with a readable table).
struct BitmapFacts {
    std::int32_t width = 0;
    std::uint32_t height = 0; // the number of rows, whichever way they are stored
    std::uint16_t bitCount = 0;
    bool grey = false;
};
std::optional<BitmapFacts> ReadBitmapFacts(const char* path);

// The shape code from the three header fields that decide it (1, 2 or 3).
int ClassifyBitmap(std::int32_t width, std::int32_t height, std::uint16_t bitCount);

// base^exponent by square-and-multiply in 32-bit arithmetic; a result that does not fit wraps
// as the platform's integers do. Exponents below 0 give 0.
double IntPow(int base, int exponent);
