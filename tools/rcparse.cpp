// The resource-script reader behind rc2cpp: a small preprocessor (includes, object-like
// macros, conditionals) and a parser for the statements the launcher's script uses.
#include "tools/rcparse.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string_view>

namespace rc {
namespace {

// Implied bits that no page names itself, so wintypes.h does not carry them.
constexpr DWORD kBsDefPushButton = 0x0001u;
constexpr DWORD kWsSysMenu = 0x00080000u;
constexpr DWORD kBsTypeMask = 0x000Fu;
constexpr DWORD kSsTypeMask = 0x001Fu;

// The constants a script may name without defining them: what a Windows resource compiler
// would take from the platform's headers.
const std::map<std::string, std::int64_t, std::less<>>& BuiltinConstants()
{
    static const std::map<std::string, std::int64_t, std::less<>> table = {
        {"WS_TABSTOP", WS_TABSTOP},       {"WS_GROUP", WS_GROUP},
        {"WS_BORDER", WS_BORDER},         {"WS_CAPTION", WS_CAPTION},
        {"WS_DISABLED", WS_DISABLED},     {"WS_VISIBLE", WS_VISIBLE},
        {"WS_CHILD", WS_CHILD},           {"WS_POPUP", WS_POPUP},
        {"WS_SYSMENU", kWsSysMenu},       {"DS_SETFONT", DS_SETFONT},
        {"DS_FIXEDSYS", DS_FIXEDSYS},     {"ES_LEFT", ES_LEFT},
        {"ES_UPPERCASE", ES_UPPERCASE},   {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
        {"SS_LEFT", SS_LEFT},             {"SS_BITMAP", SS_BITMAP},
        {"SS_CENTERIMAGE", SS_CENTERIMAGE}, {"BS_PUSHBUTTON", BS_PUSHBUTTON},
        {"BS_DEFPUSHBUTTON", kBsDefPushButton}, {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
        {"BS_GROUPBOX", BS_GROUPBOX},     {"TBS_AUTOTICKS", TBS_AUTOTICKS},
        {"TBS_HORZ", TBS_HORZ},           {"TBS_NOTICKS", TBS_NOTICKS},
        {"IDC_STATIC", IDC_STATIC},       {"IDOK", IDOK},
        {"IDCANCEL", IDCANCEL},           {"RC_INVOKED", 1},
    };
    return table;
}

// ---------------------------------------------------------------------------------------
// Tokens

enum class Tok { Name, Number, String, Punct, End };

struct Token {
    Tok kind = Tok::End;
    std::string text; // a name, a punctuator, or the value of a string
    std::int64_t value = 0;
    std::string file;
    int line = 0;
};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string Upper(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

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
                default: value += '\\'; value += e; break;
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

bool IsPunct(const Token& t, std::string_view p) { return t.kind == Tok::Punct && t.text == p; }

// ---------------------------------------------------------------------------------------
// Expressions: C's operators and precedence, over tokens whose macros are already expanded.

class Evaluator {
public:
    // resolve gives a name's value; it throws for a name it does not know.
    using Resolver = std::function<std::int64_t(const Token&)>;

    Evaluator(const std::vector<Token>& toks, std::size_t& pos, Resolver resolve, const Token& where)
        : t_(toks), pos_(pos), resolve_(std::move(resolve)), where_(where)
    {
    }

    // Parses and evaluates a whole expression whose binary operators bind at least as
    // tightly as minLevel (see Level).
    std::int64_t Parse(int minLevel = 1)
    {
        std::int64_t left = Unary();
        while (true) {
            const Token& op = Peek();
            const int level = Level(op);
            if (level < minLevel || level == 0)
                return left;
            ++pos_;
            const std::int64_t right = Parse(level + 1);
            left = Apply(op, left, right);
        }
    }

    static int Level(const Token& t)
    {
        if (t.kind != Tok::Punct)
            return 0;
        static const std::map<std::string, int, std::less<>> levels = {
            {"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4}, {"&", 5}, {"==", 6}, {"!=", 6},
            {"<", 7}, {">", 7}, {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8},
            {"+", 9}, {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10},
        };
        const auto it = levels.find(t.text);
        return it == levels.end() ? 0 : it->second;
    }

private:
    const Token& Peek() const
    {
        static const Token end;
        return pos_ < t_.size() ? t_[pos_] : end;
    }

    [[noreturn]] void Fail(const std::string& message) const
    {
        const Token& at = pos_ < t_.size() ? t_[pos_] : (t_.empty() ? where_ : t_.back());
        throw ParseError(at.file, at.line, message);
    }

    std::int64_t Unary()
    {
        if (++depth_ > 200)
            Fail("expression nested too deeply");
        const Token t = Peek();
        std::int64_t v = 0;
        if (t.kind == Tok::Number) {
            ++pos_;
            v = t.value;
        } else if (t.kind == Tok::Name) {
            ++pos_;
            v = resolve_(t);
        } else if (IsPunct(t, "(")) {
            ++pos_;
            v = Parse();
            if (!IsPunct(Peek(), ")"))
                Fail("')' expected");
            ++pos_;
        } else if (IsPunct(t, "-") || IsPunct(t, "+") || IsPunct(t, "~") || IsPunct(t, "!")) {
            ++pos_;
            const std::int64_t operand = Unary();
            v = t.text == "-" ? Wrap(-operand) : t.text == "~" ? Wrap(~operand) : t.text == "!" ? !operand : operand;
        } else if (t.kind == Tok::End) {
            Fail("expression expected at end of input");
        } else {
            Fail("expression expected, found '" + t.text + "'");
        }
        --depth_;
        return v;
    }

    // Arithmetic is that of 32-bit integers, as in a resource compiler.
    static std::int64_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFF)); }

    std::int64_t Apply(const Token& op, std::int64_t a, std::int64_t b) const
    {
        const std::string& o = op.text;
        if (o == "||") return (a != 0 || b != 0) ? 1 : 0;
        if (o == "&&") return (a != 0 && b != 0) ? 1 : 0;
        if (o == "|") return Wrap(a | b);
        if (o == "^") return Wrap(a ^ b);
        if (o == "&") return Wrap(a & b);
        if (o == "==") return a == b ? 1 : 0;
        if (o == "!=") return a != b ? 1 : 0;
        if (o == "<") return a < b ? 1 : 0;
        if (o == ">") return a > b ? 1 : 0;
        if (o == "<=") return a <= b ? 1 : 0;
        if (o == ">=") return a >= b ? 1 : 0;
        if (o == "<<" || o == ">>") {
            if (b < 0 || b > 31)
                throw ParseError(op.file, op.line, "shift by " + std::to_string(b) + " is out of range");
            const auto ua = static_cast<std::uint32_t>(a & 0xFFFFFFFF);
            return Wrap(o == "<<" ? static_cast<std::int64_t>(ua << b) : static_cast<std::int64_t>(ua >> b));
        }
        if (o == "+") return Wrap(a + b);
        if (o == "-") return Wrap(a - b);
        if (o == "*") return Wrap(a * b);
        if (b == 0)
            throw ParseError(op.file, op.line, "division by zero");
        return o == "/" ? Wrap(a / b) : Wrap(a % b);
    }

    const std::vector<Token>& t_;
    std::size_t& pos_;
    Resolver resolve_;
    const Token& where_;
    int depth_ = 0;
};

// ---------------------------------------------------------------------------------------
// Preprocessor

class Preprocessor {
public:
    explicit Preprocessor(const FileReader& read) : read_(read) {}

    std::vector<Token> Run(const std::string& path)
    {
        const auto text = read_(path);
        if (!text)
            throw ParseError(path, 0, "cannot read the file");
        ProcessFile(path, *text, 0);
        return std::move(out_);
    }

private:
    struct Conditional {
        bool parentActive;
        bool active;  // this branch is being read
        bool taken;   // some branch of this #if was read
        bool seenElse;
        int line;
    };

    void ProcessFile(const std::string& path, const std::string& text, int depth)
    {
        std::vector<Conditional> conds;
        bool inComment = false;
        linesRead_ += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        if (linesRead_ > kMaxLines)
            throw ParseError(path, 1, "too many lines read through includes");
        int lineNo = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            // One logical line; a backslash at the end joins the next one.
            std::string line;
            const int firstLine = lineNo + 1;
            while (pos < text.size()) {
                auto end = text.find('\n', pos);
                if (end == std::string::npos)
                    end = text.size();
                std::string_view piece(text.data() + pos, end - pos);
                pos = end + 1;
                ++lineNo;
                if (!piece.empty() && piece.back() == '\r')
                    piece.remove_suffix(1);
                if (!piece.empty() && piece.back() == '\\') {
                    line.append(piece.substr(0, piece.size() - 1));
                    continue;
                }
                line.append(piece);
                break;
            }
            const bool active = conds.empty() || conds.back().active;
            const auto first = line.find_first_not_of(" \t");
            if (!inComment && first != std::string::npos && line[first] == '#') {
                Directive(path, firstLine, std::string_view(line).substr(first + 1), conds, active, depth);
                continue;
            }
            if (!active) {
                // Skipped text need not be valid, but comments still have to be followed so
                // that a '#' inside one is not taken for a directive.
                TrackComments(line, inComment);
                continue;
            }
            for (Token& t : Lexer(path, firstLine, line, inComment).Run())
                Emit(t, t, 0, out_);
        }
        if (!conds.empty())
            throw ParseError(path, conds.back().line, "#if without #endif");
        if (inComment)
            throw ParseError(path, lineNo, "comment not closed at end of file");
    }

    static void TrackComments(std::string_view line, bool& inComment)
    {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (inComment) {
                if (line.substr(i, 2) == "*/") {
                    inComment = false;
                    ++i;
                }
            } else if (line[i] == '"') {
                const auto close = line.find('"', i + 1);
                if (close == std::string_view::npos)
                    return;
                i = close;
            } else if (line.substr(i, 2) == "//") {
                return;
            } else if (line.substr(i, 2) == "/*") {
                inComment = true;
                ++i;
            }
        }
    }

