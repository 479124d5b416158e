// The Windows calls behind the layer's system services, in plain types: windows.h and the
// layer's own declarations of the same names cannot meet in one file.
#pragma once

#include <cstdint>
#include <string>

namespace fw::win32 {

struct StartedProcess {
    void* process = nullptr;
    void* thread = nullptr;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

// CreateProcessA with a zero-filled STARTUPINFOA of the platform's size. False when the program
// could not be started.
bool StartProcess(const char* applicationName, char* commandLine, bool inheritHandles, std::uint32_t creationFlags,
                  void* environment, const char* currentDirectory, StartedProcess& started);

// GetCurrentDirectoryA and GetShortPathNameA.
std::uint32_t CurrentDirectory(std::uint32_t bufferLength, char* buffer);
std::uint32_t ShortPathName(const char* longPath, char* buffer, std::uint32_t bufferLength);

// The program's own full path (GetModuleFileNameA); empty when it does not fit MAX_PATH.
std::string ProgramPath();

// HtmlHelpA from hhctrl.ocx, loaded on the first call; without it nothing happens (null).
void* HtmlHelp(void* owner, const char* fileAndTopic, unsigned command, std::uintptr_t data);

} // namespace fw::win32
