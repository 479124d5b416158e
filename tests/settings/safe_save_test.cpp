// The crash-safe save: each system call failing in turn, links, permission bits, in-place rewrite.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "settings/detail/safe_save.h"
#include "settings_test_support.h"

namespace {

using settings::detail::FileSystem;
using settings::detail::saveFile;
using settings_test::readBytes;
using settings_test::ScratchDir;
using settings_test::writeBytes;

enum class Call { Open, Read, Write, Fchmod, Fsync, Close, Rename, Unlink, Lstat, Readlink, Access };

const char* nameOf(Call call)
{
    static const char* const names[] = {"open",   "read",   "write", "fchmod",   "fsync", "close",
                                        "rename", "unlink", "lstat", "readlink", "access"};
    return names[static_cast<int>(call)];
}

// The real system, except that chosen calls fail with a chosen error, and writes may be cut
// short or interrupted as a signal would.
class FaultyFileSystem : public FileSystem {
public:
    // The nth call (from 1) of call fails with error.
    void fail(Call call, int nth, int error) { m_faults[{call, nth}] = error; }
    std::size_t maxWrite = 0; // 0: no limit
    bool interruptEveryOtherWrite = false;
    std::map<Call, int> counts;
    std::vector<std::string> opened;

    int open(const char* path, int flags, mode_t mode) override
    {
        opened.emplace_back(path);
        return faulted(Call::Open) ? -1 : FileSystem::open(path, flags, mode);
    }
    ssize_t read(int fd, void* buffer, size_t size) override
    {
        return faulted(Call::Read) ? -1 : FileSystem::read(fd, buffer, size);
    }
    ssize_t write(int fd, const void* buffer, size_t size) override
    {
        if (faulted(Call::Write))
            return -1;
        if (interruptEveryOtherWrite && counts[Call::Write] % 2 == 1) {
            errno = EINTR;
            return -1;
        }
        if (maxWrite != 0 && size > maxWrite)
            size = maxWrite;
        return FileSystem::write(fd, buffer, size);
    }
    int fchmod(int fd, mode_t mode) override { return faulted(Call::Fchmod) ? -1 : FileSystem::fchmod(fd, mode); }
    int fsync(int fd) override { return faulted(Call::Fsync) ? -1 : FileSystem::fsync(fd); }
    int close(int fd) override
    {
        // A failing close still releases the descriptor, as on Linux.
        const bool fails = faulted(Call::Close);
        const int result = FileSystem::close(fd);
        return fails ? -1 : result;
    }
    int rename(const char* from, const char* to) override
    {
        return faulted(Call::Rename) ? -1 : FileSystem::rename(from, to);
    }
    int unlink(const char* path) override { return faulted(Call::Unlink) ? -1 : FileSystem::unlink(path); }
    int lstat(const char* path, struct stat* status) override
    {
        return faulted(Call::Lstat) ? -1 : FileSystem::lstat(path, status);
    }
    ssize_t readlink(const char* path, char* buffer, size_t size) override
    {
        return faulted(Call::Readlink) ? -1 : FileSystem::readlink(path, buffer, size);
    }
    int access(const char* path, int mode) override
    {
        return faulted(Call::Access) ? -1 : FileSystem::access(path, mode);
    }

private:
    bool faulted(Call call)
    {
        const int nth = ++counts[call];
        const auto fault = m_faults.find({call, nth});
        if (fault == m_faults.end())
            return false;
        errno = fault->second;
        return true;
    }
    std::map<std::pair<Call, int>, int> m_faults;
};

const std::string kOld = settings_test::sampleSettingsText(1);
const std::string kNew = settings_test::sampleSettingsText(2);
const std::vector<std::string> kOnlyTheFile = {"terrain.ini"};

struct Fault {
    Call call;
    int nth;
    int error;
};

// Calls of a save over an existing file: lstat, access, open (temporary), fchmod, write...,
// fsync, close, rename, then open / fsync / close of the folder.
const Fault kFatalFaults[] = {
    {Call::Lstat, 1, EIO},    {Call::Open, 1, ENOSPC},   {Call::Open, 1, EROFS}, {Call::Fchmod, 1, EPERM},
    {Call::Write, 1, ENOSPC}, {Call::Write, 3, EIO},     {Call::Fsync, 1, EIO},  {Call::Close, 1, EIO},
    {Call::Rename, 1, EXDEV}, {Call::Rename, 1, ENOSPC},
};

TEST(SettingsSave, EachFailingStepLeavesTheOldFileAndNoTemporary)
{
    for (const Fault& fault : kFatalFaults) {
        SCOPED_TRACE(std::string(nameOf(fault.call)) + " #" + std::to_string(fault.nth) + " errno " +
                     std::to_string(fault.error));
        ScratchDir dir;
        const std::string path = dir.file("terrain.ini");
        writeBytes(path, kOld);
        FaultyFileSystem fs;
        fs.maxWrite = 64; // several writes, so that a later one can fail
        fs.fail(fault.call, fault.nth, fault.error);
        EXPECT_FALSE(saveFile(path.c_str(), kNew, fs));
        EXPECT_EQ(errno, fault.error) << "the reason of the step that failed, after the clean-up";
        EXPECT_EQ(readBytes(path), kOld);
        EXPECT_EQ(dir.names(), kOnlyTheFile);
    }
}

TEST(SettingsSave, EachFailingStepForANewFileLeavesNothing)
{
    for (const Fault& fault : kFatalFaults) {
        if (fault.call == Call::Fchmod)
            continue; // a new file keeps the mode open() gave it
        SCOPED_TRACE(std::string(nameOf(fault.call)) + " #" + std::to_string(fault.nth));
        ScratchDir dir;
        FaultyFileSystem fs;
        fs.maxWrite = 64;
        fs.fail(fault.call, fault.nth, fault.error);
        EXPECT_FALSE(saveFile(dir.file("terrain.ini").c_str(), kNew, fs));
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(SettingsSave, SucceedsThroughShortAndInterruptedWrites)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    writeBytes(path, kOld);
    FaultyFileSystem fs;
    fs.maxWrite = 7;
    fs.interruptEveryOtherWrite = true;
    ASSERT_TRUE(saveFile(path.c_str(), kNew, fs));
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(dir.names(), kOnlyTheFile);
    EXPECT_GT(fs.counts[Call::Write], 100);
}

TEST(SettingsSave, FlushesTheFileBeforeRenamingAndThenTheFolder)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    FaultyFileSystem fs;
    ASSERT_TRUE(saveFile(path.c_str(), kNew, fs));
    EXPECT_EQ(fs.counts[Call::Fsync], 2);
    ASSERT_EQ(fs.opened.size(), 2u);
    EXPECT_EQ(fs.opened[1], dir.path().string());
}

TEST(SettingsSave, AFailingFolderFlushIsNoFailure)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    // The second open, fsync and close are the folder's, after the rename.
    for (Call call : {Call::Open, Call::Fsync, Call::Close}) {
        SCOPED_TRACE(nameOf(call));
        writeBytes(path, kOld);
        FaultyFileSystem fs;
        fs.fail(call, 2, EIO);
        EXPECT_TRUE(saveFile(path.c_str(), kNew, fs));
        EXPECT_EQ(readBytes(path), kNew);
        EXPECT_EQ(dir.names(), kOnlyTheFile);
    }
}

