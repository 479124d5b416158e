// Test support for the wx backend on a display: the style of a test's own pages, and a pump that
// lets the toolkit and the queued calls run.
#pragma once

#include <wx/app.h>
#include <wx/utils.h>

#include "framework/core/wintypes.h"

inline constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT | DS_FIXEDSYS;

// As the modal loop would between inputs.
inline void Pump()
{
    for (int i = 0; i < 6; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}