    // Appends t, with its macros expanded, reported at the place of use.
    void Emit(const Token& t, const Token& at, int depth, std::vector<Token>& out)
    {
        // Macros that expand to one another can grow without end; no real script comes near.
        if (out.size() > kMaxTokens)
            throw ParseError(at.file, at.line, "script too large after macro expansion");
        if (t.kind == Tok::Name) {
            const auto it = macros_.find(t.text);
            if (it != macros_.end() && !expanding_.contains(t.text)) {
                if (depth > 64)
                    throw ParseError(at.file, at.line, "macros nested too deeply");
                expanding_.insert(t.text);
                for (const Token& r : it->second)
                    Emit(r, at, depth + 1, out);
                expanding_.erase(t.text);
                return;
            }
        }
        Token copy = t;
        copy.file = at.file;
        copy.line = at.line;
        out.push_back(std::move(copy));
    }

    void Directive(const std::string& path, int line, std::string_view rest, std::vector<Conditional>& conds,
                   bool active, int depth)
    {
        std::size_t i = 0;
        while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < rest.size() && IsNameChar(rest[j]))
            ++j;
        const std::string name(rest.substr(i, j - i));
        const std::string_view args = rest.substr(j);
        auto fail = [&](const std::string& message) -> void { throw ParseError(path, line, message); };

