// System services on Windows: the engine start, the current directory, short names and help,
// each the platform call the launcher was designed around.
#include "framework/core/system.h"

#include <string>

#include "framework/core/backend.h"
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
        processInfo->hProcess = started.process;
        processInfo->hThread = started.thread;
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

void* HtmlHelpA(void* /*owner*/, const char* fileAndTopic, UINT command, std::uintptr_t /*data*/)
{
    // The backend shows help: the native one hands the request on to the platform's viewer
    // unchanged, the headless one records it.
    Backend* backend = GetBackend();
    if (backend == nullptr || fileAndTopic == nullptr || command != HH_DISPLAY_TOPIC)
        return nullptr;
    std::string file = fileAndTopic;
    std::string topic;
    if (const size_t sep = file.find("::"); sep != std::string::npos) {
        topic = file.substr(sep + 2);
        file.resize(sep);
        while (!topic.empty() && (topic.front() == '/' || topic.front() == '\\'))
            topic.erase(topic.begin());
    }
    return backend->ShowHelp(file.c_str(), topic.c_str()) ? reinterpret_cast<void*>(1) : nullptr;
}

} // namespace fw
