// A Windows engine on Linux: told from its headers, started through Wine, and its file names
// read as Wine reads them, over a Wine prefix made in a temporary folder (no Wine runs here).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/system.h"
#include "framework/posix/code_page.h"
#include "framework/posix/wine_names.h"
#include "framework/posix/windows_program.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_engine.h"

namespace fs = std::filesystem;
using testsupport::InTempDir;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

std::string Pe(unsigned machine, unsigned characteristics = 0x0022, unsigned peOffset = 0x80, std::size_t size = 0x200)
{
    return testsupport::WindowsProgramBytes(machine, characteristics, peOffset, size);
}

fw::posix::WindowsProgram Classify(const std::string& bytes)
{
    return fw::posix::ClassifyProgram(
        [&bytes](std::uint64_t offset, std::span<unsigned char> dst) {
            if (offset > bytes.size() || bytes.size() - offset < dst.size())
                return false;
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), dst.size(), dst.begin());
            return true;
        },
        bytes.size());
}

using Env = testsupport::ScopedEnv;

void Executable(const fs::path& path, const std::string& body)
{
    fs::create_directories(path.parent_path());
    WriteFile(path, body);
    fs::permissions(path, fs::perms::owner_all);
}

std::string WaitAndRead(const fs::path& path)
{
    for (int i = 0; i < 500 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadFile(path);
}

BOOL StartEngine()
{
    fw::STARTUPINFOA si{};
    si.cb = static_cast<DWORD>(sizeof si);
    fw::PROCESS_INFORMATION pi{};
    return fw::CreateProcessA("Quellmark.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
}

// A wine that notes what it was started with, in the file $RECORD names.
constexpr const char* kRecordingWine =
    "#!/bin/sh\n"
    "{ echo \"argv=$*\"; echo \"cwd=$(pwd)\"; echo \"PWD=$PWD\";"
    " echo \"WINEPREFIX=${WINEPREFIX-unset}\"; echo \"KEPT=$KEPT\"; } > \"$RECORD.tmp\"\n"
    "mv \"$RECORD.tmp\" \"$RECORD\"\n";

} // namespace

TEST(WindowsProgram, IsToldFromItsHeadersAlone)
{
    struct Row {
        const char* what;
        std::string bytes;
        bool windows;
        unsigned machine;
    };
    const std::string elf = std::string("\x7f"
                                        "ELF\x02\x01\x01",
                                        7) +
                            std::string(120, '\0');
    const std::vector<Row> rows = {
        {"64-bit program", Pe(0x8664), true, 0x8664},
        {"32-bit program", Pe(0x014C, 0x0102), true, 0x014C},
        {"ARM64 program (refused later, with its machine)", Pe(0xAA64), true, 0xAA64},
        {"library", Pe(0x8664, 0x2022), false, 0},
        {"not an executable image", Pe(0x8664, 0x0020), false, 0},
        {"MZ alone", "MZ", false, 0},
        {"DOS program: no PE header where 0x3C points", Pe(0x8664, 0x22, 0x80).replace(0x80, 2, "NE"), false, 0},
        {"PE offset inside the DOS header", Pe(0x8664, 0x22, 0x20), false, 0},
        {"PE offset past the end", Pe(0x8664, 0x22, 0x7FFFFFF0), false, 0},
        {"cut short in the file header", Pe(0x8664).substr(0, 0x90), false, 0},
        {"ELF", elf, false, 0},
        {"script", "#!/bin/sh\necho MZ\n", false, 0},
    };
    for (const Row& row : rows) {
        const fw::posix::WindowsProgram program = Classify(row.bytes);
        EXPECT_EQ(program.isWindows, row.windows) << row.what;
        EXPECT_EQ(program.machine, row.machine) << row.what;
    }
    EXPECT_EQ(fw::posix::MachineName(0xAA64), "ARM64");

    // From a file: the bytes decide, not the name or the execute bit; a FIFO is never waited on.
    InTempDir dir;
    WriteFile("game.dat", Pe(0x8664));
    EXPECT_TRUE(fw::posix::ClassifyProgramFile("game.dat").isWindows);
    ASSERT_EQ(mkfifo("fifo.exe", 0600), 0);
    EXPECT_FALSE(fw::posix::ClassifyProgramFile("fifo.exe").isWindows);
}

TEST(WindowsProgram, StartsThroughWineWithItsFolderAndPrefix)
{
    InTempDir dir;
    const fs::path game = dir.Path() / "pfx" / "drive_c" / "Games" / "Quellmark";
    fs::create_directories(game);
    WriteFile(dir.Path() / "pfx" / "user.reg", "");
    WriteFile(game / "Quellmark.exe", Pe(0x8664)); // no execute bit: Wine runs it
    Executable(dir.Path() / "bin" / "wine", kRecordingWine);
    Executable(dir.Path() / "other" / "wine-staging", kRecordingWine);
    const fs::path record = dir.Path() / "record";
    fs::current_path(game);
    const std::string searched = (dir.Path() / "bin").string() + ":/usr/bin:/bin";
    Env path("PATH", searched.c_str());
    Env recordTo("RECORD", record.c_str());
    Env kept("KEPT", "yes");
    Env pwd("PWD", nullptr);
    const std::string exe = (game / "Quellmark.exe").string();
    const std::string staging = (dir.Path() / "other" / "wine-staging").string();

    struct Row {
        const char* what;
        const char* wine;
        const char* prefix;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"wine from PATH, the prefix the folder lies in", nullptr, nullptr,
         "argv=" + exe + "\ncwd=" + game.string() + "\nPWD=" + game.string() +
             "\nWINEPREFIX=" + (dir.Path() / "pfx").string() + "\nKEPT=yes\n"},
        {"WINEPREFIX as set", nullptr, "/elsewhere",
         "argv=" + exe + "\ncwd=" + game.string() + "\nPWD=" + game.string() + "\nWINEPREFIX=/elsewhere\nKEPT=yes\n"},
        {"WINE by path", staging.c_str(), "/p",
         "argv=" + exe + "\ncwd=" + game.string() + "\nPWD=" + game.string() + "\nWINEPREFIX=/p\nKEPT=yes\n"},
    };
    for (const Row& row : rows) {
        fs::remove(record);
        Env wine("WINE", row.wine);
        Env prefix("WINEPREFIX", row.prefix);
        ASSERT_TRUE(StartEngine()) << row.what << ": " << fw::StartFailureAdvice();
        EXPECT_EQ(WaitAndRead(record), row.expected) << row.what;
    }
    fs::current_path(dir.Path());
}