        if (name == "if" || name == "ifdef" || name == "ifndef") {
            bool value = false;
            if (active)
                value = name == "if" ? Condition(path, line, args) : (IsDefined(path, line, args) == (name == "ifdef"));
            conds.push_back({active, active && value, active && value, false, line});
            return;
        }
        if (name == "elif" || name == "else") {
            if (conds.empty())
                fail("#" + name + " without #if");
            Conditional& c = conds.back();
            if (c.seenElse)
                fail("#" + name + " after #else");
            const bool value = name == "else" || (c.parentActive && !c.taken && Condition(path, line, args));
            c.active = c.parentActive && !c.taken && value;
            c.taken = c.taken || c.active;
            c.seenElse = name == "else";
            return;
        }
        if (name == "endif") {
            if (conds.empty())
                fail("#endif without #if");
            conds.pop_back();
            return;
        }
        if (!active)
            return;
        if (name == "include") {
            Include(path, line, args, depth);
        } else if (name == "define") {
            Define(path, line, args);
        } else if (name == "undef") {
            bool inComment = false;
            const auto toks = Lexer(path, line, args, inComment).Run();
            if (toks.size() != 1 || toks[0].kind != Tok::Name)
                fail("#undef needs one name");
            macros_.erase(toks[0].text);
        } else if (name == "pragma" || name.empty()) {
            // code_page and the like change nothing in what is read here.
        } else if (name == "error") {
            fail("#error" + std::string(args));
        } else {
            fail("unknown directive #" + name);
        }
    }

