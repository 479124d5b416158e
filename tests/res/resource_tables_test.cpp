// The dialog and bitmap tables generated from Sandrel.rc, against the pages' designed layouts
// and the fallback picture's format.
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

struct Expected {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, cx, cy;
};

// Every control of every page in template order, as the pages were laid out.

// Dialog 107
const Expected kDialog107[] = {
    {-1, ControlKind::Static, "Select Map", 7, 7, 37, 8},
    {1004, ControlKind::PushButton, "...", 195, 7, 17, 11},
    {1005, ControlKind::CheckBox, "Benchmark Mode", 7, 200, 72, 10},
    {1008, ControlKind::Picture, "", 7, 21, 205, 158},
    {1011, ControlKind::CheckBox, "demonstrate frustum culling", 7, 218, 107, 10},
    {1022, ControlKind::CheckBox, "perform frustum culling", 7, 209, 93, 10},
    {1010, ControlKind::CheckBox, "run in fullscreen", 7, 227, 69, 10},
    {1001, ControlKind::Edit, "", 55, 186, 26, 12},
    {1002, ControlKind::Edit, "", 107, 186, 26, 12},
    {-1, ControlKind::Static, "Screen Width", 7, 190, 45, 8},
    {-1, ControlKind::Static, "Height", 83, 190, 22, 8},
    {1006, ControlKind::Edit, "", 195, 184, 18, 12},
    {-1, ControlKind::Static, "global Detail", 148, 188, 41, 8},
    {1009, ControlKind::Edit, "", 195, 198, 18, 12},
    {-1, ControlKind::Static, "local Detail", 153, 202, 36, 8},
    {1012, ControlKind::Edit, "", 195, 212, 18, 12},
    {-1, ControlKind::Static, "minimum Detail", 137, 216, 52, 8},
    {1013, ControlKind::Edit, "", 195, 225, 18, 12},
    {-1, ControlKind::Static, "maximum Detail", 135, 229, 54, 8},
    {1014, ControlKind::Edit, "", 48, 7, 142, 11},
};

// Dialog 108
const Expected kDialog108[] = {
    {1007, ControlKind::CheckBox, "arb_vertex_buffer_object", 55, 137, 98, 10},
    {1008, ControlKind::CheckBox, "gl_vertex_array", 55, 103, 67, 10},
    {1020, ControlKind::CheckBox, "gl_compiled_vertex_array", 55, 115, 100, 10},
    {1021, ControlKind::CheckBox, "gl_multi_draw_arrays", 55, 126, 87, 10},
    {-1, ControlKind::GroupBox, "OpenGL Extensions", 45, 91, 117, 61},
    {1009, ControlKind::Edit, "", 176, 17, 23, 12},
    {-1, ControlKind::GroupBox, "Field of View", 7, 7, 201, 67},
    {-1, ControlKind::Static, "Field Of View (degrees in y direction)", 19, 18, 123, 8},
    {1013, ControlKind::Edit, "", 176, 30, 23, 12},
    {-1, ControlKind::Static, "FOV aspect ratio", 19, 31, 55, 8},
    {1015, ControlKind::Edit, "", 176, 44, 23, 12},
    {-1, ControlKind::Static, "clipping plane near distance", 19, 44, 92, 8},
    {1018, ControlKind::Edit, "", 176, 58, 23, 12},
    {-1, ControlKind::Static, "clipping plane far distance", 19, 58, 86, 8},
    {-1, ControlKind::Static, "Check the OpenGL extensions to use. These settings may have a significant impact on performance, so don't change them unless you are familiar with their meanings.", 7, 181, 201, 28},
    {-1, ControlKind::Static, "For more information on extensions visit www.opengl.org", 7, 237, 201, 9},
};

// Dialog 109
const Expected kDialog109[] = {
    {-1, ControlKind::Static, "Select Map", 7, 7, 37, 8},
    {1019, ControlKind::PushButton, "...", 195, 7, 17, 11},
    {1008, ControlKind::Picture, "", 7, 21, 205, 158},
    {1015, ControlKind::CheckBox, "enable texture mapping", 119, 227, 93, 10},
    {1018, ControlKind::Edit, "", 48, 7, 142, 11},
    {1016, ControlKind::Slider, "", 7, 195, 205, 15},
    {-1, ControlKind::Static, "texture edge length (in map coordinates)", 7, 183, 135, 8},
    {1017, ControlKind::Edit, "", 172, 183, 40, 12},
    {-1, ControlKind::Static, "set this to 0 if the texture map shall be applied to the whole map", 10, 209, 202, 17},
};

