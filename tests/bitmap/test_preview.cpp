// The preview and the chooser on the headless backend, on a page laid out like the bitmap pages.
#include <gtest/gtest.h>

#include <filesystem>

#include "bitmap/preview.h"
#include "framework/core/propsheet.h"
#include "framework/headless/headless.h"
#include "tests/bitmap/bmp_builder.h"

using fw::headless::Driver;
using fw::headless::HeadlessBackend;
using namespace bmptest;

namespace {

constexpr int kBrowse = 1004, kPicture = 1008, kName = 1014;
constexpr const char* kMapMessage = "map has to be 8 bit grayscale, square and of size 2**n+1";
constexpr const char* kTextureMessage = "texture edge_len has to be 2**n";

constexpr fw::ControlTemplate kControls[] = {
    {kName, fw::ControlKind::Edit, "", 7, 7, 180, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kBrowse, fw::ControlKind::PushButton, "...", 190, 7, 17, 12, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
    {kPicture, fw::ControlKind::Picture, "", 7, 21, 205, 158, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE},
};
constexpr fw::DialogTemplate kMapTemplate{601, "Map", 220, 190, "MS Shell Dlg", 8, WS_CHILD | DS_SETFONT, kControls};
constexpr fw::DialogTemplate kTextureTemplate{602,      "Texture", 220, 190, "MS Shell Dlg", 8, WS_CHILD | DS_SETFONT,
                                              kControls};

class PreviewPage : public CPropertyPage {
public:
    PreviewPage(const fw::DialogTemplate& tmpl, int expected, const char* message, std::string name = "")
        : CPropertyPage(tmpl), m_name(std::move(name)), m_expected(expected), m_message(message)
    {
    }
    CString m_name;
    CEdit m_edit;
    CStatic m_preview;

    BOOL OnInitDialog() override
    {
        CPropertyPage::OnInitDialog();
        UpdatePreview();
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kPicture, m_preview);
        DDX_Text(pDX, kName, m_name);
        DDX_Control(pDX, kName, m_edit);
    }
    void UpdatePreview() { ShowBitmapPreview(m_edit, m_preview, m_expected, m_message); }
    void OnBrowse() { BrowseForBitmap(*this, m_edit); }

private:
    int m_expected;
    const char* m_message;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PreviewPage, CPropertyPage)
    ON_EN_UPDATE(kName, &PreviewPage::UpdatePreview)
    ON_BN_CLICKED(kBrowse, &PreviewPage::OnBrowse)
END_MESSAGE_MAP()

Bytes File(int width, int height, int depth)
{
    Bmp b;
    b.width = width;
    b.height = height;
    b.bitCount = static_cast<std::uint16_t>(depth);
    if (depth == 8)
        b.palette.assign(256, 0x804020);
    b.pixels.assign(Stride(width, depth) * static_cast<std::size_t>(height), 0);
    return b.Build();
}

Bytes Cut(Bytes bytes)
{
    bytes.resize(bytes.size() / 2);
    return bytes;
}

// A sheet with the map page and the texture page, and the files they are shown.
struct Fixture {
    TempDir dir;
    std::string map = dir.Write("map.bmp", File(257, 257, 8));
    std::string square = dir.Write("square.bmp", File(256, 256, 8));
    std::string map24 = dir.Write("map24.bmp", File(257, 257, 24));
    std::string wide = dir.Write("wide.bmp", File(512, 64, 24));
    std::string cut = dir.Write("cut.bmp", Cut(File(16, 16, 24)));
    HeadlessBackend backend;
    PreviewPage mapPage;
    PreviewPage texturePage;
    CPropertySheet sheet{"test"};
    std::size_t baseline = fw::LiveBitmapCount();

