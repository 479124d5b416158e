// The ANSI code page a Windows program under Wine reads its byte strings in, and conversions
// between it and the UTF-8 of the Linux side (glibc's iconv).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw::posix {

// The code page Wine gives Windows programs under a locale ("pl_PL.UTF-8" gives 1250): by the
// locale's language, and for a few languages its territory or script. C, POSIX, C.UTF-8 and
// languages without a code page of their own give 1252.
unsigned CodePageOfLocale(std::string_view locale);

// The locale as Wine takes it from the environment: LC_ALL, then LC_CTYPE, then LANG. One the
// system does not have leaves Wine in the C locale, so 1252.
unsigned CodePageOfEnvironment();

// UTF-8 text in the code page; nothing when the text is not UTF-8 or holds a character the
// code page has no byte for.
std::optional<std::string> ToCodePage(std::string_view utf8, unsigned codePage);

// Bytes in the code page as UTF-8; nothing for a byte sequence the code page does not define.
// Single bytes 0x80 to 0x9F that the code page leaves undefined stand for U+0080 to U+009F, as
// on Windows.
std::optional<std::string> FromCodePage(std::string_view bytes, unsigned codePage);

// Whether the bytes are valid UTF-8 throughout.
bool IsUtf8(std::string_view text);

} // namespace fw::posix
