// The preview and the file chooser of the height-map and texture pages.
#include "bitmap/preview.h"

#include <filesystem>
#include <optional>
#include <string>

#include "bitmap/load_bitmap.h"
#include "framework/core/ddx.h"
#include "framework/core/filedlg.h"
#include "framework/core/msgbox.h"
#include "framework/core/program_names.h"
#include "framework/core/system.h"
#include "settings/settings_file.h"

namespace {

// The chooser's one buffer, first for the current directory, then for the short path.
constexpr DWORD kPathBuffer = 256;

void Show(CStatic& picture, HBITMAP bitmap)
{
    HBITMAP previous = picture.SetBitmap(bitmap);
    if (previous != nullptr && previous != bitmap)
        DeleteObject(previous);
}

// What the picture shows, in the words screen readers read as its description (UTF-8): the
// file's size and depth, and for a file of the wrong shape also the page's words for the shape
// it needs. Without a readable file the picture says "File Not Found", and so does this.
std::string DescribeShown(const std::string& path, int code, int expectedCode, const char* message)
{
    if (code == kBitmapFailed)
        return "file not found";
    std::string shown;
    if (const std::optional<BitmapFacts> facts = ReadBitmapFacts(path.c_str())) {
        shown = std::to_string(facts->width) + " \xC3\x97 " + std::to_string(facts->height) + ", " + // U+00D7
                std::to_string(facts->bitCount) + "-bit " + (facts->grey ? "grey" : "colour");
    }
    if (code == expectedCode)
        return shown;
    return (shown.empty() ? std::string() : shown + ", ") + "the wrong shape: " + message;
}

// Names compare as the platform's file system does: without regard to case on Windows.
bool SameName(const CString& a, const CString& b)
{
#ifdef _WIN32
    return a.CompareNoCase(b) == 0;
#else
    return a == b;
#endif
}

} // namespace

void ShowBitmapPreview(CEdit& nameEdit, CStatic& picture, int expectedCode, const char* message)
{
    CString name;
    nameEdit.GetWindowText(name);
    CRect area;
    picture.GetClientRect(&area);
    // The control shows only its own area of the picture, so no more is read or kept.
    const fw::Size shown =
        area.Width() > 0 && area.Height() > 0 ? fw::Size{area.Width(), area.Height()} : kLargestPreview;
    CGdiObject* loaded = nullptr;
    // The file the engine would open under the name, which is the name itself unless the engine
    // reads names its own way (a Windows engine under Wine).
    const std::string path = fw::PathOfProgramFile(name);
    const int code = LoadBitmapFile(path.c_str(), &loaded, shown);
    const auto made = static_cast<HBITMAP>(loaded != nullptr ? loaded->m_hObject : nullptr);
    if (code == expectedCode) {
        Show(picture, made);
    } else {
        // A bitmap made for the other page's shape is never shown.
        if (made != nullptr)
            DeleteObject(made);
        if (code != kBitmapFailed)
            AfxMessageBox(message, MB_OK, 0);
        Show(picture, fw::LoadBitmapResource(kFallbackBitmapId));
    }
    picture.SetAccessibleDescription(DescribeShown(path, code, expectedCode, message).c_str());
}

void ClearBitmapPreview(CStatic& picture) { Show(picture, nullptr); }

namespace {

// The chooser's rule on the platform's names: the bare name for a file directly in the current
// directory, else the full path, in its short form where the platform keeps one.
CString PlatformNameOf(const CFileDialog& dialog)
{
    char buffer[kPathBuffer] = {};
    const CString path = dialog.GetPathName();
    const CString name = dialog.GetFileName();
    // A current directory that does not fit the buffer is not in it: the file then counts as
    // outside and keeps its full path.
    const DWORD length = fw::GetCurrentDirectoryA(kPathBuffer, buffer);
    const bool inCurrent = length > 0 && length < kPathBuffer &&
                           SameName(CString(std::string(buffer, length) + fw::PathSeparator) + name.str(), path);
    if (inCurrent)
        return name;
    // A short form too long for the buffer is reported by its size, the buffer untouched.
    const DWORD shortLength = fw::GetShortPathNameA(path, buffer, kPathBuffer);
    if (shortLength > 0 && shortLength < kPathBuffer)
        return CString(std::string(buffer, shortLength));
    return path;
}

// For an engine that reads names its own way, the chooser opens in the folder of the file the
// edit's name leads to, where there is one.
std::string StartingFolder(CEdit& nameEdit)
{
    if (fw::FileNamesAreThePlatforms())
        return {};
    CString current;
    nameEdit.GetWindowText(current);
    const std::string file = fw::PathOfProgramFile(current);
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error))
        return {};
    return std::filesystem::path(file).parent_path().string();
}

} // namespace

void BrowseForBitmap(CWnd& page, CEdit& nameEdit)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY,
                       "Bitmaps (*.bmp)|*.bmp||", &page);
    const std::string folder = StartingFolder(nameEdit);
    if (!folder.empty())
        dialog.m_ofn.lpstrInitialDir = folder.c_str();
    // Cancel, the close box or a failed dialog leave the name as it was.
    if (dialog.DoModal() != IDOK)
        return;
    if (!dialog.GetRefusal().IsEmpty()) {
        AfxMessageBox(dialog.GetRefusal(), MB_OK, 0);
        return;
    }
    if (const unsigned codePage = dialog.GetRefusedCodePage()) {
        // In the words of the other refusals of a name.
        const std::string why = "terrain.ini can't hold a name with characters outside code page " +
                                std::to_string(codePage) + ", and this file has no short name without them";
        AfxMessageBox(why.c_str(), MB_OK, 0);
        return;
    }
    CString result;
    if (fw::FileNamesAreThePlatforms()) {
        result = PlatformNameOf(dialog);
    } else {
        // The same rule as the engine sees it: its current folder and its names for the file.
        std::string why;
        const std::optional<std::string> name = fw::ProgramNameOfFile(dialog.GetPathName(), &why);
        if (!name) {
            AfxMessageBox(why.c_str(), MB_OK, 0);
            return;
        }
        result = CString(*name);
    }
    // A name the next start would read as another one is never put where OK would write it.
    if (const char* reason = nameNotKeptReason(result)) {
        AfxMessageBox(reason, MB_OK, 0);
        return;
    }
    nameEdit.SetWindowText(result);
}

void DDV_BitmapName(CDataExchange* pDX, const CString& name)
{
    if (pDX->Failed() || !pDX->m_bSaveAndValidate)
        return;
    if (const char* reason = nameNotKeptReason(name)) {
        AfxMessageBox(reason, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail(pDX->ControlOf(&name));
    }
}
