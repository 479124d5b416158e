// Telling a Windows program from its headers, and finding the Wine that runs it.
#include "framework/posix/windows_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <pwd.h>

extern char** environ;

namespace fw::posix {
namespace {

constexpr std::uint64_t kDosHeaderBytes = 0x40;
constexpr std::uint64_t kPeOffsetField = 0x3C;
// "PE\0\0", then the file header: machine (2), sections (2), time (4), symbols (4+4), optional
// header size (2), characteristics (2).
constexpr std::uint64_t kPeHeaderBytes = 24;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kLibrary = 0x2000;

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The first bytes of a regular file, opened without waiting; empty when there are none.
std::string FileStart(const std::string& path, std::size_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    std::string bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(limit);
        const ssize_t n = ::pread(fd, bytes.data(), limit, 0);
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    return bytes;
}

bool IsElf64(const std::string& start)
{
    return start.size() > 4 &&
           start.compare(0, 4,
                         "\x7f"
                         "ELF") == 0 &&
           start[4] == 2;
}

bool IsDirectory(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsWinePrefix(const std::filesystem::path& folder)
{
    return IsDirectory(folder / "drive_c") &&
           (IsRegularFile(folder / "system.reg") || IsRegularFile(folder / "user.reg"));
}

std::optional<std::string> PrefixAlong(std::filesystem::path folder)
{
    for (;;) {
        if (IsWinePrefix(folder))
            return folder.string();
        if (!folder.has_relative_path())
            return std::nullopt;
        folder = folder.parent_path();
    }
}

} // namespace

WindowsProgram ClassifyProgram(const ReadBytesAt& read, std::uint64_t size)
{
    std::array<unsigned char, kDosHeaderBytes> dos{};
    if (size < kDosHeaderBytes || !read(0, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return {};
    const std::uint64_t peOffset = Le32(dos.data() + kPeOffsetField);
    if (peOffset < kDosHeaderBytes || peOffset > size || size - peOffset < kPeHeaderBytes)
        return {};
    std::array<unsigned char, kPeHeaderBytes> pe{};
    if (!read(peOffset, pe) || std::memcmp(pe.data(), "PE\0\0", 4) != 0)
        return {};
    const std::uint16_t characteristics = Le16(pe.data() + 22);
    if ((characteristics & kExecutableImage) == 0 || (characteristics & kLibrary) != 0)
        return {};
    return {true, Le16(pe.data() + 4)};
}

WindowsProgram ClassifyProgramFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat st {};
    WindowsProgram program;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        program = ClassifyProgram(
            [fd](std::uint64_t offset, std::span<unsigned char> dst) {
                return ::pread(fd, dst.data(), dst.size(), static_cast<off_t>(offset)) ==
                       static_cast<ssize_t>(dst.size());
            },
            static_cast<std::uint64_t>(st.st_size));
    ::close(fd);
    return program;
}

std::string MachineName(std::uint16_t machine)
{
    switch (machine) {
    case kMachineI386: return "i386";
    case kMachineX86_64: return "x86-64";
    case 0xAA64: return "ARM64";
    case 0xA641: return "ARM64EC";
    case 0x01C0:
    case 0x01C4: return "ARM";
    case 0x0200: return "Itanium";
    default: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "machine 0x%04X", machine);
    return text;
}

std::optional<std::string> FindProgram(const std::string& name, const char* searchPath)
{
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(name, error);
        if (error || !IsExecutableFile(path))
            return std::nullopt;
        return path.lexically_normal().string();
    }
    const std::string_view dirs = searchPath != nullptr ? searchPath : "";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string_view::npos)
            end = dirs.size();
        // An empty entry is the current folder, as for the shell.
        const std::string dir(dirs.substr(start, end - start));
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (IsExecutableFile(candidate))
            return FindProgram(candidate, nullptr);
        start = end + 1;
    }
    return std::nullopt;
}

