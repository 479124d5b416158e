// The native backend on real windows: the four pages on their compiled dialog resources, driven
// through the real controls, with the layer's model checked against what the controls show.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/control_texts.h"
#include "app/launcher_app.h"
#include "app/setting_controls.h"
#include "framework/core/control_labels.h"
#include "framework/core/page_window.h"
#include "framework/win32/win32_backend.h"
#include "res/resource.h"
#include "settings/parameter_descriptions.h"
#include "tests/support/launcher_pages.h"
#include "tests/support/setting_rows.h"
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

    NativeSheet()
    {
        m_previousSink = fw::SetMessageBoxSink({&NativeSheet::Record, this});
        // The pages as the launcher shows them: described, named and with their access keys.
        RegisterSettingDescriptions();
        RegisterControlTexts();
    }
    ~NativeSheet() override { fw::SetMessageBoxSink(m_previousSink); }

    int Run(std::function<void(SheetWindow&)> script)
    {
        CPropertySheet sheet("Sandrel");
        AddTo(sheet);
        backend.sheetScript = std::move(script);
        return static_cast<int>(sheet.DoModal());
    }

    static fw::Control& Model(SheetWindow& w, int id) { return *w.Sheet().GetActivePage()->GetPageWindow()->Find(id); }

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
        EXPECT_EQ(wintest::Focused(), wintest::Child(w.Native().Window(), 0x3020))
            << "the focus starts on the tab strip";
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
        EXPECT_EQ(tip(kGeneral, IDC_GENERAL_WIDTH), kParameterDescriptions[RowOf("WIDTH")]);
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

// What a screen reader hears: every edit and the slider by its label, every check box and push
// button by its caption, the "..." buttons by what they do. Each name is printed, for a person
// to read.
TEST_F(NativeSheet, ScreenReadersHearEachControlByItsLabel)
{
    Load();
    Run([](SheetWindow& w) {
        const char* tabNames[] = {"General", "Texture", "OpenGL", "Controls"};
        int named = 0;
        for (int tab : {kGeneral, kTexture, kOpenGL, kControls}) {
            Open(w, tab);
            const fw::PageWindow& page = *w.Sheet().GetActivePage()->GetPageWindow();
            const fw::DialogTemplate& tmpl = page.Template();
            for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
                const fw::ControlTemplate& control = tmpl.controls[i];
                const bool holdsSetting = control.kind == fw::ControlKind::Edit ||
                                          control.kind == fw::ControlKind::Slider ||
                                          control.kind == fw::ControlKind::CheckBox;
                if (!holdsSetting && control.kind != fw::ControlKind::PushButton)
                    continue;
                const std::string heard = wintest::AccessibleName(w.ControlHandle(control.id));
                std::printf("MSAA %s %d: %s\n", tabNames[tab], control.id, heard.c_str());
                if (holdsSetting) {
                    EXPECT_EQ(heard, page.Controls()[i]->AccessibleName()) << tabNames[tab] << " " << control.id;
                    EXPECT_NE(heard, "") << tabNames[tab] << " " << control.id;
                }
                ++named;
            }
        }
        EXPECT_EQ(named, 41); // 28 edits, 10 check boxes, the slider, the two "..." buttons
        Open(w, kGeneral);
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_GENERAL_MAP_NAME)), "Select Map");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_GENERAL_MAX_DETAIL)), "maximum Detail");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_GENERAL_WIDTH)), "Screen Width");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_GENERAL_FULLSCREEN)), "run in fullscreen");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_GENERAL_BROWSE)), "Browse for the height map");
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_GENERAL_BROWSE)), "&...") << "\"...\" and its access key";
        Open(w, kTexture);
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_TEXTURE_EDGE_LEN_SLIDER)),
                  "texture edge length (in map coordinates)");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_TEXTURE_BROWSE)), "Browse for the texture");
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_TEXTURE_NAME)), "Texture file") << "not General's label";
        Open(w, kOpenGL);
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_OPENGL_FIELD_OF_VIEW)),
                  "Field Of View (degrees in y direction)");
        Open(w, kControls);
        EXPECT_EQ(wintest::AccessibleName(w.ControlHandle(IDC_CONTROLS_STRAFE_LEFT)), "strafe left");
    });
}

