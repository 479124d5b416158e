// Replacing a file's contents so that a crash or a full disk never leaves it half written.
#pragma once

#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

namespace settings::detail {

// The system calls the save makes, one virtual per call, so that tests can fail any of them.
// The defaults call the system.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* buffer, size_t size);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int lstat(const char* path, struct stat* status);
    virtual int fstat(int fd, struct stat* status);
    virtual ssize_t readlink(const char* path, char* buffer, size_t size);
    virtual int access(const char* path, int mode);
};

FileSystem& systemFileSystem();

// Makes path hold exactly contents, or leaves it as it was and returns false. On false errno
// (on Windows, GetLastError) is the reason of the step that failed, not of the clean-up after it.
//
// The contents go to a new file beside the target, which is flushed to disk and then renamed
// over it, so readers see the old file or the new one and nothing in between. The former
// file's permission bits are kept; a new file gets 0666 less the umask. A symbolic link stays:
// the file it points to is replaced. An existing file the user may not write is refused. When
// the directory does not let us create the new file but the file itself is writable, the file
// is rewritten in place instead, and put back as it was if that fails.
//
// Something that is not a regular file is never renamed over or removed. A character device or
// a FIFO (a link to /dev/null, say) is written in place without blocking, and the save counts
// when every byte was taken; a FIFO without a reader, a folder, a socket or a block device is a
// failed save.
bool saveFile(const char* path, std::string_view contents, FileSystem& fs = systemFileSystem());

} // namespace settings::detail
