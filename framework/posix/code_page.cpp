// Code pages by locale, and the conversions, through glibc's iconv.
#include "framework/posix/code_page.h"

#include <iconv.h>
#include <locale.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

namespace fw::posix {
namespace {

struct LanguageCodePage {
    std::string_view language;
    unsigned codePage;
};

// Windows' ANSI code page of each language that has one other than 1252.
constexpr std::array<LanguageCodePage, 40> kCodePages = {{
    {"th", 874},  {"ja", 932},  {"ko", 949},  {"cs", 1250}, {"hu", 1250}, {"pl", 1250}, {"ro", 1250}, {"sk", 1250},
    {"sl", 1250}, {"hr", 1250}, {"sq", 1250}, {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251},
    {"mk", 1251}, {"sr", 1251}, {"kk", 1251}, {"ky", 1251}, {"tt", 1251}, {"mn", 1251}, {"ba", 1251}, {"tg", 1251},
    {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"uz", 1254}, {"he", 1255}, {"iw", 1255}, {"yi", 1255}, {"ar", 1256},
    {"fa", 1256}, {"ur", 1256}, {"ps", 1256}, {"ug", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257}, {"vi", 1258},
}};

std::string IconvName(unsigned codePage) { return "CP" + std::to_string(codePage); }

bool IsSingleByte(unsigned codePage) { return codePage == 874 || (codePage >= 1250 && codePage <= 1258); }

// Runs the whole input through iconv; nothing when any of it does not convert.
std::optional<std::string> Convert(std::string_view in, const std::string& to, const std::string& from)
{
    iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool flushed = ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0 || !flushed)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// A single-byte code page as the UTF-8 text of each of its 256 bytes (empty: undefined).
using ByteTable = std::array<std::string, 256>;

const ByteTable* TableOf(unsigned codePage)
{
    static std::mutex mutex;
    static std::map<unsigned, ByteTable> tables;
    const std::lock_guard<std::mutex> lock(mutex);
    if (const auto found = tables.find(codePage); found != tables.end())
        return &found->second;
    ByteTable table;
    bool any = false;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        if (std::optional<std::string> text = Convert(std::string_view(&c, 1), "UTF-8", IconvName(codePage))) {
            table[byte] = std::move(*text);
            any = true;
        } else if (byte >= 0x80 && byte <= 0x9F) {
            // Windows maps these to the C1 control of the same number.
            table[byte] = {static_cast<char>(0xC2), c};
        }
    }
    if (!any)
        return nullptr;
    return &tables.emplace(codePage, std::move(table)).first->second;
}

// The length of the UTF-8 sequence starting at text[at], 0 when it is not a valid one.
std::size_t Utf8Length(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
    const auto second = static_cast<unsigned char>(text[at + 1 < text.size() ? at + 1 : at]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

} // namespace

unsigned CodePageOfLocale(std::string_view locale)
{
    const std::size_t languageEnd = locale.find_first_of("_.@");
    const std::string_view language = locale.substr(0, languageEnd);
    const std::size_t at = locale.find('@');
    const std::string_view modifier = at == std::string_view::npos ? std::string_view() : locale.substr(at + 1);
    // Serbian and Uzbek are written in either script; the locale's modifier says which.
    if (language == "sr" && modifier == "latin")
        return 1250;
    if (language == "uz" && modifier == "cyrillic")
        return 1251;
    if (language == "zh") {
        const std::string_view territory = languageEnd != std::string_view::npos && locale[languageEnd] == '_'
                                               ? locale.substr(languageEnd + 1, 2)
                                               : std::string_view();
        return territory == "TW" || territory == "HK" || territory == "MO" ? 950 : 936;
    }
    for (const LanguageCodePage& entry : kCodePages)
        if (entry.language == language)
            return entry.codePage;
    return 1252;
}

unsigned CodePageOfEnvironment()
{
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    if (name == nullptr)
        return 1252;
    // Wine sets the whole locale from the environment; when the system lacks it, C stays.
    const locale_t available = ::newlocale(LC_ALL_MASK, "", nullptr);
    if (available == nullptr)
        return 1252;
    ::freelocale(available);
    return CodePageOfLocale(name);
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::optional<std::string> ToCodePage(std::string_view utf8, unsigned codePage)
{
    if (!IsSingleByte(codePage))
        return IsUtf8(utf8) ? Convert(utf8, IconvName(codePage), "UTF-8") : std::nullopt;
    const ByteTable* table = TableOf(codePage);
    if (table == nullptr)
        return std::nullopt;
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = Utf8Length(utf8, at);
        if (length == 0)
            return std::nullopt;
        const std::string_view character = utf8.substr(at, length);
        std::size_t byte = 0;
        while (byte < 256 && (*table)[byte] != character)
            ++byte;
        if (byte == 256)
            return std::nullopt;
        out += static_cast<char>(byte);
        at += length;
    }
    return out;
}

std::optional<std::string> FromCodePage(std::string_view bytes, unsigned codePage)
{
    if (!IsSingleByte(codePage))
        return Convert(bytes, "UTF-8", IconvName(codePage));
    const ByteTable* table = TableOf(codePage);
    if (table == nullptr)
        return std::nullopt;
    std::string out;
    for (const char c : bytes) {
        const std::string& character = (*table)[static_cast<unsigned char>(c)];
        if (character.empty() && c != '\0')
            return std::nullopt;
        out += character;
    }
    return out;
}

} // namespace fw::posix
