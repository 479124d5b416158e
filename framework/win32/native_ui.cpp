// The platform's pictures, message boxes and file dialog, for the native backend.
#include "framework/win32/native.h"

#include <windows.h>

#include <commdlg.h>
#include <objbase.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/win32/native_system.h"

namespace fw::win32 {
namespace {

// The file dialog's library, loaded from the system folder when "..." is first pressed: the
// first screen needs none of it, and it brings the shell's libraries with it.
struct FileDialogLibrary {
    decltype(&GetOpenFileNameW) open = nullptr;
    decltype(&GetSaveFileNameW) save = nullptr;
    std::string failure; // why it could not be loaded
};

const FileDialogLibrary& FileDialogs()
{
    static const FileDialogLibrary library = [] {
        FileDialogLibrary loaded;
        loaded.open = SystemFunction<decltype(&GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
        if (loaded.open != nullptr)
            loaded.save = SystemFunction<decltype(&GetSaveFileNameW)>("comdlg32.dll", "GetSaveFileNameW");
        if (loaded.save == nullptr)
            loaded.failure = "comdlg32.dll: " + LastErrorText();
        return loaded;
    }();
    return library;
}

// COM, from ole32 in the system folder, joined on the first call that needs it (the file
// dialog, the help viewer, a screen reader's request), never at the start.
struct ComLibrary {
    decltype(&CoInitializeEx) join = nullptr;
    decltype(&CoUninitialize) leave = nullptr;
};

const ComLibrary& Com()
{
    static const ComLibrary library{SystemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx"),
                                    SystemFunction<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize")};
    return library;
}

bool g_joinedCom = false;

} // namespace

Handle MakeBitmap(const std::uint32_t* pixels, int width, int height)
{
    if (pixels == nullptr || width <= 0 || height <= 0)
        return nullptr;
    // 24 bits: the common controls would blend a 32-bit picture by its (unset) alpha bytes.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top-down, as the picture holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr)
        return nullptr;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    auto* rows = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        BYTE* out = rows + static_cast<size_t>(y) * stride;
        const std::uint32_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<BYTE>(in[x] & 0xFF);         // blue
            *out++ = static_cast<BYTE>((in[x] >> 8) & 0xFF);  // green
            *out++ = static_cast<BYTE>((in[x] >> 16) & 0xFF); // red
        }
    }
    GdiFlush();
    return bitmap;
}

void DeleteBitmap(Handle bitmap)
{
    if (bitmap != nullptr)
        DeleteObject(static_cast<HBITMAP>(bitmap));
}

Handle SetPicture(Handle control, Handle bitmap)
{
    return reinterpret_cast<Handle>(
        SendMessageA(static_cast<HWND>(control), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

Handle GetPicture(Handle control)
{
    return reinterpret_cast<Handle>(SendMessageA(static_cast<HWND>(control), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

void BitmapSize(Handle bitmap, int& width, int& height)
{
    width = height = 0;
    BITMAP info{};
    if (bitmap != nullptr && GetObjectA(static_cast<HBITMAP>(bitmap), sizeof info, &info) == sizeof info) {
        width = info.bmWidth;
        height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

int ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned style)
{
    return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

std::string NulSeparatedFilter(const std::string& barSeparated)
{
    std::string filter = barSeparated;
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    // The list ends with an empty string: two NULs, the second being c_str()'s own.
    if (!filter.empty() && filter.back() != '\0')
        filter += '\0';
    return filter;
}

std::wstring Wide(const std::string& ansi)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

bool ExactAnsiPath(const std::wstring& path, std::string& ansi)
{
    if (path.empty())
        return false;
    // A UTF-8 "ANSI" code page spells every name, and takes neither the flag nor the question.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* askDefault = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(path.size());
    const int n = WideCharToMultiByte(CP_ACP, flags, path.data(), length, nullptr, 0, nullptr, askDefault);
    if (n <= 0 || usedDefault)
        return false;
    std::string converted(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, path.data(), length, converted.data(), n, nullptr, askDefault) != n ||
        usedDefault)
        return false;
    // Code pages where the flag has no effect would still map a letter to a look-alike: only a
    // name that reads back as it was is exact.
    if (Wide(converted) != path)
        return false;
    ansi = std::move(converted);
    return true;
}

FileChoice RunFileDialog(const FileDialogRequest& request, std::string& path)
{
    const FileDialogLibrary& library = FileDialogs();
    if (!library.failure.empty()) {
        path = "the file dialog can't be shown: " + library.failure;
        return FileChoice::Unavailable;
    }
    JoinCom();
    std::vector<wchar_t> file(32768, L'\0'); // the longest path the platform has
    if (request.hasInitialFileName)
        lstrcpynW(file.data(), Wide(request.initialFileName).c_str(), static_cast<int>(file.size()));
    // The filter's NULs are part of it: converted whole, with its closing pair.
    const std::wstring filter = Wide(std::string(request.filter.c_str(), request.filter.size() + 1));
    const std::wstring extension = Wide(request.defaultExtension);
    const std::wstring initialDirectory = Wide(request.initialDirectory);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = request.hasDefaultExtension ? extension.c_str() : nullptr;
    dialog.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : initialDirectory.c_str();
    dialog.Flags = request.flags;
    const BOOL chosen = request.open ? library.open(&dialog) : library.save(&dialog);
    if (!chosen)
        return FileChoice::Cancelled;
    const std::wstring name = file.data();
    if (ExactAnsiPath(name, path))
        return FileChoice::Chosen;
    const DWORD shortLength = GetShortPathNameW(name.c_str(), file.data(), static_cast<DWORD>(file.size()));
    if (shortLength > 0 && shortLength < file.size() && ExactAnsiPath(std::wstring(file.data(), shortLength), path))
        return FileChoice::Chosen;
    path.clear();
    return FileChoice::Refused;
}

unsigned AnsiCodePage() { return GetACP(); }

void JoinCom()
{
    const ComLibrary& com = Com();
    if (!g_joinedCom && com.join != nullptr && com.leave != nullptr)
        g_joinedCom = SUCCEEDED(com.join(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void LeaveCom()
{
    if (g_joinedCom)
        Com().leave();
    g_joinedCom = false;
}

} // namespace fw::win32
