// Windows programs on Linux: telling one from its bytes, and the Wine that starts it (the wine
// program, its 32-bit half, the prefix a folder lies in).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fw::posix {

// What a file is as a program: not a Windows one (an ELF file, a script, anything else), or a
// Windows program built for the machine its header names.
struct WindowsProgram {
    bool isWindows = false;
    std::uint16_t machine = 0; // IMAGE_FILE_MACHINE_*
};

inline constexpr std::uint16_t kMachineI386 = 0x014C;
inline constexpr std::uint16_t kMachineX86_64 = 0x8664;

// Reads exactly dst.size() bytes at offset; false when they are not all there.
using ReadBytesAt = std::function<bool(std::uint64_t offset, std::span<unsigned char> dst)>;

// A Windows program starts with "MZ", holds at 0x3C a 32-bit little-endian offset (0x40 or
// more) of "PE\0\0" inside the file, and its file header's characteristics say an executable
// image, not a library. Reads 64 bytes and then 24: nothing else.
WindowsProgram ClassifyProgram(const ReadBytesAt& read, std::uint64_t size);

// The same for a file: only a regular file is opened, without waiting.
WindowsProgram ClassifyProgramFile(const char* path);

// How a machine is named to the user ("ARM64", "machine 0x1234").
std::string MachineName(std::uint16_t machine);

// Where a program named by the user lies: a name with a '/' is that path (made absolute from
// the current folder), any other is looked up on PATH. Only an executable regular file counts.
std::optional<std::string> FindProgram(const std::string& name, const char* searchPath);

// Whether the Wine program can run 32-bit programs, as far as its layout tells: Debian's wine
// script runs ../lib/wine/wine for them and falls back to wine64 beside it, which runs none; a
// loader named wine64 hands them to the wine beside it. Any other Wine is taken to manage.
bool WineRunsThirtyTwoBit(const std::string& wineProgram);

// The Wine prefix a folder lies in: the nearest of it and its ancestors that holds a drive_c
// folder and a system.reg or user.reg file. Looked up along the path as given, then along the
// path with its links resolved.
std::optional<std::string> EnclosingWinePrefix(const std::string& folder);

// The prefix Wine takes for a program in `folder`: WINEPREFIX when it is set, else the prefix
// the folder lies in, else ~/.wine, which Wine makes when it first runs.
std::string WinePrefixFor(const std::string& folder);

// The current folder as the shell names it: PWD when that is an absolute name of the current
// folder (links kept, as Wine keeps them), else the folder with its links resolved.
std::string LogicalCurrentFolder();

// How a Windows program is started: its Wine with the program's absolute path, and the whole
// environment to start them with.
struct WineStart {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
};

// The start of the Windows program at `program` (absolute) from `folder`: the Wine of WINE, or
// wine on PATH; PWD set to the folder, and WINEPREFIX to the prefix the folder lies in when it
// is not set; the rest of the environment as it is. Nothing when it cannot run, and `advice`
// then tells the user what to do, naming the program as `shownName`.
std::optional<WineStart> WineStartOf(const std::string& program, const std::string& shownName,
                                     const std::string& folder, const WindowsProgram& kind, std::string& advice);

} // namespace fw::posix