    void Include(const std::string& path, int line, std::string_view args, int depth)
    {
        const auto open = args.find_first_not_of(" \t");
        if (open == std::string_view::npos)
            throw ParseError(path, line, "#include needs a file name");
        if (args[open] == '<')
            return; // the platform's headers: their constants are built in
        if (args[open] != '"')
            throw ParseError(path, line, "#include needs \"file\" or <file>");
        const auto close = args.find('"', open + 1);
        if (close == std::string_view::npos)
            throw ParseError(path, line, "#include file name not closed");
        const std::string name(args.substr(open + 1, close - open - 1));
        if (depth >= 16)
            throw ParseError(path, line, "#include nested too deeply");
        const std::string target = (std::filesystem::path(path).parent_path() / name).string();
        const auto text = read_(target);
        if (!text)
            throw ParseError(path, line, "cannot open include file '" + name + "'");
        ProcessFile(target, *text, depth + 1);
    }

    void Define(const std::string& path, int line, std::string_view args)
    {
        std::size_t i = 0;
        while (i < args.size() && (args[i] == ' ' || args[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < args.size() && IsNameChar(args[j]))
            ++j;
        if (j == i || !IsNameStart(args[i]))
            throw ParseError(path, line, "#define needs a name");
        if (j < args.size() && args[j] == '(')
            throw ParseError(path, line, "macros with parameters are not supported");
        bool inComment = false;
        macros_[std::string(args.substr(i, j - i))] = Lexer(path, line, args.substr(j), inComment).Run();
    }

    bool IsDefined(const std::string& path, int line, std::string_view args)
    {
        bool inComment = false;
        const auto toks = Lexer(path, line, args, inComment).Run();
        if (toks.size() != 1 || toks[0].kind != Tok::Name)
            throw ParseError(path, line, "#ifdef and #ifndef need one name");
        return Known(toks[0].text);
    }

    bool Known(const std::string& name) const
    {
        return macros_.contains(name) || BuiltinConstants().contains(name);
    }

    bool Condition(const std::string& path, int line, std::string_view args)
    {
        bool inComment = false;
        const auto raw = Lexer(path, line, args, inComment).Run();
        // defined X and defined(X) are answered before macros are expanded.
        std::vector<Token> toks;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k].kind == Tok::Name && raw[k].text == "defined") {
                const bool paren = k + 1 < raw.size() && IsPunct(raw[k + 1], "(");
                const std::size_t n = k + (paren ? 2 : 1);
                if (n >= raw.size() || raw[n].kind != Tok::Name || (paren && (n + 1 >= raw.size() || !IsPunct(raw[n + 1], ")"))))
                    throw ParseError(path, line, "malformed defined()");
                Token v = raw[k];
                v.kind = Tok::Number;
                v.value = Known(raw[n].text) ? 1 : 0;
                toks.push_back(v);
                k = n + (paren ? 1 : 0);
                continue;
            }
            Emit(raw[k], raw[k], 0, toks);
        }
        std::size_t pos = 0;
        Token where;
        where.file = path;
        where.line = line;
        // As in C, a name left after expansion counts as 0.
        auto resolve = [](const Token& t) -> std::int64_t {
            const auto it = BuiltinConstants().find(t.text);
            return it == BuiltinConstants().end() ? 0 : it->second;
        };
        const std::int64_t v = Evaluator(toks, pos, resolve, where).Parse();
        if (pos != toks.size())
            throw ParseError(path, line, "unexpected '" + toks[pos].text + "' in #if");
        return v != 0;
    }

    static constexpr std::size_t kMaxTokens = 200000;
    static constexpr std::size_t kMaxLines = 100000;

    const FileReader& read_;
    std::size_t linesRead_ = 0;
    std::map<std::string, std::vector<Token>, std::less<>> macros_;
    std::set<std::string, std::less<>> expanding_;
    std::vector<Token> out_;
};

// ---------------------------------------------------------------------------------------
// Parser

struct StyleBits {
    DWORD on = 0;
    DWORD off = 0; // bits named with NOT: removed from the statement's implied style
};

