// System services the launcher calls on the platform: process start, the current directory,
// short names, the files installed with the program and the help viewer. On Linux they follow
// the Linux rules of the design notes.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/wintypes.h"

namespace fw {

struct STARTUPINFOA {
    DWORD cb = 0;
    // The remaining fields are not used by this program.
    DWORD reserved[16] = {};
};

struct PROCESS_INFORMATION {
    void* hProcess = nullptr;
    void* hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};

// Starts a program. A bare name is taken from the current directory, never from a search path.
// On Linux the child runs detached in its own session with the launcher's environment; a start
// that fails (missing, not executable, not a program) returns FALSE. A Windows program (told by
// its headers) is started through Wine, in the same way.
BOOL CreateProcessA(const char* applicationName, char* commandLine, void* processAttributes, void* threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, void* environment, const char* currentDirectory,
                    STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInfo);

// What the user can do about the last failed CreateProcessA on this thread, when the platform
// knows more than the system's error (a Windows program on Linux without Wine: "install Wine
// ..."); the program's name as the call gave it. Empty otherwise: LastErrorText() is the reason.
std::string StartFailureAdvice();

// The system's words for the last failure of a system call on this thread, for a line on
// standard error: strerror(errno) on Linux, FormatMessage of GetLastError() on Windows.
std::string LastErrorText();

// The current directory: its length when it fits in the buffer (with its NUL), else the size
// the buffer needs, writing nothing. 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer);

// The short form of an existing path: on Linux there are no short names, so the path itself.
// Its length when it fits, else the size needed (buffer untouched); 0 when the file is missing.
DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD bufferLength);

// Where a file installed with the program lies: on Linux in ../share/<program>/ from the
// program's own folder (/usr/bin/sandrel has its files in /usr/share/sandrel/), on Windows
// beside the program. Empty when the program cannot tell where it is.
std::string InstalledFilePath(const char* name);

#ifndef _WIN32
// Opens a regular file for reading, without waiting: a FIFO, a device or a folder gives -1
// instead of an open that blocks or a read that never ends. Its size goes to *size when asked.
int OpenRegularFile(const char* path, std::uint64_t* size = nullptr);
#endif

// Shows a help topic, "file::/topic", through the backend's viewer: the file from the current
// directory when it is there, else the one installed with the program. Without a viewer or
// either file: nothing.
void* HtmlHelpA(void* owner, const char* fileAndTopic, UINT command, std::uintptr_t data);

// The separator of path names on this platform.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

} // namespace fw