// The launcher as a keyboard and screen-reader user meets it on Windows: Tab walks General in
// reading order and on round the sheet, the preview and an edit say what they are, Alt and a key
// reach a label's edit and a tab, and OK into a write-protected terrain.ini keeps the sheet open
// with the edit until the file can be written. What the box said is printed, for a person to read.
TEST_F(NativeSheet, TheLauncherByKeyboardAndScreenReaderKeepsItsEditsWhenASaveFails)
{
    namespace fs = std::filesystem;
    Load();
    fs::copy_file(SANDREL_STANDIN_ENGINE, "Quellmark.exe");
    ASSERT_TRUE(wintest::SetReadOnly("terrain.ini", true));
    LauncherApp app;
    backend.sheetScript = [this](SheetWindow& w) {
        const fw::win32::Handle sheet = w.Native().Window();
        const fw::win32::Handle strip = wintest::Child(sheet, 0x3020);
        std::vector<fw::win32::Handle> walked;
        fw::win32::Focus(strip);
        for (int i = 0; i < 16; ++i) {
            wintest::PostKey(wintest::Focused(), Key::Tab);
            w.Pump();
            walked.push_back(wintest::Focused());
        }
        std::vector<fw::win32::Handle> order;
        for (int id :
             {IDC_GENERAL_MAP_NAME, IDC_GENERAL_BROWSE, IDC_GENERAL_WIDTH, IDC_GENERAL_HEIGHT, IDC_GENERAL_BENCHMARK,
              IDC_GENERAL_FRUSTUM_CULLING, IDC_GENERAL_SHOW_CULL, IDC_GENERAL_FULLSCREEN, IDC_GENERAL_GLOBAL_DETAIL,
              IDC_GENERAL_LOCAL_DETAIL, IDC_GENERAL_MIN_DETAIL, IDC_GENERAL_MAX_DETAIL})
            order.push_back(w.ControlHandle(id));
        for (int id : {IDOK, IDCANCEL, 9})
            order.push_back(wintest::Child(sheet, id));
        order.push_back(strip);
        EXPECT_EQ(walked, order);

        const fw::win32::Handle preview = w.ControlHandle(IDC_GENERAL_PREVIEW);
        EXPECT_EQ(wintest::AccessibleName(preview), "Height map preview");
        EXPECT_EQ(wintest::AccessibleDescription(preview), "257 \u00D7 257, 8-bit grey");
        const fw::win32::Handle width = w.ControlHandle(IDC_GENERAL_WIDTH);
        EXPECT_EQ(wintest::AccessibleShortcut(width), "Alt+W");
        EXPECT_EQ(wintest::AccessibleDescription(width), kParameterDescriptions[RowOf("WIDTH")]);
        EXPECT_EQ(wintest::AccessibleShortcut(wintest::Child(sheet, IDOK)), "Alt+O");

        wintest::PostAltKey(wintest::Focused(), 'w');
        w.Pump();
        EXPECT_EQ(wintest::Focused(), width) << "Alt+W goes from the label to its edit";
        TypeOver(w, IDC_GENERAL_WIDTH, "1024");
        wintest::PostAltKey(wintest::Focused(), 't');
        w.Pump();
        EXPECT_EQ(wintest::SelectedTab(sheet), kTexture);
        EXPECT_EQ(w.Sheet().GetActiveIndex(), kTexture);
        wintest::TypeOver(w.ControlHandle(IDC_TEXTURE_NAME), "257x257.bmp");
        w.Pump();
        EXPECT_EQ(wintest::AccessibleDescription(w.ControlHandle(IDC_TEXTURE_PREVIEW)),
                  "257 \u00D7 257, 8-bit grey, the wrong shape: texture edge_len has to be 2**n");

        messages.clear();
        wintest::PostAltKey(wintest::Focused(), 'o');
        w.Pump();
        ASSERT_EQ(messages.size(), 1u);
        std::printf("the box after OK into a write-protected terrain.ini: %s\n", messages[0].c_str());
        EXPECT_EQ(messages[0].rfind("couldn't write configuration\n", 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find("terrain.ini: "), std::string::npos) << "the file and the system's reason";
        EXPECT_FALSE(w.Sheet().Ended());
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_TEXTURE_NAME)), "257x257.bmp");

        ASSERT_TRUE(wintest::SetReadOnly("terrain.ini", false));
        wintest::PostKey(wintest::Focused(), Key::Return);
        w.Pump();
        EXPECT_TRUE(w.Sheet().Ended());
    };
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.ExitInstance(), ExitDone);
    const std::string written = testsupport::ReadFile("terrain.ini");
    EXPECT_NE(written.find("WIDTH = 1024\r\n"), std::string::npos);
    EXPECT_NE(written.find("TEXTURE_NAME = 257x257.bmp\r\n"), std::string::npos);
}

