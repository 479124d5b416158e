// System services on Windows: the engine start, the current directory and short names, each
// the platform call the launcher was designed around, and the program's installed files.
#include "framework/core/system.h"

#include <string>

#include "framework/win32/native_system.h"

// windows.h cannot meet the layer's declarations in this file (see native_system.h): the two
// calls the reason of a failure needs are declared as the system exports them.
extern "C" {
__declspec(dllimport) unsigned long __stdcall GetLastError();
__declspec(dllimport) unsigned long __stdcall FormatMessageA(unsigned long flags, const void* source,
                                                             unsigned long messageId, unsigned long languageId,
                                                             char* buffer, unsigned long size, char** arguments);
}

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

DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer)
{
    return win32::CurrentDirectory(bufferLength, buffer);
}

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

std::string LastErrorText()
{
    const unsigned long error = ::GetLastError();
    constexpr unsigned long fromSystem = 0x1000, ignoreInserts = 0x200;
    char text[512];
    unsigned long length = ::FormatMessageA(fromSystem | ignoreInserts, nullptr, error, 0, text, sizeof text, nullptr);
    // The system's text ends with a line end: the caller puts it on a line of its own.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return "error " + std::to_string(error);
    return std::string(text, length);
}

} // namespace fw
