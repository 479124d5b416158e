// The native backend on real windows: the four pages on their compiled dialog resources, driven
// through the real controls, with the layer's model checked against what the controls show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/setting_controls.h"
#include "framework/core/page_window.h"
#include "framework/win32/win32_backend.h"
#include "res/resource.h"
#include "tests/support/launcher_pages.h"
#include "tests/win32/native_input.h"

namespace {

using fw::win32::SheetWindow;
using wintest::Key;

enum Tab : int { kGeneral = 0, kTexture = 1, kOpenGL = 2, kControls = 3 };

class NativeSheet : public ::testing::Test, protected testsupport::LauncherPages {
protected:
    testsupport::InTempDir dir;
    fw::win32::Win32Backend backend;
    std::vector<std::string> messages;

    NativeSheet() { m_previousSink = fw::SetMessageBoxSink({&NativeSheet::Record, this}); }
    ~NativeSheet() override { fw::SetMessageBoxSink(m_previousSink); }

    int Run(std::function<void(SheetWindow&)> script)
    {
        CPropertySheet sheet("Sandrel");
        AddTo(sheet);
        backend.sheetScript = std::move(script);
        return static_cast<int>(sheet.DoModal());
    }

    static fw::Control& Model(SheetWindow& w, int id)
    {
        return *w.Sheet().GetActivePage()->GetPageWindow()->Find(id);
    }

    static void Open(SheetWindow& w, int tab)
    {
        wintest::ClickTab(w.Native().Window(), tab);
        w.Pump();
    }

    // Replaces an edit's text as a user does: select all, type.
    static void TypeOver(SheetWindow& w, int id, const std::string& text)
    {
        wintest::SelectAll(w.ControlHandle(id));
        wintest::Type(w.ControlHandle(id), text);
        w.Pump();
    }

private:
    static int Record(void* context, const char* text, const char*, UINT)
    {
        static_cast<NativeSheet*>(context)->messages.emplace_back(text);
        return IDOK;
    }
    fw::MessageBoxSink m_previousSink;
};

TEST_F(NativeSheet, PagesAreTheResourceDialogsWithTheRealControls)
{
    Load();
    Run([](SheetWindow& w) {
        EXPECT_EQ(wintest::SelectedTab(w.Native().Window()), kGeneral);
        EXPECT_EQ(wintest::ClassOf(w.ControlHandle(IDC_GENERAL_MAP_NAME)), "Edit");
        EXPECT_EQ(wintest::ClassOf(w.ControlHandle(IDC_GENERAL_PREVIEW)), "Static");
        EXPECT_EQ(fw::win32::Style(w.ControlHandle(IDC_GENERAL_PREVIEW)) & 0x20Fu, SS_BITMAP | SS_CENTERIMAGE);
        EXPECT_EQ(wintest::ClassOf(w.ControlHandle(IDC_GENERAL_FULLSCREEN)), "Button");
        // The model's values are what the controls show.
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_GENERAL_MAP_NAME)), "257x257.bmp");
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_GENERAL_WIDTH)), Model(w, IDC_GENERAL_WIDTH).Text());
        Open(w, kTexture);
        EXPECT_EQ(wintest::ClassOf(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER)), "msctls_trackbar32");
        EXPECT_TRUE(wintest::IsVisible(w.Native().Page(kTexture)));
        EXPECT_FALSE(wintest::IsVisible(w.Native().Page(kGeneral)));
    });
    EXPECT_TRUE(messages.empty());
}

// Run at the platform's usual DPI and, by scripts/test-win.sh, at 144 and 192 DPI
// (SANDREL_EXPECT_DPI says which): the sheet is laid out for the screen, not stretched.
TEST_F(NativeSheet, EveryTextFitsItsControlAndTheButtonsLieInsideTheSheet)
{
    if (const char* expected = std::getenv("SANDREL_EXPECT_DPI")) {
        EXPECT_EQ(wintest::ScreenDpi(), std::atoi(expected)) << "the prefix's LogPixels is in effect";
    }
    Load();
    Run([](SheetWindow& w) {
        for (int tab : {kGeneral, kTexture, kOpenGL, kControls}) {
            Open(w, tab);
            SCOPED_TRACE("tab " + std::to_string(tab));
            EXPECT_EQ(wintest::TextsThatDoNotFit(w.Native().Page(tab)), std::vector<std::string>{});
            EXPECT_TRUE(wintest::InsideParent(w.Native().Page(tab)));
        }
        for (int button : {IDOK, IDCANCEL, 9}) // 9: Help
            EXPECT_TRUE(wintest::InsideParent(wintest::Child(w.Native().Window(), button))) << button;
    });
}

