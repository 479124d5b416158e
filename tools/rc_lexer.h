// The resource script's tokens, and the lexer that splits a line into them; the names every
// stage of the reader knows without a definition.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/wintypes.h"

namespace rc::detail {

// Implied bits that no page names itself, so wintypes.h does not carry them.
constexpr DWORD kBsDefPushButton = 0x0001u;
constexpr DWORD kWsSysMenu = 0x00080000u;
constexpr DWORD kBsTypeMask = 0x000Fu;
constexpr DWORD kSsTypeMask = 0x001Fu;

// The constants a script may name without defining them: what a Windows resource compiler
// would take from the platform's headers.
const std::map<std::string, std::int64_t, std::less<>>& BuiltinConstants();

enum class Tok { Name, Number, String, Punct, End };

struct Token {
    Tok kind = Tok::End;
    std::string text; // a name, a punctuator, or the value of a string
    std::int64_t value = 0;
    std::string file;
    int line = 0;
};

bool IsNameStart(char c);
bool IsNameChar(char c);
std::string Upper(std::string_view s);
inline bool IsPunct(const Token& t, std::string_view p) { return t.kind == Tok::Punct && t.text == p; }

// Splits one source line into tokens. Block comments may run across lines: inComment carries
// the state from one line to the next. Throws ParseError.
std::vector<Token> Tokenize(const std::string& file, int line, std::string_view text, bool& inComment);

} // namespace rc::detail
