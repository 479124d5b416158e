// Number conversions pinned to the "C" locale: a comma-decimal user locale must not change
// how terrain.ini is read or written, since the engine reads the same file.
#include "settings/detail/c_numbers.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace settings::detail {
namespace {

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

#ifndef _WIN32
// Switches the calling thread to the "C" locale for the guard's lifetime.
class CLocaleScope {
public:
    CLocaleScope()
    {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (cLocale != static_cast<locale_t>(0))
            m_previous = uselocale(cLocale);
    }
    ~CLocaleScope()
    {
        if (m_previous != static_cast<locale_t>(0))
            uselocale(m_previous);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous = static_cast<locale_t>(0);
};
#else
_locale_t cLocale()
{
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return locale;
}
#endif

} // namespace

std::int32_t parseIntClamped(const char* text)
{
    while (isCSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Accumulated as a negative number, whose range includes INT_MIN.
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 - (*text - '0');
        if (value < INT32_MIN)
            return negative ? INT32_MIN : INT32_MAX;
    }
    if (!negative) {
        value = -value;
        if (value > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

float parseFloatClamped(const char* text)
{
    double value;
#ifdef _WIN32
    value = _strtod_l(text, nullptr, cLocale());
#else
    {
        CLocaleScope scope;
        value = std::strtod(text, nullptr);
    }
#endif
    if (std::isnan(value)) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        return std::signbit(value) ? -nan : nan;
    }
    // Converting a double outside the float range is undefined, so round the edge by hand:
    // from FLT_MAX plus half its last step upwards, round-to-nearest gives infinity.
    constexpr double halfStep = 0x1p103;
    const double magnitude = std::fabs(value);
    if (magnitude > static_cast<double>(FLT_MAX)) {
        const float edge =
            magnitude >= static_cast<double>(FLT_MAX) + halfStep ? std::numeric_limits<float>::infinity() : FLT_MAX;
        return value < 0 ? -edge : edge;
    }
    return static_cast<float>(value);
}

int formatFixed(char* out, std::size_t size, double value)
{
    int length;
#ifdef _WIN32
    length = _snprintf_l(out, size, "%f", cLocale(), value);
#else
    {
        CLocaleScope scope;
        length = std::snprintf(out, size, "%f", value);
    }
#endif
    if (length < 0 || static_cast<std::size_t>(length) >= size)
        return -1;
    return length;
}

} // namespace settings::detail