TEST_F(NativeSheet, SettingsControlsCarryTheirDescriptionsAsTooltips)
{
    RegisterSettingDescriptions();
    Load();
    Run([](SheetWindow& w) {
        const auto tip = [&w](int tab, int id) {
            return wintest::ToolTipOf(w.Native().ToolTips(), w.Native().Page(tab), w.ControlHandle(id));
        };
        EXPECT_EQ(tip(kGeneral, IDC_GENERAL_WIDTH), "Screen width in pixels. 320 or more. Default: 800.");
        EXPECT_EQ(tip(kGeneral, IDC_GENERAL_MAP_NAME), Model(w, IDC_GENERAL_MAP_NAME).Description());
        EXPECT_EQ(tip(kGeneral, IDC_GENERAL_FULLSCREEN), Model(w, IDC_GENERAL_FULLSCREEN).Description());
        Open(w, kTexture);
        EXPECT_EQ(tip(kTexture, IDC_TEXTURE_EDGE_LEN_SLIDER), tip(kTexture, IDC_TEXTURE_EDGE_LEN));
        EXPECT_NE(tip(kTexture, IDC_TEXTURE_EDGE_LEN), "");
        Open(w, kControls);
        EXPECT_EQ(tip(kControls, IDC_CONTROLS_CULL_SWITCH), "Key that toggles frustum culling. Any text. Default: C.");
    });
}

TEST_F(NativeSheet, ThePreviewIsARealBitmapOfWhatTheModelShows)
{
    Load();
    Run([this](SheetWindow& w) {
        const auto shown = [&w] {
            int width = 0;
            int height = 0;
            fw::win32::BitmapSize(fw::win32::GetPicture(w.ControlHandle(IDC_GENERAL_PREVIEW)), width, height);
            return std::make_pair(width, height);
        };
        const fw::Image* image = fw::GetBitmapImage(Model(w, IDC_GENERAL_PREVIEW).Bitmap());
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(shown(), std::make_pair(image->width, image->height));
        EXPECT_GT(image->width, 48);
        // Typed key by key: the names on the way find no file and say nothing; the texture,
        // which is no height map, is refused with the page's message and the fallback.
        TypeOver(w, IDC_GENERAL_MAP_NAME, "G.bmp");
        EXPECT_EQ(messages, std::vector<std::string>{"map has to be 8 bit grayscale, square and of size 2**n+1"});
        EXPECT_EQ(shown(), std::make_pair(48, 48));
        EXPECT_EQ(Model(w, IDC_GENERAL_MAP_NAME).Text(), "G.bmp");
    });
}

TEST_F(NativeSheet, KeyEditsUpperCaseAndLimitTypingNatively)
{
    Load();
    const int result = Run([](SheetWindow& w) {
        Open(w, kControls);
        TypeOver(w, IDC_CONTROLS_MOVE_FORWARD, "q");
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_CONTROLS_MOVE_FORWARD)), "Q");
        wintest::Type(w.ControlHandle(IDC_CONTROLS_MOVE_FORWARD), "w"); // the edit is full
        w.Pump();
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_CONTROLS_MOVE_FORWARD)), "Q");
        EXPECT_EQ(Model(w, IDC_CONTROLS_MOVE_FORWARD).Text(), "Q");
        wintest::PostKey(w.ControlHandle(IDC_CONTROLS_MOVE_FORWARD), Key::Return);
        w.Pump();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(controls.m_keyMoveForward, "Q");
}

// Pasted text keeps what precedes its first line break in every kind of edit: limited (the map
// name), plain (the texture name), upper-casing and limited (a key), upper-casing alone.
TEST_F(NativeSheet, APasteEndsAtItsFirstLineBreak)
{
    Load();
    Run([](SheetWindow& w) {
        const struct {
            int tab;
            int id;
            const char* pasted;
        } edits[] = {{kGeneral, IDC_GENERAL_MAP_NAME, "ab"},
                     {kTexture, IDC_TEXTURE_NAME, "ab"},
                     {kControls, IDC_CONTROLS_MOVE_FORWARD, "A"},
                     {kControls, IDC_CONTROLS_CULL_SWITCH, "AB"}};
        for (const char* clip : {"ab\r\nWIDTH = 5", "ab\nWIDTH = 5"}) {
            for (const auto& edit : edits) {
                SCOPED_TRACE(edit.id);
                Open(w, edit.tab);
                wintest::SelectAll(w.ControlHandle(edit.id));
                wintest::Paste(w.ControlHandle(edit.id), clip);
                w.Pump();
                EXPECT_EQ(fw::win32::GetText(w.ControlHandle(edit.id)), edit.pasted);
                EXPECT_EQ(Model(w, edit.id).Text(), edit.pasted);
            }
        }
    });
}