TEST(SettingsSave, TriesAnotherNameWhenTheTemporaryExists)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    FaultyFileSystem fs;
    fs.fail(Call::Open, 1, EEXIST);
    fs.fail(Call::Open, 2, EEXIST);
    ASSERT_TRUE(saveFile(path.c_str(), kNew, fs));
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_NE(fs.opened[0], fs.opened[2]);
}

TEST(SettingsSave, AFileTheUserMayNotWriteIsRefusedUntouched)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    writeBytes(path, kOld);
    FaultyFileSystem fs;
    fs.fail(Call::Access, 1, EACCES);
    EXPECT_FALSE(saveFile(path.c_str(), kNew, fs));
    EXPECT_TRUE(fs.opened.empty());
    EXPECT_EQ(readBytes(path), kOld);
}

// Where the folder refuses new files (the temporary's open fails with EACCES) but the file is
// writable, the file is rewritten in place.
TEST(SettingsSave, RewritesInPlaceWhenTheFolderRefusesNewFiles)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    writeBytes(path, kOld);
    FaultyFileSystem fs;
    fs.fail(Call::Open, 1, EACCES);
    ASSERT_TRUE(saveFile(path.c_str(), kNew, fs));
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(dir.names(), kOnlyTheFile);

    // Without a file to rewrite there is nothing to fall back on.
    ScratchDir empty;
    FaultyFileSystem refusing;
    refusing.fail(Call::Open, 1, EACCES);
    EXPECT_FALSE(saveFile(empty.file("terrain.ini").c_str(), kNew, refusing));
    EXPECT_TRUE(empty.names().empty());
}

TEST(SettingsSave, AFailedRewriteInPlacePutsTheOldBytesBack)
{
    // Calls in place: open (temporary, refused), open + read + close (old bytes), open, write...
    for (const Fault& fault : {Fault{Call::Write, 2, ENOSPC}, Fault{Call::Fsync, 1, EIO}, Fault{Call::Close, 2, EIO}}) {
        SCOPED_TRACE(nameOf(fault.call));
        ScratchDir dir;
        const std::string path = dir.file("terrain.ini");
        writeBytes(path, kOld);
        FaultyFileSystem fs;
        fs.maxWrite = 100;
        fs.fail(Call::Open, 1, EACCES);
        fs.fail(fault.call, fault.nth, fault.error);
        EXPECT_FALSE(saveFile(path.c_str(), kNew, fs));
        EXPECT_EQ(readBytes(path), kOld);
    }
}

