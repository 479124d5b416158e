// The Texture tab: the edge length kept in step between slider and edit, its check, the preview.
#include "tests/pages/page_fixture.h"

using fw::headless::Driver;
using namespace pagetest;

namespace {
class TexturePage : public PageFixture {};
} // namespace

TEST_F(TexturePage, StoredLengthPutsSliderAndEditInStep)
{
    Load("TEXTURE_EDGE_LEN = 512\n");
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kTexture));
        EXPECT_EQ(d.SliderPos(IDC_TEXTURE_EDGE_LEN_SLIDER), 512);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "512");
        EXPECT_EQ(d.ControlById(IDC_TEXTURE_EDGE_LEN_SLIDER).RangeMin(), 0);
        EXPECT_EQ(d.ControlById(IDC_TEXTURE_EDGE_LEN_SLIDER).RangeMax(), 2048);
    });
}

TEST_F(TexturePage, FractionalAndOutOfRangeLengthsBecomeTheSliderPosition)
{
    const std::pair<const char*, int> cases[] = {
        {"100.7", 100}, {"5000", 2048}, {"-3", 0}, {"-0.5", 0}, {"1e20", 2048}};
    for (const auto& c : cases) {
        const char* stored = c.first;
        const int shown = c.second;
        Load(std::string("TEXTURE_EDGE_LEN = ") + stored + "\n");
        Run([&](Driver& d) {
            ASSERT_TRUE(d.OpenTab(kTexture));
            EXPECT_EQ(d.SliderPos(IDC_TEXTURE_EDGE_LEN_SLIDER), shown) << stored;
            EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), std::to_string(shown)) << stored;
            EXPECT_TRUE(d.OpenTab(kGeneral));
        });
        EXPECT_EQ(texture.m_textureEdgeLen, static_cast<float>(shown)) << "leaving stores the whole number";
    }
}

TEST_F(TexturePage, DraggingAndPastingMoveEachOther)
{
    Load();
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kTexture));
        d.DragSlider(IDC_TEXTURE_EDGE_LEN_SLIDER, 4000);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "2048");
        d.DragSlider(IDC_TEXTURE_EDGE_LEN_SLIDER, -10);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "0");
        d.PasteOver(IDC_TEXTURE_EDGE_LEN, "1024");
        EXPECT_EQ(d.SliderPos(IDC_TEXTURE_EDGE_LEN_SLIDER), 1024);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "1024");
        d.PasteOver(IDC_TEXTURE_EDGE_LEN, "5000");
        EXPECT_EQ(d.SliderPos(IDC_TEXTURE_EDGE_LEN_SLIDER), 2048);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "2048") << "rewritten when the slider drew";
        EXPECT_FALSE(fw::HasPendingDrawing()) << "the back-and-forth settled";
        // Typing key by key: each key moves the slider, and its drawing rewrites the edit.
        d.Clear(IDC_TEXTURE_EDGE_LEN);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "0");
        d.TypeOver(IDC_TEXTURE_EDGE_LEN, "64");
        EXPECT_EQ(d.SliderPos(IDC_TEXTURE_EDGE_LEN_SLIDER), 64);
        EXPECT_EQ(d.Text(IDC_TEXTURE_EDGE_LEN), "64");
        EXPECT_TRUE(d.OpenTab(kGeneral));
    });
    EXPECT_EQ(texture.m_textureEdgeLen, 64.0f);
}

