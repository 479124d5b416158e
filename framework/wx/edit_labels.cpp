// Finding an edit's label in its dialog template.
#include "framework/wx/edit_labels.h"

namespace fw::wxui {

std::string LabelFor(const DialogTemplate& tmpl, std::size_t index)
{
    if (index >= tmpl.controls.size())
        return {};
    const ControlTemplate& control = tmpl.controls[index];
    // Templates often list a label after its edit, so its place on the page decides first.
    const ControlTemplate* best = nullptr;
    for (const ControlTemplate& other : tmpl.controls) {
        if (other.kind != ControlKind::Static || other.caption == nullptr || other.caption[0] == '\0')
            continue;
        const bool sameLine = other.y < control.y + control.cy && control.y < other.y + other.cy;
        // A label may run a unit or two into its edit's box.
        const bool leftOf = other.x < control.x && other.x + other.cx <= control.x + 2;
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
    return {};
}

} // namespace fw::wxui
