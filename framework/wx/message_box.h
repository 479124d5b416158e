// The framework's message boxes as modal dialogs on screen.
#pragma once

#include "framework/core/msgbox.h"

namespace fw::wxui {

// Shows one box modally and returns IDOK once the user has confirmed it.
int ShowMessageBox(void* context, const char* text, const char* caption, UINT style);

// The sink that routes the framework's boxes to ShowMessageBox.
inline MessageBoxSink WxMessageBoxSink() { return {&ShowMessageBox, nullptr}; }

} // namespace fw::wxui
