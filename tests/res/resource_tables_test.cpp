// The dialog and bitmap tables generated from Sandrel.rc: the pages' captions, fonts and styles,
// the fallback picture's format, and every control as a Windows resource compiler reads it.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "framework/core/dialog_template.h"
#include "res/resource.h"
#include "tests/res/run_program.h"

namespace {

using fw::ControlKind;

// The controls themselves (identifier, caption, rectangle, style, order) are compared with what a
// Windows resource compiler makes of the script, at the end of this file.

TEST(ResTables, DialogsCarryCaptionSizeFontAndPageStyle)
{
    struct Row {
        int id;
        const char* caption;
        int cx, cy;
    };
    const Row rows[] = {
        {107, "General", 219, 244}, {108, "OpenGL", 218, 253}, {109, "Texture", 219, 244}, {9, "Controls", 223, 205}};
    const DWORD pageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT | DS_FIXEDSYS;
    for (const Row& r : rows) {
        const fw::DialogTemplate* d = fw::FindDialogTemplate(r.id);
        ASSERT_NE(d, nullptr) << r.id;
        EXPECT_EQ(d->id, r.id);
        EXPECT_STREQ(d->caption, r.caption);
        EXPECT_EQ(d->cx, r.cx);
        EXPECT_EQ(d->cy, r.cy);
        EXPECT_STREQ(d->fontName, "MS Shell Dlg");
        EXPECT_EQ(d->fontPointSize, 8);
        EXPECT_EQ(d->style, pageStyle) << std::hex << d->style;
    }
}

// The full style is what a resource compiler stores: the statement's implied bits included.
TEST(ResTables, ControlStylesIncludeTheImpliedBits)
{
    const DWORD child = WS_CHILD | WS_VISIBLE;
    for (int id : {IDD_GENERAL, IDD_OPENGL, IDD_TEXTURE, IDD_CONTROLS}) {
        const fw::DialogTemplate* d = fw::FindDialogTemplate(id);
        ASSERT_NE(d, nullptr);
        for (const fw::ControlTemplate& c : d->controls) {
            SCOPED_TRACE("dialog " + std::to_string(id) + " control " + std::to_string(c.id) + " " + c.caption);
            switch (c.kind) {
            case ControlKind::Static: EXPECT_EQ(c.style, child | SS_LEFT | WS_GROUP); break;
            case ControlKind::PushButton: EXPECT_EQ(c.style, child | BS_PUSHBUTTON | WS_TABSTOP); break;
            case ControlKind::CheckBox: EXPECT_EQ(c.style, child | BS_AUTOCHECKBOX | WS_TABSTOP); break;
            case ControlKind::GroupBox: EXPECT_EQ(c.style, child | BS_GROUPBOX); break;
            case ControlKind::Picture: EXPECT_EQ(c.style, child | SS_BITMAP | SS_CENTERIMAGE); break;
            case ControlKind::Slider:
                EXPECT_EQ(c.style, child | TBS_HORZ | TBS_AUTOTICKS | TBS_NOTICKS | WS_TABSTOP);
                break;
            case ControlKind::Edit: {
                // Only the key bindings turn typed letters into capitals.
                const bool keyEdit = id == IDD_CONTROLS && c.id != IDC_CONTROLS_TRANS_SPEED;
                EXPECT_EQ(c.style, child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (keyEdit ? ES_UPPERCASE : 0u));
                break;
            }
            }
        }
    }
}

TEST(ResTables, UnknownNumbersFindNothing)
{
    EXPECT_EQ(fw::FindDialogTemplate(0), nullptr);
    EXPECT_EQ(fw::FindDialogTemplate(110), nullptr);
    EXPECT_EQ(fw::FindDialogTemplate(IDB_FALLBACK), nullptr);
    EXPECT_TRUE(fw::FindBitmapResource(IDD_GENERAL).empty());
    EXPECT_TRUE(fw::FindBitmapResource(1006).empty());
}

std::uint32_t Le32(std::span<const BYTE> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3])
                                                                                      << 24;
}

