// The General tab: its checks and their order, the culling boxes, the map name and its preview.
#include "tests/pages/page_fixture.h"

using fw::headless::Driver;
using namespace pagetest;

namespace {

class GeneralPage : public PageFixture {};

// Leaves the General tab for the Texture tab; true when that worked.
bool Leave(Driver& d) { return d.OpenTab(kTexture); }

} // namespace

TEST_F(GeneralPage, BoundsOfEveryRangeCheck)
{
    Load();
    struct Case {
        int id;
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {IDC_GENERAL_WIDTH, "320", true},          {IDC_GENERAL_WIDTH, "319", false},
        {IDC_GENERAL_WIDTH, "2147483647", true},   {IDC_GENERAL_HEIGHT, "200", true},
        {IDC_GENERAL_HEIGHT, "199", false},        {IDC_GENERAL_GLOBAL_DETAIL, "1", true},
        {IDC_GENERAL_GLOBAL_DETAIL, "2.5", true},  {IDC_GENERAL_GLOBAL_DETAIL, "32", true},
        {IDC_GENERAL_GLOBAL_DETAIL, "0.5", false}, {IDC_GENERAL_GLOBAL_DETAIL, "32.5", false},
        {IDC_GENERAL_LOCAL_DETAIL, "1", true},     {IDC_GENERAL_LOCAL_DETAIL, "32", true},
        {IDC_GENERAL_LOCAL_DETAIL, "0.5", false},  {IDC_GENERAL_LOCAL_DETAIL, "32.5", false},
        {IDC_GENERAL_MIN_DETAIL, "1", true},       {IDC_GENERAL_MIN_DETAIL, "32", true},
        {IDC_GENERAL_MIN_DETAIL, "0", false},      {IDC_GENERAL_MIN_DETAIL, "33", false},
        {IDC_GENERAL_MAX_DETAIL, "1", true},       {IDC_GENERAL_MAX_DETAIL, "32", true},
        {IDC_GENERAL_MAX_DETAIL, "0", false},      {IDC_GENERAL_MAX_DETAIL, "33", false},
    };
    for (const Case& c : cases) {
        general.m_width = 800, general.m_height = 600, general.m_globalDetail = 9, general.m_localDetail = 3;
        general.m_minDetail = 3, general.m_maxDetail = 32;
        Run([&](Driver& d) {
            d.TypeOver(c.id, c.text);
            EXPECT_EQ(Leave(d), c.accepted) << c.id << " = " << c.text;
            EXPECT_EQ(Messages().size(), c.accepted ? 0u : 1u);
            backend.messages.clear();
        });
    }
}

TEST_F(GeneralPage, MinimumAboveMaximumIsAccepted)
{
    Load("MIN_DETAIL = 20\nMAX_DETAIL = 10\n");
    Run([&](Driver& d) { EXPECT_TRUE(Leave(d)); });
    EXPECT_EQ(general.m_minDetail, 20);
    EXPECT_EQ(general.m_maxDetail, 10);
}

TEST_F(GeneralPage, ParseFailuresComeFirstThenRangesInCheckOrderThenTheName)
{
    Load();
    Run([&](Driver& d) {
        d.TypeOver(IDC_GENERAL_WIDTH, "wide");
        d.TypeOver(IDC_GENERAL_GLOBAL_DETAIL, "99");
        EXPECT_FALSE(Leave(d));
        EXPECT_EQ(Messages().back(), "Enter a whole number.") << "the unreadable width, not the detail";
        d.TypeOver(IDC_GENERAL_WIDTH, "100");
        d.TypeOver(IDC_GENERAL_GLOBAL_DETAIL, "9");
        d.TypeOver(IDC_GENERAL_MAX_DETAIL, "40");
        EXPECT_FALSE(Leave(d));
        EXPECT_EQ(Messages().back(), "Enter a whole number from 1 to 32.") << "the detail before the width";
        d.TypeOver(IDC_GENERAL_MAX_DETAIL, "32");
        EXPECT_FALSE(Leave(d));
        EXPECT_EQ(Messages().back(), "Enter a whole number from 320 to 2147483647.");
        EXPECT_EQ(d.FocusId(), IDC_GENERAL_WIDTH);
        d.TypeOver(IDC_GENERAL_WIDTH, "1024");
        d.Paste(IDC_GENERAL_MAP_NAME, std::string(300, 'm')); // typing stops at 256
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME).size(), 256u);
        EXPECT_TRUE(Leave(d));
    });
    EXPECT_EQ(Messages().size(), 3u);
}

