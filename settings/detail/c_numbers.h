// Number conversions of terrain.ini in the "C" locale, whatever locale the toolkit has set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace settings::detail {

// atoi's reading (leading white space, optional sign, decimal digits up to the first other
// character, none giving 0), clamped to the int range instead of overflowing.
std::int32_t parseIntClamped(const char* text);

// atof's reading ('.' as decimal point), rounded to the nearest float; a value beyond the float
// range becomes the infinity of its sign.
float parseFloatClamped(const char* text);

// printf's "%f" of value with '.' as decimal point. Returns the length, or a negative number
// when it does not fit.
int formatFixed(char* out, std::size_t size, double value);

} // namespace settings::detail
