// The resource script's preprocessor and its expression evaluator.
#include "tools/rc_preprocessor.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string_view>

namespace rc::detail {
namespace {

// The run of name characters that starts `text` once its blanks are skipped: where it begins
// and where it ends (begin == end when no name stands there).
struct NameSpan {
    std::size_t begin;
    std::size_t end;
};
NameSpan LeadingName(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    return {begin, end};
}

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
            {"||", 1}, {"&&", 2}, {"|", 3},  {"^", 4},  {"&", 5}, {"==", 6}, {"!=", 6}, {"<", 7},  {">", 7},
            {"<=", 7}, {">=", 7}, {"<<", 8}, {">>", 8}, {"+", 9}, {"-", 9},  {"*", 10}, {"/", 10}, {"%", 10},
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
    static std::int64_t Wrap(std::int64_t v)
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFF));
    }

    std::int64_t Apply(const Token& op, std::int64_t a, std::int64_t b) const
    {
        const std::string& o = op.text;
        if (o == "||")
            return (a != 0 || b != 0) ? 1 : 0;
        if (o == "&&")
            return (a != 0 && b != 0) ? 1 : 0;
        if (o == "|")
            return Wrap(a | b);
        if (o == "^")
            return Wrap(a ^ b);
        if (o == "&")
            return Wrap(a & b);
        if (o == "==")
            return a == b ? 1 : 0;
        if (o == "!=")
            return a != b ? 1 : 0;
        if (o == "<")
            return a < b ? 1 : 0;
        if (o == ">")
            return a > b ? 1 : 0;
        if (o == "<=")
            return a <= b ? 1 : 0;
        if (o == ">=")
            return a >= b ? 1 : 0;
        if (o == "<<" || o == ">>") {
            if (b < 0 || b > 31)
                throw ParseError(op.file, op.line, "shift by " + std::to_string(b) + " is out of range");
            const auto ua = static_cast<std::uint32_t>(a & 0xFFFFFFFF);
            return Wrap(o == "<<" ? static_cast<std::int64_t>(ua << b) : static_cast<std::int64_t>(ua >> b));
        }
        if (o == "+")
            return Wrap(a + b);
        if (o == "-")
            return Wrap(a - b);
        if (o == "*")
            return Wrap(a * b);
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
        bool active; // this branch is being read
        bool taken;  // some branch of this #if was read
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
            for (Token& t : Tokenize(path, firstLine, line, inComment))
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
        const NameSpan word = LeadingName(rest);
        const std::string name(rest.substr(word.begin, word.end - word.begin));
        const std::string_view args = rest.substr(word.end);
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
            const auto toks = Tokenize(path, line, args, inComment);
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
        const NameSpan word = LeadingName(args);
        if (word.end == word.begin || !IsNameStart(args[word.begin]))
            throw ParseError(path, line, "#define needs a name");
        if (word.end < args.size() && args[word.end] == '(')
            throw ParseError(path, line, "macros with parameters are not supported");
        bool inComment = false;
        macros_[std::string(args.substr(word.begin, word.end - word.begin))] =
            Tokenize(path, line, args.substr(word.end), inComment);
    }

    bool IsDefined(const std::string& path, int line, std::string_view args)
    {
        bool inComment = false;
        const auto toks = Tokenize(path, line, args, inComment);
        if (toks.size() != 1 || toks[0].kind != Tok::Name)
            throw ParseError(path, line, "#ifdef and #ifndef need one name");
        return Known(toks[0].text);
    }

    bool Known(const std::string& name) const { return macros_.contains(name) || BuiltinConstants().contains(name); }

    bool Condition(const std::string& path, int line, std::string_view args)
    {
        bool inComment = false;
        const auto raw = Tokenize(path, line, args, inComment);
        // defined X and defined(X) are answered before macros are expanded.
        std::vector<Token> toks;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k].kind == Tok::Name && raw[k].text == "defined") {
                const bool paren = k + 1 < raw.size() && IsPunct(raw[k + 1], "(");
                const std::size_t n = k + (paren ? 2 : 1);
                if (n >= raw.size() || raw[n].kind != Tok::Name ||
                    (paren && (n + 1 >= raw.size() || !IsPunct(raw[n + 1], ")"))))
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

} // namespace

std::int64_t Evaluate(const std::vector<Token>& toks, std::size_t& pos, Resolver resolve, const Token& where,
                      int minLevel)
{
    return Evaluator(toks, pos, std::move(resolve), where).Parse(minLevel);
}

int OperatorLevel(const Token& t) { return Evaluator::Level(t); }

std::vector<Token> Preprocess(const std::string& path, const FileReader& read) { return Preprocessor(read).Run(path); }

} // namespace rc::detail