bool WineRunsThirtyTwoBit(const std::string& wineProgram)
{
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(wineProgram, error);
    if (error)
        return true;
    const std::string start = FileStart(real, 64);
    if (start.compare(0, 2, "#!") == 0) {
        // Debian's wrapper in <prefix>/bin chooses between the loaders in <prefix>/lib/wine.
        const std::filesystem::path loaders = real.parent_path().parent_path() / "lib" / "wine";
        if (IsExecutableFile(loaders / "wine64"))
            return IsExecutableFile(loaders / "wine");
        return true;
    }
    const std::string name = real.filename().string();
    if (IsElf64(start) && name.size() > 2 && name.ends_with("64"))
        return IsExecutableFile(real.parent_path() / name.substr(0, name.size() - 2));
    return true;
}

std::optional<std::string> EnclosingWinePrefix(const std::string& folder)
{
    if (folder.empty() || folder.front() != '/')
        return std::nullopt;
    const std::filesystem::path given = std::filesystem::path(folder).lexically_normal();
    if (std::optional<std::string> prefix = PrefixAlong(given))
        return prefix;
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(given, error);
    if (error || real == given)
        return std::nullopt;
    return PrefixAlong(real);
}

std::optional<WineStart> WineStartOf(const std::string& program, const std::string& shownName,
                                     const std::string& folder, const WindowsProgram& kind, std::string& advice)
{
    if (kind.machine != kMachineX86_64 && kind.machine != kMachineI386) {
        advice = shownName + " is a Windows program built for " + MachineName(kind.machine) +
                 "; Wine runs x86-64 and i386 programs only";
        return std::nullopt;
    }
    const char* chosen = std::getenv("WINE");
    const bool named = chosen != nullptr && *chosen != '\0';
    const std::optional<std::string> wine = FindProgram(named ? chosen : "wine", std::getenv("PATH"));
    if (!wine) {
        advice = named ? shownName + " is a Windows program, but WINE=" + chosen +
                             " is no program to run it; set WINE to the wine program, or unset it to use wine from PATH"
                       : shownName + " is a Windows program; install Wine (apt install wine) or set WINE to the wine "
                                     "program to use";
        return std::nullopt;
    }
    // Debian's 64-bit-only Wine ends a 32-bit program at once, without a word.
    if (kind.machine == kMachineI386 && !WineRunsThirtyTwoBit(*wine)) {
        advice = shownName + " is a 32-bit Windows program, and this Wine runs 64-bit programs only; add its 32-bit "
                             "part as root: dpkg --add-architecture i386 && apt update && apt install wine32:i386";
        return std::nullopt;
    }
    WineStart start;
    start.argv = {*wine, program};
    const char* prefix = std::getenv("WINEPREFIX");
    const std::optional<std::string> found =
        prefix == nullptr || *prefix == '\0' ? EnclosingWinePrefix(folder) : std::nullopt;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view variable = *entry;
        if (variable.starts_with("PWD=") || (found && variable.starts_with("WINEPREFIX=")))
            continue;
        start.environment.emplace_back(variable);
    }
    start.environment.push_back("PWD=" + folder);
    if (found)
        start.environment.push_back("WINEPREFIX=" + *found);
    return start;
}

std::string WinePrefixFor(const std::string& folder)
{
    const char* set = std::getenv("WINEPREFIX");
    if (set != nullptr && *set != '\0')
        return set;
    if (std::optional<std::string> prefix = EnclosingWinePrefix(folder))
        return *prefix;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    return std::string(home) + "/.wine";
}

std::string LogicalCurrentFolder()
{
    std::error_code error;
    const std::string real = std::filesystem::current_path(error).string();
    const char* pwd = std::getenv("PWD");
    struct stat named {};
    struct stat current {};
    if (pwd != nullptr && pwd[0] == '/' && ::stat(pwd, &named) == 0 && ::stat(".", &current) == 0 &&
        named.st_dev == current.st_dev && named.st_ino == current.st_ino) {
        std::string logical = std::filesystem::path(pwd).lexically_normal().string();
        while (logical.size() > 1 && logical.back() == '/')
            logical.pop_back();
        return logical;
    }
    return real;
}

} // namespace fw::posix
