// Test support: the three ways a user cancels a sheet, for tests that try each.
#pragma once

#include "framework/headless/headless.h"

namespace testsupport {

inline constexpr int kCancelWays = 3;

// Cancel (way 0), Escape (1) or the close box (2).
inline void CancelBy(fw::headless::Driver& d, int way)
{
    if (way == 0)
        d.PressCancel();
    else if (way == 1)
        d.PressEscape();
    else
        d.PressCloseBox();
}

} // namespace testsupport