    explicit Fixture(std::string storedMap = "", std::string storedTexture = "")
        : mapPage(kMapTemplate, 1, kMapMessage, std::move(storedMap)),
          texturePage(kTextureTemplate, 2, kTextureMessage, std::move(storedTexture))
    {
        sheet.AddPage(&mapPage);
        sheet.AddPage(&texturePage);
    }
    // Each open page shows a live bitmap, and nothing else the previews made is alive.
    void ExpectOnlyShownAlive(const Driver& d, std::size_t openPages) const
    {
        EXPECT_NE(fw::GetBitmapImage(d.Picture(kPicture)), nullptr) << "a freed bitmap is shown";
        EXPECT_EQ(fw::LiveBitmapCount(), baseline + openPages);
    }
    static bool ShowsFallback(const Driver& d)
    {
        const fw::Image* image = fw::GetBitmapImage(d.Picture(kPicture));
        return image != nullptr && image->sourceWidth == 48 && image->sourceHeight == 48;
    }
    static int ShownWidth(const Driver& d)
    {
        const fw::Image* image = fw::GetBitmapImage(d.Picture(kPicture));
        return image != nullptr ? image->sourceWidth : -1;
    }
};

} // namespace

// Makes a directory current for the length of a test.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir) : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

TEST(Preview, NoFileShowsTheFallbackWithoutAMessage)
{
    Fixture f("", "missing.bmp");
    f.backend.sheetScript = [&](Driver& d) {
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        ASSERT_TRUE(d.OpenTab(1));
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        f.ExpectOnlyShownAlive(d, 2);
    };
    f.sheet.DoModal();
    EXPECT_TRUE(f.backend.messages.empty());
}

TEST(Preview, HeightMapPageWarnsOnlyForReadableFilesOfAnotherShape)
{
    Fixture f;
    bool shownAliveDuringMessage = false;
    std::size_t aliveDuringMessage = 0;
    f.backend.onMessage = [&](const fw::headless::MessageRecord&) {
        shownAliveDuringMessage = fw::GetBitmapImage(f.mapPage.m_preview.GetBitmap()) != nullptr;
        aliveDuringMessage = fw::LiveBitmapCount();
    };
    f.backend.sheetScript = [&](Driver& d) {
        // Key by key, every shorter text names no file: silence until the whole name is typed.
        d.Type(kName, f.square);
        ASSERT_EQ(f.backend.MessageTexts(), std::vector<std::string>{kMapMessage});
        EXPECT_TRUE(shownAliveDuringMessage) << "the picture shown during the message was freed";
        EXPECT_EQ(aliveDuringMessage, f.baseline + 1) << "the texture-shaped bitmap is freed before the message";
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        d.Backspace(kName);
        d.Type(kName, "p");
        EXPECT_EQ(f.backend.messages.size(), 2u) << "again on each change that still names such a file";

        // What a screen reader hears of the picture follows it.
        const auto heard = [&d] { return d.ControlById(kPicture).AccessibleDescription(); };
        EXPECT_EQ(heard(), std::string("256 \u00D7 256, 8-bit colour, the wrong shape: ") + kMapMessage);
        d.PasteOver(kName, f.map);
        EXPECT_EQ(Fixture::ShownWidth(d), 257);
        EXPECT_EQ(heard(), "257 \u00D7 257, 8-bit colour") << "its palette is not grey";
        f.ExpectOnlyShownAlive(d, 1);
        d.PasteOver(kName, f.map24);
        EXPECT_EQ(f.backend.messages.size(), 3u);
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        d.PasteOver(kName, f.cut);
        d.Clear(kName);
        EXPECT_EQ(f.backend.messages.size(), 3u) << "no message for a file that cannot be read";
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        EXPECT_EQ(heard(), "file not found");
        f.ExpectOnlyShownAlive(d, 1);
    };
    f.sheet.DoModal();
    for (const auto& m : f.backend.messages)
        EXPECT_EQ(m.style, MB_OK);
}

TEST(Preview, TexturePageShowsWidthsAndKeepsOnlyTheControlsArea)
{
    Fixture f;
    f.backend.sheetScript = [&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(1));
        d.PasteOver(kName, f.map);
        EXPECT_EQ(f.backend.MessageTexts(), std::vector<std::string>{kTextureMessage});
        EXPECT_TRUE(Fixture::ShowsFallback(d));
        d.PasteOver(kName, f.wide);
        EXPECT_EQ(f.backend.messages.size(), 1u);
        const fw::Image* image = fw::GetBitmapImage(d.Picture(kPicture));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->sourceWidth, 512);
        EXPECT_EQ(image->width, std::min(512, fw::DialogUnitsToPixelsX(205)));
        EXPECT_EQ(image->height, 64);
        f.ExpectOnlyShownAlive(d, 2);
    };
    f.sheet.DoModal();
}

