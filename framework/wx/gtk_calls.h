// The few GTK, GDK and ATK calls the backend makes beyond wx, declared here so that building
// needs only the run-time libraries wx itself loads, not GTK's development headers.
#pragma once

extern "C" {

struct _GtkWidget;
using GtkWidgetPtr = _GtkWidget*;

void* gtk_widget_get_style_context(GtkWidgetPtr widget);
void gtk_style_context_add_class(void* context, const char* className);
void* gdk_screen_get_default(void);
void* gtk_css_provider_new(void);
int gtk_css_provider_load_from_data(void* provider, const char* data, long length, void** error);
void gtk_style_context_add_provider_for_screen(void* screen, void* provider, unsigned priority);
void g_object_unref(void* object);

void* gtk_widget_get_accessible(GtkWidgetPtr widget);
void atk_object_set_name(void* accessible, const char* name);
const char* atk_object_get_name(void* accessible);
void atk_object_set_role(void* accessible, int role);

void gtk_widget_get_preferred_width(GtkWidgetPtr widget, int* minimum, int* natural);
void gtk_widget_get_preferred_height(GtkWidgetPtr widget, int* minimum, int* natural);

} // extern "C"

namespace fw::wxui::gtk {

inline constexpr unsigned kStyleProviderPriorityApplication = 600; // GTK_STYLE_PROVIDER_PRIORITY_APPLICATION
inline constexpr int kAtkRoleAlert = 2;                             // ATK_ROLE_ALERT

} // namespace fw::wxui::gtk
