// The wx backend's parts that need no display: help files, text positions,
// pictures and file-dialog filters.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/core/filedlg.h"
#include "framework/wx/chm_file.h"
#include "framework/wx/control_widgets.h"
#include "framework/wx/wx_backend.h"

namespace {

class ChmFileTest : public ::testing::Test {
protected:
    static std::string Scratch(const std::string& name) { return ::testing::TempDir() + "sandrel_gui_" + name; }
};

TEST_F(ChmFileTest, ReadsTopicsOfTheProgramsHelpFile)
{
    const auto chm = fw::wxui::ChmFile::Open(SANDREL_CHM_PATH);
    ASSERT_NE(chm, nullptr);
    bool hasWelcome = false;
    for (const std::string& entry : chm->Entries())
        hasWelcome = hasWelcome || entry == "/welcome.htm";
    EXPECT_TRUE(hasWelcome);

    const auto page = chm->Read("welcome.htm");
    ASSERT_TRUE(page.has_value());
    EXPECT_NE(page->find("Welcome to Sandrel"), std::string::npos);
    EXPECT_NE(page->find("</html>"), std::string::npos) << "the whole page, not a prefix";
    // Links in help files name topics in any case, with or without the leading slash.
    EXPECT_EQ(chm->Read("/WELCOME.HTM"), page);
    EXPECT_TRUE(chm->Read("general.htm").has_value());
    EXPECT_FALSE(chm->Read("nosuch.htm").has_value());
    EXPECT_FALSE(chm->Read("").has_value());
    EXPECT_TRUE(chm->HasTopic("general.htm#width"));
    EXPECT_FALSE(chm->HasTopic("nosuch.htm#width"));

    // The viewer's book: what the compiler recorded about the project.
    const fw::wxui::HelpProject project = chm->Project();
    EXPECT_EQ(project.title, "Sandrel Help");
    EXPECT_EQ(project.defaultTopic, "welcome.htm");
    EXPECT_EQ(project.contents, "Sandrel.hhc");
    EXPECT_EQ(project.index, "Sandrel.hhk");
}

TEST_F(ChmFileTest, RefusesMissingForeignAndTruncatedFiles)
{
    EXPECT_EQ(fw::wxui::ChmFile::Open(Scratch("missing.chm")), nullptr);

    const std::string foreign = Scratch("foreign.chm");
    std::ofstream(foreign) << "<html>not a compiled help file</html>";
    EXPECT_EQ(fw::wxui::ChmFile::Open(foreign), nullptr);
    // A FIFO nobody writes to would block the launcher's F1 for good.
    const std::string fifo = Scratch("fifo.chm");
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(fw::wxui::ChmFile::Open(fifo), nullptr);
    std::remove(fifo.c_str());

    std::ifstream in(SANDREL_CHM_PATH, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 512u);
    for (const std::size_t keep : {std::size_t{40}, whole.size() / 2, whole.size() - 1}) {
        const std::string cut = Scratch("cut.chm");
        std::ofstream(cut, std::ios::binary).write(whole.data(), static_cast<std::streamsize>(keep));
        const auto chm = fw::wxui::ChmFile::Open(cut);
        // Either refused at once or each read answers without crashing; a page that comes back
        // is never longer than the file says.
        if (chm) {
            for (const std::string& entry : chm->Entries())
                (void)chm->Read(entry);
        }
    }
    std::remove(foreign.c_str());
}

TEST(TextPositions, CharacterAndByteOffsetsAgreeForUtf8AndFallBackForOtherBytes)
{
    const std::string text = "a\xC3\xA9z"; // a, e-acute, z
    EXPECT_EQ(fw::wxui::CharacterOffset(text, 0), 0);
    EXPECT_EQ(fw::wxui::CharacterOffset(text, 1), 1);
    EXPECT_EQ(fw::wxui::CharacterOffset(text, 3), 2);
    EXPECT_EQ(fw::wxui::CharacterOffset(text, 4), 3);
    EXPECT_EQ(fw::wxui::CharacterOffset(text, 99), 3);
    EXPECT_EQ(fw::wxui::ByteOffset(text, 2), 3u);
    EXPECT_EQ(fw::wxui::ByteOffset(text, 3), 4u);
    EXPECT_EQ(fw::wxui::ByteOffset(text, 50), 4u);
    EXPECT_EQ(fw::wxui::ByteOffset(text, -1), 0u);

    // A Latin-1 name from terrain.ini is shown, not dropped, one character per byte.
    const std::string latin1 = "k\xE4se.bmp";
    EXPECT_EQ(fw::wxui::ToWx(latin1).length(), latin1.size());
    EXPECT_EQ(fw::wxui::CharacterOffset(latin1, 2), 2);
    EXPECT_EQ(fw::wxui::ByteOffset(latin1, 3), 3u);
    EXPECT_EQ(fw::wxui::FromWx(fw::wxui::ToWx(text)), text);
}

TEST(Pictures, PixelsKeepTheirColoursAndPlaces)
{
    fw::Image image;
    image.width = 2;
    image.height = 2;
    image.pixels = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00123456u};
    const wxImage out = fw::wxui::ToWxImage(image);
    ASSERT_TRUE(out.IsOk());
    EXPECT_EQ(out.GetWidth(), 2);
    EXPECT_EQ(out.GetRed(0, 0), 0xFF);
    EXPECT_EQ(out.GetGreen(1, 0), 0xFF);
    EXPECT_EQ(out.GetBlue(0, 1), 0xFF);
    EXPECT_EQ(out.GetRed(1, 1), 0x12);
    EXPECT_EQ(out.GetGreen(1, 1), 0x34);
    EXPECT_EQ(out.GetBlue(1, 1), 0x56);

    image.pixels.pop_back(); // a size that does not match its pixels draws nothing
    EXPECT_FALSE(fw::wxui::ToWxImage(image).IsOk());
}

TEST(FileDialogFilter, BecomesWxWildcards)
{
    CFileDialog bitmaps(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Bitmaps (*.bmp)|*.bmp||");
    EXPECT_EQ(fw::wxui::WildcardOf(bitmaps), "Bitmaps (*.bmp)|*.bmp");
    CFileDialog two(TRUE, nullptr, nullptr, 0, "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*||");
    EXPECT_EQ(fw::wxui::WildcardOf(two), "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*");
    CFileDialog none(TRUE);
    EXPECT_EQ(fw::wxui::WildcardOf(none), "*");
}

} // namespace
