// The crash-safe file replacement behind the settings writer (Windows): a new file beside the
// target, written and flushed, then moved over it in one step.
//
// The POSIX seam of safe_save.h has no counterpart for these calls, so saveFile here makes the
// Windows calls itself and takes no FileSystem; the FileSystem defaults map onto the C runtime
// for code that uses them directly.
#include "settings/detail/safe_save.h"
#include "settings/detail/temp_name.h"

#include <cerrno>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace settings::detail {

int FileSystem::open(const char* path, int flags, mode_t mode) { return ::_open(path, flags | _O_BINARY, mode); }
ssize_t FileSystem::read(int fd, void* buffer, size_t size)
{
    return ::_read(fd, buffer, static_cast<unsigned>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size));
}
ssize_t FileSystem::write(int fd, const void* buffer, size_t size)
{
    return ::_write(fd, buffer, static_cast<unsigned>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size));
}
int FileSystem::fchmod(int, mode_t) { return 0; }
int FileSystem::fsync(int fd) { return ::_commit(fd); }
int FileSystem::close(int fd) { return ::_close(fd); }
int FileSystem::rename(const char* from, const char* to)
{
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
}
int FileSystem::unlink(const char* path) { return ::_unlink(path); }
int FileSystem::lstat(const char* path, struct stat* status) { return ::stat(path, status); }
int FileSystem::fstat(int fd, struct stat* status) { return ::fstat(fd, status); }
ssize_t FileSystem::readlink(const char*, char*, size_t)
{
    errno = EINVAL; // no symbolic links are followed here
    return -1;
}
int FileSystem::access(const char* path, int mode) { return ::_access(path, mode); }

FileSystem& systemFileSystem()
{
    static FileSystem system;
    return system;
}

namespace {

constexpr int kMaxNameAttempts = 100;

// Keeps the last error across clean-up calls, so that a failed save reports the step that failed.
class KeepLastError {
public:
    KeepLastError() : m_error(::GetLastError()) {}
    ~KeepLastError() { ::SetLastError(m_error); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;

private:
    DWORD m_error;
};

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // "C:\name" and "\name": the separator belongs to the root.
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(2) : path;
    return path.substr(slash + 1);
}

std::string joined(const std::string& directory, const std::string& name)
{
    const char last = directory.empty() ? '\0' : directory.back();
    return last == '\\' || last == '/' || last == ':' ? directory + name : directory + "\\" + name;
}

std::string temporaryName(const std::string& directory, const std::string& name)
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    std::uint64_t seed = static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32;
    seed ^= static_cast<std::uint64_t>(now.QuadPart);
    const std::string suffix = temporarySuffix(seed);
    // Recognisably ours should a crash leave it behind.
    return joined(directory, name + "." + suffix + ".tmp");
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        KeepLastError reason;
        close();
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    // False when the close itself failed: data may not have reached the disk.
    bool close()
    {
        if (!valid())
            return true;
        const bool closed = ::CloseHandle(m_handle) != FALSE;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

bool writeAll(HANDLE file, std::string_view data)
{
    while (!data.empty()) {
        const DWORD chunk = data.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(data.size());
        DWORD written = 0;
        if (!::WriteFile(file, data.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

bool readAll(HANDLE file, std::string& data)
{
    char buffer[4096];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &count, nullptr))
            return false;
        if (count == 0)
            return true;
        data.append(buffer, count);
    }
}

bool overwrite(HANDLE file, std::string_view data)
{
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) && writeAll(file, data) &&
           ::FlushFileBuffers(file);
}

// Used only where the directory refuses new files. Unlike the move this is not atomic, so the
// old bytes are kept in memory and written back should the new ones not get onto the disk.
bool rewriteInPlace(const std::string& path, std::string_view data)
{
    Handle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    std::string previous;
    const bool havePrevious = readAll(file.get(), previous);
    if (overwrite(file.get(), data))
        return file.close();
    KeepLastError reason;
    if (havePrevious)
        overwrite(file.get(), previous);
    return false;
}

} // namespace

bool saveFile(const char* path, std::string_view contents, FileSystem& /*fs*/)
{
    if (path == nullptr || *path == '\0') {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    const std::string target = path;
    const DWORD attributes = ::GetFileAttributesA(path);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            return false; // a missing folder, a bad name, no access: nothing to write into
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        // Write protection is the user's word that this file is not to be changed, even though
        // moving a new file over it would succeed.
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }

    const std::string directory = directoryOf(target);
    const std::string name = nameOf(target);
    std::string temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        temporary = temporaryName(directory, name);
        created =
            ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = created == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
        if (created != INVALID_HANDLE_VALUE || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS))
            break;
    }
    if (created == INVALID_HANDLE_VALUE) {
        if (exists && error == ERROR_ACCESS_DENIED)
            return rewriteInPlace(target, contents);
        ::SetLastError(error);
        return false;
    }

    Handle file(created);
    bool ok = writeAll(file.get(), contents) && ::FlushFileBuffers(file.get());
    // A failed close can mean the data never reached the disk.
    if (ok) {
        ok = file.close();
    } else {
        KeepLastError reason;
        file.close();
    }
    // The new file takes the old one's attributes (hidden, archive, ...), as rewriting it would.
    if (ok && exists)
        ::SetFileAttributesA(temporary.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
    ok = ok && ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        KeepLastError reason;
        ::DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace settings::detail
