// The OpenGL and Controls tabs: their checks, their order, and what the user can type.
#include "tests/pages/page_fixture.h"

using fw::headless::Driver;
using namespace pagetest;

namespace {
class OpenGLPage : public PageFixture {};
class KeysPage : public PageFixture {};
} // namespace

TEST_F(OpenGLPage, BoundsOfFieldOfViewAndFarDistance)
{
    const std::tuple<int, const char*, bool> cases[] = {
        {IDC_OPENGL_FIELD_OF_VIEW, "15", true},    {IDC_OPENGL_FIELD_OF_VIEW, "160", true},
        {IDC_OPENGL_FIELD_OF_VIEW, "14.9", false}, {IDC_OPENGL_FIELD_OF_VIEW, "160.1", false},
        {IDC_OPENGL_CLIP_FAR, "10", true},         {IDC_OPENGL_CLIP_FAR, "5000", true},
        {IDC_OPENGL_CLIP_FAR, "9.9", false},       {IDC_OPENGL_CLIP_FAR, "5000.1", false},
        {IDC_OPENGL_FOV_ASPECT, "0", true},        {IDC_OPENGL_FOV_ASPECT, "-1", true},
        {IDC_OPENGL_CLIP_NEAR, "0", true},         {IDC_OPENGL_CLIP_NEAR, "1000", true}, // beyond far
    };
    for (const auto& c : cases) {
        const int id = std::get<0>(c);
        const char* text = std::get<1>(c);
        const bool accepted = std::get<2>(c);
        Load();
        Run([&](Driver& d) {
            ASSERT_TRUE(d.OpenTab(kOpenGL));
            d.TypeOver(id, text);
            EXPECT_EQ(d.OpenTab(kControls), accepted) << id << " = " << text;
        });
        EXPECT_EQ(Messages().size(), accepted ? 0u : 1u) << text;
    }
}

TEST_F(OpenGLPage, FieldOfViewIsReportedBeforeTheFarDistance)
{
    Load("FIELD_OF_VIEW = 200\nCLIP_PLANE_FAR = 1\n");
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kOpenGL));
        EXPECT_TRUE(Messages().empty()) << "stored values are shown silently";
        EXPECT_EQ(d.Text(IDC_OPENGL_FIELD_OF_VIEW), "200");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        d.TypeOver(IDC_OPENGL_FIELD_OF_VIEW, "90");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        d.TypeOver(IDC_OPENGL_CLIP_FAR, "1000");
        EXPECT_TRUE(d.OpenTab(kGeneral));
    });
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Enter a number from 15 to 160.", "Enter a number from 10 to 5000."}));
}

TEST_F(OpenGLPage, UnreadableNumbersAreReportedInFieldOrder)
{
    Load();
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kOpenGL));
        for (int id : {IDC_OPENGL_FIELD_OF_VIEW, IDC_OPENGL_FOV_ASPECT, IDC_OPENGL_CLIP_NEAR, IDC_OPENGL_CLIP_FAR})
            d.TypeOver(id, "?");
        for (int id : {IDC_OPENGL_FIELD_OF_VIEW, IDC_OPENGL_FOV_ASPECT, IDC_OPENGL_CLIP_NEAR, IDC_OPENGL_CLIP_FAR}) {
            EXPECT_FALSE(d.OpenTab(kGeneral));
            EXPECT_EQ(d.FocusId(), id);
            d.TypeOver(id, "50");
        }
        EXPECT_TRUE(d.OpenTab(kGeneral));
    });
    EXPECT_EQ(Messages(), std::vector<std::string>(4, "Enter a number."));
}

TEST_F(OpenGLPage, CheckBoxesChangeTheirFieldsOnlyWhenThePageIsLeft)
{
    Load();
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kOpenGL));
        d.Click(IDC_OPENGL_VERTEX_ARRAY);
        d.Click(IDC_OPENGL_ARB_EXT);
        EXPECT_EQ(opengl.m_useVertexArray, 0);
        EXPECT_TRUE(d.PressOK());
    });
    EXPECT_EQ(opengl.m_useVertexArray, 1);
    EXPECT_EQ(opengl.m_useArbExt, 1);
    EXPECT_EQ(opengl.m_useMultiDraw, 0);
}