class Parser {
public:
    Parser(std::vector<Token> toks, const FileReader& read, std::string mainFile)
        : t_(std::move(toks)), read_(read), mainFile_(std::move(mainFile))
    {
    }

    Script Run()
    {
        while (Peek().kind != Tok::End)
            TopLevel();
        return std::move(script_);
    }

private:
    const Token& Peek(std::size_t ahead = 0) const
    {
        static const Token end;
        return pos_ + ahead < t_.size() ? t_[pos_ + ahead] : end;
    }

    const Token& Next()
    {
        const Token& t = Peek();
        if (t.kind == Tok::End)
            Fail("unexpected end of file");
        ++pos_;
        return t;
    }

    [[noreturn]] void Fail(const std::string& message) const { FailAt(Peek(), message); }

    [[noreturn]] void FailAt(const Token& t, const std::string& message) const
    {
        if (t.kind == Tok::End) {
            const Token& last = t_.empty() ? t : t_.back();
            throw ParseError(last.file.empty() ? mainFile_ : last.file, last.line, message);
        }
        throw ParseError(t.file, t.line, message);
    }

    static std::string Describe(const Token& t)
    {
        switch (t.kind) {
        case Tok::End: return "end of file";
        case Tok::String: return "\"" + t.text + "\"";
        default: return "'" + t.text + "'";
        }
    }

    bool IsKeyword(const Token& t, std::string_view kw) const { return t.kind == Tok::Name && Upper(t.text) == kw; }

    void Expect(std::string_view punct)
    {
        if (!IsPunct(Peek(), punct))
            Fail("'" + std::string(punct) + "' expected, found " + Describe(Peek()));
        ++pos_;
    }

    bool Accept(std::string_view punct)
    {
        if (!IsPunct(Peek(), punct))
            return false;
        ++pos_;
        return true;
    }

    bool AtBegin() const { return IsKeyword(Peek(), "BEGIN") || IsPunct(Peek(), "{"); }
    bool AtEnd() const { return IsKeyword(Peek(), "END") || IsPunct(Peek(), "}"); }

    std::int64_t Expr(int minLevel = 1)
    {
        if (Peek().kind == Tok::End)
            Fail("number expected at end of file");
        auto resolve = [](const Token& t) -> std::int64_t {
            const auto it = BuiltinConstants().find(t.text);
            if (it == BuiltinConstants().end())
                throw ParseError(t.file, t.line, "unknown name '" + t.text + "'");
            return it->second;
        };
        return Evaluator(t_, pos_, resolve, Peek()).Parse(minLevel);
    }

    int IntIn(std::int64_t lo, std::int64_t hi, const char* what)
    {
        const Token& at = Peek();
        const std::int64_t v = Expr();
        if (v < lo || v > hi)
            FailAt(at, std::string(what) + " " + std::to_string(v) + " is outside " + std::to_string(lo) + " to " +
                           std::to_string(hi));
        return static_cast<int>(v);
    }

    // term ('|' term)*, where a term is an expression above '|' or NOT and such an expression.
    StyleBits Style()
    {
        StyleBits bits;
        const int aboveOr = Evaluator::Level(MakePunct("|")) + 1;
        do {
            const bool negate = IsKeyword(Peek(), "NOT");
            if (negate)
                ++pos_;
            const auto v = static_cast<DWORD>(static_cast<std::uint64_t>(Expr(aboveOr)) & 0xFFFFFFFFu);
            (negate ? bits.off : bits.on) |= v;
        } while (Accept("|"));
        return bits;
    }

    static Token MakePunct(const char* p)
    {
        Token t;
        t.kind = Tok::Punct;
        t.text = p;
        return t;
    }

    std::string String(const char* what)
    {
        const Token& t = Peek();
        if (t.kind != Tok::String)
            Fail(std::string(what) + " expected as a quoted string, found " + Describe(t));
        ++pos_;
        return t.text;
    }

    void SkipMemoryOptions()
    {
        static const std::set<std::string, std::less<>> options = {
            "PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE", "DISCARDABLE", "PURE", "IMPURE", "SHARED", "NONSHARED"};
        while (Peek().kind == Tok::Name && options.contains(Upper(Peek().text)))
            ++pos_;
    }

