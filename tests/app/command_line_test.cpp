// The Linux program's command line as the program answers it: the settings check of a file in
// another folder, and the usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/settings_check.h"
#include "framework/core/program_names.h"
#include "tests/support/bmp_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_engine.h"

using testsupport::InTempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

std::optional<int> Answer(std::vector<std::string> args, std::string& out)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    testing::internal::CaptureStdout();
    const std::optional<int> status = AnswerCommandLine(static_cast<int>(argv.size()), argv.data());
    out = testing::internal::GetCapturedStdout();
    return status;
}

} // namespace

// `sandrel --check=FILE` from another folder looks names up in FILE's folder, as the launcher
// started there would, and says what the launcher would write otherwise than the file does.
TEST(CommandLine, CheckLooksBesideTheFileAndSaysWhatTheLauncherWouldWrite)
{
    InTempDir dir;
    fs::create_directory("engine");
    testsupport::WriteBitmap("nosuch.bmp", 257, 257, 8); // here, not beside the file
    testsupport::WriteBitmap("engine/mytex.bmp", 256, 16, 24);
    WriteFile("engine/terrain.ini", "\xEF\xBB\xBF"
                                    "FULLSCREEN = 2\n"
                                    "MAP_NAME = nosuch.bmp\n"
                                    "TEXTURE_NAME = my tex.bmp\n"
                                    "TEXTURE_EDGE_LEN = 5000\n"
                                    "WIDTH = 1024\n"
                                    "N\xC3\xA9 = 1\n");
    std::string out;
    EXPECT_EQ(Answer({"sandrel", "--check=engine/terrain.ini"}, out), CheckProblems);
    EXPECT_EQ(out, "engine/terrain.ini:1: FULLSCREEN = 2: the launcher writes FULLSCREEN = 1\n"
                   "engine/terrain.ini:2: MAP_NAME = nosuch.bmp: file not found\n"
                   "engine/terrain.ini:3: TEXTURE_NAME = my tex.bmp: terrain.ini can't hold a name with a space; "
                   "the launcher writes TEXTURE_NAME = mytex.bmp\n"
                   "engine/terrain.ini:4: TEXTURE_EDGE_LEN = 5000: the launcher writes TEXTURE_EDGE_LEN = 2048.000000\n"
                   "engine/terrain.ini:6: N\\xc3\\xa9 = 1: unknown parameter type encountered\n");
    EXPECT_EQ(fs::current_path(), dir.Path()) << "the check leaves the current folder as it was";

    // A bare name is looked up from here: the same file, found whole.
    fs::current_path("engine");
    EXPECT_EQ(Answer({"sandrel", "--check", "terrain.ini"}, out), CheckProblems);
    EXPECT_NE(out.find("terrain.ini:2: MAP_NAME = nosuch.bmp: file not found\n"), std::string::npos) << out;
    fs::current_path(dir.Path());

    // Beside a Windows engine, names are looked up as Wine opens them.
    WriteFile("engine/Quellmark.exe", testsupport::WindowsProgramBytes(0x8664));
    testsupport::ScopedEnv prefix("WINEPREFIX", (dir.Path() / "pfx").c_str());
    testsupport::ScopedEnv locale("LC_ALL", "C.UTF-8");
    WriteFile("engine/terrain.ini", "MAP_NAME = ..\\NOSUCH.BMP\nTEXTURE_NAME = Q:\\mytex.bmp\n");
    EXPECT_EQ(Answer({"sandrel", "--check=engine/terrain.ini"}, out), CheckProblems);
    EXPECT_EQ(out, "engine/terrain.ini:2: TEXTURE_NAME = Q:\\mytex.bmp: file not found: Wine has no drive Q:\n");
    fw::UseFileNamesOf(nullptr);

    EXPECT_EQ(Answer({"sandrel", "-h"}, out), 0);
    EXPECT_EQ(out.rfind("Usage: sandrel [--help | --version | --check [FILE]]\n", 0), 0u) << out;
}
