// The dialog-template model: what a numbered dialog resource says, as data every backend reads.
// The program's tables are generated at build time from its resource script, and the program
// hands them to the framework (UseResourceTables).
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
    int id; // IDC_STATIC (-1) for a control without identifier
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

// A program's compiled resources, as rc2cpp makes them of its resource script: the template and
// the bitmap bytes of a resource number, nullptr and empty when it has none of that number.
struct ResourceTables {
    const DialogTemplate* (*findDialog)(int id) = nullptr;
    std::span<const BYTE> (*findBitmap)(int id) = nullptr;
};

// The program's resources, which the framework's windows and bitmaps are made from. Until a
// program gives its tables there are no resources.
void UseResourceTables(const ResourceTables& tables);

// The template with this resource number, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// The bytes of a bitmap resource (a DIB without its file header), or an empty span.
std::span<const BYTE> FindBitmapResource(int id);

} // namespace fw
