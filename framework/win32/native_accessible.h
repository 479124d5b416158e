// What screen readers hear of a control through MSAA: its name, its description and its access
// key, answered by the control itself.
#pragma once

#include <windows.h>

#include <string>

namespace fw::win32 {

// From now on, a screen reader that asks the control for its accessible object (WM_GETOBJECT,
// as AccessibleObjectFromWindow does) gets the platform's own object for it, answering with
// these texts where they are not empty: its name, its description (UTF-8, as the layer holds it)
// and its access key ('w' is heard as "Alt+W"). The templates list many labels after their
// controls, so the platform's rule (the static text before the control in window order) would
// name them wrongly, and a slider, a picture or a "..." button not at all; the platform's
// description is only ever the control's own help text, and its shortcut is left to the
// standard object, which not every platform derives from a control's label. Given as the
// control is made, before anyone can have read it, so nothing is announced.
void ReadForScreenReaders(HWND control, std::wstring name, const std::string& description, char key);

} // namespace fw::win32
