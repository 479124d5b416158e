// What screen readers hear of a control: its accessible name, given through MSAA.
#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// From now on, a screen reader that asks the control for its accessible object (WM_GETOBJECT,
// as AccessibleObjectFromWindow does) gets the platform's own object for it, answering with
// `name` as its name. The templates list many labels after their controls, so the platform's
// rule (the static text before the control in window order) would name them wrongly, and a
// slider or a "..." button not at all.
void NameForScreenReaders(HWND control, std::wstring name);

} // namespace fw::win32
