// The Windows calls behind the layer's system services, in plain types: windows.h and the
// layer's own declarations of the same names cannot meet in one file.
#pragma once

#include <cstdint>
#include <string>

namespace fw::win32 {

struct StartedProcess {
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

// CreateProcessA with a zero-filled STARTUPINFOA of the platform's size. False when the program
// could not be started. The launcher waits for nothing and never looks at the program again, so
// the process and thread handles are closed here, as on Linux there are none.
bool StartProcess(const char* applicationName, char* commandLine, bool inheritHandles, std::uint32_t creationFlags,
                  void* environment, const char* currentDirectory, StartedProcess& started);

// GetCurrentDirectoryA and GetShortPathNameA.
std::uint32_t CurrentDirectory(std::uint32_t bufferLength, char* buffer);
std::uint32_t ShortPathName(const char* longPath, char* buffer, std::uint32_t bufferLength);

// The program's own full path (GetModuleFileNameA); empty when it does not fit MAX_PATH.
std::string ProgramPath();

// HtmlHelpA from hhctrl.ocx, loaded from the system folder on the first call; without it
// nothing happens (null).
void* HtmlHelp(void* owner, const char* fileAndTopic, unsigned command, std::uintptr_t data);

// The full path of a file name (GetFullPathNameA); the name itself when it has none.
std::string FullPath(const std::string& name);

// Limits where libraries are loaded from to the system folder, so that a file of a library's
// name in the program's folder (a downloads folder, say) is never loaded instead.
void LimitLibrarySearch();

// A library from the system folder only; nullptr when it is not there.
void* LoadSystemLibrary(const char* name);

// A function of a library from the system folder, which stays loaded; nullptr when the library
// or the function is not there (LastErrorText says which).
void* SystemFunction(const char* library, const char* name);
template <typename Function> Function SystemFunction(const char* library, const char* name)
{
    return reinterpret_cast<Function>(SystemFunction(library, name));
}

// The system's words for the thread's last error, without their line end ("error N" when the
// system has none).
std::string LastErrorText();

} // namespace fw::win32