    // Skips a BEGIN ... END block with whatever it holds.
    void SkipBlock()
    {
        if (!AtBegin())
            Fail("BEGIN expected, found " + Describe(Peek()));
        int level = 0;
        do {
            if (AtBegin())
                ++level;
            else if (AtEnd())
                --level;
            Next();
        } while (level > 0);
    }

    void TopLevel()
    {
        const Token& first = Peek();
        if (IsKeyword(first, "LANGUAGE")) {
            ++pos_;
            SkipName();
            Expect(",");
            SkipName();
            return;
        }
        if (IsKeyword(first, "STRINGTABLE")) {
            ++pos_;
            while (!AtBegin())
                Next();
            SkipBlock();
            return;
        }

        // nameID type ...
        const Token nameTok = Next();
        if (nameTok.kind != Tok::Number && nameTok.kind != Tok::Name && nameTok.kind != Tok::String)
            FailAt(nameTok, "resource name expected, found " + Describe(nameTok));
        const Token typeTok = Next();
        std::string type = typeTok.kind == Tok::Number ? std::to_string(typeTok.value) : Upper(typeTok.text);
        if (typeTok.kind != Tok::Name && typeTok.kind != Tok::Number)
            FailAt(typeTok, "resource type expected after " + Describe(nameTok) + ", found " + Describe(typeTok));

        if (type == "DIALOG" || type == "DIALOGEX") {
            DialogResource(nameTok, typeTok, type == "DIALOGEX");
        } else if (type == "BITMAP") {
            SkipMemoryOptions();
            BitmapResource(nameTok);
        } else if (type == "ICON" || type == "RT_MANIFEST" || type == "24") {
            SkipMemoryOptions();
            const Token& fileTok = Peek();
            const std::string name = String("file name");
            if (!read_(Resolve(fileTok, name)))
                FailAt(fileTok, "cannot open '" + name + "'");
        } else if (type == "VERSIONINFO") {
            while (!AtBegin())
                Next();
            SkipBlock();
        } else if (type == "TEXTINCLUDE") {
            SkipMemoryOptions();
            SkipBlock();
        } else {
            FailAt(typeTok, "resource type '" + typeTok.text + "' is not supported");
        }
    }

    void SkipName()
    {
        const Token& t = Next();
        if (t.kind != Tok::Name && t.kind != Tok::Number)
            FailAt(t, "name or number expected, found " + Describe(t));
    }

    std::string Resolve(const Token& at, const std::string& name) const
    {
        return (std::filesystem::path(at.file).parent_path() / name).string();
    }

    int ResourceId(const Token& t, const char* what) const
    {
        std::int64_t v = 0;
        if (t.kind == Tok::Number) {
            v = t.value;
        } else if (t.kind == Tok::Name && BuiltinConstants().contains(t.text)) {
            v = BuiltinConstants().find(t.text)->second;
        } else if (t.kind == Tok::Name) {
            FailAt(t, std::string(what) + " name '" + t.text + "' is not defined");
        } else {
            FailAt(t, std::string(what) + " names must be numbers, not " + Describe(t));
        }
        if (v < 1 || v > 65535)
            FailAt(t, std::string(what) + " number " + std::to_string(v) + " is outside 1 to 65535");
        return static_cast<int>(v);
    }

