// System services on Windows: the engine started by bare name from the current directory and
// never from the search path, the current directory and short names as the chooser uses them,
// and help handed to the backend.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "framework/core/system.h"
#include "framework/headless/headless.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::InTempDir;

bool WaitFor(const fs::path& file)
{
    for (int i = 0; i < 500 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(file);
}

BOOL StartEngine()
{
    fw::STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    fw::PROCESS_INFORMATION info{};
    return fw::CreateProcessA("Quellmark.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
}

TEST(WindowsSystem, TheEngineStartsByBareNameFromTheCurrentDirectory)
{
    InTempDir dir;
    fs::copy_file(SANDREL_STANDIN_ENGINE, "Quellmark.exe");
    testsupport::WriteFile("terrain.ini", "WIDTH = 1024\r\n");
    ASSERT_TRUE(StartEngine());
    ASSERT_TRUE(WaitFor("quellmark-run.log"));
    const std::string record = testsupport::ReadFile("quellmark-run.log");
    EXPECT_NE(record.find("argc=1\n"), std::string::npos) << record;
    EXPECT_NE(record.find("terrain.ini=14 bytes\nWIDTH = 1024\r\n"), std::string::npos) << record;
}

TEST(WindowsSystem, AnEngineOnlyOnTheSearchPathIsNotStarted)
{
    InTempDir dir;
    fs::create_directory("bin");
    fs::copy_file(SANDREL_STANDIN_ENGINE, "bin/Quellmark.exe");
    const std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::string bin = fs::absolute("bin").string();
    _putenv_s("PATH", (bin + ";" + oldPath).c_str());
    const BOOL started = StartEngine();
    _putenv_s("PATH", oldPath.c_str());
    EXPECT_FALSE(started);
    EXPECT_FALSE(fs::exists("quellmark-run.log"));
    EXPECT_FALSE(fs::exists("bin/quellmark-run.log"));
}

TEST(WindowsSystem, AFileThatIsNoProgramIsNotStarted)
{
    InTempDir dir;
    testsupport::WriteFile("Quellmark.exe", "not a program");
    EXPECT_FALSE(StartEngine());
}

TEST(WindowsSystem, CurrentDirectoryFitsOrReportsTheSizeItNeeds)
{
    InTempDir dir;
    char buffer[260] = {};
    const DWORD length = fw::GetCurrentDirectoryA(sizeof buffer, buffer);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(fs::path(buffer), fs::current_path());
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(fw::GetCurrentDirectoryA(sizeof small, small), length + 1);
}

TEST(WindowsSystem, ShortNamesFindTheSameFileAndMissingFilesHaveNone)
{
    InTempDir dir;
    fs::create_directory("a folder with a long name");
    const fs::path file = fs::absolute("a folder with a long name/a picture with spaces.bmp");
    testsupport::WriteFile(file, "BM");
    char buffer[256] = {};
    const DWORD length = fw::GetShortPathNameA(file.string().c_str(), buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof buffer);
    // The short form's spelling is the file system's own (hashed under Wine): only what it
    // finds is checked, and that it has no spaces left.
    const std::string shortPath(buffer, length);
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_TRUE(fs::equivalent(shortPath, file)) << shortPath;
    EXPECT_EQ(fw::GetShortPathNameA((dir.Path() / "missing.bmp").string().c_str(), buffer, sizeof buffer), 0u);
}

TEST(WindowsSystem, HelpGoesToTheBackendAsFileAndTopic)
{
    fw::headless::HeadlessBackend backend;
    fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0);
    ASSERT_EQ(backend.helpRequests.size(), 1u);
    EXPECT_EQ(backend.helpRequests[0].file, "Sandrel.chm");
    EXPECT_EQ(backend.helpRequests[0].topic, "welcome.htm");
}

} // namespace
