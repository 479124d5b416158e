// Plays the user on native windows for the backend tests: keys, characters and clicks sent to
// the real controls, which handle them as they handle a user's; and reads what the user sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/win32/native.h"

namespace wintest {

using fw::win32::Handle;

enum class Key { Return, Escape, Home, End, Right, Tab };

// Characters typed one by one (WM_CHAR), as the keyboard sends them to the focused edit.
void Type(Handle edit, const std::string& text);
// Selects everything in the edit, so that typing replaces it.
void SelectAll(Handle edit);
// Puts text on the clipboard, then pastes it into the edit as Ctrl+V does.
void Paste(Handle edit, const std::string& text);
// A key pressed on the control; it goes to the control's window procedure at once.
void PressKey(Handle control, Key key);
// A key pressed while the control has the focus; it waits in the queue for the sheet's loop.
void PostKey(Handle control, Key key);
// Alt and a character key pressed while the control has the focus (the WM_SYSCHAR the platform
// makes of it), waiting in the queue for the sheet's loop.
void PostAltKey(Handle control, char key);
// Shift held down, as the thread's keyboard state says, while it lives.
class ShiftHeld {
public:
    ShiftHeld();
    ~ShiftHeld();
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;
};
// The window that has the keyboard focus.
Handle Focused();
// A mouse click on a button.
void Click(Handle button);
// A mouse click on a tab of the sheet's tab control.
void ClickTab(Handle sheet, int index);
int SelectedTab(Handle sheet);

std::string ClassOf(Handle window);
// The child window `id` of a window (nullptr when none).
Handle Child(Handle parent, int id);
bool IsVisible(Handle window);

// The screen's dots per inch, as windows are laid out for it.
int ScreenDpi();
// The controls of a page whose caption or text, drawn in the control's own font, needs more
// room than the control has: one line each, saying which and by how much. Empty when all fit.
std::vector<std::string> TextsThatDoNotFit(Handle page);
// Whether the window lies wholly inside the client area of its parent.
bool InsideParent(Handle window);
// The tooltip a tooltip window holds for a control of a page ("" when none).
std::string ToolTipOf(Handle toolTips, Handle page, Handle control);

// The name a screen reader reads for the control: get_accName of the object that
// AccessibleObjectFromWindow gives for its client area, in UTF-8. "<none>" when it gives none.
std::string AccessibleName(Handle control);
// The same for get_accDescription and get_accKeyboardShortcut.
std::string AccessibleDescription(Handle control);
std::string AccessibleShortcut(Handle control);
// CreateDirectoryW.
bool MakeFolder(const std::wstring& path);
// Sets or clears a file's read-only attribute.
bool SetReadOnly(const char* path, bool readOnly);
// Replaces an edit's text as the user does: selects all, types.
void TypeOver(Handle edit, const std::string& text);
// The system's ANSI code page.
unsigned AnsiCodePage();
// The window's icon as WM_GETICON gives it, big or small.
Handle WindowIcon(Handle window, bool big);

// Answers the platform's file dialogs that open on this thread while it lives, as a user would:
// types `path` as the file name and presses Open, or with an empty path presses Cancel.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::wstring path);
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;
    // How many file dialogs it has answered.
    int Answered() const { return m_answered; }
    // Its timer's work: looks for a file dialog and answers it.
    void Tick();

private:
    std::wstring m_path;
    std::uintptr_t m_timer = 0;
    Handle m_last = nullptr;
    int m_waited = 0;
    int m_answered = 0;
};

} // namespace wintest