TEST(ResTables, FallbackBitmapIsA48By48FourBitDibInBlackAndWhite)
{
    const std::span<const BYTE> dib = fw::FindBitmapResource(IDB_FALLBACK);
    ASSERT_EQ(dib.size(), 1256u);
    EXPECT_EQ(Le32(dib, 0), 40u);         // header size
    EXPECT_EQ(Le32(dib, 4), 48u);         // width
    EXPECT_EQ(Le32(dib, 8), 48u);         // height, positive: bottom-up
    EXPECT_EQ(dib[12] | dib[13] << 8, 1); // planes
    EXPECT_EQ(dib[14] | dib[15] << 8, 4); // bits per pixel
    EXPECT_EQ(Le32(dib, 16), 0u);         // uncompressed
    EXPECT_EQ(Le32(dib, 20), 1152u);      // image size
    const std::uint32_t used = Le32(dib, 32);
    EXPECT_TRUE(used == 0 || used == 16) << used;

    const std::uint32_t rgb[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                   0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (std::size_t i = 0; i < 16; ++i) {
        const std::size_t at = 40 + i * 4; // blue, green, red, reserved
        EXPECT_EQ(static_cast<std::uint32_t>(dib[at + 2] << 16 | dib[at + 1] << 8 | dib[at]), rgb[i]) << "entry " << i;
    }

    // Only black and white, and black on each of the three lines of lettering.
    int blackPerBand[3] = {0, 0, 0};
    for (int row = 0; row < 48; ++row) {
        for (int x = 0; x < 48; ++x) {
            const BYTE byte = dib[104 + static_cast<std::size_t>(row) * 24 + static_cast<std::size_t>(x / 2)];
            const int index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
            ASSERT_TRUE(index == 0 || index == 15) << "row " << row << " x " << x;
            if (index == 0)
                ++blackPerBand[(47 - row) / 16]; // rows are stored bottom-up
        }
    }
    for (int count : blackPerBand)
        EXPECT_GT(count, 40);
}

TEST(ResTables, FallbackBitmapIsTheCheckedInFileWithoutItsFileHeader)
{
    const std::string file = restest::Slurp(SANDREL_SOURCE_DIR "/res/fallback_1007.bmp");
    ASSERT_EQ(file.size(), 14u + 1256u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    const std::span<const BYTE> dib = fw::FindBitmapResource(IDB_FALLBACK);
    EXPECT_EQ(std::memcmp(file.data() + 14, dib.data(), dib.size()), 0);
}

#ifdef SANDREL_WINDRES
// What a real Windows resource compiler makes of Sandrel.rc, read back from its decompiled
// listing: every dialog and control must match the tables, styles included.
struct Compiled {
    DWORD style = 0;
    int cx = 0, cy = 0;
    std::vector<std::tuple<int, std::string, int, int, int, int, DWORD>> controls;
};

std::map<int, Compiled> CompileWithWindres()
{
    restest::TempDir dir;
    const auto listing = dir / "listing.rc";
    const auto r = restest::RunProgram(
        {SANDREL_WINDRES, "--preprocessor=cpp", "--preprocessor-arg=-xc", "--preprocessor-arg=-DRC_INVOKED",
         "--preprocessor-arg=-D_WIN32", "--preprocessor-arg=-D_WIN64", "-I" SANDREL_MINGW_INCLUDE,
         "-I" SANDREL_GENERATED_INCLUDE, "-i", "Sandrel.rc", "-O", "rc", "-o", listing.string()},
        SANDREL_SOURCE_DIR "/res");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::map<int, Compiled> dialogs;
    const std::regex header(R"(^(\d+) DIALOGEX .*?(\d+), (\d+), (\d+), (\d+)\s*$)");
    const std::regex style(R"(^STYLE 0x([0-9a-fA-F]+))");
    const std::regex withText(R"re(^\s+(LTEXT|PUSHBUTTON|GROUPBOX|CONTROL) "((?:[^"]|"")*)", (-?\d+), (.*)$)re");
    const std::regex edit(R"(^\s+EDITTEXT (-?\d+), (.*)$)");
    const std::regex numbers(R"((?:"[^"]*", )?(0x[0-9a-fA-F]+|-?\d+))");
    std::istringstream in(restest::Slurp(listing));
    Compiled* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, header)) {
            current = &dialogs[std::stoi(m[1])];
            current->cx = std::stoi(m[4]);
            current->cy = std::stoi(m[5]);
        } else if (current != nullptr && std::regex_search(line, m, style)) {
            current->style = static_cast<DWORD>(std::stoul(m[1], nullptr, 16));
        } else if (current != nullptr && (std::regex_match(line, m, withText) || std::regex_match(line, m, edit))) {
            const bool control = m.size() == 5 && m[1] == "CONTROL";
            const bool hasText = m.size() == 5;
            std::string caption = hasText ? std::regex_replace(m[2].str(), std::regex("\"\""), "\"") : "";
            const int id = std::stoi(m[hasText ? 3 : 1]);
            const std::string rest = m[hasText ? 4 : 2];
            std::vector<long long> v;
            for (auto it = std::sregex_iterator(rest.begin(), rest.end(), numbers); it != std::sregex_iterator(); ++it)
                v.push_back(std::stoll((*it)[1].str(), nullptr, 0));
            EXPECT_EQ(v.size(), 5u) << line;
            if (v.size() != 5)
                continue;
            // CONTROL lists its style before the rectangle, the short statements after it.
            const auto s = static_cast<DWORD>(control ? v[0] : v[4]);
            const std::size_t r0 = control ? 1 : 0;
            current->controls.emplace_back(id, caption, static_cast<int>(v[r0]), static_cast<int>(v[r0 + 1]),
                                           static_cast<int>(v[r0 + 2]), static_cast<int>(v[r0 + 3]), s);
        }
    }
    return dialogs;
}

TEST(ResTables, AWindowsResourceCompilerReadsTheScriptTheSameWay)
{
    const std::map<int, Compiled> compiled = CompileWithWindres();
    ASSERT_EQ(compiled.size(), 4u);
    for (const auto& [id, dialog] : compiled) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const fw::DialogTemplate* d = fw::FindDialogTemplate(id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->style, dialog.style);
        EXPECT_EQ(d->cx, dialog.cx);
        EXPECT_EQ(d->cy, dialog.cy);
        ASSERT_EQ(d->controls.size(), dialog.controls.size());
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            const fw::ControlTemplate& c = d->controls[i];
            EXPECT_EQ(std::make_tuple(c.id, std::string(c.caption), c.x, c.y, c.cx, c.cy, c.style), dialog.controls[i])
                << "control " << i;
        }
    }
}
#else
TEST(ResTables, AWindowsResourceCompilerReadsTheScriptTheSameWay)
{
    GTEST_SKIP() << "no Windows resource compiler to compare the controls with: binutils-mingw-w64-x86-64 and "
                    "mingw-w64-x86-64-dev have one";
}
#endif

} // namespace
