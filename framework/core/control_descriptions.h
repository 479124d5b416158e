// Texts the application gives the controls of its dialog templates: what each control holds,
// shown as its tooltip and read by screen readers as its accessible description; and the name a
// screen reader uses for a control whose label would mislead.
#pragma once

#include <span>

namespace fw {

struct ControlDescription {
    int dialogId;     // the template's resource number
    int controlId;    // the control's identifier in that template
    const char* text; // lives as long as the program
};

// Installs the application's descriptions, replacing those installed before. Page windows made
// from then on give each described control its text.
void SetControlDescriptions(std::span<const ControlDescription> descriptions);

// The text of control `controlId` of template `dialogId`, or "" when it has none.
const char* FindControlDescription(int dialogId, int controlId);

// The same for names: a control named here is read by this name instead of its label's (or its
// caption's), which is still what the page shows.
void SetControlNames(std::span<const ControlDescription> names);
const char* FindControlName(int dialogId, int controlId);

} // namespace fw