TEST(WindowsProgram, AStartWineCannotMakeSaysWhatToDo)
{
    InTempDir dir;
    // Debian's layout: the wine script in bin, its loaders in lib/wine; here only the 64-bit one.
    Executable(dir.Path() / "debian" / "bin" / "wine", "#!/bin/sh\ntouch \"$RECORD\"\n");
    Executable(dir.Path() / "debian" / "lib" / "wine" / "wine64", "#!/bin/sh\n");
    const fs::path record = dir.Path() / "record";
    Env recordTo("RECORD", record.c_str());
    Env wine("WINE", nullptr);

    struct Row {
        const char* what;
        std::string engine;
        const char* path;
        const char* wineVariable;
        std::string advice;
    };
    const std::string debianBin = (dir.Path() / "debian" / "bin").string() + ":/usr/bin:/bin";
    const std::vector<Row> rows = {
        {"no Wine", Pe(0x8664), "/nonexistent", nullptr,
         "Quellmark.exe is a Windows program; install Wine (apt install wine) or set WINE to the wine program to use"},
        {"WINE is no program", Pe(0x8664), debianBin.c_str(), "/opt/none/wine",
         "Quellmark.exe is a Windows program, but WINE=/opt/none/wine is no program to run it; set WINE to the wine "
         "program, or unset it to use wine from PATH"},
        {"a 32-bit engine, Wine without its 32-bit half", Pe(0x014C, 0x0102), debianBin.c_str(), nullptr,
         "Quellmark.exe is a 32-bit Windows program, and this Wine runs 64-bit programs only; add its 32-bit part as "
         "root: dpkg --add-architecture i386 && apt update && apt install wine32:i386"},
        {"ARM64", Pe(0xAA64), debianBin.c_str(), nullptr,
         "Quellmark.exe is a Windows program built for ARM64; Wine runs x86-64 and i386 programs only"},
    };
    for (const Row& row : rows) {
        WriteFile("Quellmark.exe", row.engine);
        Env path("PATH", row.path);
        Env chosen("WINE", row.wineVariable);
        EXPECT_FALSE(StartEngine()) << row.what;
        EXPECT_EQ(fw::StartFailureAdvice(), row.advice) << row.what;
    }
    EXPECT_FALSE(fs::exists(record)) << "nothing was started";

    // With the 32-bit loader there, and for a program that is not a Windows one, no advice.
    Executable(dir.Path() / "debian" / "lib" / "wine" / "wine", "#!/bin/sh\n");
    WriteFile("Quellmark.exe", Pe(0x014C, 0x0102));
    Env path("PATH", debianBin.c_str());
    EXPECT_TRUE(StartEngine()) << fw::StartFailureAdvice();
    WaitAndRead(record);
    EXPECT_TRUE(fs::exists(record)) << "a 32-bit engine starts where Wine has its 32-bit half";
    fs::remove("Quellmark.exe");
    EXPECT_FALSE(StartEngine());
    EXPECT_EQ(fw::StartFailureAdvice(), "") << "a missing engine has the system's reason";
}

