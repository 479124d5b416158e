// User input for the backend tests, made of the messages the platform sends for it.
#include "tests/win32/native_input.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include <commctrl.h>
#include <dlgs.h>
#include <oleacc.h>

namespace wintest {
namespace {

HWND H(Handle handle) { return static_cast<HWND>(handle); }

WPARAM VirtualKey(Key key)
{
    switch (key) {
    case Key::Return: return VK_RETURN;
    case Key::Escape: return VK_ESCAPE;
    case Key::Home: return VK_HOME;
    case Key::End: return VK_END;
    case Key::Right: return VK_RIGHT;
    case Key::Tab: return VK_TAB;
    }
    return 0;
}

HWND Tabs(Handle sheet) { return GetDlgItem(H(sheet), 0x3020); }

} // namespace

void Type(Handle edit, const std::string& text)
{
    for (const char c : text)
        SendMessageA(H(edit), WM_CHAR, static_cast<unsigned char>(c), 1);
}

void SelectAll(Handle edit) { SendMessageA(H(edit), EM_SETSEL, 0, -1); }

void Paste(Handle edit, const std::string& text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    // The clipboard takes the memory over once SetClipboardData succeeds.
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_TEXT, memory) == nullptr)
            GlobalFree(memory);
    }
    CloseClipboard();
    SendMessageA(H(edit), WM_PASTE, 0, 0);
}

void PressKey(Handle control, Key key)
{
    SendMessageA(H(control), WM_KEYDOWN, VirtualKey(key), 1);
    SendMessageA(H(control), WM_KEYUP, VirtualKey(key), static_cast<LPARAM>(0xC0000001u));
}

void PostKey(Handle control, Key key) { PostMessageA(H(control), WM_KEYDOWN, VirtualKey(key), 1); }

void PostAltKey(Handle control, char key)
{
    constexpr LPARAM altDown = 1 << 29; // the context code: Alt is held
    PostMessageA(H(control), WM_SYSCHAR, static_cast<unsigned char>(key), altDown | 1);
}

namespace {
void SetShift(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
} // namespace

ShiftHeld::ShiftHeld() { SetShift(true); }
ShiftHeld::~ShiftHeld() { SetShift(false); }

Handle Focused() { return GetFocus(); }

void Click(Handle button) { SendMessageA(H(button), BM_CLICK, 0, 0); }

void ClickTab(Handle sheet, int index)
{
    HWND tabs = Tabs(sheet);
    RECT item{};
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
}

int SelectedTab(Handle sheet) { return static_cast<int>(SendMessageA(Tabs(sheet), TCM_GETCURSEL, 0, 0)); }

std::string ClassOf(Handle window)
{
    char name[64] = {};
    GetClassNameA(H(window), name, sizeof name);
    return name;
}

bool IsVisible(Handle window) { return IsWindowVisible(H(window)) != FALSE; }

Handle Child(Handle parent, int id) { return GetDlgItem(H(parent), id); }

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

namespace {

// A caption as drawn: its access-key marker ('&') is the underline of the next letter, and "&&"
// a '&'.
std::string Drawn(const std::string& caption)
{
    std::string drawn;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        drawn += caption[i];
    }
    return drawn;
}

// The room a control's text needs, in the control's font: one line, or for a static text taller
// than a line, the height of the text wrapped at the control's width.
SIZE TextNeeds(HWND control, const std::string& text, const RECT& room, bool wraps)
{
    HDC dc = GetDC(control);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE needs{0, 0};
    if (wraps) {
        RECT wrapped{0, 0, room.right, 0};
        DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        needs = {wrapped.right, wrapped.bottom};
    } else {
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &needs);
    }
    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return needs;
}

