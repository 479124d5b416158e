// The sheet's keyboard and what screen readers hear: the keys of the sheet (Ctrl+Tab, Enter,
// Escape, F1, Alt and a tab's letter), the pages' controls in reading order with their groups,
// and each control's name, description and access key.
#include "framework/win32/native_sheet_parts.h"

#include <commctrl.h>

#include <cctype>
#include <iterator>

#include "framework/win32/native_accessible.h"

namespace fw::win32 {
namespace sheet {

// The character after a caption's access-key marker ('&', not "&&"), or 0.
char AccessKeyOf(const std::string& marked)
{
    for (std::size_t i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != '&')
            continue;
        if (marked[i + 1] != '&')
            return marked[i + 1];
        ++i;
    }
    return 0;
}

bool IsPushButton(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Button") != 0)
        return false;
    const LONG_PTR type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

namespace {

// The keys are the program's own, ASCII: letters match in either case.
bool SameKey(WPARAM typed, char key)
{
    return key != 0 && typed < 0x80 &&
           std::toupper(static_cast<int>(typed)) == std::toupper(static_cast<unsigned char>(key));
}

} // namespace
} // namespace sheet

using namespace sheet;

void NativeSheet::SetAccessibleTexts(int page, int id, const std::string& name, const std::string& description,
                                     char key)
{
    HWND control = H(Control(page, id));
    if (control == nullptr)
        return;
    wchar_t given[256] = {};
    const bool named = IsPushButton(control) && LoadStringW(static_cast<HINSTANCE>(m_instance), static_cast<UINT>(id),
                                                            given, static_cast<int>(std::size(given))) > 0;
    ReadForScreenReaders(control, named ? std::wstring(given) : Wide(name), description, key);
}

bool NativeSheet::HandleSheetKey(const void* message)
{
    const MSG& msg = *static_cast<const MSG*>(message);
    // Most messages are no key; which window a key is for takes asking the system.
    if (msg.message != WM_SYSCHAR && msg.message != WM_KEYDOWN)
        return false;
    if (msg.hwnd != H(m_window) && !IsChild(H(m_window), msg.hwnd))
        return false;
    // Alt and a tab's key opens that tab, as a click on it would (the tab control knows no
    // access keys); the dialog manager finds the page's keys and the buttons' itself.
    if (msg.message == WM_SYSCHAR) {
        for (std::size_t i = 0; i < m_tabKeys.size(); ++i) {
            if (SameKey(msg.wParam, m_tabKeys[i])) {
                if (static_cast<int>(i) != m_shown)
                    m_input.TabRequested(static_cast<int>(i));
                return true;
            }
        }
        return false;
    }
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    const int count = static_cast<int>(m_pages.size());
    const auto step = [this, count](int by) {
        if (count > 0)
            m_input.TabRequested(((m_shown + by) % count + count) % count);
    };
    if (alt)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (!control)
            return false;
        step(shift ? -1 : 1);
        return true;
    case VK_NEXT:
    case VK_PRIOR:
        if (!control || shift)
            return false;
        step(msg.wParam == VK_NEXT ? 1 : -1);
        return true;
    case VK_F1:
        if (control || shift)
            return false;
        m_input.HelpPressed();
        return true;
    case VK_ESCAPE:
        if (control || shift)
            return false;
        m_input.CancelPressed();
        return true;
    case VK_RETURN:
        if (control || shift)
            return false;
        if (IsPushButton(msg.hwnd)) {
            // Enter presses the focused push button: the click goes to the button's own dialog,
            // a page or the sheet. The dialog manager would send it to the sheet, and only for
            // the default button.
            SendMessageA(GetParent(msg.hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(msg.hwnd));
            return true;
        }
        m_input.OkPressed();
        return true;
    default: return false;
    }
}

} // namespace fw::win32
