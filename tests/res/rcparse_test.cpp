// The resource-script reader on small scripts: what it makes of each statement, and how it
// refuses what it cannot read (always with the file and line).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tools/rcparse.h"

namespace {

using fw::ControlKind;

class Files {
public:
    Files& Add(const std::string& path, std::string text)
    {
        files_[path] = std::move(text);
        return *this;
    }
    rc::FileReader Reader() const
    {
        return [this](const std::string& path) -> std::optional<std::string> {
            const auto it = files_.find(path);
            if (it == files_.end())
                return std::nullopt;
            return it->second;
        };
    }
    rc::Script Parse(const std::string& path = "res/main.rc") const { return rc::ParseScript(path, Reader()); }

private:
    std::map<std::string, std::string> files_;
};

rc::Script ParseText(const std::string& text) { return Files().Add("res/main.rc", text).Parse(); }

const std::string kHead = "1 DIALOGEX 0, 0, 100, 50\n"
                          "STYLE WS_CHILD\n"
                          "BEGIN\n";

rc::Control OnlyControl(const std::string& statement)
{
    const rc::Script s = ParseText(kHead + "    " + statement + "\nEND\n");
    EXPECT_EQ(s.dialogs.size(), 1u);
    EXPECT_EQ(s.dialogs.at(0).controls.size(), 1u);
    return s.dialogs.at(0).controls.at(0);
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST(ResRcParse, ShortStatementsAddTheirImpliedStyles)
{
    EXPECT_EQ(OnlyControl(R"(LTEXT "a",-1,1,2,3,4)").style, kChild | WS_GROUP);
    EXPECT_EQ(OnlyControl(R"(PUSHBUTTON "a",5,1,2,3,4)").style, kChild | WS_TABSTOP);
    EXPECT_EQ(OnlyControl(R"(DEFPUSHBUTTON "a",5,1,2,3,4)").style, kChild | WS_TABSTOP | 1u);
    EXPECT_EQ(OnlyControl(R"(GROUPBOX "a",-1,1,2,3,4)").style, kChild | BS_GROUPBOX);
    EXPECT_EQ(OnlyControl("EDITTEXT 5,1,2,3,4").style, kChild | WS_BORDER | WS_TABSTOP);
    EXPECT_EQ(OnlyControl("EDITTEXT 5,1,2,3,4,ES_UPPERCASE").style, kChild | WS_BORDER | WS_TABSTOP | ES_UPPERCASE);
    EXPECT_EQ(OnlyControl(R"(AUTOCHECKBOX "a",5,1,2,3,4)").style, kChild | BS_AUTOCHECKBOX | WS_TABSTOP);
}

TEST(ResRcParse, NotRemovesImpliedBits)
{
    EXPECT_EQ(OnlyControl("EDITTEXT 5,1,2,3,4,ES_AUTOHSCROLL | NOT WS_BORDER | NOT WS_TABSTOP").style,
              kChild | ES_AUTOHSCROLL);
    EXPECT_EQ(OnlyControl(R"(LTEXT "a",-1,1,2,3,4,NOT WS_GROUP)").style, kChild);
    EXPECT_EQ(OnlyControl(R"(CONTROL "a",5,"Button",BS_AUTOCHECKBOX | NOT WS_VISIBLE,1,2,3,4)").style,
              WS_CHILD | BS_AUTOCHECKBOX);
}

TEST(ResRcParse, ControlStatementsTakeTheirKindFromClassAndType)
{
    const auto c = OnlyControl(R"(CONTROL "Go",7,"Button",BS_PUSHBUTTON | WS_TABSTOP,10,20,30,40)");
    EXPECT_EQ(c.kind, ControlKind::PushButton);
    EXPECT_EQ(c.caption, "Go");
    EXPECT_EQ(c.id, 7);
    EXPECT_EQ(c.x, 10);
    EXPECT_EQ(c.y, 20);
    EXPECT_EQ(c.cx, 30);
    EXPECT_EQ(c.cy, 40);
    EXPECT_EQ(OnlyControl(R"(CONTROL "",7,"BUTTON",BS_GROUPBOX,1,2,3,4)").kind, ControlKind::GroupBox);
    EXPECT_EQ(OnlyControl(R"(CONTROL "x",7,"Static",SS_LEFT,1,2,3,4)").kind, ControlKind::Static);
    EXPECT_EQ(OnlyControl(R"(CONTROL "",7,"Static",SS_BITMAP,1,2,3,4)").kind, ControlKind::Picture);
    EXPECT_EQ(OnlyControl(R"(CONTROL "",7,"Edit",WS_BORDER,1,2,3,4)").kind, ControlKind::Edit);
    const auto slider = OnlyControl(R"(CONTROL "",7,"msctls_trackbar32",TBS_NOTICKS,1,2,3,4)");
    EXPECT_EQ(slider.kind, ControlKind::Slider);
    EXPECT_EQ(slider.style, kChild | TBS_NOTICKS);
}

TEST(ResRcParse, DialogStyleFollowsStyleCaptionAndFont)
{
    const rc::Script s = ParseText("7 DIALOG 0, 0, 10, 20\n"
                                   "CAPTION \"Plain\"\n"
                                   "BEGIN\nEND\n"
                                   "8 DIALOGEX 0, 0, 30, 40\n"
                                   "STYLE WS_CHILD | WS_DISABLED\n"
                                   "FONT 9, \"Tahoma\", 700, 1, 0x1\n"
                                   "BEGIN\nEND\n");
    ASSERT_EQ(s.dialogs.size(), 2u);
    // Without STYLE a dialog is a popup with border and system menu.
    EXPECT_EQ(s.dialogs[0].style, WS_POPUP | WS_BORDER | 0x00080000u | WS_CAPTION);
    EXPECT_EQ(s.dialogs[0].caption, "Plain");
    EXPECT_EQ(s.dialogs[1].style, WS_CHILD | WS_DISABLED | DS_SETFONT);
    EXPECT_EQ(s.dialogs[1].fontName, "Tahoma");
    EXPECT_EQ(s.dialogs[1].fontPointSize, 9);
    EXPECT_EQ(s.dialogs[1].cx, 30);
    EXPECT_EQ(s.dialogs[1].cy, 40);
}

TEST(ResRcParse, StringsKeepDoubledQuotesAndEscapes)
{
    EXPECT_EQ(OnlyControl(R"(LTEXT "say ""hi""\tnow\\",-1,1,2,3,4)").caption, "say \"hi\"\tnow\\");
    EXPECT_EQ(OnlyControl(R"(LTEXT "don't // stop /* here */",-1,1,2,3,4)").caption, "don't // stop /* here */");
}

TEST(ResRcParse, NamesComeFromIncludedHeadersAndConditionals)
{
    Files files;
    files.Add("res/main.rc", "#include \"ids.h\"\n"
                             "#include <windows.h>\n"
                             "/* a comment\n"
                             "   #include \"nowhere.h\" inside it */\n"
                             "#ifdef APSTUDIO_INVOKED\n"
                             "this is not read\n"
                             "#elif defined(IDD_MAIN) && IDD_MAIN == 42\n"
                             "IDD_MAIN DIALOGEX 0, 0, WIDE, 10\n"
                             "STYLE PAGE_STYLE\n"
                             "BEGIN\n"
                             "    EDITTEXT IDC_NAME, 1, 2, 3, 4 // trailing comment\n"
                             "END\n"
                             "#else\n"
                             "#error not here\n"
                             "#endif\n");
    files.Add("res/ids.h", "#pragma once\n"
                           "#define IDD_MAIN 42\n"
                           "#define WIDE (100 + 2 * 10)\n"
                           "#define PAGE_STYLE WS_CHILD | \\\n  WS_DISABLED\n"
                           "#include \"sub/more.h\"\n");
    files.Add("res/sub/more.h", "#define IDC_NAME 0x3F2L\n");
    const rc::Script s = files.Parse();
    ASSERT_EQ(s.dialogs.size(), 1u);
    EXPECT_EQ(s.dialogs[0].id, 42);
    EXPECT_EQ(s.dialogs[0].cx, 120);
    EXPECT_EQ(s.dialogs[0].style, WS_CHILD | WS_DISABLED);
    ASSERT_EQ(s.dialogs[0].controls.size(), 1u);
    EXPECT_EQ(s.dialogs[0].controls[0].id, 0x3F2);
    EXPECT_EQ(s.dialogs[0].controls[0].line, 11);
}

TEST(ResRcParse, BitmapsKeepTheFileWithoutItsFileHeaderAndOtherResourcesAreSkipped)
{
    std::string bmp = "BM" + std::string(12, '\0') + std::string(40, 'h') + "pixels";
    Files files;
    files.Add("res/main.rc", "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
                             "5 BITMAP DISCARDABLE \"art/pic.bmp\"\n"
                             "9 ICON \"app.ico\"\n"
                             "1 RT_MANIFEST \"app.manifest\"\n"
                             "VS_VERSION_INFO VERSIONINFO\n FILEVERSION 1,0,0,0\n FILEOS VOS_NT\n"
                             "BEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  VALUE \"ProductName\", \"x\"\n END\nEND\n");
    files.Add("res/art/pic.bmp", bmp).Add("res/app.ico", "icon").Add("res/app.manifest", "<assembly/>");
    const rc::Script s = files.Parse();
    ASSERT_EQ(s.bitmaps.size(), 1u);
    EXPECT_EQ(s.bitmaps[0].id, 5);
    EXPECT_EQ(std::string(s.bitmaps[0].dib.begin(), s.bitmaps[0].dib.end()), bmp.substr(14));
    EXPECT_TRUE(s.dialogs.empty());
}

// What the reader refuses, where it says so, and in what words.
struct Broken {
    const char* name;
    std::string script;
    std::string file;
    int line;
    const char* says;
};

void PrintTo(const Broken& b, std::ostream* os) { *os << b.name; }

class ResRcParseBroken : public ::testing::TestWithParam<Broken> {};

TEST_P(ResRcParseBroken, FailsWithFileLineAndReason)
{
    const Broken& b = GetParam();
    Files files;
    files.Add("res/main.rc", b.script);
    files.Add("res/bad.h", "#define OK 1\n#define BROKEN(x) x\n");
    files.Add("res/notbmp.bmp", std::string(100, 'x'));
    try {
        files.Parse();
        FAIL() << "accepted";
    } catch (const rc::ParseError& e) {
        EXPECT_EQ(e.file(), b.file);
        EXPECT_EQ(e.line(), b.line);
        EXPECT_NE(std::string(e.what()).find(b.says), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(b.file + ":" + std::to_string(b.line) + ": ", 0), 0u) << e.what();
    }
}

const std::string kMain = "res/main.rc";

INSTANTIATE_TEST_SUITE_P(
    Scripts, ResRcParseBroken,
    ::testing::Values(
        Broken{"UnknownControlStatement", kHead + "  LISTBOX 5,1,2,3,4\nEND\n", kMain, 4,
               "'LISTBOX' is not a control statement"},
        Broken{"UnknownStyleName", kHead + "  EDITTEXT 5,1,2,3,4,ES_MULTILINE\nEND\n", kMain, 4,
               "unknown name 'ES_MULTILINE'"},
        Broken{"MissingComma", kHead + "  EDITTEXT 5 1,2,3,4\nEND\n", kMain, 4, "',' expected"},
        Broken{"StringNotClosed", kHead + "  LTEXT \"abc,-1,1,2,3,4\nEND\n", kMain, 4, "string not closed"},
        Broken{"NoEnd", kHead + "  EDITTEXT 5,1,2,3,4\n", kMain, 3, "BEGIN without END"},
        Broken{"NoBegin", "1 DIALOGEX 0,0,1,1\nSTYLE WS_CHILD\n", kMain, 1, "has no BEGIN"},
        Broken{"UnknownClass", kHead + "  CONTROL \"\",5,\"SysListView32\",0,1,2,3,4\nEND\n", kMain, 4, "window class"},
        Broken{"RadioButton", kHead + "  CONTROL \"r\",5,\"Button\",9,1,2,3,4\nEND\n", kMain, 4, "button type 9"},
        Broken{"IconStatic", kHead + "  CONTROL \"\",5,\"Static\",3,1,2,3,4\nEND\n", kMain, 4, "static type 3"},
        Broken{"DuplicateId", kHead + "  EDITTEXT 5,1,2,3,4\n  EDITTEXT 5,1,2,3,4\nEND\n", kMain, 5,
               "control id 5 is used twice"},
        Broken{"ExtendedStyle", kHead + "  EDITTEXT 5,1,2,3,4,0,0x200\nEND\n", kMain, 4, "extended control styles"},
        Broken{"NegativeWidth", kHead + "  EDITTEXT 5,1,2,-3,4\nEND\n", kMain, 4, "width -3"},
        Broken{"UndefinedDialogName", "IDD_NOWHERE DIALOGEX 0,0,1,1\nBEGIN\nEND\n", kMain, 1,
               "'IDD_NOWHERE' is not defined"},
        Broken{"UnsupportedResource", "\n\n1 MENU\nBEGIN\nEND\n", kMain, 3, "resource type 'MENU' is not supported"},
        Broken{"UnknownDialogStatement", "1 DIALOGEX 0,0,1,1\nMENU 5\nBEGIN\nEND\n", kMain, 2,
               "not a dialog statement"},
        Broken{"MissingInclude", "// resources\n#include \"gone.h\"\n", kMain, 2, "cannot open include file 'gone.h'"},
        Broken{"MacroWithParameters", "#include \"bad.h\"\n", "res/bad.h", 2, "macros with parameters"},
        Broken{"MissingBitmap", "\n5 BITMAP \"gone.bmp\"\n", kMain, 2, "cannot open bitmap 'gone.bmp'"},
        Broken{"NotABitmap", "5 BITMAP \"notbmp.bmp\"\n", kMain, 1, "is not a bitmap file"},
        Broken{"MissingIcon", "5 ICON \"gone.ico\"\n", kMain, 1, "cannot open 'gone.ico'"},
        Broken{"IfWithoutEndif", "#define X 1\n#if X\n", kMain, 2, "#if without #endif"},
        Broken{"ElseWithoutIf", "#else\n", kMain, 1, "#else without #if"},
        Broken{"ErrorDirective", "#ifndef OK\n#error needs OK\n#endif\n", kMain, 2, "needs OK"},
        Broken{"UnclosedComment", "/* open\n\n", kMain, 2, "comment not closed"},
        Broken{"StrayCharacter", "1 DIALOGEX 0,0,1,1 @\n", kMain, 1, "unexpected character '@'"},
        Broken{"HugeNumber", kHead + "  EDITTEXT 0x100000000,1,2,3,4\nEND\n", kMain, 4, "does not fit in 32 bits"},
        Broken{"DivisionByZero", kHead + "  EDITTEXT 5,1/0,2,3,4\nEND\n", kMain, 4, "division by zero"},
        Broken{"SelfReferentialMacros", "#define A B B\n#define B A A\n" + kHead + "  EDITTEXT A,1,2,3,4\nEND\n", kMain,
               6, "unknown name 'A'"},
        Broken{"DuplicateDialog", "1 DIALOG 0,0,1,1\nBEGIN\nEND\n1 DIALOG 0,0,1,1\nBEGIN\nEND\n", kMain, 4,
               "dialog 1 is defined twice"}),
    [](const ::testing::TestParamInfo<Broken>& p) { return std::string(p.param.name); });

} // namespace
