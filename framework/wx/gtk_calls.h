// The few GTK and ATK calls the backend makes beyond wx: CSS for small buttons, accessible names
// and roles, preferred sizes.
#pragma once

#include <gtk/gtk.h>

using GtkWidgetPtr = GtkWidget*;

namespace fw::wxui::gtk {

inline constexpr unsigned kStyleProviderPriorityApplication = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION;
inline constexpr AtkRole kAtkRoleAlert = ATK_ROLE_ALERT;

} // namespace fw::wxui::gtk
