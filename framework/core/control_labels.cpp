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

std::optional<std::size_t> LabelIndexFor(const DialogTemplate& tmpl, std::size_t index)
{
    if (index >= tmpl.controls.size())
        return std::nullopt;
    const ControlTemplate& control = tmpl.controls[index];
    std::optional<std::size_t> best;
    const auto right = [&tmpl](std::size_t i) { return tmpl.controls[i].x + tmpl.controls[i].cx; };
    const auto bottom = [&tmpl](std::size_t i) { return tmpl.controls[i].y + tmpl.controls[i].cy; };
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& other = tmpl.controls[i];
        if (!IsLabel(other))
            continue;
        const bool sameLine = other.y < control.y + control.cy && control.y < other.y + other.cy;
        const bool leftOf = other.x < control.x && other.x + other.cx <= control.x + kOverlap;
        if (sameLine && leftOf && (!best || right(i) > right(*best)))
            best = i;
    }
    if (best)
        return best;
    if (index > 0) {
        const ControlTemplate& previous = tmpl.controls[index - 1];
        if (previous.kind == ControlKind::Static && previous.caption != nullptr)
            return index - 1;
    }
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& other = tmpl.controls[i];
        const int otherBottom = bottom(i);
        const bool above = otherBottom <= control.y + kOverlap && control.y - otherBottom <= kLine;
        const bool aligned = other.x - control.x <= kOverlap && control.x - other.x <= kOverlap;
        if (IsLabel(other) && above && aligned && (!best || otherBottom > bottom(*best)))
            best = i;
    }
    return best;
}

std::string LabelFor(const DialogTemplate& tmpl, std::size_t index)
{
    const std::optional<std::size_t> label = LabelIndexFor(tmpl, index);
    return label ? tmpl.controls[*label].caption : std::string();
}

std::vector<int> LabelTargets(const DialogTemplate& tmpl)
{
    std::vector<int> targets(tmpl.controls.size(), -1);
    for (const ControlKind kind : {ControlKind::Edit, ControlKind::Slider}) {
        for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
            if (tmpl.controls[i].kind != kind)
                continue;
            const std::optional<std::size_t> label = LabelIndexFor(tmpl, i);
            if (label && targets[*label] < 0)
                targets[*label] = static_cast<int>(i);
        }
    }
    return targets;
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
