// The Windows calls behind the layer's system services.
#include "framework/win32/native_system.h"

#include <windows.h>

#include <string>

namespace fw::win32 {

bool StartProcess(const char* applicationName, char* commandLine, bool inheritHandles, std::uint32_t creationFlags,
                  void* environment, const char* currentDirectory, StartedProcess& started)
{
    STARTUPINFOA startupInfo;
    ZeroMemory(&startupInfo, sizeof startupInfo);
    startupInfo.cb = sizeof startupInfo;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    // An application name without a path is taken from the current directory; the search path
    // is only ever used for a name given in the command line, which this call leaves alone.
    if (!::CreateProcessA(applicationName, commandLine, nullptr, nullptr, inheritHandles ? TRUE : FALSE, creationFlags,
                          environment, currentDirectory, &startupInfo, &info))
        return false;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    started.processId = info.dwProcessId;
    started.threadId = info.dwThreadId;
    return true;
}

std::uint32_t CurrentDirectory(std::uint32_t bufferLength, char* buffer)
{
    return ::GetCurrentDirectoryA(bufferLength, buffer);
}

std::uint32_t ShortPathName(const char* longPath, char* buffer, std::uint32_t bufferLength)
{
    return ::GetShortPathNameA(longPath, buffer, bufferLength);
}

std::string ProgramPath()
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut.
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(path, length);
}

void* HtmlHelp(void* owner, const char* fileAndTopic, unsigned command, std::uintptr_t data)
{
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static const auto htmlHelp = SystemFunction<HtmlHelpFunction>("hhctrl.ocx", "HtmlHelpA");
    if (htmlHelp == nullptr)
        return nullptr;
    return htmlHelp(static_cast<HWND>(owner), fileAndTopic, command, data);
}

std::string FullPath(const std::string& name)
{
    if (name.empty())
        return name;
    const DWORD needed = ::GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return name;
    std::string full(needed, '\0');
    const DWORD length = ::GetFullPathNameA(name.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return name;
    full.resize(length);
    return full;
}

void LimitLibrarySearch() { ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

void* LoadSystemLibrary(const char* name) { return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

void* SystemFunction(const char* library, const char* name)
{
    const auto module = static_cast<HMODULE>(LoadSystemLibrary(library));
    return module != nullptr ? reinterpret_cast<void*>(::GetProcAddress(module, name)) : nullptr;
}

std::string LastErrorText()
{
    const DWORD error = ::GetLastError();
    char text[512];
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                    sizeof text, nullptr);
    // The system's text ends with a line end: the caller puts it on a line of its own.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return "error " + std::to_string(error);
    return std::string(text, length);
}

} // namespace fw::win32
