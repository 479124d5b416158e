// Modal message boxes: the framework's AfxMessageBox and the platform's MessageBoxA, both routed
// to whatever sink the running backend (or a test) has installed.
#pragma once

#include "framework/core/wintypes.h"

// The framework's application message box: caption is the application's name.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);

namespace fw {

// The platform's message box; owner is ignored (no owner window in this program).
int MessageBoxA(void* owner, const char* text, const char* caption, UINT style);

struct MessageBoxSink {
    // Shows the box modally and returns the button that closed it (IDOK).
    int (*show)(void* context, const char* text, const char* caption, UINT style) = nullptr;
    void* context = nullptr;
};

// Installs where message boxes go and returns the sink that was there before. With no sink
// installed a box is written to standard error and answered IDOK.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// The caption AfxMessageBox uses.
const char* AfxGetAppName();
void SetAppName(const char* name);

} // namespace fw
