// The Windows rules where the Linux build has its own: terrain.ini in CR LF lines, and the file
// chooser's bare name (compared without regard to case, with a backslash) and short paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "settings/settings_file.h"
#include "tests/pages/page_fixture.h"
#include "tests/support/setting_rows.h"

namespace {

namespace fs = std::filesystem;
using pagetest::kGeneral;

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

TEST(WindowsSettingsFile, FortyLinesEachEndingInCrLfThatReadBackTheSame)
{
    testsupport::InTempDir dir;
    ParameterTable defaults;
    defaults.buildDefaults();
    std::array<ParameterEntry, ParameterTable::EntryCount> values{};
    for (int i = 0; i < ParameterTable::EntryCount; ++i)
        values[static_cast<size_t>(i)] = defaults.entries()[i];
    values[RowOf("WIDTH")].value.intValue = 1280;
    ASSERT_TRUE(writeSettingsValues("terrain.ini", values));
    const std::string text = testsupport::ReadFile("terrain.ini");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 40);
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_EQ(text[at - 1], '\r') << "line ending at " << at;
    EXPECT_NE(text.find("\r\nWIDTH = 1280\r\n"), std::string::npos);

    ParameterTable reread;
    EXPECT_TRUE(reread.load("terrain.ini"));
    for (int i = 0; i < ParameterTable::EntryCount; ++i) {
        const ParameterEntry& a = reread.entries()[i];
        const ParameterEntry& b = values[static_cast<size_t>(i)];
        if (a.type == ParameterType::String)
            EXPECT_STREQ(a.value.stringValue, b.value.stringValue) << i;
        else
            EXPECT_EQ(a.value.intValue, b.value.intValue) << i; // the same 32 bits
    }
    reread.release();
    defaults.release();
}

class WindowsChooser : public pagetest::PageFixture {
protected:
    std::string Choose(const std::string& answer)
    {
        std::string written;
        backend.fileAnswers.push_back(answer);
        Run([&written](fw::headless::Driver& d) {
            d.Click(IDC_GENERAL_BROWSE);
            written = d.Text(IDC_GENERAL_MAP_NAME);
        });
        return written;
    }
};

TEST_F(WindowsChooser, AFileHereIsItsBareNameWhateverTheCaseOfTheDialogsPath)
{
    Load();
    testsupport::WriteBitmap("HereMap.bmp", 257, 257, 8);
    const std::string path = Upper(fs::current_path().string()) + "\\HereMap.bmp";
    EXPECT_EQ(Choose(path), "HereMap.bmp");
    EXPECT_EQ(general.m_mapName, "257x257.bmp"); // the field takes it only by the exchange
}

TEST_F(WindowsChooser, AFileElsewhereIsItsShortFullPath)
{
    Load();
    fs::create_directory("a folder with spaces");
    testsupport::WriteBitmap("a folder with spaces/below the current folder.bmp", 257, 257, 8);
    const fs::path file = fs::current_path() / "a folder with spaces" / "below the current folder.bmp";
    const std::string written = Choose(file.string());
    // Wine hashes its short names: only what the name finds is checked, and its form.
    EXPECT_EQ(written.find(' '), std::string::npos) << written;
    EXPECT_EQ(written.substr(1, 2), ":\\") << written;
    EXPECT_TRUE(fs::equivalent(written, file)) << written;
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WindowsChooser, AFileInASubfolderIsAFullPathNeverARelativeOne)
{
    Load();
    fs::create_directory("sub");
    testsupport::WriteBitmap("sub/map.bmp", 257, 257, 8);
    const std::string written = Choose((fs::current_path() / "sub" / "map.bmp").string());
    EXPECT_NE(written, "map.bmp");
    EXPECT_NE(written.rfind("sub", 0), 0u) << written;
    EXPECT_TRUE(fs::equivalent(written, fs::current_path() / "sub" / "map.bmp")) << written;
}

} // namespace
