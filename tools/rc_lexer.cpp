// The resource script's lexer: names, numbers, strings and punctuators, line by line.
#include "tools/rc_lexer.h"

#include <algorithm>
#include <cctype>

#include "tools/rcparse.h"

namespace rc::detail {

const std::map<std::string, std::int64_t, std::less<>>& BuiltinConstants()
{
    static const std::map<std::string, std::int64_t, std::less<>> table = {
        {"WS_TABSTOP", WS_TABSTOP},
        {"WS_GROUP", WS_GROUP},
        {"WS_BORDER", WS_BORDER},
        {"WS_CAPTION", WS_CAPTION},
        {"WS_DISABLED", WS_DISABLED},
        {"WS_VISIBLE", WS_VISIBLE},
        {"WS_CHILD", WS_CHILD},
        {"WS_POPUP", WS_POPUP},
        {"WS_SYSMENU", kWsSysMenu},
        {"DS_SETFONT", DS_SETFONT},
        {"DS_FIXEDSYS", DS_FIXEDSYS},
        {"ES_LEFT", ES_LEFT},
        {"ES_UPPERCASE", ES_UPPERCASE},
        {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
        {"SS_LEFT", SS_LEFT},
        {"SS_BITMAP", SS_BITMAP},
        {"SS_CENTERIMAGE", SS_CENTERIMAGE},
        {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", kBsDefPushButton},
        {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
        {"BS_GROUPBOX", BS_GROUPBOX},
        {"TBS_AUTOTICKS", TBS_AUTOTICKS},
        {"TBS_HORZ", TBS_HORZ},
        {"TBS_NOTICKS", TBS_NOTICKS},
        {"IDC_STATIC", IDC_STATIC},
        {"IDOK", IDOK},
        {"IDCANCEL", IDCANCEL},
        {"RC_INVOKED", 1},
    };
    return table;
}

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string Upper(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

namespace {

// Splits one source line into tokens. Block comments may run across lines, hence the state.
class Lexer {
public:
    Lexer(const std::string& file, int line, std::string_view text, bool& inComment)
        : file_(file), line_(line), s_(text), inComment_(inComment)
    {
    }

    std::vector<Token> Run()
    {
        std::vector<Token> out;
        while (i_ < s_.size()) {
            if (inComment_) {
                const auto end = s_.find("*/", i_);
                if (end == std::string_view::npos)
                    return out;
                i_ = end + 2;
                inComment_ = false;
                continue;
            }
            const char c = s_[i_];
            if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                ++i_;
            } else if (s_.substr(i_, 2) == "//") {
                return out;
            } else if (s_.substr(i_, 2) == "/*") {
                inComment_ = true;
                i_ += 2;
            } else if (IsNameStart(c)) {
                const auto start = i_;
                while (i_ < s_.size() && IsNameChar(s_[i_]))
                    ++i_;
                out.push_back(Make(Tok::Name, std::string(s_.substr(start, i_ - start))));
            } else if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
                out.push_back(Number());
            } else if (c == '"') {
                out.push_back(String());
            } else {
                out.push_back(Punct());
            }
        }
        return out;
    }

private:
    Token Make(Tok kind, std::string text, std::int64_t value = 0) const
    {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.value = value;
        t.file = file_;
        t.line = line_;
        return t;
    }

    [[noreturn]] void Fail(const std::string& message) const { throw ParseError(file_, line_, message); }

    Token Number()
    {
        const auto start = i_;
        std::uint64_t value = 0;
        int base = 10;
        if (s_.substr(i_, 2) == "0x" || s_.substr(i_, 2) == "0X") {
            base = 16;
            i_ += 2;
        }
        bool any = false;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            int digit = -1;
            if (std::isdigit(static_cast<unsigned char>(c)) != 0)
                digit = c - '0';
            else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c)) != 0)
                digit = std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
            if (digit < 0)
                break;
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFu)
                Fail("number '" + std::string(s_.substr(start, i_ + 1 - start)) + "' does not fit in 32 bits");
            any = true;
            ++i_;
        }
        // The size and sign suffixes a resource compiler accepts.
        while (i_ < s_.size() && (s_[i_] == 'L' || s_[i_] == 'l' || s_[i_] == 'U' || s_[i_] == 'u'))
            ++i_;
        if (!any || (i_ < s_.size() && IsNameChar(s_[i_])))
            Fail("malformed number '" + std::string(s_.substr(start, i_ + 1 - start)) + "'");
        return Make(Tok::Number, std::string(s_.substr(start, i_ - start)), static_cast<std::int64_t>(value));
    }

    Token String()
    {
        ++i_; // opening quote
        std::string value;
        while (true) {
            if (i_ >= s_.size())
                Fail("string not closed on its line");
            const char c = s_[i_];
            if (c == '"') {
                // Two quotes stand for one inside the string.
                if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                    value += '"';
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            if (c == '\\' && i_ + 1 < s_.size()) {
                const char e = s_[i_ + 1];
                switch (e) {
                case 'n': value += '\n'; break;
                case 't': value += '\t'; break;
                case 'r': value += '\r'; break;
                case 'a': value += '\a'; break;
                case '\\': value += '\\'; break;
                case '"': value += '"'; break;
                default:
                    value += '\\';
                    value += e;
                    break;
                }
                i_ += 2;
                continue;
            }
            value += c;
            ++i_;
        }
        return Make(Tok::String, std::move(value));
    }

    Token Punct()
    {
        static constexpr std::string_view twoChar[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
        for (auto op : twoChar) {
            if (s_.substr(i_, 2) == op) {
                i_ += 2;
                return Make(Tok::Punct, std::string(op));
            }
        }
        static constexpr std::string_view oneChar = ",|()+-*/%&^~!<>{}";
        const char c = s_[i_];
        if (oneChar.find(c) == std::string_view::npos) {
            const auto code = static_cast<unsigned>(static_cast<unsigned char>(c));
            if (code >= 0x20 && code < 0x7F)
                Fail(std::string("unexpected character '") + c + "'");
            Fail("unexpected byte " + std::to_string(code));
        }
        ++i_;
        return Make(Tok::Punct, std::string(1, c));
    }

    const std::string& file_;
    int line_;
    std::string_view s_;
    bool& inComment_;
    std::size_t i_ = 0;
};

} // namespace

std::vector<Token> Tokenize(const std::string& file, int line, std::string_view text, bool& inComment)
{
    return Lexer(file, line, text, inComment).Run();
}

} // namespace rc::detail
