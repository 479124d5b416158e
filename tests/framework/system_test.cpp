// System services on Linux: the engine start, the current directory, short names, help, the
// file dialog's side of the framework, and message boxes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "framework/core/filedlg.h"
#include "framework/core/system.h"
#include "framework/headless/headless.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::InTempDir;

namespace {

void WriteScript(const fs::path& path, const std::string& body, fs::perms perms = fs::perms::owner_all)
{
    std::ofstream(path) << body;
    fs::permissions(path, perms);
}

bool WaitForFile(const fs::path& path)
{
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

BOOL Start(const char* name)
{
    fw::STARTUPINFOA si{};
    si.cb = static_cast<DWORD>(sizeof si);
    fw::PROCESS_INFORMATION pi{};
    return fw::CreateProcessA(name, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
}

} // namespace

TEST(ProcessStart, StartsTheProgramInTheCurrentDirectoryWithoutArguments)
{
    InTempDir dir;
    WriteScript(dir.Path() / "Quellmark.exe",
                "#!/bin/sh\n{ pwd; echo \"$#\"; ps -o sid= -p $$; } > started.tmp && mv started.tmp started\n");
    ASSERT_TRUE(Start("Quellmark.exe"));
    ASSERT_TRUE(WaitForFile(dir.Path() / "started"));
    std::ifstream in(dir.Path() / "started");
    std::string cwd, argc, sid;
    std::getline(in, cwd);
    std::getline(in, argc);
    std::getline(in, sid);
    EXPECT_EQ(fs::path(cwd), dir.Path());
    EXPECT_EQ(argc, "0");
    EXPECT_NE(std::stoi(sid), getsid(0)) << "the engine runs detached, in a session of its own";
}

TEST(ProcessStart, FailedStartsAreReported)
{
    InTempDir dir;
    EXPECT_FALSE(Start("Quellmark.exe")) << "missing";
    WriteScript(dir.Path() / "Quellmark.exe", "#!/bin/sh\ntouch ran\n", fs::perms::owner_read | fs::perms::owner_write);
    if (geteuid() != 0) {
        EXPECT_FALSE(Start("Quellmark.exe")) << "not executable";
    }
    fs::remove(dir.Path() / "Quellmark.exe");
    WriteScript(dir.Path() / "Quellmark.exe", "this is not a program\n");
    EXPECT_FALSE(Start("Quellmark.exe")) << "not a program";
    fs::remove(dir.Path() / "Quellmark.exe");
    fs::create_directory(dir.Path() / "Quellmark.exe");
    EXPECT_FALSE(Start("Quellmark.exe")) << "a directory of that name";
    EXPECT_FALSE(Start(""));
}

TEST(ProcessStart, NotExecutableIsReportedEvenForRoot)
{
    // Root may execute anything with an execute bit; without any, exec fails for root too.
    InTempDir dir;
    WriteScript(dir.Path() / "Quellmark.exe", "#!/bin/sh\ntouch ran\n", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(Start("Quellmark.exe"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(dir.Path() / "ran"));
}

TEST(ProcessStart, NeverSearchesThePath)
{
    InTempDir dir;
    fs::create_directory(dir.Path() / "bin");
    WriteScript(dir.Path() / "bin" / "Quellmark.exe", "#!/bin/sh\ntouch \"$HOME/ran-from-path\"\n");
    const std::string oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (dir.Path() / "bin").c_str(), 1);
    const BOOL started = Start("Quellmark.exe");
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_FALSE(started);
}

TEST(CurrentDirectory, ReportsTheSizeNeededWhenTheBufferIsShort)
{
    InTempDir dir;
    const std::string expected = dir.Path().string();
    char buffer[512];
    EXPECT_EQ(fw::GetCurrentDirectoryA(sizeof buffer, buffer), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    char tiny[4] = {'x', 'y', 'z', '\0'};
    EXPECT_EQ(fw::GetCurrentDirectoryA(sizeof tiny, tiny), expected.size() + 1);
    EXPECT_STREQ(tiny, "xyz") << "a short buffer is left alone";
}

TEST(ShortNames, LinuxKeepsTheFullPath)
{
    InTempDir dir;
    const std::string file = (dir.Path() / "a long name.bmp").string();
    std::ofstream(file) << "x";
    char buffer[512];
    EXPECT_EQ(fw::GetShortPathNameA(file.c_str(), buffer, sizeof buffer), file.size());
    EXPECT_EQ(std::string(buffer), file);
    char tiny[8] = "keep";
    EXPECT_EQ(fw::GetShortPathNameA(file.c_str(), tiny, sizeof tiny), file.size() + 1);
    EXPECT_STREQ(tiny, "keep");
    EXPECT_EQ(fw::GetShortPathNameA((dir.Path() / "missing.bmp").c_str(), buffer, sizeof buffer), 0u);
}

TEST(Help, TopicIsSplitFromTheFileAndShownOnlyWhenTheFileExists)
{
    InTempDir dir;
    fw::headless::HeadlessBackend backend;
    EXPECT_EQ(fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0), nullptr);
    std::ofstream("Sandrel.chm") << "x";
    EXPECT_NE(fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0), nullptr);
    ASSERT_EQ(backend.helpRequests.size(), 2u);
    EXPECT_EQ(backend.helpRequests[1].file, "Sandrel.chm");
    EXPECT_EQ(backend.helpRequests[1].topic, "welcome.htm");
    EXPECT_EQ(backend.helpShown.size(), 1u);
    backend.helpViewerAvailable = false;
    EXPECT_EQ(fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0), nullptr);
}

TEST(FileDialog, FilterNotationAndFileName)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY,
                       "Bitmaps (*.bmp)|*.bmp||");
    const auto entries = dialog.FilterEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].description, "Bitmaps (*.bmp)");
    EXPECT_EQ(entries[0].pattern, "*.bmp");
    EXPECT_FALSE(dialog.m_hasDefaultExtension);
    dialog.SetChosenPath("/home/user/maps/Map One.bmp");
    EXPECT_EQ(dialog.GetFileName(), "Map One.bmp");
    EXPECT_EQ(dialog.GetPathName(), "/home/user/maps/Map One.bmp");
}

TEST(FileDialog, AnswersComeFromTheQueueAndMissingFilesDoNotEndWithOk)
{
    InTempDir dir;
    std::ofstream("map.bmp") << "x";
    fw::headless::HeadlessBackend backend;
    backend.fileAnswers = {(dir.Path() / "map.bmp").string(), std::nullopt, (dir.Path() / "gone.bmp").string()};
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Bitmaps (*.bmp)|*.bmp||");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetFileName(), "map.bmp");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), "");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "an empty queue cancels";
    EXPECT_EQ(backend.fileDialogs.size(), 4u);
    EXPECT_EQ(backend.fileDialogs[0].flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));
}

TEST(MessageBoxes, GoToTheInstalledSinkAndBack)
{
    std::vector<std::string> seen;
    {
        fw::headless::HeadlessBackend backend;
        EXPECT_EQ(fw::MessageBoxA(nullptr, "couldn't start engine", "error", MB_SYSTEMMODAL), IDOK);
        EXPECT_EQ(AfxMessageBox("hello"), IDOK);
        ASSERT_EQ(backend.messages.size(), 2u);
        EXPECT_EQ(backend.messages[0].caption, "error");
        EXPECT_EQ(backend.messages[0].style, static_cast<UINT>(MB_SYSTEMMODAL));
        EXPECT_EQ(backend.messages[1].style, static_cast<UINT>(MB_OK));
    }
    EXPECT_EQ(fw::GetBackend(), nullptr) << "the backend uninstalls itself";
}
