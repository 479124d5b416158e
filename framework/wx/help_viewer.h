// The help viewer: a topic of a .chm file in an HTML window of its own beside the sheet.
#pragma once

#include <string>

namespace fw::wxui {

// Shows the topic of the help file (relative names from the current directory). False, and
// nothing shown, when the file or the topic is missing.
bool ShowHelpTopic(const std::string& file, const std::string& topic);

// Where ShowHelpTopic loads a topic from, in the notation of wx's virtual file system.
std::string HelpLocation(const std::string& absoluteFile, const std::string& topic);

// Closes the viewer's window, if one is open.
void CloseHelp();
// The location of the page the viewer shows; "" when it is closed.
std::string OpenHelpPage();
// Follows a link of the page shown, as a click on it does; false when it leads nowhere.
bool FollowHelpLink(const std::string& href);

} // namespace fw::wxui