    void BitmapResource(const Token& nameTok)
    {
        Bitmap bitmap;
        bitmap.id = ResourceId(nameTok, "bitmap");
        bitmap.file = nameTok.file;
        bitmap.line = nameTok.line;
        const Token& fileTok = Peek();
        const std::string name = String("bitmap file name");
        const auto bytes = read_(Resolve(fileTok, name));
        if (!bytes)
            FailAt(fileTok, "cannot open bitmap '" + name + "'");
        // What a resource compiler stores is the device-independent bitmap: everything after
        // the file header.
        if (bytes->size() < 14 + 40 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M')
            FailAt(fileTok, "'" + name + "' is not a bitmap file");
        bitmap.dib.assign(bytes->begin() + 14, bytes->end());
        for (const Bitmap& other : script_.bitmaps)
            if (other.id == bitmap.id)
                FailAt(nameTok, "bitmap " + std::to_string(bitmap.id) + " is defined twice");
        script_.bitmaps.push_back(std::move(bitmap));
    }

    void DialogResource(const Token& nameTok, const Token& typeTok, bool extended)
    {
        Dialog d;
        d.id = ResourceId(nameTok, "dialog");
        d.file = nameTok.file;
        d.line = nameTok.line;
        for (const Dialog& other : script_.dialogs)
            if (other.id == d.id)
                FailAt(nameTok, "dialog " + std::to_string(d.id) + " is defined twice");
        SkipMemoryOptions();
        IntIn(-32768, 32767, "dialog x");
        Expect(",");
        IntIn(-32768, 32767, "dialog y");
        Expect(",");
        d.cx = IntIn(0, 32767, "dialog width");
        Expect(",");
        d.cy = IntIn(0, 32767, "dialog height");
        if (extended && Accept(","))
            Expr(); // help id: the template model has no place for it and the launcher needs none

        bool hasStyle = false;
        bool hasCaption = false;
        bool hasFont = false;
        StyleBits style;
        while (!AtBegin()) {
            const Token& kw = Peek();
            if (IsKeyword(kw, "STYLE")) {
                ++pos_;
                style = Style();
                hasStyle = true;
            } else if (IsKeyword(kw, "EXSTYLE")) {
                ++pos_;
                if (Expr() != 0)
                    FailAt(kw, "extended dialog styles are not supported");
            } else if (IsKeyword(kw, "CAPTION")) {
                ++pos_;
                d.caption = String("caption");
                hasCaption = true;
            } else if (IsKeyword(kw, "FONT")) {
                ++pos_;
                d.fontPointSize = IntIn(1, 32767, "font size");
                Expect(",");
                d.fontName = String("font name");
                // Weight, italic and character set: the model keeps the face and size only.
                for (int extra = 0; extended && extra < 3 && Accept(","); ++extra)
                    Expr();
                hasFont = true;
            } else if (IsKeyword(kw, "LANGUAGE")) {
                ++pos_;
                SkipName();
                Expect(",");
                SkipName();
            } else if (kw.kind == Tok::End) {
                FailAt(typeTok, "dialog " + std::to_string(d.id) + " has no BEGIN");
            } else {
                FailAt(kw, Describe(kw) + " is not a dialog statement this tool understands");
            }
        }
        // A resource compiler's defaults: a popup with border and system menu unless STYLE
        // says otherwise; CAPTION and FONT add the bits they need.
        DWORD bits = hasStyle ? (style.on & ~style.off) : (WS_POPUP | WS_BORDER | kWsSysMenu);
        if (hasCaption)
            bits |= WS_CAPTION;
        if (hasFont)
            bits |= DS_SETFONT;
        d.style = bits;

        const Token& begin = Next();
        while (!AtEnd()) {
            if (Peek().kind == Tok::End)
                FailAt(begin, "dialog " + std::to_string(d.id) + ": BEGIN without END");
            d.controls.push_back(ControlStatement(extended));
            const Control& added = d.controls.back();
            if (added.id == IDC_STATIC)
                continue;
            for (std::size_t k = 0; k + 1 < d.controls.size(); ++k) {
                if (d.controls[k].id == added.id)
                    throw ParseError(added.file, added.line,
                                     "control id " + std::to_string(added.id) + " is used twice in dialog " +
                                         std::to_string(d.id) + " (first on line " +
                                         std::to_string(d.controls[k].line) + ")");
            }
        }
        Next();
        script_.dialogs.push_back(std::move(d));
    }

    void Rectangle(Control& c)
    {
        c.x = IntIn(-32768, 32767, "x");
        Expect(",");
        c.y = IntIn(-32768, 32767, "y");
        Expect(",");
        c.cx = IntIn(0, 32767, "width");
        Expect(",");
        c.cy = IntIn(0, 32767, "height");
    }

    int ControlId() { return IntIn(-1, 65535, "control id"); }

    // The optional trailing style and extended style of the short control statements.
    void TrailingStyles(Control& c, DWORD implied, bool extended)
    {
        StyleBits s;
        if (Accept(",")) {
            s = Style();
            if (Accept(","))
                ExStyle();
        }
        c.style = (implied | s.on) & ~s.off;
        if (extended && IsPunct(Peek(), ","))
            Fail("help ids on controls are not supported");
    }

    void ExStyle()
    {
        const Token& at = Peek();
        const StyleBits ex = Style();
        if (ex.on != 0)
            FailAt(at, "extended control styles are not supported");
    }

    Control ControlStatement(bool extended)
    {
        const Token& kwTok = Next();
        Control c;
        c.file = kwTok.file;
        c.line = kwTok.line;
        if (kwTok.kind != Tok::Name)
            FailAt(kwTok, "control statement expected, found " + Describe(kwTok));
        const std::string kw = Upper(kwTok.text);
        constexpr DWORD base = WS_CHILD | WS_VISIBLE;

        struct Short {
            const char* keyword;
            fw::ControlKind kind;
            DWORD implied;
        };
        static constexpr Short shortForms[] = {
            {"LTEXT", fw::ControlKind::Static, base | SS_LEFT | WS_GROUP},
            {"PUSHBUTTON", fw::ControlKind::PushButton, base | BS_PUSHBUTTON | WS_TABSTOP},
            {"DEFPUSHBUTTON", fw::ControlKind::PushButton, base | kBsDefPushButton | WS_TABSTOP},
            {"GROUPBOX", fw::ControlKind::GroupBox, base | BS_GROUPBOX},
            {"AUTOCHECKBOX", fw::ControlKind::CheckBox, base | BS_AUTOCHECKBOX | WS_TABSTOP},
        };
        for (const Short& form : shortForms) {
            if (kw != form.keyword)
                continue;
            c.kind = form.kind;
            c.caption = String("control text");
            Expect(",");
            c.id = ControlId();
            Expect(",");
            Rectangle(c);
            TrailingStyles(c, form.implied, extended);
            return c;
        }
        if (kw == "EDITTEXT") {
            c.kind = fw::ControlKind::Edit;
            c.id = ControlId();
            Expect(",");
            Rectangle(c);
            TrailingStyles(c, base | ES_LEFT | WS_BORDER | WS_TABSTOP, extended);
            return c;
        }
        if (kw == "CONTROL") {
            c.caption = String("control text");
            Expect(",");
            c.id = ControlId();
            Expect(",");
            const Token& classTok = Peek();
            std::string cls;
            if (classTok.kind == Tok::String || classTok.kind == Tok::Name)
                cls = Upper(Next().text);
            else
                Fail("window class expected, found " + Describe(classTok));
            Expect(",");
            const StyleBits s = Style();
            Expect(",");
            Rectangle(c);
            if (Accept(","))
                ExStyle();
            if (extended && IsPunct(Peek(), ","))
                Fail("help ids on controls are not supported");
            c.style = (base | s.on) & ~s.off;
            c.kind = KindOf(classTok, cls, c.style);
            return c;
        }
        FailAt(kwTok, Describe(kwTok) + " is not a control statement this tool understands");
    }

    // Which of the model's kinds a CONTROL statement makes; classes and types the model
    // cannot represent are refused rather than shown as something else.
    fw::ControlKind KindOf(const Token& classTok, const std::string& cls, DWORD style) const
    {
        if (cls == "BUTTON") {
            const DWORD type = style & kBsTypeMask;
            if (type == BS_PUSHBUTTON || type == kBsDefPushButton)
                return fw::ControlKind::PushButton;
            if (type == BS_AUTOCHECKBOX)
                return fw::ControlKind::CheckBox;
            if (type == BS_GROUPBOX)
                return fw::ControlKind::GroupBox;
            FailAt(classTok, "button type " + std::to_string(type) + " is not supported");
        }
        if (cls == "STATIC") {
            const DWORD type = style & kSsTypeMask;
            if (type == SS_LEFT)
                return fw::ControlKind::Static;
            if (type == SS_BITMAP)
                return fw::ControlKind::Picture;
            FailAt(classTok, "static type " + std::to_string(type) + " is not supported");
        }
        if (cls == "EDIT")
            return fw::ControlKind::Edit;
        if (cls == "MSCTLS_TRACKBAR32")
            return fw::ControlKind::Slider;
        FailAt(classTok, "window class " + Describe(classTok) + " is not supported");
    }

    std::vector<Token> t_;
    std::size_t pos_ = 0;
    const FileReader& read_;
    std::string mainFile_;
    Script script_;
};

} // namespace

Script ParseScript(const std::string& path, const FileReader& read)
{
    Preprocessor pre(read);
    return Parser(pre.Run(path), read, path).Run();
}

std::optional<std::string> ReadFromDisk(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return text;
}

} // namespace rc
