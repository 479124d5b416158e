// The save against the real system: an unprivileged user facing write protection, a full disk,
// and a process killed at every step of a save.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/detail/safe_save.h"
#include "settings_test_support.h"

namespace {

using settings::detail::saveFile;
using settings_test::readBytes;
using settings_test::ScratchDir;
using settings_test::writeBytes;

constexpr uid_t kNobody = 65534;
const std::string kOld = settings_test::sampleSettingsText(1);
const std::string kNew = settings_test::sampleSettingsText(2);
const std::vector<std::string> kOnlyTheFile = {"terrain.ini"};
const std::string kSkip = "skip: ";

// Runs body in a child process and returns what it reports: empty when every check passed, a
// description of the first failed one, or kSkip and a reason.
std::string inChild(const std::function<std::string()>& body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& error) {
            report = std::string("exception: ") + error.what();
        }
        const ssize_t written = write(channel[1], report.data(), report.size());
        _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string report;
    char buffer[256];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, static_cast<std::size_t>(count));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child died: " + report;
    return report;
}

#define CHILD_CHECK(condition)                                                                                         \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            return std::string("failed: ") + #condition;                                                               \
    } while (0)

// Root writes anything, so write protection is tested as the user nobody, in a folder it owns.
std::string asNobody(const ScratchDir& dir, const std::function<std::string()>& body)
{
    if (geteuid() == 0 && chown(dir.path().c_str(), kNobody, kNobody) != 0)
        return "chown failed";
    return inChild([&]() -> std::string {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                               setresuid(kNobody, kNobody, kNobody) != 0))
            return "cannot drop privileges";
        if (access(dir.path().c_str(), W_OK | X_OK) != 0)
            return kSkip + "the scratch folder is out of reach of an unprivileged user";
        return body();
    });
}

void expectReport(const std::string& report)
{
    if (report.rfind(kSkip, 0) == 0)
        GTEST_SKIP() << report.substr(kSkip.size());
    EXPECT_EQ(report, "");
}

