// The windows a dialog makes inside itself: a focusable box that hears every key as the platform's
// WM_KEYDOWN and WM_SYSKEYDOWN (when its handler asks for all keys, Tab, Return and Escape too),
// its focus as WM_SETFOCUS and WM_KILLFOCUS and a click as WM_LBUTTONDOWN; and labels inside it.
#include <gdk/gdkkeysyms.h>

#include "platform/constants.h"
#include "platform/linux/desktop/dialog_parts.h"

namespace pavix {
namespace {

using Control = GtkDialogHost::Control;

constexpr std::uint32_t kWmSysKeyUp = 0x0105;
constexpr std::uint16_t kVkF10 = 0x79;
constexpr std::intptr_t kExtendedFlag = 0x01000000;
constexpr std::intptr_t kTransitionFlags = static_cast<std::intptr_t>(0xC0000000u);

std::intptr_t Tell(Control& child, std::uint32_t message, std::uintptr_t wParam = 0,
                   std::intptr_t lParam = 0) {
    if (child.dialog->closing || child.handler == nullptr) {
        return 0;
    }
    return child.handler->WindowProc(child.handle, message, wParam, lParam);
}

// Alt held, or F10, makes the press a system key's, as on the platform.
bool IsSystemKey(const GdkEventKey* event, std::uint32_t virtualKey) {
    return (event->state & GDK_MOD1_MASK) != 0 || virtualKey == kVkMenu || virtualKey == kVkF10;
}

gboolean OnChildKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& child = *static_cast<Control*>(data);
    bool extended = false;
    const std::uint32_t virtualKey = PressedVirtualKey(PressOf(event), &extended);
    const bool press = event->type == GDK_KEY_PRESS;
    const bool wasDown = press && child.heldKey == event->hardware_keycode;
    child.heldKey = press ? event->hardware_keycode : 0;
    if (virtualKey == 0) {
        return TRUE;
    }
    const bool wantsAll = (Tell(child, kWmGetDlgCode, virtualKey) & kDlgcWantAllKeys) != 0;
    std::intptr_t lParam = 1 | static_cast<std::intptr_t>(event->hardware_keycode & 0xFF) << 16;
    lParam |= extended ? kExtendedFlag : 0;
    lParam |= press ? (wasDown ? kKeyWasDown : 0) : kTransitionFlags;
    const bool system = IsSystemKey(event, virtualKey);
    const std::uint32_t message =
        press ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
    PressScope scope(*child.dialog->host, event->state);
    Tell(child, message, virtualKey, lParam);
    // Without all keys, the dialog keeps those that move the focus or end it.
    const bool dialogKey = event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_ISO_Left_Tab ||
                           event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_Escape;
    return wantsAll || !dialogKey;
}

gboolean OnChildFocus(GtkWidget*, GdkEventFocus* event, gpointer data) {
    auto& child = *static_cast<Control*>(data);
    child.heldKey = 0;
    Tell(child, event->in != 0 ? kWmSetFocus : kWmKillFocus);
    return FALSE;
}

gboolean OnChildClick(GtkWidget*, GdkEventButton* event, gpointer data) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
        Tell(*static_cast<Control*>(data), kWmLButtonDown);
    }
    return TRUE;
}

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A child takes the turn in the Tab order of the control it replaces (one removed from the same
// place), or the last turn.
void TakePlaceInFocusChain(GtkDialogHost::Dialog& dialog, GtkWidget* widget, const Rect& rect) {
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(dialog.window));
    GList* chain = nullptr;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_get_focus_chain(GTK_CONTAINER(fixed), &chain);
    gint position = -1;
    for (const auto& control : dialog.controls) {
        if (control->handle == 0 && SameRect(control->pixels, rect)) {
            const gint at = g_list_index(chain, control->outer);
            position = at >= 0 ? at + 1 : -1;
        }
    }
    chain = g_list_insert(chain, widget, position);
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
}

}  // namespace

