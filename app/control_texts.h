// What the launcher gives its dialogs' controls at run time besides their settings'
// descriptions: every access key, and the names screen readers use where a label would mislead.
#pragma once

#include <array>

#include "framework/core/access_keys.h"
#include "framework/core/control_descriptions.h"

// The key of every label of an edit, the slider's label, every check box and push button, the
// four tabs and the sheet's OK, Cancel and Help: unique on each page together with the tabs and
// the sheet's buttons, which are always there.
extern const std::array<fw::AccessKey, 47> kAccessKeys;

// Controls heard by another name than their label's: the texture's name edit, whose label reads
// "Select Map" as on General, and the two previews, which have no label.
extern const std::array<fw::ControlDescription, 3> kControlNames;

// Installs both for the page windows and sheets made from then on.
void RegisterControlTexts();
