// The programs in tools/, run as the build and the demo run them: rc2cpp and grid2bmp on
// good and broken input, the stand-in engine's record, the sample data, the demo script.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/res/run_program.h"

namespace {

namespace fs = std::filesystem;
using restest::RunProgram;
using restest::Slurp;
using restest::TempDir;
using restest::WriteText;

// ---------------------------------------------------------------------------------------
// rc2cpp and grid2bmp

TEST(ResRc2Cpp, BrokenScriptFailsWithFileAndLineAndWritesNothing)
{
    TempDir dir;
    WriteText(dir / "ids.h", "#define IDD_X 5\n");
    WriteText(dir / "bad.rc",
              "#include \"ids.h\"\nIDD_X DIALOGEX 0, 0, 10, 10\nSTYLE WS_CHILD | WS_WOBBLY\nBEGIN\nEND\n");
    const auto out = dir / "out.cpp";
    const auto r = RunProgram({RC2CPP, (dir / "bad.rc").string(), out.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err.rfind((dir / "bad.rc").string() + ":3: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("WS_WOBBLY"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST(ResRc2Cpp, GoodScriptGivesOneTableEntryPerDialogAndBitmap)
{
    TempDir dir;
    fs::copy_file(SANDREL_SOURCE_DIR "/res/fallback_1007.bmp", dir / "pic.bmp");
    WriteText(dir / "ok.rc", "1 DIALOGEX 0,0,1,1\nCAPTION \"a \"\"quoted\"\" \\\\ one\"\nBEGIN\n"
                             "  LTEXT \"?\?=\",-1,1,2,3,4\nEND\n2 DIALOG 0,0,1,1\nBEGIN\nEND\n"
                             "3 BITMAP \"pic.bmp\"\n");
    const auto out = dir / "out.cpp";
    const auto r = RunProgram({RC2CPP, (dir / "ok.rc").string(), out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string code = Slurp(out);
    EXPECT_NE(code.find(R"({1, "a \"quoted\" \\ one", 1, 1,)"), std::string::npos) << code;
    EXPECT_NE(code.find(R"({2, "", 1, 1, "", 0,)"), std::string::npos) << code;
    EXPECT_NE(code.find("case 3: return kBitmap3;"), std::string::npos) << code;
    // No trigraph can form in the generated text.
    EXPECT_EQ(code.find("?\?="), std::string::npos);
}

TEST(ResGrid2Bmp, TheCheckedInFallbackBitmapIsMadeFromItsGrid)
{
    TempDir dir;
    const auto out = dir / "fallback.bmp";
    const auto r = RunProgram({GRID2BMP, SANDREL_SOURCE_DIR "/res/fallback_1007.txt", out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string made = Slurp(out);
    EXPECT_EQ(made.size(), 14u + 1256u);
    EXPECT_TRUE(made == Slurp(SANDREL_SOURCE_DIR "/res/fallback_1007.bmp"))
        << "res/fallback_1007.bmp is out of date: run grid2bmp res/fallback_1007.txt res/fallback_1007.bmp";
}

TEST(ResGrid2Bmp, RefusesARaggedGridNamingTheLine)
{
    TempDir dir;
    WriteText(dir / "grid.txt", "#..#\n.##.\n.#.\n");
    const auto r = RunProgram({GRID2BMP, (dir / "grid.txt").string(), (dir / "out.bmp").string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("grid.txt:3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.bmp"));
}

// ---------------------------------------------------------------------------------------
// The stand-in engine

struct Record {
    std::string header, cwd, argc;
    std::vector<std::string> argv;
    std::vector<std::string> bitmaps; // "MAP_NAME=<name>: opens", ...
    std::string ini;                  // "missing" or the file's bytes
};

Record ParseRecord(const std::string& text)
{
    Record rec;
    std::size_t pos = 0;
    auto line = [&]() {
        const auto end = text.find('\n', pos);
        std::string l = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        return l;
    };
    rec.header = line();
    rec.cwd = line();
    rec.argc = line();
    for (std::string l = line(); !l.empty(); l = line()) {
        if (l.rfind("argv[", 0) == 0) {
            rec.argv.push_back(l.substr(l.find("]=") + 2));
            continue;
        }
        if (l.rfind("bitmap ", 0) == 0) {
            rec.bitmaps.push_back(l.substr(7));
            continue;
        }
        if (l == "terrain.ini=missing") {
            rec.ini = "missing";
        } else {
            const std::size_t n = std::stoul(l.substr(std::string("terrain.ini=").size()));
            rec.ini = text.substr(pos, n);
            EXPECT_EQ(pos + n, text.size()) << "bytes after the copy of terrain.ini";
        }
        break;
    }
    return rec;
}

TEST(ResStandin, RecordsDirectoryArgumentsAndAnExactCopyOfTerrainIni)
{
    TempDir dir;
    const std::string ini =
        "FULLSCREEN=0\r\nMAP_NAME=257x257.bmp\nTEXTURE_NAME = G.bmp\r\nMAP_NAME = m ap.bmp\n\nno newline at the end";
    WriteText(dir / "map.bmp", "BM");
    WriteText(dir / "terrain.ini", ini);
    const auto r = RunProgram({QUELLMARK_EXE, "two words", "", "--x=1"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Record rec = ParseRecord(Slurp(dir / "quellmark-run.log"));
    EXPECT_EQ(rec.header, "quellmark-standin 2");
    EXPECT_EQ(rec.cwd, "cwd=" + fs::canonical(dir.path()).string());
    EXPECT_EQ(rec.argc, "argc=4");
    EXPECT_EQ(rec.argv, (std::vector<std::string>{"two words", "", "--x=1"}));
    EXPECT_EQ(rec.bitmaps, (std::vector<std::string>{"MAP_NAME=map.bmp: opens", "TEXTURE_NAME=G.bmp: fails 2"}))
        << "the engine's reading: spaces gone, the last line wins";
    EXPECT_EQ(rec.ini, ini);
}

TEST(ResStandin, WithoutArgumentsOrIniItSaysSoAndLeavesOnlyItsRecord)
{
    TempDir dir;
    const auto r = RunProgram({QUELLMARK_EXE}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Record rec = ParseRecord(Slurp(dir / "quellmark-run.log"));
    EXPECT_EQ(rec.argc, "argc=1");
    EXPECT_TRUE(rec.argv.empty());
    EXPECT_EQ(rec.ini, "missing");
    // The record is written under another name and renamed: nothing else is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ResStandin, WritesWhereTheEnvironmentSaysAndFailsLoudlyWhenItCannot)
{
    TempDir dir;
    fs::create_directory(dir / "work");
    const auto log = dir / "elsewhere.log";
    auto r = RunProgram({QUELLMARK_EXE}, dir / "work", {{"QUELLMARK_STANDIN_LOG", log.string()}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ParseRecord(Slurp(log)).cwd, "cwd=" + fs::canonical(dir / "work").string());
    EXPECT_FALSE(fs::exists(dir / "work" / "quellmark-run.log"));

    r = RunProgram({QUELLMARK_EXE}, dir / "work",
                   {{"QUELLMARK_STANDIN_LOG", (dir / "no" / "such" / "dir.log").string()}});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

// ---------------------------------------------------------------------------------------
// Sample data

std::uint32_t Le32(const std::string& b, std::size_t at)
{
    auto u = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])); };
    return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}
unsigned Le16(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
}

class ResSampleData : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto r = RunProgram({MAKE_SAMPLE_DATA, (dir / "demo").string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        map = Slurp(dir / "demo" / "257x257.bmp");
        texture = Slurp(dir / "demo" / "G.bmp");
    }
    TempDir dir;
    std::string map, texture;
};

TEST_F(ResSampleData, HeightMapIsAn8BitGreyscaleSquareOf257)
{
    const std::size_t stride = 260, pixels = 14 + 40 + 1024;
    ASSERT_EQ(map.size(), pixels + stride * 257);
    EXPECT_EQ(map.substr(0, 2), "BM");
    EXPECT_EQ(Le32(map, 2), map.size());
    EXPECT_EQ(Le32(map, 10), pixels);
    EXPECT_EQ(Le32(map, 18), 257u);
    EXPECT_EQ(Le32(map, 22), 257u);
    EXPECT_EQ(Le16(map, 28), 8u);
    EXPECT_EQ(Le32(map, 30), 0u);
    for (std::uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(Le32(map, 54 + i * 4), i | i << 8 | i << 16) << "palette entry " << i;
}

TEST_F(ResSampleData, TextureIsA24BitPowerOfTwoSquare)
{
    ASSERT_EQ(texture.size(), 54u + 512u * 512u * 3u);
    EXPECT_EQ(Le32(texture, 10), 54u);
    EXPECT_EQ(Le32(texture, 18), 512u);
    EXPECT_EQ(Le32(texture, 22), 512u);
    EXPECT_EQ(Le16(texture, 28), 24u);
}

TEST_F(ResSampleData, TerrainUsesTheWholeRangeAndIsSmoothLocally)
{
    auto height = [&](std::size_t x, std::size_t y) {
        return static_cast<int>(static_cast<unsigned char>(map[1078 + y * 260 + x]));
    };
    int lo = 255, hi = 0;
    double neighbourDiff = 0;
    for (std::size_t y = 0; y < 257; ++y) {
        for (std::size_t x = 0; x < 257; ++x) {
            lo = std::min(lo, height(x, y));
            hi = std::max(hi, height(x, y));
            if (x > 0)
                neighbourDiff += std::abs(height(x, y) - height(x - 1, y));
        }
    }
    EXPECT_LE(lo, 5);
    EXPECT_GE(hi, 250);
    // Relief, not noise: neighbours differ by a few steps on average.
    EXPECT_LT(neighbourDiff / (256.0 * 257.0), 6.0);
    EXPECT_GT(neighbourDiff / (256.0 * 257.0), 0.3);
}

TEST_F(ResSampleData, TextureShowsWaterGrassRockAndSnow)
{
    int water = 0, grass = 0, grey = 0, snow = 0;
    for (std::size_t p = 54; p + 2 < texture.size(); p += 3) {
        const int b = static_cast<unsigned char>(texture[p]), g = static_cast<unsigned char>(texture[p + 1]),
                  r = static_cast<unsigned char>(texture[p + 2]);
        water += b > r + 40 && b > g;
        grass += g > r + 25 && g > b + 25;
        grey += std::abs(r - g) < 20 && std::abs(g - b) < 25 && r > 60 && r < 200;
        snow += r > 215 && g > 215 && b > 215;
    }
    const int total = 512 * 512;
    EXPECT_GT(water, total / 50);
    EXPECT_GT(grass, total / 5);
    EXPECT_GT(grey, total / 50);
    EXPECT_GT(snow, total / 1000);
}

TEST_F(ResSampleData, EveryRunWritesTheSameFiles)
{
    const auto r = RunProgram({MAKE_SAMPLE_DATA, (dir / "again").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Slurp(dir / "again" / "257x257.bmp") == map);
    EXPECT_TRUE(Slurp(dir / "again" / "G.bmp") == texture);
}

// ---------------------------------------------------------------------------------------
// The demo folder

TEST(ResDemo, FillsTheFolderAndLeavesAnExistingTerrainIniAlone)
{
    TempDir dir;
    const auto demo = dir / "demo";
    fs::create_directory(demo);
    WriteText(demo / "terrain.ini", "WIDTH=1024\n");
    const auto r =
        RunProgram({"/bin/bash", SANDREL_SOURCE_DIR "/scripts/make-demo.sh", demo.string()}, {},
                   {{"SANDREL_BIN_DIR", fs::path(QUELLMARK_EXE).parent_path().string()}, {"SANDREL_CHM", SANDREL_CHM}});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    for (const char* name : {"Quellmark.exe", "257x257.bmp", "G.bmp", "Sandrel.chm"})
        EXPECT_TRUE(fs::is_regular_file(demo / name)) << name;
    EXPECT_TRUE(access((demo / "Quellmark.exe").c_str(), X_OK) == 0);
    EXPECT_EQ(Slurp(demo / "terrain.ini"), "WIDTH=1024\n");
    EXPECT_TRUE(Slurp(demo / "Sandrel.chm") == Slurp(SANDREL_CHM));
}

TEST(ResDemo, SaysWhatIsMissingWhenNothingWasBuilt)
{
    TempDir dir;
    const auto r = RunProgram({"/bin/bash", SANDREL_SOURCE_DIR "/scripts/make-demo.sh", (dir / "demo").string()}, {},
                              {{"SANDREL_BIN_DIR", (dir / "nothing").string()}, {"SANDREL_CHM", SANDREL_CHM}});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Quellmark.exe"), std::string::npos) << r.err;
}

} // namespace
