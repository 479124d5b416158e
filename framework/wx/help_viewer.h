// The help viewer: a .chm file in wx's help window beside the sheet, with its contents, index,
// full-text search, Back and Forward.
#pragma once

#include <string>

namespace fw::wxui {

// Shows the topic ("general.htm", or "general.htm#width" for a place in it) of the help file
// (relative names from the current directory), opening the viewer at it. False, and nothing
// shown, when the file or the topic's page is missing.
bool ShowHelpTopic(const std::string& file, const std::string& topic);

// Where ShowHelpTopic loads a topic from, in the notation of wx's virtual file system.
std::string HelpLocation(const std::string& absoluteFile, const std::string& topic);

// Closes the viewer's window, if one is open, and lets go of its book.
void CloseHelp();
// The location of the page the viewer shows; "" when it is closed.
std::string OpenHelpPage();
// Follows a link of the page shown, as a click on it does; false when it leads nowhere.
bool FollowHelpLink(const std::string& href);

} // namespace fw::wxui
