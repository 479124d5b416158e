// System services on Linux: starting the engine (a Windows one through Wine), the current
// directory, short names, the program's installed files.
#include "framework/core/system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "framework/posix/windows_program.h"

extern char** environ;

namespace fw {
namespace {

bool ReadAll(int fd, void* data, size_t size)
{
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void WriteAll(int fd, const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

// What the children tell the launcher through the pipe, in one write each: the engine's pid once
// it is forked, or -1 and the errno of a fork, chdir or exec that failed.
struct StartReport {
    int pid = -1;
    int error = 0;
};

// Runs in the intermediate child: a new session, then the program in a grandchild, so that the
// engine belongs to nobody once the launcher has gone. Reports the grandchild's pid, or the
// errno of its failed start, through the pipe. Everything it uses was made before the fork.
[[noreturn]] void StartDetached(char* const* argv, char* const* environment, const char* directory, int report)
{
    setsid();
    const pid_t pid = fork();
    if (pid == 0 && (directory == nullptr || chdir(directory) == 0))
        execve(argv[0], argv, environment);
    const StartReport said = pid > 0 ? StartReport{static_cast<int>(pid), 0} : StartReport{-1, errno};
    WriteAll(report, &said, sizeof said);
    _exit(pid > 0 ? 0 : pid == 0 ? 127 : 1);
}

std::string& StartAdvice()
{
    static thread_local std::string advice;
    return advice;
}

// The NULL-ended pointer array execve takes, over strings that outlive it.
std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

BOOL CreateProcessA(const char* applicationName, char* /*commandLine*/, void* /*processAttributes*/,
                    void* /*threadAttributes*/, BOOL /*inheritHandles*/, DWORD /*creationFlags*/, void* /*environment*/,
                    const char* currentDirectory, STARTUPINFOA* /*startupInfo*/, PROCESS_INFORMATION* processInfo)
{
    StartAdvice().clear();
    if (applicationName == nullptr || *applicationName == '\0')
        return FALSE;
    // A bare name is the file of that name in the current directory, never one on a search path.
    std::string path = applicationName;
    if (path.find('/') == std::string::npos)
        path = "./" + path;
    std::vector<std::string> argv{path};
    std::vector<std::string> environment;

    // A Windows program is told by its headers, never by its name, and run by Wine, which Linux
    // does not do by itself.
    std::error_code noFolder;
    const std::string folder = currentDirectory != nullptr
                                   ? std::filesystem::absolute(currentDirectory, noFolder).string()
                                   : posix::LogicalCurrentFolder();
    const std::string program = (std::filesystem::path(folder) / path).lexically_normal().string();
    if (const posix::WindowsProgram kind = posix::ClassifyProgramFile(program.c_str()); kind.isWindows) {
        std::optional<posix::WineStart> wine =
            posix::WineStartOf(program, applicationName, folder, kind, StartAdvice());
        if (!wine) {
            errno = ENOEXEC;
            return FALSE;
        }
        argv = std::move(wine->argv);
        environment = std::move(wine->environment);
    }
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> environmentPointers = Pointers(environment);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return FALSE;
    const pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return FALSE;
    }
    if (child == 0) {
        close(pipeFds[0]);
        StartDetached(argvPointers.data(), environment.empty() ? environ : environmentPointers.data(), currentDirectory,
                      pipeFds[1]);
    }
    close(pipeFds[1]);
    StartReport first;
    bool ok = ReadAll(pipeFds[0], &first, sizeof first) && first.pid > 0;
    const int started = first.pid;
    int error = ok ? 0 : first.error;
    if (ok) {
        // The exec closes the pipe (close-on-exec): end of file means the program is running;
        // a failure arriving instead means it could not be started.
        StartReport failure;
        if (ReadAll(pipeFds[0], &failure, sizeof failure)) {
            error = failure.error;
            ok = false;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ok) {
        if (error != 0)
            errno = error;
        return FALSE;
    }
    if (processInfo != nullptr) {
        processInfo->hProcess = nullptr;
        processInfo->hThread = nullptr;
        processInfo->dwProcessId = static_cast<DWORD>(started);
        processInfo->dwThreadId = static_cast<DWORD>(started);
    }
    return TRUE;
}

std::string StartFailureAdvice() { return StartAdvice(); }

std::string LastErrorText() { return std::strerror(errno); }

DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer)
{
    std::string directory(PATH_MAX, '\0');
    while (getcwd(directory.data(), directory.size()) == nullptr) {
        if (errno != ERANGE)
            return 0;
        directory.resize(directory.size() * 2);
    }
    directory.resize(std::strlen(directory.c_str()));
    if (buffer == nullptr || directory.size() + 1 > bufferLength)
        return static_cast<DWORD>(directory.size() + 1);
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return static_cast<DWORD>(directory.size());
}

DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD bufferLength)
{
    struct stat st {};
    if (longPath == nullptr || stat(longPath, &st) != 0)
        return 0;
    const size_t length = std::strlen(longPath);
    if (buffer == nullptr || length + 1 > bufferLength)
        return static_cast<DWORD>(length + 1);
    std::memmove(buffer, longPath, length + 1);
    return static_cast<DWORD>(length);
}

int OpenRegularFile(const char* path, std::uint64_t* size)
{
    if (path == nullptr || *path == '\0')
        return -1;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return -1;
    }
    if (size != nullptr)
        *size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

std::string InstalledFilePath(const char* name)
{
    if (name == nullptr)
        return {};
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.is_absolute() || !program.has_filename())
        return {};
    // The FHS layout: the program in <prefix>/bin, its data in <prefix>/share/<program>.
    const std::filesystem::path data = program.parent_path().parent_path() / "share" / program.filename();
    return (data / name).lexically_normal().string();
}

} // namespace fw