TEST_F(GeneralPage, LongStoredNameIsShownInFullAndRefusedOnLeaving)
{
    const std::string longName(300, 'n');
    Load("MAP_NAME = " + longName + "\n");
    Run([&](Driver& d) {
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), longName);
        EXPECT_TRUE(Messages().empty()) << "a missing file: the fallback, silently";
        EXPECT_FALSE(Leave(d));
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Enter no more than 256 characters."}));
        EXPECT_EQ(d.Type(IDC_GENERAL_MAP_NAME, "x"), 0);
        d.PasteOver(IDC_GENERAL_MAP_NAME, "257x257.bmp");
        EXPECT_TRUE(Leave(d));
    });
    EXPECT_EQ(general.m_mapName, "257x257.bmp");
}

TEST_F(GeneralPage, TypedNamesTerrainIniCannotGiveBackAreRefusedOnLeaving)
{
    const std::pair<const char*, const char*> cases[] = {
        {"my map.bmp", "terrain.ini can't hold a name with a space"},
        {"a=b.bmp", "terrain.ini can't hold a name with an '='"},
    };
    for (const auto& [name, message] : cases) {
        Load();
        Run([&](Driver& d) {
            d.PasteOver(IDC_GENERAL_MAP_NAME, name);
            d.TypeOver(IDC_GENERAL_WIDTH, "800");
            EXPECT_FALSE(Leave(d)) << name;
            EXPECT_FALSE(d.PressOK());
            EXPECT_EQ(Messages(), (std::vector<std::string>{message, message}));
            EXPECT_EQ(d.FocusId(), IDC_GENERAL_MAP_NAME);
            EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), name) << "the user's text stays to be mended";
        });
    }
}

TEST_F(GeneralPage, StoredOutOfRangeValuesAreShownSilentlyAndRefusedOnOk)
{
    Load("WIDTH = 100\n");
    Run([&](Driver& d) {
        EXPECT_EQ(d.Text(IDC_GENERAL_WIDTH), "100");
        EXPECT_TRUE(Messages().empty());
        EXPECT_FALSE(d.PressOK());
        EXPECT_FALSE(d.Ended());
        EXPECT_EQ(Messages(), (std::vector<std::string>{"Enter a whole number from 320 to 2147483647."}));
        d.TypeOver(IDC_GENERAL_WIDTH, "640");
        EXPECT_TRUE(d.PressOK());
    });
    EXPECT_EQ(general.m_width, 640);
}

TEST_F(GeneralPage, CullingBoxesKeepDemonstrationWithinCulling)
{
    Load("FRUSTUM_CULLING = 1\nSHOW_CULL = 1\n");
    Run([&](Driver& d) {
        // Clearing culling clears the demonstration.
        d.Click(IDC_GENERAL_FRUSTUM_CULLING);
        EXPECT_EQ(d.Check(IDC_GENERAL_FRUSTUM_CULLING), 0);
        EXPECT_EQ(d.Check(IDC_GENERAL_SHOW_CULL), 0);
        // Setting culling leaves the demonstration alone.
        d.Click(IDC_GENERAL_FRUSTUM_CULLING);
        EXPECT_EQ(d.Check(IDC_GENERAL_SHOW_CULL), 0);
        // Setting the demonstration sets culling; clear culling first to see it.
        d.Click(IDC_GENERAL_FRUSTUM_CULLING);
        d.Click(IDC_GENERAL_SHOW_CULL);
        EXPECT_EQ(d.Check(IDC_GENERAL_SHOW_CULL), 1);
        EXPECT_EQ(d.Check(IDC_GENERAL_FRUSTUM_CULLING), 1);
        // Clearing the demonstration leaves culling alone.
        d.Click(IDC_GENERAL_SHOW_CULL);
        EXPECT_EQ(d.Check(IDC_GENERAL_FRUSTUM_CULLING), 1);
        EXPECT_EQ(general.m_showCull, 1) << "fields follow only when the page is left";
        EXPECT_TRUE(Leave(d));
    });
    EXPECT_EQ(general.m_showCull, 0);
    EXPECT_EQ(general.m_frustumCulling, 1);
}

TEST_F(GeneralPage, ContradictoryStoredFlagsAreKeptUnlessClicked)
{
    Load("FRUSTUM_CULLING = 0\nSHOW_CULL = 1\n");
    Run([&](Driver& d) {
        EXPECT_EQ(d.Check(IDC_GENERAL_FRUSTUM_CULLING), 0);
        EXPECT_EQ(d.Check(IDC_GENERAL_SHOW_CULL), 1);
        d.Click(IDC_GENERAL_BENCHMARK);
        EXPECT_TRUE(d.PressOK());
    });
    EXPECT_EQ(general.m_frustumCulling, 0);
    EXPECT_EQ(general.m_showCull, 1);
    EXPECT_EQ(general.m_benchmark, 1);
}