BOOL CALLBACK CheckFit(HWND control, LPARAM out)
{
    auto& misfits = *reinterpret_cast<std::vector<std::string>*>(out);
    char text[512] = {};
    GetWindowTextA(control, text, sizeof text);
    const std::string name = ClassOf(control);
    if (text[0] == '\0' || name == "msctls_trackbar32")
        return TRUE;
    RECT room{};
    GetClientRect(control, &room);
    const DWORD type = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)) & BS_TYPEMASK;
    const bool button = name == "Button";
    const bool checkBox = button && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
    const bool groupBox = button && type == BS_GROUPBOX;
    // What the control draws besides its text: a check box its box and the gap after it, a push
    // button its edges, an edit its margins.
    int taken = 0;
    if (checkBox)
        taken = GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
    else if (button && !groupBox)
        taken = 2 * GetSystemMetrics(SM_CXEDGE);
    else if (name == "Edit")
        taken = LOWORD(SendMessageA(control, EM_GETMARGINS, 0, 0)) + HIWORD(SendMessageA(control, EM_GETMARGINS, 0, 0));
    room.right -= taken;
    const SIZE line = TextNeeds(control, "X", room, false);
    const bool wraps = name == "Static" && room.bottom >= 2 * line.cy;
    const SIZE needs = TextNeeds(control, name == "Edit" ? std::string(text) : Drawn(text), room, wraps);
    if (needs.cx > room.right || needs.cy > room.bottom)
        misfits.push_back(name + " " + std::to_string(GetDlgCtrlID(control)) + " '" + text + "' needs " +
                          std::to_string(needs.cx) + " x " + std::to_string(needs.cy) + ", has " +
                          std::to_string(room.right) + " x " + std::to_string(room.bottom));
    return TRUE;
}

} // namespace

std::vector<std::string> TextsThatDoNotFit(Handle page)
{
    std::vector<std::string> misfits;
    EnumChildWindows(H(page), CheckFit, reinterpret_cast<LPARAM>(&misfits));
    return misfits;
}

bool InsideParent(Handle window)
{
    HWND parent = GetParent(H(window));
    RECT inner{};
    RECT outer{};
    GetWindowRect(H(window), &inner);
    GetClientRect(parent, &outer);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&outer), 2);
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

std::string ToolTipOf(Handle toolTips, Handle page, Handle control)
{
    char text[512] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = H(page);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(H(toolTips), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

namespace {

// One text of the control's accessible object, in UTF-8; "<none>" when it gives none.
template <typename Get> std::string AccessibleText(Handle control, Get get)
{
    // IID_IAccessible, defined here rather than taken from MinGW's import library.
    static constexpr GUID accessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(H(control), static_cast<DWORD>(OBJID_CLIENT), accessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return "<none>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = nullptr;
    const HRESULT got = get(*object, self, &value);
    object->Release();
    if (got != S_OK || value == nullptr)
        return "<none>";
    const int length = static_cast<int>(SysStringLen(value));
    std::string text(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, value, length, nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, length, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    SysFreeString(value);
    return text;
}

} // namespace

std::string AccessibleName(Handle control)
{
    return AccessibleText(control, [](IAccessible& o, VARIANT self, BSTR* out) { return o.get_accName(self, out); });
}

std::string AccessibleDescription(Handle control)
{
    return AccessibleText(control,
                          [](IAccessible& o, VARIANT self, BSTR* out) { return o.get_accDescription(self, out); });
}

std::string AccessibleShortcut(Handle control)
{
    return AccessibleText(control,
                          [](IAccessible& o, VARIANT self, BSTR* out) { return o.get_accKeyboardShortcut(self, out); });
}

bool MakeFolder(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool SetReadOnly(const char* path, bool readOnly)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD wanted = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    return SetFileAttributesA(path, wanted) != FALSE;
}

void TypeOver(Handle edit, const std::string& text)
{
    SelectAll(edit);
    Type(edit, text);
}

unsigned AnsiCodePage() { return GetACP(); }

Handle WindowIcon(Handle window, bool big)
{
    return reinterpret_cast<Handle>(SendMessageA(H(window), WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
}

namespace {

FileDialogAnswer* g_answer = nullptr;

// The file dialog among the thread's windows: a dialog with a file-name box (cmb13 or edt1).
BOOL CALLBACK FindFileDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0 &&
        (GetDlgItem(window, cmb13) != nullptr || GetDlgItem(window, edt1) != nullptr)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_answer != nullptr)
        g_answer->Tick();
}

} // namespace

FileDialogAnswer::FileDialogAnswer(std::wstring path) : m_path(std::move(path))
{
    g_answer = this;
    // A thread timer: the file dialog's own modal loop dispatches it.
    m_timer = SetTimer(nullptr, 0, 100, AnswerTick);
}

FileDialogAnswer::~FileDialogAnswer()
{
    KillTimer(nullptr, m_timer);
    g_answer = nullptr;
}

void FileDialogAnswer::Tick()
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFileDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr)
        return;
    if (dialog == m_last) {
        // Still open: the name was not taken. Cancel rather than wait for ever.
        if (++m_waited > 50)
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    m_last = dialog;
    m_waited = 0;
    ++m_answered;
    if (m_path.empty()) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    HWND box = GetDlgItem(dialog, cmb13) != nullptr ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
    SetWindowTextW(box, m_path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

} // namespace wintest
