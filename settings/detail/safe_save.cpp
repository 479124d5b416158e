// The crash-safe file replacement behind the settings writer (POSIX).
#include "settings/detail/safe_save.h"
#include "settings/detail/temp_name.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace settings::detail {

int FileSystem::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileSystem::read(int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); }
ssize_t FileSystem::write(int fd, const void* buffer, size_t size) { return ::write(fd, buffer, size); }
int FileSystem::fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int FileSystem::fsync(int fd) { return ::fsync(fd); }
int FileSystem::close(int fd) { return ::close(fd); }
int FileSystem::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileSystem::unlink(const char* path) { return ::unlink(path); }
int FileSystem::lstat(const char* path, struct stat* status) { return ::lstat(path, status); }
int FileSystem::fstat(int fd, struct stat* status) { return ::fstat(fd, status); }
ssize_t FileSystem::readlink(const char* path, char* buffer, size_t size) { return ::readlink(path, buffer, size); }
int FileSystem::access(const char* path, int mode) { return ::access(path, mode); }

FileSystem& systemFileSystem()
{
    static FileSystem system;
    return system;
}

namespace {

constexpr int kMaxLinkHops = 40; // the kernel's own limit

// Keeps errno across clean-up calls, so that a failed save reports the step that failed.
class KeepErrno {
public:
    KeepErrno() : m_errno(errno) {}
    ~KeepErrno() { errno = m_errno; }
    KeepErrno(const KeepErrno&) = delete;
    KeepErrno& operator=(const KeepErrno&) = delete;

private:
    int m_errno;
};
constexpr int kMaxNameAttempts = 100;

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool readLink(FileSystem& fs, const std::string& path, std::string& link)
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = fs.readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0)
            return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            link.assign(buffer.data(), static_cast<std::size_t>(length));
            if (link.empty())
                errno = ENOENT;
            return !link.empty();
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Follows symbolic links from path to the name that is to be replaced; that file need not
// exist yet (a dangling link gets its target created). Reports whether it exists and its status.
bool resolveTarget(FileSystem& fs, std::string path, std::string& target, struct stat& status, bool& exists)
{
    for (int hops = 0;; ++hops) {
        if (fs.lstat(path.c_str(), &status) != 0) {
            if (errno != ENOENT)
                return false;
            exists = false;
            target = path;
            return true;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            target = path;
            return true;
        }
        std::string link;
        if (hops == kMaxLinkHops) {
            errno = ELOOP;
            return false;
        }
        if (!readLink(fs, path, link))
            return false;
        path = link.front() == '/' ? link : directoryOf(path) + "/" + link;
    }
}

std::string temporaryName(const std::string& directory, const std::string& name)
{
    std::uint64_t seed = static_cast<std::uint64_t>(getpid()) << 32;
    seed ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string suffix = temporarySuffix(seed);
    // Hidden, and recognisably ours should a crash leave it behind.
    return directory + "/." + name + "." + suffix + ".tmp";
}

bool writeAll(FileSystem& fs, int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = fs.write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool readAll(FileSystem& fs, const std::string& path, std::string& data)
{
    const int fd = fs.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t count = fs.read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        data.append(buffer, static_cast<std::size_t>(count));
    }
    KeepErrno reason;
    fs.close(fd);
    return ok;
}

// Truncates and rewrites an existing file, every step checked.
bool overwrite(FileSystem& fs, const std::string& path, std::string_view data)
{
    const int fd = fs.open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool written = writeAll(fs, fd, data) && fs.fsync(fd) == 0;
    if (!written) {
        KeepErrno reason;
        fs.close(fd);
        return false;
    }
    return fs.close(fd) == 0;
}

// Used only where the directory refuses new files. Unlike the rename this is not atomic, so the
// old bytes are kept in memory and written back should the new ones not get onto the disk.
bool rewriteInPlace(FileSystem& fs, const std::string& path, std::string_view data)
{
    std::string previous;
    const bool havePrevious = readAll(fs, path, previous);
    if (overwrite(fs, path, data))
        return true;
    KeepErrno reason;
    if (havePrevious)
        overwrite(fs, path, previous);
    return false;
}

bool isStream(mode_t mode) { return S_ISCHR(mode) || S_ISFIFO(mode); }

// Writes to a device or FIFO where it stands, as a program that simply opened the name would.
// Without blocking: a FIFO nobody reads refuses the open, and a device or FIFO that cannot take
// everything at once fails the save instead of holding up the launcher.
bool writeToStream(FileSystem& fs, const std::string& path, std::string_view data)
{
    const int fd = fs.open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // The name may have been replaced since it was looked at; only a stream is written here.
    struct stat status {};
    bool written = fs.fstat(fd, &status) == 0;
    if (written && !isStream(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        written = false;
    }
    written = written && writeAll(fs, fd, data);
    if (!written) {
        KeepErrno reason;
        fs.close(fd);
        return false;
    }
    return fs.close(fd) == 0;
}

// Makes the rename itself durable. The new contents are already safe on disk, so a failure
// here is not worth failing the save for.
void syncDirectory(FileSystem& fs, const std::string& directory)
{
    const int fd = fs.open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return;
    fs.fsync(fd);
    fs.close(fd);
}

} // namespace

bool saveFile(const char* path, std::string_view contents, FileSystem& fs)
{
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return false;
    }
    std::string target;
    struct stat status {};
    bool exists = false;
    if (!resolveTarget(fs, path, target, status, exists))
        return false;
    // Write protection is the user's word that this file is not to be changed, even though
    // renaming over it would succeed in a writable directory.
    if (exists && fs.access(target.c_str(), W_OK) != 0)
        return false;
    if (exists && !S_ISREG(status.st_mode)) {
        if (isStream(status.st_mode))
            return writeToStream(fs, target, contents);
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    const std::string directory = directoryOf(target);
    const std::string name = nameOf(target);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        temporary = temporaryName(directory, name);
        fd = fs.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (exists && (errno == EACCES || errno == EPERM))
            return rewriteInPlace(fs, target, contents);
        return false;
    }

    // The mode is set explicitly because the umask would otherwise trim the former bits.
    bool ok =
        (!exists || fs.fchmod(fd, status.st_mode & 07777) == 0) && writeAll(fs, fd, contents) && fs.fsync(fd) == 0;
    // A failed close can mean the data never reached the disk (NFS reports write errors there).
    if (ok) {
        ok = fs.close(fd) == 0;
    } else {
        KeepErrno reason;
        fs.close(fd);
    }
    ok = ok && fs.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        KeepErrno reason;
        fs.unlink(temporary.c_str());
        return false;
    }
    syncDirectory(fs, directory);
    return true;
}

} // namespace settings::detail
