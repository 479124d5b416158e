// The dialog-template model: what a numbered dialog resource says, as data every backend reads.
// The tables themselves are generated at build time from res/Sandrel.rc.
#pragma once

#include <cstddef>
#include <span>

#include "framework/core/wintypes.h"

namespace fw {

enum class ControlKind : std::uint8_t {
    Static,     // LTEXT
    PushButton, // PUSHBUTTON / DEFPUSHBUTTON
    CheckBox,   // CONTROL "Button" with BS_AUTOCHECKBOX
    GroupBox,   // GROUPBOX
    Edit,       // EDITTEXT
    Picture,    // CONTROL "Static" with SS_BITMAP
    Slider,     // CONTROL "msctls_trackbar32"
};

struct ControlTemplate {
    int id;              // IDC_STATIC (-1) for a control without identifier
    ControlKind kind;
    const char* caption; // "" when the control has none
    int x, y, cx, cy;    // dialog units
    DWORD style;         // the full style, WS_CHILD | WS_VISIBLE included
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy; // dialog units
    const char* fontName;
    int fontPointSize;
    DWORD style;
    std::span<const ControlTemplate> controls; // template order, which is the tab order
};

// The template with this resource number, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// The bytes of a bitmap resource (a DIB without its file header), or an empty span.
std::span<const BYTE> FindBitmapResource(int id);

} // namespace fw
