// The program's icon for its top-level windows (the sheet and the help viewer), which the
// desktop shows in its task bar and window switcher.
#pragma once

#include <wx/iconbndl.h>

namespace fw::wxui {

// Every size the build drew the icon in, decoded from the PNGs compiled into the program.
wxIconBundle ProgramIcons();

} // namespace fw::wxui