TEST(SettingsSaveUnprivileged, AWriteProtectedFileIsRefusedAndKept)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    expectReport(asNobody(dir, [&]() -> std::string {
        writeBytes(path, kOld);
        CHILD_CHECK(chmod(path.c_str(), 0444) == 0);
        CHILD_CHECK(!saveFile(path.c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kOld);
        CHILD_CHECK(dir.names() == kOnlyTheFile);
        // Through a link the target's protection counts.
        CHILD_CHECK(symlink("terrain.ini", dir.file("link.ini").c_str()) == 0);
        CHILD_CHECK(!saveFile(dir.file("link.ini").c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kOld);
        return "";
    }));
}

TEST(SettingsSaveUnprivileged, AProtectedFolderGetsTheFileRewrittenInPlace)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    expectReport(asNobody(dir, [&]() -> std::string {
        writeBytes(path, kOld);
        CHILD_CHECK(chmod(path.c_str(), 0640) == 0);
        CHILD_CHECK(chmod(dir.path().c_str(), 0555) == 0);
        CHILD_CHECK(saveFile(path.c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kNew);
        CHILD_CHECK(dir.names() == kOnlyTheFile);
        struct stat status {};
        CHILD_CHECK(stat(path.c_str(), &status) == 0 && (status.st_mode & 07777) == 0640);
        return "";
    }));
}

TEST(SettingsSaveUnprivileged, AProtectedFolderAndFileRefuseEverything)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    expectReport(asNobody(dir, [&]() -> std::string {
        writeBytes(path, kOld);
        CHILD_CHECK(chmod(path.c_str(), 0444) == 0);
        CHILD_CHECK(chmod(dir.path().c_str(), 0555) == 0);
        CHILD_CHECK(!saveFile(path.c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kOld);
        CHILD_CHECK(!saveFile(dir.file("other.ini").c_str(), kNew));
        CHILD_CHECK(dir.names() == kOnlyTheFile);
        return "";
    }));
}

// A tmpfs of two pages in a mount namespace of the child's own: one page for the old file, one
// for a filler, none for the new file.
TEST(SettingsSaveFullDisk, KeepsTheOldFileAndSaysSo)
{
    ScratchDir dir;
    expectReport(inChild([&]() -> std::string {
        if (unshare(CLONE_NEWNS) != 0)
            return kSkip + "no private mount namespace here (" + std::strerror(errno) + ")";
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=8k,mode=0700") != 0)
            return kSkip + "cannot mount a tmpfs (" + std::strerror(errno) + ")";
        const std::string path = dir.file("terrain.ini");
        writeBytes(path, kOld);
        CHILD_CHECK(readBytes(path) == kOld);
        {
            std::ofstream filler(dir.file("filler"), std::ios::binary);
            const std::string block(4096, 'f');
            for (int i = 0; i < 8 && filler; ++i)
                filler.write(block.data(), static_cast<std::streamsize>(block.size())).flush();
        }
        CHILD_CHECK(!saveFile(path.c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kOld);
        CHILD_CHECK(dir.names() == (std::vector<std::string>{"filler", "terrain.ini"}));
        // With room again the same save goes through.
        CHILD_CHECK(unlink(dir.file("filler").c_str()) == 0);
        CHILD_CHECK(saveFile(path.c_str(), kNew));
        CHILD_CHECK(readBytes(path) == kNew);
        CHILD_CHECK(dir.names() == kOnlyTheFile);
        umount(dir.path().c_str());
        return "";
    }));
}

int run(const std::string& command)
{
    // The sanitizer's leak check cannot run under a tracer; the saves here are not about leaks.
    const int status = std::system(("ASAN_OPTIONS=detect_leaks=0 " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int countCalls(const std::string& syscall, const std::string& saveCommand, const ScratchDir& dir)
{
    const std::string log = dir.file("strace.log");
    run("strace -f -qq -o " + log + " -e trace=" + syscall + " " + saveCommand);
    std::ifstream in(log);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find(syscall + "(") != std::string::npos)
            ++count;
    }
    std::remove(log.c_str());
    return count;
}

// A save killed before any of its system calls leaves the old file or the new one, and the
// next save works.
TEST(SettingsSaveKilled, AtEveryStepTheFileIsOldOrNew)
{
    if (run("strace -V") != 0)
        GTEST_SKIP() << "strace is not installed";
    ScratchDir dir;
    std::filesystem::create_directory(dir.path() / "work");
    const std::string path = (dir.path() / "work" / "terrain.ini").string();
    const std::string helper = SANDREL_SAVE_HELPER;
    const std::string oldBytes = settings_test::sampleSettingsText(1);
    const std::string newBytes = settings_test::sampleSettingsText(2);
    const std::string save = helper + " " + path + " 2";

    int runs = 0;
    std::set<std::string> outcomes;
    for (const std::string syscall : {"openat", "fchmod", "write", "fsync", "close", "rename"}) {
        writeBytes(path, oldBytes);
        const int calls = countCalls(syscall, save, dir);
        if (syscall == "openat" && calls == 0)
            GTEST_SKIP() << "strace cannot trace here";
        ASSERT_EQ(readBytes(path), newBytes) << "the traced save did not complete";
        EXPECT_GT(calls, 0) << syscall;
        for (int nth = 1; nth <= calls; ++nth) {
            SCOPED_TRACE(syscall + " #" + std::to_string(nth));
            writeBytes(path, oldBytes);
            run("strace -f -qq -o /dev/null -e trace=" + syscall + " -e inject=" + syscall +
                ":signal=KILL:when=" + std::to_string(nth) + " " + save);
            const std::string after = readBytes(path);
            EXPECT_TRUE(after == oldBytes || after == newBytes) << "terrain.ini now holds:\n" << after;
            outcomes.insert(after == oldBytes ? "old" : "new");
            ++runs;

            EXPECT_EQ(run(helper + " " + path + " 3"), 0);
            EXPECT_EQ(readBytes(path), settings_test::sampleSettingsText(3));
        }
    }
    // Kills before the rename keep the old file, kills after it (the folder's flush) the new one.
    EXPECT_EQ(outcomes, (std::set<std::string>{"old", "new"}));
    // Killed saves may leave hidden temporaries behind, but never anything else.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "work")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "terrain.ini" || (name.rfind(".terrain.ini.", 0) == 0 && name.ends_with(".tmp"))) << name;
    }
    RecordProperty("killed_saves", runs);
}

} // namespace
