// The crash-safe save on Windows: a whole new file moved over the old one, write protection
// respected, nothing left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/detail/safe_save.h"

namespace {

using settings::detail::saveFile;
namespace fs = std::filesystem;

// A fresh folder under the temporary folder (windows.h and the layer's test helpers do not
// mix, so this one is made here).
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (fs::temp_directory_path() / "sandrel-save-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return m_path; }
    std::string file(const char* name) const { return (m_path / name).string(); }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_path))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    fs::path m_path;
};

std::string Read(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[512];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

void Write(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

TEST(WindowsSave, CreatesAndReplacesWholeFilesLeavingNoTemporaryFile)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    ASSERT_TRUE(saveFile(path.c_str(), "first\r\nversion\r\n"));
    EXPECT_EQ(Read(path), "first\r\nversion\r\n");
    ASSERT_TRUE(saveFile(path.c_str(), "2\r\n"));
    EXPECT_EQ(Read(path), "2\r\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"terrain.ini"});
}

TEST(WindowsSave, BackslashedAndRelativeNamesAreWrittenBesideTheirFolder)
{
    ScratchDir dir;
    std::string backslashed = dir.path().string();
    for (char& c : backslashed)
        if (c == '/')
            c = '\\';
    backslashed += "\\terrain.ini";
    ASSERT_TRUE(saveFile(backslashed.c_str(), "x\r\n"));
    EXPECT_EQ(Read(dir.file("terrain.ini")), "x\r\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"terrain.ini"});
}

TEST(WindowsSave, ReadOnlyFilesAreRefusedAndKept)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    Write(path, "protected\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(saveFile(path.c_str(), "new\r\n"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read(path), "protected\r\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"terrain.ini"});
}

TEST(WindowsSave, FoldersAndMissingFoldersAreRefused)
{
    ScratchDir dir;
    EXPECT_FALSE(saveFile(dir.path().string().c_str(), "x"));
    EXPECT_FALSE(saveFile(dir.file("missing\\terrain.ini").c_str(), "x"));
    EXPECT_FALSE(saveFile("", "x"));
    EXPECT_FALSE(saveFile(nullptr, "x"));
    EXPECT_TRUE(dir.names().empty());
}

TEST(WindowsSave, TheFormerFilesAttributesStay)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    Write(path, "old\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(saveFile(path.c_str(), "new\r\n"));
    EXPECT_EQ(Read(path), "new\r\n");
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
