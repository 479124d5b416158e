// Which control of which page shows which setting, and the descriptions that follow from it.
#pragma once

#include <array>

struct SettingControl {
    int dialogId;  // the page's template
    int controlId; // the control in it
    int setting;   // the row in kParameters
};

// Every control that shows a setting: one per setting, and the slider that moves the texture
// edge length besides its edit.
extern const std::array<SettingControl, 39> kSettingControls;

// Gives every control of kSettingControls its setting's text from kParameterDescriptions, for the
// page windows made from then on.
void RegisterSettingDescriptions();
