// User input for the backend tests, made of the messages the platform sends for it.
#include "tests/win32/native_input.h"

#include <windows.h>

#include <cstring>

#include <commctrl.h>

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

} // namespace wintest