TEST(WineNames, ReadAsWineOpensThem)
{
    InTempDir dir;
    const fs::path pfx = dir.Path() / "pfx";
    const fs::path game = pfx / "drive_c" / "Games" / "Q";
    for (const char* folder : {"maps", "Tex", "LongFolderName", "data"})
        fs::create_directories(game / folder);
    fs::create_directories(pfx / "dosdevices");
    fs::create_directories(dir.Path() / "outside" / "café");
    fs::create_directories(dir.Path() / "dee");
    for (const fs::path& file :
         {game / "maps" / "big.bmp", game / "Tex" / "G.bmp", game / "café.bmp", game / "LongFolderName" / "x.bmp",
          dir.Path() / "outside" / "café" / "far.bmp", dir.Path() / "dee" / "d.bmp"})
        WriteFile(file, "BM");
    fs::create_directory_symlink("../drive_c", pfx / "dosdevices" / "c:");
    fs::create_directory_symlink("/", pfx / "dosdevices" / "z:");
    fs::create_directory_symlink(dir.Path() / "dee", pfx / "dosdevices" / "e:");
    fs::create_directory_symlink(dir.Path() / "dee", pfx / "dosdevices" / "d:");
    fs::create_symlink("y:", pfx / "dosdevices" / "y:"); // a link to itself
    fs::create_symlink("loop", game / "loop");
    const fw::posix::WineNames names(pfx.string(), game.string());
    EXPECT_EQ(names.CurrentFolder(), "C:\\Games\\Q");

    const std::string big = (game / "maps" / "big.bmp").string();
    const std::string outside = (dir.Path() / "outside" / "café" / "far.bmp").string();
    std::string outsideDos = "Z:" + outside;
    std::replace(outsideDos.begin(), outsideDos.end(), '/', '\\');
    struct Row {
        std::string name;
        std::string path; // empty: no file
        std::string why;
    };
    const std::vector<Row> rows = {
        {"maps\\big.bmp", big, ""},
        {"MAPS\\BIG.BMP", big, ""},
        {"maps/big.bmp", big, ""},
        {"tex\\g.bmp", (game / "Tex" / "G.bmp").string(), ""},
        {"CAFÉ.BMP", (game / "café.bmp").string(), ""},
        {"..\\Q\\.\\maps\\big.bmp", big, ""},
        {"maps\\big.bmp. ", big, ""},
        {"C:maps\\big.bmp", big, ""},
        {"c:\\games\\q\\MAPS\\big.bmp", big, ""},
        {"C:\\..\\..\\Games\\Q\\maps\\big.bmp", big, ""},
        {"\\Games\\Q\\maps\\big.bmp", big, ""},
        {"D:\\d.bmp", (dir.Path() / "dee" / "d.bmp").string(), ""},
        {outsideDos, outside, ""},
        {outside, outside, ""},
        {"LONGFO~1\\x.bmp", "", ""},
        {"loop\\x.bmp", "", ""},
        {std::string(300, 'a') + ".bmp", "", ""},
        {"Q:\\x.bmp", "", "Wine has no drive Q:"},
        {"Y:\\x.bmp", "", "Wine has no drive Y:"},
        {"\\\\server\\share\\x.bmp", "", "a network or device name, not a file Wine opens"},
        {"maps\\nul.bmp", "", "a device name, not a file"},
        {"maps\\b*g.bmp", "", "a name with a character Windows does not allow in file names"},
    };
    for (const Row& row : rows) {
        std::string why;
        EXPECT_EQ(names.LocalPath(row.name, &why), row.path) << row.name;
        EXPECT_EQ(why, row.why) << row.name;
    }

    // The way back: the drive of the nearest folder, the lowest letter of two that lead there.
    EXPECT_EQ(names.DosPath(big), "C:\\Games\\Q\\maps\\big.bmp");
    EXPECT_EQ(names.DosPath((dir.Path() / "dee" / "d.bmp").string()), "D:\\d.bmp");
    EXPECT_EQ(names.DosPath(outside), outsideDos);
    // A prefix Wine has not made yet: c: is its drive_c, z: the root.
    const fw::posix::WineNames fresh((dir.Path() / "new").string(), (dir.Path() / "outside").string());
    EXPECT_EQ(fresh.DosPath(outside), outsideDos);
    EXPECT_EQ(fresh.LocalPath("C:\\x.bmp"), "");

    // Letter case folds by the Unicode table whatever the locale: under tr_TR, I is still i.
    const std::string locales = (dir.Path() / "locales").string();
    fs::create_directory(locales);
    const bool made =
        std::system(("localedef -i tr_TR -f UTF-8 '" + locales + "/tr_TR.UTF-8' >/dev/null 2>&1").c_str()) == 0;
    Env locpath("LOCPATH", made ? locales.c_str() : nullptr);
    if (std::setlocale(LC_ALL, "tr_TR.UTF-8") != nullptr) {
        EXPECT_EQ(names.LocalPath("MAPS\\BIG.BMP"), big) << "under tr_TR";
        std::setlocale(LC_ALL, "C");
    }
}

