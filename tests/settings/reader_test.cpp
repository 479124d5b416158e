// The reader beyond the grammar cases: huge lines, buffer seams, read errors, the user's locale.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/parameter_table.h"
#include "settings_test_support.h"

namespace {

using settings_test::bitsOf;
using settings_test::MessageLog;
using settings_test::ScratchDir;
using settings_test::writeBytes;

struct Loaded {
    ParameterTable table;
    std::vector<std::string> messages;
    bool result = false;
};

void loadText(Loaded& loaded, const std::string& bytes)
{
    ScratchDir dir;
    writeBytes(dir.file("terrain.ini"), bytes);
    MessageLog log;
    loaded.result = loaded.table.load(dir.file("terrain.ini").c_str());
    loaded.messages = log.texts;
}

// A value as long as any usable file name arrives whole; a longer line is skipped whole, so
// that neither a cut value nor a line's memory reaches the table.
TEST(SettingsReader, LinesUpToTheBoundArriveWholeLongerOnesAreSkippedWhole)
{
    const std::string name(100000, 'n');
    Loaded loaded;
    loadText(loaded, "CULL_SWITCH = " + name + "\r\nMAP_NAME = a.bmp\nMAP_NAME = " + std::string(1 << 20, 'm') +
                         "\r\nWIDTH = 5\n");
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(std::string(loaded.table.valueAt(RowOf("CULL_SWITCH")).stringValue), name);
    EXPECT_STREQ(loaded.table.valueAt(RowOf("MAP_NAME")).stringValue, "a.bmp");
    EXPECT_EQ(loaded.table.valueAt(RowOf("WIDTH")).intValue, 5);
    EXPECT_TRUE(loaded.messages.empty());
}

// Every message is a box to close: a file of thousands of bad lines must not keep the sheet away.
TEST(SettingsReader, AtMostTenMessagesPerReading)
{
    std::string lines;
    for (int i = 0; i < 1000; ++i)
        lines += "UNKNOWN = " + std::to_string(i) + "\n";
    Loaded loaded;
    loadText(loaded, lines + "WIDTH = 5\n");
    EXPECT_EQ(loaded.messages, std::vector<std::string>(10, "unknown parameter type encountered"));
    EXPECT_EQ(loaded.table.valueAt(RowOf("WIDTH")).intValue, 5);
}

// Deleting each space by shifting the rest of the line would take minutes here.
TEST(SettingsReader, ALineFullOfSpacesIsReadInOnePass)
{
    Loaded loaded;
    loadText(loaded, std::string(100000, ' ') + "WIDTH" + std::string(20000, ' ') + "= 7\n");
    EXPECT_EQ(loaded.table.valueAt(RowOf("WIDTH")).intValue, 7);
    EXPECT_TRUE(loaded.messages.empty());
}

// Loads path in a child process, which is killed if it blocks; reports whether the table holds
// the expected values and the child's peak memory in KiB.
struct ChildLoad {
    bool finished = false;
    bool expected = false;
    long peakKiB = 0;
};

ChildLoad loadInChild(const std::string& path, int width, const char* mapName, const char* textureName)
{
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(20);
        ParameterTable table;
        table.load(path.c_str());
        const bool expected = table.valueAt(RowOf("WIDTH")).intValue == width &&
                              std::strcmp(table.valueAt(RowOf("MAP_NAME")).stringValue, mapName) == 0 &&
                              std::strcmp(table.valueAt(RowOf("TEXTURE_NAME")).stringValue, textureName) == 0;
        _exit(expected ? 0 : 1);
    }
    ChildLoad result;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.finished = WIFEXITED(status);
    result.expected = result.finished && WEXITSTATUS(status) == 0;
    result.peakKiB = usage.ru_maxrss;
    return result;
}

// Bytes up front, then a hole up to size: a big file that costs the disk almost nothing. Past
// the text the reader meets NULs, which end a line's text but not the line.
void writeSparse(const std::string& path, const std::string& bytes, off_t size)
{
    writeBytes(path, bytes);
    ASSERT_EQ(truncate(path.c_str(), size), 0);
}

// Inputs that once hung the launcher or took gigabytes: each loads at once, keeps what it can
// use, and costs at most 16 MiB more than an ordinary file.
TEST(SettingsReader, HostileFilesLoadAtOnceWithinBoundedMemory)
{
    ScratchDir dir;
    const std::string line(1 << 20, 'n');
    writeBytes(dir.file("normal.ini"), settings_test::sampleSettingsText(0));
    ASSERT_EQ(mkfifo(dir.file("fifo.ini").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.file("zero.ini").c_str()), 0);
    writeSparse(dir.file("map.ini"), "WIDTH = 5\nMAP_NAME = " + line, off_t{300} << 20);
    writeSparse(dir.file("texture.ini"), "WIDTH = 5\r\nTEXTURE_NAME = " + line, off_t{300} << 20);
    writeSparse(dir.file("no_line_end.ini"), line, off_t{1} << 30);

    const ChildLoad normal = loadInChild(dir.file("normal.ini"), 640, "map0.bmp", "G.bmp");
    const int defaultWidth = DefaultsOf("WIDTH").intDefault;
    ASSERT_TRUE(normal.expected);
    const struct {
        const char* name;
        int width;
    } cases[] = {{"fifo.ini", defaultWidth},
                 {"zero.ini", defaultWidth},
                 {"map.ini", 5},
                 {"texture.ini", 5},
                 {"no_line_end.ini", defaultWidth}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ChildLoad loaded = loadInChild(dir.file(c.name), c.width, "257x257.bmp", "G.bmp");
        EXPECT_TRUE(loaded.finished) << "blocked or crashed";
        EXPECT_TRUE(loaded.expected);
        EXPECT_LE(loaded.peakKiB - normal.peakKiB, 16 * 1024);
    }
}

