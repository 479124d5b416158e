// The few GTK and ATK calls the backend makes beyond wx: CSS for small buttons, accessible names
// and roles, preferred sizes, the labels that give a control its access key.
#pragma once

#include <gtk/gtk.h>

using GtkWidgetPtr = GtkWidget*;

namespace fw::wxui::gtk {

inline constexpr unsigned kStyleProviderPriorityApplication = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION;
inline constexpr AtkRole kAtkRoleAlert = ATK_ROLE_ALERT;
inline constexpr AtkRole kAtkRoleImage = ATK_ROLE_IMAGE;

} // namespace fw::wxui::gtk
