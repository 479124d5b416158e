// Finding a control's label in its dialog template.
#include "framework/core/control_labels.h"

namespace fw {
namespace {

bool IsLabel(const ControlTemplate& control)
{
    return control.kind == ControlKind::Static && control.caption != nullptr && control.caption[0] != '\0';
}

// A label may run a unit or two into its control's box.
constexpr int kOverlap = 2;
// A caption above its control stands at most a line (8 units) higher.
constexpr int kLine = 8;

} // namespace

std::string LabelFor(const DialogTemplate& tmpl, std::size_t index)
{
    if (index >= tmpl.controls.size())
        return {};
    const ControlTemplate& control = tmpl.controls[index];
    const ControlTemplate* best = nullptr;
    for (const ControlTemplate& other : tmpl.controls) {
        if (!IsLabel(other))
            continue;
        const bool sameLine = other.y < control.y + control.cy && control.y < other.y + other.cy;
        const bool leftOf = other.x < control.x && other.x + other.cx <= control.x + kOverlap;
        if (sameLine && leftOf && (best == nullptr || other.x + other.cx > best->x + best->cx))
            best = &other;
    }
    if (best != nullptr)
        return best->caption;
    if (index > 0) {
        const ControlTemplate& previous = tmpl.controls[index - 1];
        if (previous.kind == ControlKind::Static && previous.caption != nullptr)
            return previous.caption;
    }
    for (const ControlTemplate& other : tmpl.controls) {
        const int bottom = other.y + other.cy;
        const bool above = bottom <= control.y + kOverlap && control.y - bottom <= kLine;
        const bool aligned = other.x - control.x <= kOverlap && control.x - other.x <= kOverlap;
        if (IsLabel(other) && above && aligned && (best == nullptr || bottom > best->y + best->cy))
            best = &other;
    }
    return best != nullptr ? best->caption : std::string();
}

std::string AccessibleNameFor(const DialogTemplate& tmpl, std::size_t index)
{
    if (index >= tmpl.controls.size())
        return {};
    const ControlTemplate& control = tmpl.controls[index];
    switch (control.kind) {
    case ControlKind::Edit:
    case ControlKind::Slider: return LabelFor(tmpl, index);
    case ControlKind::CheckBox:
    case ControlKind::PushButton: return control.caption != nullptr ? control.caption : "";
    default: return {};
    }
}

} // namespace fw