bool GtkDialogHost::AddChild(WindowHandle parent, WindowHandle handle, std::int32_t id,
                             const Rect& rect, const std::string& text, WindowHandler* handler) {
    Dialog* dialog = FindDialog(parent);
    if (dialog == nullptr || dialog->closing) {
        return false;
    }
    auto child = std::make_unique<Control>();
    child->dialog = dialog;
    child->handle = handle;
    child->handler = handler;
    child->layout.id = id;
    child->layout.kind = ControlKind::kPlain;
    child->pixels = rect;
    child->widget = child->outer = gtk_event_box_new();
    gtk_widget_set_can_focus(child->widget, TRUE);
    gtk_widget_add_events(child->widget, GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                             GDK_FOCUS_CHANGE_MASK | GDK_BUTTON_PRESS_MASK);
    g_object_set_data(G_OBJECT(child->widget), "pavix-capture", child.get());
    g_signal_connect(child->widget, "key-press-event", G_CALLBACK(OnChildKey), child.get());
    g_signal_connect(child->widget, "key-release-event", G_CALLBACK(OnChildKey), child.get());
    g_signal_connect(child->widget, "focus-in-event", G_CALLBACK(OnChildFocus), child.get());
    g_signal_connect(child->widget, "focus-out-event", G_CALLBACK(OnChildFocus), child.get());
    g_signal_connect(child->widget, "button-press-event", G_CALLBACK(OnChildClick), child.get());
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(child->widget), frame);
    g_object_set_data(G_OBJECT(child->widget), "pavix-frame", frame);
    AtkObject* accessible = gtk_widget_get_accessible(child->widget);
    atk_object_set_name(accessible, text.c_str());
    atk_object_set_role(accessible, ATK_ROLE_PANEL);
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(dialog->window));
    gtk_fixed_put(GTK_FIXED(fixed), child->outer, rect.left, rect.top);
    gtk_widget_set_size_request(child->outer, rect.right - rect.left, rect.bottom - rect.top);
    gtk_widget_show_all(child->outer);
    TakePlaceInFocusChain(*dialog, child->outer, rect);
    controls_[handle] = child.get();
    dialog->children.push_back(std::move(child));
    return true;
}

bool GtkDialogHost::AddLabel(WindowHandle parent, WindowHandle handle, std::int32_t id,
                             const std::string& text) {
    Control* box = Find(parent);
    if (box == nullptr || box->handler == nullptr) {
        return false;
    }
    auto label = std::make_unique<Control>();
    label->dialog = box->dialog;
    label->handle = handle;
    label->owner = parent;
    label->layout.id = id;
    label->layout.kind = ControlKind::kLabel;
    label->widget = label->outer = gtk_label_new(text.c_str());
    gtk_label_set_xalign(GTK_LABEL(label->widget), 0);
    gtk_label_set_line_wrap(GTK_LABEL(label->widget), TRUE);
    auto* frame = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(box->widget), "pavix-frame"));
    gtk_container_add(GTK_CONTAINER(frame), label->widget);
    gtk_widget_show(label->widget);
    controls_[handle] = label.get();
    box->dialog->children.push_back(std::move(label));
    return true;
}

bool GtkDialogHost::DestroyItem(WindowHandle window) {
    if (Close(window)) {
        return true;
    }
    Control* control = Find(window);
    if (control == nullptr || control->dialog->closing) {
        return false;
    }
    controls_.erase(window);
    // Its widget goes with the dialog's; until then it is only hidden and heard no more.
    control->handler = nullptr;
    control->handle = 0;
    control->layout.id = 0;
    gtk_widget_hide(control->outer);
    gtk_widget_set_can_focus(control->widget, FALSE);
    return true;
}

bool GtkDialogHost::WindowRect(WindowHandle window, Rect* rect) const {
    if (const Dialog* dialog = FindDialog(window)) {
        GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(dialog->window));
        gint width = 0;
        gint height = 0;
        gtk_widget_get_size_request(fixed, &width, &height);
        *rect = Rect{0, 0, width, height};
        return true;
    }
    const Control* control = Find(window);
    if (control == nullptr || control->owner != 0) {
        return false;
    }
    *rect = control->pixels;
    return true;
}

}  // namespace pavix
