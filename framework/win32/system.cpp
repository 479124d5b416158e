// System services on Windows: the engine start, the current directory and short names, each
// the platform call the launcher was designed around, and the program's installed files.
#include "framework/core/system.h"

#include <string>

#include "framework/win32/native_system.h"

namespace fw {

BOOL CreateProcessA(const char* applicationName, char* commandLine, void* /*processAttributes*/,
                    void* /*threadAttributes*/, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentDirectory, STARTUPINFOA* /*startupInfo*/, PROCESS_INFORMATION* processInfo)
{
    if (applicationName == nullptr || *applicationName == '\0')
        return FALSE;
    win32::StartedProcess started;
    if (!win32::StartProcess(applicationName, commandLine, inheritHandles != FALSE, creationFlags, environment,
                             currentDirectory, started))
        return FALSE;
    if (processInfo != nullptr) {
        processInfo->hProcess = nullptr; // closed already: see StartProcess
        processInfo->hThread = nullptr;
        processInfo->dwProcessId = started.processId;
        processInfo->dwThreadId = started.threadId;
    }
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer) { return win32::CurrentDirectory(bufferLength, buffer); }

DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD bufferLength)
{
    if (longPath == nullptr)
        return 0;
    return win32::ShortPathName(longPath, buffer, bufferLength);
}

std::string InstalledFilePath(const char* name)
{
    // Unpacked from its zip, the program has its files beside it.
    const std::string program = win32::ProgramPath();
    const size_t folderEnd = program.find_last_of("\\/");
    if (name == nullptr || folderEnd == std::string::npos)
        return {};
    return program.substr(0, folderEnd + 1) + name;
}

// Windows starts every program itself: there is no more to say than the system's reason.
std::string StartFailureAdvice() { return {}; }

std::string LastErrorText() { return win32::LastErrorText(); }

} // namespace fw
