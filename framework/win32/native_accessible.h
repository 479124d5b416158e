// What screen readers hear of a control through MSAA: its name, its description and its access
// key, answered by the control itself.
#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// From now on, a screen reader that asks the control for its accessible object (WM_GETOBJECT,
// as AccessibleObjectFromWindow does) gets the platform's own object for it, answering with
// these texts where they are set. The templates list many labels after their controls, so the
// platform's rule (the static text before the control in window order) would name them wrongly,
// and a slider, a picture or a "..." button not at all; the platform's description is only
// ever the control's own help text, and its shortcut is left to the standard object, which not
// every platform derives from a control's label.
void NameForScreenReaders(HWND control, std::wstring name);
// A change of the description is announced to screen readers that listen
// (EVENT_OBJECT_DESCRIPTIONCHANGE).
void DescribeForScreenReaders(HWND control, std::wstring description);
// "Alt+W" for the key W.
void ShortcutForScreenReaders(HWND control, wchar_t key);

} // namespace fw::win32