// The reader takes the file in blocks; a CR LF or a NUL split across two blocks must read as
// if it were not.
TEST(SettingsReader, LineEndsAndNulsSplitAcrossReadBlocksStillCount)
{
    for (std::size_t block : {4096u, 8192u, 16384u, 65536u}) {
        SCOPED_TRACE(block);
        const std::string key = "MAP_NAME = ";
        const std::string name(block - key.size() - 1, 'm');
        Loaded crlf;
        loadText(crlf, key + name + "\r\nWIDTH = 9\n");
        EXPECT_EQ(std::string(crlf.table.valueAt(RowOf("MAP_NAME")).stringValue), name);
        EXPECT_EQ(crlf.table.valueAt(RowOf("WIDTH")).intValue, 9);

        Loaded nul;
        loadText(nul, key + name + std::string(1, '\0') + "=tail\r\nHEIGHT = 9");
        EXPECT_EQ(std::string(nul.table.valueAt(RowOf("MAP_NAME")).stringValue), name);
        EXPECT_EQ(nul.table.valueAt(RowOf("HEIGHT")).intValue, 9);
    }
}

// A stream that yields its text and then fails, as a disk that goes away would.
struct FailingSource {
    std::string text;
    std::size_t offset = 0;
};

ssize_t readThenFail(void* cookie, char* buffer, size_t size)
{
    auto* source = static_cast<FailingSource*>(cookie);
    if (source->offset == source->text.size()) {
        errno = EIO;
        return -1;
    }
    const std::size_t count = std::min(size, source->text.size() - source->offset);
    std::memcpy(buffer, source->text.data() + source->offset, count);
    source->offset += count;
    return static_cast<ssize_t>(count);
}

TEST(SettingsReader, AReadErrorEndsReadingAndDropsTheInterruptedLine)
{
    FailingSource source{"WIDTH = 1024\nMAP_NAME = x.bmp\nHEIGHT = 7", 0};
    cookie_io_functions_t functions{};
    functions.read = readThenFail;
    std::FILE* stream = fopencookie(&source, "r", functions);
    ASSERT_NE(stream, nullptr);
    ParameterTable table;
    table.buildDefaults();
    MessageLog log;
    table.readFrom(stream);
    std::fclose(stream);
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, 1024);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, "x.bmp");
    EXPECT_EQ(table.valueAt(RowOf("HEIGHT")).intValue, 600);
    EXPECT_TRUE(log.texts.empty());
}

TEST(SettingsReader, AFolderInPlaceOfTheFileLeavesTheDefaults)
{
    ScratchDir dir;
    ParameterTable table;
    MessageLog log;
    EXPECT_TRUE(table.load(dir.path().c_str()));
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, DefaultsOf("WIDTH").intDefault);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_FALSE(table.load(nullptr));
    EXPECT_EQ(table.count(), 38);
}

TEST(SettingsReader, LoadingAgainStartsFromTheDefaults)
{
    ScratchDir dir;
    writeBytes(dir.file("a.ini"), "WIDTH = 1\nMAP_NAME = a.bmp\n");
    writeBytes(dir.file("b.ini"), "HEIGHT = 2\n");
    ParameterTable table;
    ASSERT_TRUE(table.load(dir.file("a.ini").c_str()));
    ASSERT_TRUE(table.load(dir.file("b.ini").c_str()));
    EXPECT_EQ(table.valueAt(RowOf("WIDTH")).intValue, DefaultsOf("WIDTH").intDefault);
    EXPECT_EQ(table.valueAt(RowOf("HEIGHT")).intValue, 2);
    EXPECT_STREQ(table.valueAt(RowOf("MAP_NAME")).stringValue, DefaultsOf("MAP_NAME").textDefault);
}

TEST(SettingsReader, DecimalPointIsAPointWhateverTheUserLocale)
{
    ScratchDir dir;
    settings_test::CommaDecimalLocale locale(dir);
    if (!locale.active())
        GTEST_SKIP() << "no comma-decimal locale can be made on this machine";
    Loaded loaded;
    loadText(loaded, "TRANS_SPEED = 2.5\nGLOBAL_DETAIL = 2,5\n");
    EXPECT_EQ(bitsOf(loaded.table.valueAt(RowOf("TRANS_SPEED")).floatValue), bitsOf(2.5f));
    EXPECT_EQ(bitsOf(loaded.table.valueAt(RowOf("GLOBAL_DETAIL")).floatValue), bitsOf(2.0f));
}

} // namespace
