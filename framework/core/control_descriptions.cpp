// The application's control descriptions, looked up as page windows make their controls.
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
} // namespace

void SetControlDescriptions(std::span<const ControlDescription> descriptions)
{
    Descriptions().assign(descriptions.begin(), descriptions.end());
}

const char* FindControlDescription(int dialogId, int controlId)
{
    // Unnamed controls share IDC_STATIC and can be told apart by nothing the table could hold.
    if (controlId == IDC_STATIC)
        return "";
    for (const ControlDescription& description : Descriptions())
        if (description.dialogId == dialogId && description.controlId == controlId && description.text != nullptr)
            return description.text;
    return "";
}

} // namespace fw
