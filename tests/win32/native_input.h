// Plays the user on native windows for the backend tests: keys, characters and clicks sent to
// the real controls, which handle them as they handle a user's.
#pragma once

#include <string>

#include "framework/win32/native.h"

namespace wintest {

using fw::win32::Handle;

enum class Key { Return, Escape, Home, End, Right };

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
// A mouse click on a button.
void Click(Handle button);
// A mouse click on a tab of the sheet's tab control.
void ClickTab(Handle sheet, int index);
int SelectedTab(Handle sheet);

std::string ClassOf(Handle window);
bool IsVisible(Handle window);

} // namespace wintest
