// System services the launcher calls on the platform: process start, the current directory,
// short names and the help viewer. On Linux they follow the Linux rules of the design notes.
#pragma once

#include <cstdint>

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
// that fails (missing, not executable, not a program) returns FALSE.
BOOL CreateProcessA(const char* applicationName, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentDirectory, STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInfo);

// The current directory: its length when it fits in the buffer (with its NUL), else the size
// the buffer needs, writing nothing. 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer);

// The short form of an existing path: on Linux there are no short names, so the path itself.
// Its length when it fits, else the size needed (buffer untouched); 0 when the file is missing.
DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD bufferLength);

// Shows a help topic, "file::/topic", through the backend's viewer. Without one: nothing.
void* HtmlHelpA(void* owner, const char* fileAndTopic, UINT command, std::uintptr_t data);

// The separator of path names on this platform.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

} // namespace fw