TEST_F(NativeSheet, EnterOnAFocusedBrowseButtonAsksForTheFileDialog)
{
    Load();
    const wintest::FileDialogAnswer cancel(L"");
    const int result = Run([&cancel](SheetWindow& w) {
        fw::win32::Focus(w.ControlHandle(IDC_GENERAL_BROWSE));
        wintest::PostKey(w.ControlHandle(IDC_GENERAL_BROWSE), Key::Return);
        w.Pump();
        EXPECT_EQ(cancel.Answered(), 1);
        EXPECT_FALSE(w.Sheet().Ended()); // Enter on the button is not OK
        EXPECT_EQ(fw::win32::GetText(w.ControlHandle(IDC_GENERAL_MAP_NAME)), "257x257.bmp");
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(NativeSheet, TabGoesFromTheStripIntoThePageAndOnToTheButtons)
{
    Load();
    Run([](SheetWindow& w) {
        const auto tab = [&w](fw::win32::Handle from, bool shift) {
            fw::win32::Focus(from);
            if (shift) {
                const wintest::ShiftHeld held;
                wintest::PostKey(from, Key::Tab);
                w.Pump();
            } else {
                wintest::PostKey(from, Key::Tab);
                w.Pump();
            }
            return wintest::Focused();
        };
        const fw::win32::Handle strip = wintest::Child(w.Native().Window(), 0x3020);
        const fw::win32::Handle ok = wintest::Child(w.Native().Window(), IDOK);
        EXPECT_EQ(tab(strip, false), w.ControlHandle(IDC_GENERAL_MAP_NAME)) << "the page's first control";
        EXPECT_EQ(tab(w.ControlHandle(IDC_GENERAL_MAX_DETAIL), false), ok) << "after the page's last control";
        EXPECT_EQ(tab(strip, true), wintest::Child(w.Native().Window(), 9)) << "Shift+Tab: Help";
        EXPECT_EQ(tab(w.ControlHandle(IDC_GENERAL_MAP_NAME), true), strip);
        EXPECT_EQ(tab(ok, true), w.ControlHandle(IDC_GENERAL_MAX_DETAIL));
    });
}

TEST_F(NativeSheet, TheSheetHasTheProgramsIconBigAndSmall)
{
    Load();
    Run([](SheetWindow& w) {
        EXPECT_NE(wintest::WindowIcon(w.Native().Window(), true), nullptr);
        EXPECT_NE(wintest::WindowIcon(w.Native().Window(), false), nullptr);
    });
}

// Folders named in other languages: the chooser writes a name the engine opens (the long one
// where this code page spells it, else the short one), or says why it cannot, and never a
// name with a '?' or a look-alike letter.
TEST_F(NativeSheet, APickUnderFoldersNamedInOtherLanguagesGivesAnExactNameOrARefusal)
{
    Load();
    namespace fs = std::filesystem;
    for (const std::wstring folder : {L"\u0141\u00f3d\u017a", L"\u5730\u5f62"}) { // Łódź, 地形
        const fs::path map = fs::current_path() / folder / L"map.bmp";
        ASSERT_TRUE(wintest::MakeFolder(folder));
        fs::copy_file("257x257.bmp", map);
        messages.clear();
        const wintest::FileDialogAnswer pick(map.wstring());
        std::string written;
        Run([&](SheetWindow& w) {
            wintest::Click(w.ControlHandle(IDC_GENERAL_BROWSE));
            w.Pump();
            EXPECT_EQ(pick.Answered(), 1);
            written = fw::win32::GetText(w.ControlHandle(IDC_GENERAL_MAP_NAME));
        });
        std::printf("picked map.bmp under a folder named in another language, code page %u: %s\n",
                    wintest::AnsiCodePage(), written.c_str());
        EXPECT_EQ(written.find('?'), std::string::npos) << written;
        if (messages.empty()) {
            EXPECT_TRUE(fs::equivalent(fs::path(fw::win32::Wide(written)), map)) << written;
        } else {
            EXPECT_EQ(written, "257x257.bmp"); // the edit as it was
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], "terrain.ini can't hold a name with characters outside code page " +
                                       std::to_string(wintest::AnsiCodePage()) +
                                       ", and this file has no short name without them");
        }
    }
}

} // namespace
