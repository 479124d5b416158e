// The platform's pictures, message boxes and file dialog, for the native backend.
#include "framework/win32/native.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

namespace fw::win32 {

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

bool RunFileDialog(const FileDialogRequest& request, std::string& path)
{
    std::vector<char> file(4096, '\0');
    if (request.hasInitialFileName)
        lstrcpynA(file.data(), request.initialFileName.c_str(), static_cast<int>(file.size()));
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = request.filter.empty() ? nullptr : request.filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = request.hasDefaultExtension ? request.defaultExtension.c_str() : nullptr;
    dialog.Flags = request.flags;
    const BOOL chosen = request.open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    if (!chosen)
        return false;
    path = file.data();
    return true;
}

} // namespace fw::win32
