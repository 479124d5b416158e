// The program's entry point on Windows: the common controls, then the application object's one
// pass on the native backend.
#include <windows.h>

#include "framework/win32/native.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    // The launcher reads no command line: everything it needs is in terrain.ini.
    return fw::win32::RunProgram(instance);
}