// Dialog 9
const Expected kDialog9[] = {
    {1002, ControlKind::Edit, "", 73, 7, 23, 12},
    {-1, ControlKind::Static, "Movement Speed", 7, 7, 58, 8},
    {1003, ControlKind::CheckBox, "free move", 167, 7, 49, 10},
    {1009, ControlKind::Edit, "", 62, 107, 11, 12},
    {-1, ControlKind::Static, "strafe left", 7, 109, 32, 8},
    {1010, ControlKind::Edit, "", 62, 120, 11, 12},
    {-1, ControlKind::Static, "strafe right", 7, 122, 37, 8},
    {1011, ControlKind::Edit, "", 62, 33, 11, 12},
    {-1, ControlKind::Static, "move forward", 7, 35, 47, 8},
    {1012, ControlKind::Edit, "", 62, 48, 11, 12},
    {-1, ControlKind::Static, "move backward", 7, 50, 52, 8},
    {1013, ControlKind::Edit, "", 62, 63, 11, 12},
    {-1, ControlKind::Static, "move up", 7, 65, 29, 8},
    {1014, ControlKind::Edit, "", 62, 79, 11, 12},
    {-1, ControlKind::Static, "move down", 7, 81, 39, 8},
    {1015, ControlKind::Edit, "", 205, 33, 11, 12},
    {-1, ControlKind::Static, "toggle shading", 121, 35, 48, 8},
    {1016, ControlKind::Edit, "", 205, 48, 11, 12},
    {-1, ControlKind::Static, "toggle polygon mode", 121, 50, 69, 8},
    {1017, ControlKind::Edit, "", 205, 63, 11, 12},
    {-1, ControlKind::Static, "toggle texture", 121, 65, 46, 8},
    {1018, ControlKind::Edit, "", 205, 79, 11, 12},
    {-1, ControlKind::Static, "toggle frustum culling", 121, 81, 71, 8},
    {1019, ControlKind::Edit, "", 205, 107, 11, 12},
    {-1, ControlKind::Static, "increase global detail", 121, 109, 70, 8},
    {1020, ControlKind::Edit, "", 205, 120, 11, 12},
    {-1, ControlKind::Static, "decrease global detail", 121, 122, 72, 8},
    {1021, ControlKind::Edit, "", 205, 134, 11, 12},
    {-1, ControlKind::Static, "increase local detail", 121, 136, 66, 8},
    {1022, ControlKind::Edit, "", 205, 148, 11, 12},
    {-1, ControlKind::Static, "decrease local detail", 121, 149, 68, 8},
};

template <std::size_t N>
void ExpectControls(int dialogId, const Expected (&expected)[N])
{
    const fw::DialogTemplate* d = fw::FindDialogTemplate(dialogId);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->controls.size(), N) << "dialog " << dialogId;
    for (std::size_t i = 0; i < N; ++i) {
        const fw::ControlTemplate& c = d->controls[i];
        SCOPED_TRACE("dialog " + std::to_string(dialogId) + ", control " + std::to_string(i));
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.kind, expected[i].kind);
        EXPECT_STREQ(c.caption, expected[i].caption);
        EXPECT_EQ(c.x, expected[i].x);
        EXPECT_EQ(c.y, expected[i].y);
        EXPECT_EQ(c.cx, expected[i].cx);
        EXPECT_EQ(c.cy, expected[i].cy);
    }
}

TEST(ResTables, EveryPageHasItsControlsInTabOrder)
{
    ExpectControls(IDD_GENERAL, kDialog107);
    ExpectControls(IDD_OPENGL, kDialog108);
    ExpectControls(IDD_TEXTURE, kDialog109);
    ExpectControls(IDD_CONTROLS, kDialog9);
}

TEST(ResTables, DialogsCarryCaptionSizeFontAndPageStyle)
{
    struct Row {
        int id;
        const char* caption;
        int cx, cy;
    };
    const Row rows[] = {{107, "General", 219, 244}, {108, "OpenGL", 218, 253}, {109, "Texture", 219, 244},
                        {9, "Controls", 223, 205}};
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
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(ResTables, FallbackBitmapIsA48By48FourBitDibInBlackAndWhite)
{
    const std::span<const BYTE> dib = fw::FindBitmapResource(IDB_FALLBACK);
    ASSERT_EQ(dib.size(), 1256u);
    EXPECT_EQ(Le32(dib, 0), 40u);   // header size
    EXPECT_EQ(Le32(dib, 4), 48u);   // width
    EXPECT_EQ(Le32(dib, 8), 48u);   // height, positive: bottom-up
    EXPECT_EQ(dib[12] | dib[13] << 8, 1);  // planes
    EXPECT_EQ(dib[14] | dib[15] << 8, 4);  // bits per pixel
    EXPECT_EQ(Le32(dib, 16), 0u);   // uncompressed
    EXPECT_EQ(Le32(dib, 20), 1152u); // image size
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
         "--preprocessor-arg=-D_WIN32", "--preprocessor-arg=-D_WIN64", "-I" SANDREL_MINGW_INCLUDE, "-I" SANDREL_GENERATED_INCLUDE, "-i", "Sandrel.rc",
         "-O", "rc", "-o", listing.string()},
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
#endif

} // namespace