TEST(SettingsSave, KeepsTheFormerPermissionBitsWhateverTheUmask)
{
    ScratchDir dir;
    const std::string path = dir.file("terrain.ini");
    const mode_t previousMask = umask(077);
    for (mode_t mode : {0666, 0640, 0604, 0600}) {
        writeBytes(path, kOld);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(saveFile(path.c_str(), kNew));
        struct stat status {};
        ASSERT_EQ(stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
    }
    // A new file gets what the umask leaves of 0666.
    umask(027);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_TRUE(saveFile(path.c_str(), kNew));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    umask(previousMask);
}

mode_t linkStatus(const std::string& path)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_mode : 0;
}

TEST(SettingsSave, ALinkStaysALinkAndItsTargetIsReplaced)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "engine" / "config");
    const std::string target = dir.file("engine/config/real.ini");
    const std::string link = dir.file("engine/terrain.ini");
    writeBytes(target, kOld);
    ASSERT_EQ(symlink("config/real.ini", link.c_str()), 0);

    ASSERT_TRUE(saveFile(link.c_str(), kNew));
    EXPECT_TRUE(S_ISLNK(linkStatus(link)));
    EXPECT_EQ(std::filesystem::read_symlink(link), "config/real.ini");
    EXPECT_EQ(readBytes(target), kNew);
    // The temporary was made beside the target, where the rename can reach it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "engine"), {}), 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "engine" / "config"), {}), 1);
}

TEST(SettingsSave, FollowsChainsAndDanglingLinks)
{
    ScratchDir dir;
    const std::string first = dir.file("terrain.ini");
    const std::string second = dir.file("middle.ini");
    const std::string target = dir.path().string() + "/real.ini";
    ASSERT_EQ(symlink("middle.ini", first.c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), second.c_str()), 0); // absolute, and dangling for now

    ASSERT_TRUE(saveFile(first.c_str(), kOld));
    EXPECT_EQ(readBytes(target), kOld);
    ASSERT_TRUE(saveFile(first.c_str(), kNew));
    EXPECT_EQ(readBytes(target), kNew);
    EXPECT_TRUE(S_ISLNK(linkStatus(first)));
    EXPECT_TRUE(S_ISLNK(linkStatus(second)));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"middle.ini", "real.ini", "terrain.ini"}));
}

TEST(SettingsSave, RefusesLinkLoopsAndFolders)
{
    ScratchDir dir;
    ASSERT_EQ(symlink("b", dir.file("a").c_str()), 0);
    ASSERT_EQ(symlink("a", dir.file("b").c_str()), 0);
    EXPECT_FALSE(saveFile(dir.file("a").c_str(), kNew));
    std::filesystem::create_directory(dir.path() / "terrain.ini");
    EXPECT_FALSE(saveFile(dir.file("terrain.ini").c_str(), kNew));
    EXPECT_FALSE(saveFile(dir.file("missing/terrain.ini").c_str(), kNew));
    EXPECT_FALSE(saveFile("", kNew));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b", "terrain.ini"}));
}

// Renaming over a device node would replace it for the whole system. A device is written where
// it stands, a FIFO only while someone reads it, and nothing waits.
TEST(SettingsSave, DevicesAndFifosAreWrittenInPlaceNeverReplaced)
{
    ScratchDir dir;
    const std::string link = dir.file("terrain.ini");
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("fifo", link.c_str()), 0);
    EXPECT_FALSE(saveFile(link.c_str(), kNew)); // nobody reads it
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(saveFile(link.c_str(), kNew));
    std::string received(kNew.size() + 1, '\0');
    EXPECT_EQ(read(reader, received.data(), received.size()), static_cast<ssize_t>(kNew.size()));
    close(reader);
    EXPECT_TRUE(S_ISFIFO(linkStatus(fifo)));

    // Device nodes of our own, never the system's: 1,3 is the null device, 1,7 the full one.
    const std::string null = dir.file("null");
    const std::string full = dir.file("full");
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "device nodes need privileges";
    for (const auto& [node, saves] : {std::pair{null, true}, std::pair{full, false}}) {
        SCOPED_TRACE(node);
        std::filesystem::remove(link);
        ASSERT_EQ(symlink(node.c_str(), link.c_str()), 0);
        const int probe = open(link.c_str(), O_WRONLY);
        if (probe < 0)
            GTEST_SKIP() << "the scratch folder's file system refuses devices";
        close(probe);
        EXPECT_EQ(saveFile(link.c_str(), kNew), saves);
        EXPECT_EQ(saveFile(node.c_str(), kNew), saves);
        struct stat status {};
        ASSERT_EQ(stat(node.c_str(), &status), 0);
        EXPECT_TRUE(S_ISCHR(status.st_mode));
        EXPECT_TRUE(S_ISLNK(linkStatus(link)));
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"fifo", "full", "null", "terrain.ini"}));
}

TEST(SettingsSave, ARelativeNameIsSavedInTheCurrentFolder)
{
    ScratchDir dir;
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const bool saved = saveFile("terrain.ini", kNew);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(readBytes(dir.file("terrain.ini")), kNew);
    EXPECT_EQ(dir.names(), kOnlyTheFile);
}

} // namespace