TEST_F(TexturePage, RangeCheckWhenLeaving)
{
    // Texts the slider has not rewritten yet: the edit's own text at the moment the page is left.
    const std::pair<const char*, bool> cases[] = {{"0", true}, {"2048", true}, {"2048.5", false}, {"-1", false}};
    for (const auto& c : cases) {
        const char* text = c.first;
        const bool accepted = c.second;
        Load();
        Run([&](Driver& d) {
            ASSERT_TRUE(d.OpenTab(kTexture));
            // Set without the page hearing of it, as the exchange does, so no drawing follows.
            fw::Control& edit = d.ControlById(IDC_TEXTURE_EDGE_LEN);
            texture.GetPageWindow()->LockNotifications();
            edit.SetText(text);
            texture.GetPageWindow()->UnlockNotifications();
            EXPECT_EQ(d.OpenTab(kGeneral), accepted) << text;
        });
        EXPECT_EQ(Messages().size(), accepted ? 0u : 1u) << text;
        if (!accepted) {
            EXPECT_EQ(Messages()[0], "Enter a number from 0 to 2048.");
        }
    }
}

TEST_F(TexturePage, AnyTextureNameIsAccepted)
{
    Load("TEXTURE_NAME = " + std::string(400, 't') + "\n");
    Run([&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(kTexture));
        EXPECT_TRUE(d.OpenTab(kGeneral));
        ASSERT_TRUE(d.OpenTab(kTexture));
        d.Clear(IDC_TEXTURE_NAME);
        EXPECT_TRUE(d.OpenTab(kGeneral));
    });
    EXPECT_EQ(texture.m_textureName, "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TexturePage, PreviewShowsTexturesAndWarnsForOtherShapes)
{
    Load("TEXTURE_NAME = map.bmp\n");
    testsupport::WriteBitmap("map.bmp", 257, 257, 8); // a height map, not a texture
    testsupport::WriteBitmap("wide.bmp", 512, 64, 24);
    Run([&](Driver& d) {
        EXPECT_TRUE(Messages().empty()) << "the page is not open yet";
        ASSERT_TRUE(d.OpenTab(kTexture));
        EXPECT_EQ(Messages(), (std::vector<std::string>{kTextureMessage}));
        EXPECT_EQ(fw::GetBitmapImage(d.Picture(IDC_TEXTURE_PREVIEW))->sourceWidth, 48);
        d.PasteOver(IDC_TEXTURE_NAME, "wide.bmp");
        EXPECT_EQ(fw::GetBitmapImage(d.Picture(IDC_TEXTURE_PREVIEW))->sourceWidth, 512);
        EXPECT_EQ(Messages().size(), 1u);
        ASSERT_TRUE(d.OpenTab(kGeneral));
        ASSERT_TRUE(d.OpenTab(kTexture));
        EXPECT_EQ(Messages().size(), 1u);
        backend.fileAnswers = {std::nullopt};
        d.Click(IDC_TEXTURE_BROWSE);
        EXPECT_EQ(d.Text(IDC_TEXTURE_NAME), "wide.bmp") << "a cancelled chooser keeps the name";
        EXPECT_EQ(fw::GetBitmapImage(d.Picture(IDC_TEXTURE_PREVIEW))->sourceWidth, 512);
        EXPECT_EQ(Messages().size(), 1u);
        // A typed name the next start would read otherwise keeps the user on the tab.
        d.PasteOver(IDC_TEXTURE_NAME, "wide .bmp");
        EXPECT_FALSE(d.OpenTab(kGeneral));
        EXPECT_EQ(Messages().back(), "terrain.ini can't hold a name with a space");
        EXPECT_EQ(d.FocusId(), IDC_TEXTURE_NAME);
    });
}

TEST_F(TexturePage, NeverOpenedPagePassesItsValuesOnUnchanged)
{
    Load("TEXTURE_EDGE_LEN = 9999.5\nTEXTURE_MAPPING = 7\nTEXTURE_NAME = nowhere.bmp\n");
    Run([&](Driver& d) { EXPECT_TRUE(d.PressOK()); });
    EXPECT_EQ(texture.m_textureEdgeLen, 9999.5f);
    EXPECT_EQ(texture.m_textureMapping, 7);
    EXPECT_EQ(texture.m_textureName, "nowhere.bmp");
    EXPECT_TRUE(Messages().empty());
}
