// Access keys: the character of a caption that, with Alt, reaches its control. The application
// gives them in one table; the marker goes into the captions only as they are shown.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fw {

struct AccessKey {
    int dialogId; // the page's template, or kSheetButtons
    // A check box or push button: its caption carries the key. An edit or a slider: the label
    // that labels it does (LabelTargets). kPageTab: the page's tab. On kSheetButtons: IDOK,
    // IDCANCEL or ID_HELP.
    int controlId;
    char key; // a character of that caption, letters in either case
};

// The row of the sheet's own buttons, and the control number that stands for a page's tab.
inline constexpr int kSheetButtons = 0;
inline constexpr int kPageTab = 0;

// Installs the application's access keys, replacing those installed before. Page windows made
// from then on, and the sheets shown, take them.
void SetAccessKeys(std::span<const AccessKey> keys);

// The key of that control, or 0 when it has none.
char FindAccessKey(int dialogId, int controlId);

// The caption as a backend shows it: the marker '&' before the character the key names (the
// first that starts a word, else the first anywhere; letters compared without case), and every
// '&' of the caption itself doubled, so that it shows as itself. Unchanged without a key, or when
// the caption lacks the character.
std::string MarkAccessKey(std::string_view caption, char key);

} // namespace fw
