// The resource-script reader behind rc2cpp: the parser for the statements the launcher's script
// uses, over the tokens of the preprocessor (rc_preprocessor.h) and the lexer (rc_lexer.h).
#include "tools/rcparse.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string_view>

#include "tools/rc_lexer.h"
#include "tools/rc_preprocessor.h"

namespace rc {
namespace {

using namespace detail;

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
        return Evaluate(t_, pos_, resolve, Peek(), minLevel);
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
        const int aboveOr = OperatorLevel(MakePunct("|")) + 1;
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
    return Parser(detail::Preprocess(path, read), read, path).Run();
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