TEST_F(GeneralPage, WrongShapedMapWarnsOnOpeningAndOnEachChangeButNotOnReturn)
{
    Load("MAP_NAME = square256.bmp\n");
    testsupport::WriteBitmap("square256.bmp", 256, 256, 8);
    testsupport::WriteBitmap("colour257.bmp", 257, 257, 24);
    Run([&](Driver& d) {
        EXPECT_EQ(Messages(), (std::vector<std::string>{kMapMessage}));
        HBITMAP fallback = d.Picture(IDC_GENERAL_PREVIEW);
        ASSERT_NE(fallback, nullptr);
        EXPECT_EQ(fw::GetBitmapImage(fallback)->sourceWidth, 48) << "the fallback picture";
        ASSERT_TRUE(Leave(d));
        ASSERT_TRUE(d.OpenTab(kGeneral));
        EXPECT_EQ(Messages().size(), 1u) << "returning to the tab shows no message";
        d.PasteOver(IDC_GENERAL_MAP_NAME, "colour257.bmp");
        EXPECT_EQ(Messages().size(), 2u);
        d.PasteOver(IDC_GENERAL_MAP_NAME, "missing.bmp");
        EXPECT_EQ(Messages().size(), 2u) << "a missing file: no message";
        d.PasteOver(IDC_GENERAL_MAP_NAME, "257x257.bmp");
        EXPECT_EQ(Messages().size(), 2u);
        const fw::Image* shown = fw::GetBitmapImage(d.Picture(IDC_GENERAL_PREVIEW));
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->sourceWidth, 257) << "the map itself";
    });
    for (const auto& m : backend.messages)
        EXPECT_EQ(m.style, static_cast<UINT>(MB_OK));
}

TEST_F(GeneralPage, TypingANameKeyByKeyWarnsOnlyForExistingWrongShapes)
{
    Load("MAP_NAME = \n");
    testsupport::WriteBitmap("a.bmp", 256, 256, 8);
    Run([&](Driver& d) {
        EXPECT_TRUE(Messages().empty());
        d.Type(IDC_GENERAL_MAP_NAME, "a.bmp");
        EXPECT_EQ(Messages(), (std::vector<std::string>{kMapMessage})) << "only the last text names a file";
        d.Type(IDC_GENERAL_MAP_NAME, "x");
        EXPECT_EQ(Messages().size(), 1u);
    });
}

TEST_F(GeneralPage, BrowseWritesTheBareNameForAFileHereAndAFullPathOtherwise)
{
#ifdef _WIN32
    GTEST_SKIP() << "Linux's rules (names compared exactly, no short names); WindowsChooser checks Windows'";
#endif
    Load();
    std::filesystem::create_directory("maps");
    testsupport::WriteBitmap("maps/513.bmp", 513, 513, 8);
    const std::string here = (dir.Path() / "257x257.bmp").string();
    const std::string below = (dir.Path() / "maps" / "513.bmp").string();
    std::filesystem::create_directory("My Maps");
    testsupport::WriteBitmap("My Maps/9.bmp", 9, 9, 8);
    const std::string spaced = (dir.Path() / "My Maps" / "9.bmp").string();
    backend.fileAnswers = {here, below, std::nullopt, spaced};
    Run([&](Driver& d) {
        d.Click(IDC_GENERAL_BROWSE);
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), "257x257.bmp");
        d.Click(IDC_GENERAL_BROWSE);
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), below);
        EXPECT_EQ(fw::GetBitmapImage(d.Picture(IDC_GENERAL_PREVIEW))->sourceWidth, 513);
        d.Click(IDC_GENERAL_BROWSE);
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), below) << "a cancelled chooser keeps the name";
        EXPECT_TRUE(Messages().empty());
        // The next start would read the path without its space: refused, and the name kept.
        d.Click(IDC_GENERAL_BROWSE);
        EXPECT_EQ(d.Text(IDC_GENERAL_MAP_NAME), below);
        EXPECT_EQ(Messages(), (std::vector<std::string>{"terrain.ini can't hold a name with a space"}));
        EXPECT_TRUE(d.PressOK());
    });
    ASSERT_EQ(backend.fileDialogs.size(), 4u);
    const auto& record = backend.fileDialogs[0];
    EXPECT_TRUE(record.open);
    EXPECT_FALSE(record.defaultExtension.has_value());
    EXPECT_FALSE(record.initialFileName.has_value());
    EXPECT_EQ(record.flags, 4108u);
    EXPECT_EQ(record.filter, "Bitmaps (*.bmp)|*.bmp||");
    EXPECT_EQ(record.parent, &general);
    EXPECT_EQ(record.structSize, 0u);
    EXPECT_EQ(std::filesystem::current_path(), dir.Path());
    EXPECT_EQ(general.m_mapName, below);
}
