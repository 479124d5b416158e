// Test support: a temporary directory that is the current directory for the length of a test,
// and running a piece of a test as an unprivileged user.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace testsupport {

namespace fs = std::filesystem;

class InTempDir {
public:
    InTempDir()
    {
        char pattern[] = "/tmp/sandrel-test-XXXXXX";
        m_dir = mkdtemp(pattern);
        m_previous = fs::current_path();
        fs::current_path(m_dir);
    }
    ~InTempDir()
    {
        fs::current_path(m_previous);
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }
    InTempDir(const InTempDir&) = delete;
    InTempDir& operator=(const InTempDir&) = delete;
    const fs::path& Path() const { return m_dir; }

private:
    fs::path m_dir;
    fs::path m_previous;
};

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The uid and gid of "nobody", whom root becomes to meet permissions as a user does.
inline constexpr uid_t kNobody = 65534;

// Runs body in a child process as an unprivileged user (root drops to nobody; anyone else runs
// as themselves) and returns its exit status, or -1 when it did not exit normally.
inline int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (geteuid() == 0) {
            if (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0)
                _exit(99);
        }
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Gives a path to the unprivileged user (when we are root) so that it can work there.
inline void HandToUnprivileged(const fs::path& path)
{
    if (geteuid() == 0 && chown(path.c_str(), kNobody, kNobody) != 0)
        throw std::runtime_error("chown failed");
}

} // namespace testsupport