TEST_F(NativeSheet, SliderAndEditKeepInStepThroughTheSlidersOwnDrawing)
{
    Load();
    const int result = Run([](SheetWindow& w) {
        Open(w, kTexture);
        const auto edit = [&w] { return fw::win32::GetText(w.ControlHandle(IDC_TEXTURE_EDGE_LEN)); };
        TypeOver(w, IDC_TEXTURE_EDGE_LEN, "5000");
        EXPECT_EQ(fw::win32::GetSliderPos(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER)), 2048);
        EXPECT_EQ(Model(w, IDC_TEXTURE_EDGE_LEN_SLIDER).Pos(), 2048);
        EXPECT_EQ(edit(), "2048"); // rewritten when the slider drew itself
        wintest::PressKey(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER), Key::Home);
        w.Pump();
        EXPECT_EQ(Model(w, IDC_TEXTURE_EDGE_LEN_SLIDER).Pos(), 0);
        EXPECT_EQ(edit(), "0");
        TypeOver(w, IDC_TEXTURE_EDGE_LEN, "512");
        EXPECT_EQ(fw::win32::GetSliderPos(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER)), 512);
        EXPECT_EQ(edit(), "512");
        w.Sheet().PressOK();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(texture.m_textureEdgeLen, 512.0f);
}

TEST_F(NativeSheet, AStoredLengthIsShownAsTheSlidersPositionOnceItHasDrawn)
{
    Load("TEXTURE_EDGE_LEN = 100.7\n");
    Run([](SheetWindow& w) {
        Open(w, kTexture);
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_TEXTURE_EDGE_LEN)), "100");
        EXPECT_EQ(fw::win32::GetSliderPos(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER)), 100);
    });
}

TEST_F(NativeSheet, TheCullingBoxesStayCoupledOnTheRealCheckBoxes)
{
    Load("FRUSTUM_CULLING = 0\nSHOW_CULL = 0\n");
    const int result = Run([](SheetWindow& w) {
        const auto checked = [&w](int id) { return fw::win32::GetCheck(w.ControlHandle(id)); };
        wintest::Click(w.ControlHandle(IDC_GENERAL_SHOW_CULL));
        w.Pump();
        EXPECT_EQ(checked(IDC_GENERAL_SHOW_CULL), 1);
        EXPECT_EQ(checked(IDC_GENERAL_FRUSTUM_CULLING), 1);
        wintest::Click(w.ControlHandle(IDC_GENERAL_FRUSTUM_CULLING));
        w.Pump();
        EXPECT_EQ(checked(IDC_GENERAL_FRUSTUM_CULLING), 0);
        EXPECT_EQ(checked(IDC_GENERAL_SHOW_CULL), 0);
        wintest::Click(w.ControlHandle(IDC_GENERAL_FULLSCREEN));
        w.Pump();
        EXPECT_EQ(Model(w, IDC_GENERAL_FULLSCREEN).Check(), 1);
        w.Sheet().PressOK();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(general.m_frustumCulling, 0);
    EXPECT_EQ(general.m_showCull, 0);
    EXPECT_EQ(general.m_fullscreen, 1);
}

TEST_F(NativeSheet, AFailedCheckKeepsTheTabUntilTheValueIsCorrected)
{
    Load();
    Run([this](SheetWindow& w) {
        TypeOver(w, IDC_GENERAL_WIDTH, "wide");
        Open(w, kTexture);
        EXPECT_EQ(messages, std::vector<std::string>{"Enter a whole number."});
        EXPECT_EQ(w.Sheet().GetActiveIndex(), kGeneral);
        EXPECT_EQ(wintest::SelectedTab(w.Native().Window()), kGeneral);
        EXPECT_TRUE(wintest::IsVisible(w.Native().Page(kGeneral)));
        TypeOver(w, IDC_GENERAL_WIDTH, "1024");
        Open(w, kTexture);
        EXPECT_EQ(w.Sheet().GetActiveIndex(), kTexture);
        EXPECT_EQ(wintest::SelectedTab(w.Native().Window()), kTexture);
    });
    EXPECT_EQ(general.m_width, 1024);
}

TEST_F(NativeSheet, EscapeCancelsWithoutChecking)
{
    Load();
    const int result = Run([](SheetWindow& w) {
        TypeOver(w, IDC_GENERAL_WIDTH, "wide");
        wintest::PostKey(w.ControlHandle(IDC_GENERAL_WIDTH), Key::Escape);
        w.Pump();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(messages.empty());
}

} // namespace