TEST_F(OpenGLPage, NeverOpenedPagePassesOutOfRangeValuesOn)
{
    Load("FIELD_OF_VIEW = 200\nCLIP_PLANE_FAR = 1\n");
    Run([&](Driver& d) { EXPECT_TRUE(d.PressOK()); });
    EXPECT_EQ(opengl.m_fieldOfView, 200.0f);
    EXPECT_EQ(opengl.m_clipFar, 1.0f);
}

TEST_F(KeysPage, LongStoredBindingIsShownAndRefusedUntilShortenedOrCleared)
{
    Load("MOVE_UP = AB\nCULL_SWITCH = CTRL\n");
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kControls));
        EXPECT_EQ(d.Text(IDC_CONTROLS_MOVE_UP), "AB");
        EXPECT_EQ(d.Text(IDC_CONTROLS_CULL_SWITCH), "CTRL");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Enter no more than 1 character."}));
        EXPECT_EQ(d.FocusId(), IDC_CONTROLS_MOVE_UP);
        d.Backspace(IDC_CONTROLS_MOVE_UP);
        EXPECT_TRUE(d.OpenTab(kGeneral)) << "one character left";
        ASSERT_TRUE(d.OpenTab(kControls));
        d.Clear(IDC_CONTROLS_MOVE_UP);
        EXPECT_TRUE(d.PressOK()) << "an empty binding is accepted";
    });
    EXPECT_EQ(controls.m_keyMoveUp, "");
    EXPECT_EQ(controls.m_keyCullSwitch, "CTRL");
}

TEST_F(KeysPage, KeyEditsTakeOneCapitalAndTheCullingToggleAnyLength)
{
    Load();
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kControls));
        d.Clear(IDC_CONTROLS_STRAFE_LEFT);
        EXPECT_EQ(d.Type(IDC_CONTROLS_STRAFE_LEFT, "qw"), 1);
        EXPECT_EQ(d.Text(IDC_CONTROLS_STRAFE_LEFT), "Q");
        d.TypeOver(IDC_CONTROLS_STRAFE_RIGHT, "r");
        EXPECT_EQ(d.Text(IDC_CONTROLS_STRAFE_RIGHT), "R");
        d.TypeOver(IDC_CONTROLS_CULL_SWITCH, "space");
        EXPECT_EQ(d.Text(IDC_CONTROLS_CULL_SWITCH), "SPACE");
        d.TypeOver(IDC_CONTROLS_DETAIL_UP, "q"); // the same key as strafe left
        EXPECT_TRUE(d.PressOK());
    });
    EXPECT_EQ(controls.m_keyStrafeLeft, "Q");
    EXPECT_EQ(controls.m_keyStrafeRight, "R");
    EXPECT_EQ(controls.m_keyCullSwitch, "SPACE");
    EXPECT_EQ(controls.m_keyDetailUp, "Q");
}

TEST_F(KeysPage, SpeedIsAnyNumberAndCheckedBeforeTheBindings)
{
    Load("STRAFE_LEFT = XY\n");
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kControls));
        d.TypeOver(IDC_CONTROLS_TRANS_SPEED, "fast");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        EXPECT_EQ(Messages().back(), "Enter a number.") << "the speed before the binding";
        d.TypeOver(IDC_CONTROLS_TRANS_SPEED, "-2.5");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        EXPECT_EQ(Messages().back(), "Enter no more than 1 character.");
        d.Clear(IDC_CONTROLS_STRAFE_LEFT);
        d.TypeOver(IDC_CONTROLS_TRANS_SPEED, "0");
        EXPECT_TRUE(d.OpenTab(kGeneral));
    });
    EXPECT_EQ(controls.m_transSpeed, 0.0f);
}