TEST(Preview, AStoredNameOfTheWrongShapeWarnsOnceWhenThePageOpens)
{
    TempDir dir;
    Fixture f(dir.Write("square.bmp", File(256, 256, 8)));
    f.backend.sheetScript = [&](Driver& d) {
        EXPECT_EQ(f.backend.messages.size(), 1u);
        ASSERT_TRUE(d.OpenTab(1));
        ASSERT_TRUE(d.OpenTab(0));
        EXPECT_EQ(f.backend.messages.size(), 1u) << "returning to the tab shows the preview no more";
    };
    f.sheet.DoModal();
}

TEST(Chooser, DialogAndCancel)
{
    Fixture f;
    f.backend.fileAnswers = {std::nullopt};
    f.backend.sheetScript = [&](Driver& d) {
        d.PasteOver(kName, f.map);
        d.Click(kBrowse);
        EXPECT_EQ(d.Text(kName), f.map) << "a cancelled dialog keeps the name";
        EXPECT_FALSE(Fixture::ShowsFallback(d));
        f.ExpectOnlyShownAlive(d, 1);
    };
    f.sheet.DoModal();
    EXPECT_TRUE(f.backend.messages.empty());
    ASSERT_EQ(f.backend.fileDialogs.size(), 1u);
    const auto& record = f.backend.fileDialogs[0];
    EXPECT_EQ(record.open, TRUE);
    EXPECT_FALSE(record.defaultExtension.has_value());
    EXPECT_FALSE(record.initialFileName.has_value());
    EXPECT_EQ(record.flags, 4108u);
    EXPECT_EQ(record.filter, "Bitmaps (*.bmp)|*.bmp||");
    EXPECT_EQ(record.parent, &f.mapPage);
    EXPECT_EQ(record.structSize, 0u);
}

TEST(Chooser, BareNameOnlyForAFileDirectlyInTheCurrentDirectory)
{
#ifdef _WIN32
    GTEST_SKIP() << "Linux's rules (names compared exactly, no short names); WindowsChooser checks Windows'";
#endif
    Fixture f;
    TempDir elsewhere;
    std::filesystem::create_directory(f.dir.Path() + "/sub");
    const std::string inSub = f.dir.Write("sub/map.bmp", File(9, 9, 8));
    const std::string outside = elsewhere.Write("map.bmp", File(9, 9, 8));
    InDirectory cwd(f.dir.Path());
    f.backend.fileAnswers = {f.map, inSub, outside};
    f.backend.sheetScript = [&](Driver& d) {
        d.Click(kBrowse);
        EXPECT_EQ(d.Text(kName), "map.bmp");
        EXPECT_EQ(Fixture::ShownWidth(d), 257) << "the edit's change runs the preview";
        d.Click(kBrowse);
        EXPECT_EQ(d.Text(kName), inSub) << "a subdirectory's file keeps its full path";
        d.Click(kBrowse);
        EXPECT_EQ(d.Text(kName), outside);
        EXPECT_EQ(Fixture::ShownWidth(d), 9);
    };
    f.sheet.DoModal();
}

TEST(Chooser, ACurrentDirectoryTooLongForTheBufferCountsAsOutside)
{
#ifdef _WIN32
    GTEST_SKIP() << "Linux paths longer than MAX_PATH; WindowsChooser checks Windows' rules";
#endif
    Fixture f;
    std::string deep = f.dir.Path();
    while (deep.size() < 300)
        deep += "/" + std::string(40, 'd');
    std::filesystem::create_directories(deep);
    const std::string file = deep + "/map.bmp";
    {
        std::ofstream(file, std::ios::binary) << "";
    }
    std::filesystem::copy_file(f.map, file, std::filesystem::copy_options::overwrite_existing);
    InDirectory cwd(deep);
    f.backend.fileAnswers = {file};
    f.backend.sheetScript = [&](Driver& d) {
        d.Click(kBrowse);
        EXPECT_EQ(d.Text(kName), file);
        EXPECT_EQ(Fixture::ShownWidth(d), 257);
    };
    f.sheet.DoModal();
}