TEST(WineNames, CodePagesFollowTheLocale)
{
    struct Row {
        const char* locale;
        unsigned codePage;
    };
    for (const Row& row : std::vector<Row>{{"C", 1252},
                                           {"POSIX", 1252},
                                           {"C.UTF-8", 1252},
                                           {"en_US.UTF-8", 1252},
                                           {"de_DE@euro", 1252},
                                           {"pl_PL.UTF-8", 1250},
                                           {"ru_RU.UTF-8", 1251},
                                           {"tr_TR.UTF-8", 1254},
                                           {"ja_JP.eucJP", 932},
                                           {"zh_TW.UTF-8", 950},
                                           {"sr_RS.UTF-8@latin", 1250}})
        EXPECT_EQ(fw::posix::CodePageOfLocale(row.locale), row.codePage) << row.locale;

    using fw::posix::FromCodePage;
    using fw::posix::ToCodePage;
    EXPECT_EQ(ToCodePage("café", 1252), "caf\xE9");
    EXPECT_EQ(ToCodePage("Łódź", 1252), std::nullopt);
    EXPECT_EQ(ToCodePage("Łódź", 1250), "\xA3\xF3"
                                        "d\x9F");
    EXPECT_EQ(ToCodePage("地形", 932), "\x92\x6E\x8C\x60");
    EXPECT_EQ(ToCodePage("\xFF", 1252), std::nullopt) << "not UTF-8";
    EXPECT_EQ(FromCodePage("\x92\x6E\x8C\x60", 932), "地形");
    // The bytes 1252 leaves undefined are the C1 controls of their number, both ways, as on Windows.
    EXPECT_EQ(FromCodePage("\x81\x8D\x8F\x90\x9D", 1252), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(ToCodePage("\u0081\u009D", 1252), "\x81\x9D");
    EXPECT_EQ(FromCodePage("\x81", 932), std::nullopt) << "a lead byte alone";
}
