// The application's control descriptions and names, looked up as page windows make their
// controls.
#include "framework/core/control_descriptions.h"

#include <vector>

#include "framework/core/wintypes.h"

namespace fw {

namespace {

std::vector<ControlDescription>& Descriptions()
{
    static std::vector<ControlDescription> descriptions;
    return descriptions;
}

std::vector<ControlDescription>& Names()
{
    static std::vector<ControlDescription> names;
    return names;
}

const char* Find(const std::vector<ControlDescription>& texts, int dialogId, int controlId)
{
    // Unnamed controls share IDC_STATIC and can be told apart by nothing the table could hold.
    if (controlId == IDC_STATIC)
        return "";
    for (const ControlDescription& text : texts)
        if (text.dialogId == dialogId && text.controlId == controlId && text.text != nullptr)
            return text.text;
    return "";
}

} // namespace

void SetControlDescriptions(std::span<const ControlDescription> descriptions)
{
    Descriptions().assign(descriptions.begin(), descriptions.end());
}

const char* FindControlDescription(int dialogId, int controlId) { return Find(Descriptions(), dialogId, controlId); }

void SetControlNames(std::span<const ControlDescription> names) { Names().assign(names.begin(), names.end()); }

const char* FindControlName(int dialogId, int controlId) { return Find(Names(), dialogId, controlId); }

} // namespace fw
