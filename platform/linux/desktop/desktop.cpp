#include "platform/linux/desktop/gtk_desktop.h"

#include <gdk/gdkwayland.h>
#include <gtk-layer-shell.h>
#include <gtk/gtk.h>

namespace pavix {
namespace {

constexpr std::uint32_t kMbIconMask = 0xF0;
constexpr std::uint32_t kMbIconHand = 0x10;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconAsteriskValue = 0x40;

// GTK shows UTF-8 only: anything else shows with stand-ins rather than not at all.
std::string Shown(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
    std::string shown = valid;
    g_free(valid);
    return shown;
}

GdkMonitor* MainMonitor() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

Rect ToRect(const GdkRectangle& area) {
    return Rect{area.x, area.y, area.x + area.width, area.y + area.height};
}

GtkMessageType MessageType(std::uint32_t type) {
    switch (type & kMbIconMask) {
        case kMbIconHand:
            return GTK_MESSAGE_ERROR;
        case kMbIconQuestion:
            return GTK_MESSAGE_QUESTION;
        case kMbIconExclamation:
            return GTK_MESSAGE_WARNING;
        case kMbIconAsteriskValue:
            return GTK_MESSAGE_INFO;
        default:
            return GTK_MESSAGE_OTHER;
    }
}

void OnBoxAnswered(GtkDialog*, gint, gpointer answered) {
    *static_cast<bool*>(answered) = true;
}

// A label that is never shown: it lays texts out exactly as the hint's labels do.
GtkWidget* MeasuringLabel() {
    static GtkWidget* label = GTK_WIDGET(g_object_ref_sink(gtk_label_new(nullptr)));
    return label;
}

// A popup at `rect` as a Wayland compositor places one. With the layer-shell protocol (KDE,
// wlroots) a surface on the overlay layer pinned to the monitor's top left corner at the very
// offset, which neither takes the keyboard nor pushes other windows aside. Elsewhere (GNOME) a
// window of its own that asks for no focus (Wayland has no way to refuse it: the compositor
// decides), wherever the compositor puts it: a Wayland popup needs a parent, which the hints
// have not.
GtkWidget* WaylandPopup(const Rect& rect) {
    GtkWidget* popup = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(popup);
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    if (!gtk_layer_is_supported()) {
        return popup;
    }
    gtk_layer_init_for_window(window);
    gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
    gtk_layer_set_namespace(window, "pavix-hints");
    GdkMonitor* monitor = MainMonitor();
    gtk_layer_set_monitor(window, monitor);
    GdkRectangle area{};
    gdk_monitor_get_geometry(monitor, &area);
    gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_TOP, TRUE);
    gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_LEFT, TRUE);
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_TOP, rect.top - area.y);
    gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_LEFT, rect.left - area.x);
    gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_NONE);
    gtk_layer_set_exclusive_zone(window, 0);
    return popup;
}

}  // namespace

bool OpenGtkDisplay() {
    // X11 first, Xwayland included, where a popup goes exactly where it is asked to; a Wayland
    // desktop without Xwayland gets native windows.
    gdk_set_allowed_backends("x11,wayland");
    // Opening the display, GDK probes its GL visuals unless GL is off, which maps Mesa's GL for
    // good (some 50 MiB resident) where no other GTK program has left the probe's result on the
    // display; Pavix draws nothing with GL. GDK reads the variable while it opens the display:
    // it goes again then, so that the programs Pavix starts never inherit it. A value of the
    // user's own stays as it is.
    static constexpr char kGdkGl[] = "GDK_GL";
    const bool setHere = g_getenv(kGdkGl) == nullptr && g_setenv(kGdkGl, "disable", FALSE);
    const bool opened = gtk_init_check(nullptr, nullptr) != FALSE;
    if (setHere) {
        g_unsetenv(kGdkGl);
    }
    return opened;
}

void* GtkDesktop::CreatePopup(const std::string& title, const Rect& rect, bool border) {
    const bool wayland = GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
    GtkWidget* popup = wayland ? WaylandPopup(rect) : gtk_window_new(GTK_WINDOW_POPUP);
    GtkWindow* window = GTK_WINDOW(popup);
    gtk_window_set_title(window, Shown(title).c_str());
    gtk_window_set_accept_focus(window, FALSE);
    gtk_window_set_focus_on_map(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_NOTIFICATION);
    gtk_window_set_keep_above(window, TRUE);
    gtk_window_move(window, rect.left, rect.top);
    gtk_widget_set_size_request(popup, rect.right - rect.left, rect.bottom - rect.top);
    if (border) {
        GtkCssProvider* css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css, "window { border: 1px solid @borders; }", -1, nullptr);
        gtk_style_context_add_provider(gtk_widget_get_style_context(popup), GTK_STYLE_PROVIDER(css),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(css);
    }
    gtk_container_add(GTK_CONTAINER(popup), gtk_fixed_new());
    return popup;
}

void* GtkDesktop::CreateLabel(void* popup, const std::string& text, const Rect& cell) {
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(popup));
    GtkWidget* label = gtk_label_new(Shown(text).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_widget_set_size_request(label, cell.right - cell.left, cell.bottom - cell.top);
    gtk_fixed_put(GTK_FIXED(fixed), label, cell.left, cell.top);
    return label;
}

void GtkDesktop::Show(void* widget, bool show) {
    if (show) {
        gtk_widget_show_all(GTK_WIDGET(widget));
    } else {
        gtk_widget_hide(GTK_WIDGET(widget));
    }
}

void GtkDesktop::Destroy(void* widget) {
    gtk_widget_destroy(GTK_WIDGET(widget));
}

Size GtkDesktop::Measure(const std::string& text) {
    PangoLayout* layout = gtk_widget_create_pango_layout(MeasuringLabel(), Shown(text).c_str());
    Size size;
    pango_layout_get_pixel_size(layout, &size.cx, &size.cy);
    g_object_unref(layout);
    return size;
}

Rect GtkDesktop::Screen() {
    GdkRectangle area{};
    gdk_monitor_get_geometry(MainMonitor(), &area);
    return ToRect(area);
}

Rect GtkDesktop::WorkArea() {
    GdkRectangle area{};
    gdk_monitor_get_workarea(MainMonitor(), &area);
    return ToRect(area);
}

Point GtkDesktop::Pointer() {
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    Point point;
    gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &point.x, &point.y);
    return point;
}

void GtkDesktop::Beep() {
    gdk_display_beep(gdk_display_get_default());
}

void* GtkDesktop::ShowBox(const std::string& text, const std::string& caption, std::uint32_t type,
                          bool* answered) {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, MessageType(type),
                                            GTK_BUTTONS_OK, "%s", Shown(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), Shown(caption).c_str());
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    g_signal_connect(box, "response", G_CALLBACK(OnBoxAnswered), answered);
    gtk_widget_show(box);
    gtk_window_present(GTK_WINDOW(box));
    return box;
}

void GtkDesktop::CloseBox(void* box) {
    gtk_widget_destroy(GTK_WIDGET(box));
}

}  // namespace pavix
