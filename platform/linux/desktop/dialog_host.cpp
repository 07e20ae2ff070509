#include "platform/linux/desktop/dialog_host_gtk.h"

#include <gdk/gdkkeysyms.h>

#include <algorithm>

#include "platform/constants.h"
#include "platform/linux/desktop/dialog_parts.h"

namespace pavix {
namespace {

using Control = GtkDialogHost::Control;
using Dialog = GtkDialogHost::Dialog;

constexpr std::int32_t kComboHeight = 14;  // dialog units of a closed combo list
constexpr std::int32_t kGroupTitlePadding = 16;

// The template's geometry rules: controls as tall as it makes them, so the theme's padding gives
// way and a larger font grows the dialog instead.
constexpr char kStyleSheet[] =
    ".pavix-dialog button, .pavix-dialog entry, .pavix-dialog combobox button {"
    " min-height: 0; padding-top: 0; padding-bottom: 0; }"
    ".pavix-dialog button { min-width: 0; padding-left: 4px; padding-right: 4px; }"
    ".pavix-dialog checkbutton, .pavix-dialog radiobutton { min-height: 0; padding: 0; }";

void AddStyleSheet() {
    static bool added = false;
    if (added) {
        return;
    }
    added = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyleSheet, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void SendCommand(Dialog& dialog, std::int32_t id) {
    if (!dialog.ended) {
        PostCommand(dialog, static_cast<std::uintptr_t>(id), 0);
    }
}

// Closing the window is Cancel, as the platform's close box is.
gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    SendCommand(*static_cast<Dialog*>(data), kIdCancel);
    return TRUE;
}

// Escape is Cancel; Return is the default button's command (OK where there is none) unless the
// focus is on a button, which Return presses.
gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer data) {
    auto& dialog = *static_cast<Dialog*>(data);
    const guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    if (modifiers != 0) {
        return FALSE;
    }
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    const bool onCapture =
        focus != nullptr && g_object_get_data(G_OBJECT(focus), "pavix-capture") != nullptr;
    if (onCapture) {
        return FALSE;  // the capture control takes what it wants first
    }
    if (event->keyval == GDK_KEY_Escape) {
        SendCommand(dialog, kIdCancel);
        return TRUE;
    }
    const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter;
    if (!enter || (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus))) {
        return FALSE;
    }
    SendCommand(dialog, kIdOk);
    return TRUE;
}

// Escape and Return that the chord capture control leaves to the dialog.
gboolean OnKeyPressAfter(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto& dialog = *static_cast<Dialog*>(data);
    if ((event->state & gtk_accelerator_get_default_mod_mask()) != 0) {
        return FALSE;
    }
    if (event->keyval == GDK_KEY_Escape) {
        SendCommand(dialog, kIdCancel);
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
        SendCommand(dialog, kIdOk);
        return TRUE;
    }
    return FALSE;
}

std::int32_t NaturalWidth(const Control& control) {
    gint natural = 0;
    switch (control.layout.kind) {
        case ControlKind::kGroup: {
            GtkWidget* title = gtk_frame_get_label_widget(GTK_FRAME(control.widget));
            if (title != nullptr) {
                gtk_widget_get_preferred_width(title, nullptr, &natural);
                natural += kGroupTitlePadding;
            }
            return natural;
        }
        case ControlKind::kLabel:
        case ControlKind::kCheck:
        case ControlKind::kRadio:
        case ControlKind::kButton:
        case ControlKind::kDefault:
        case ControlKind::kPlain:
            gtk_widget_get_preferred_width(control.outer, nullptr, &natural);
            return natural;
        default:
            return 0;
    }
}

// A wrapped label asks for no more than the given width, whatever text it shows later.
void KeepWrapWithin(GtkWidget* label, std::int32_t width) {
    PangoContext* context = gtk_widget_get_pango_context(label);
    PangoFontMetrics* metrics = pango_context_get_metrics(
        context, pango_context_get_font_description(context), pango_context_get_language(context));
    const std::int32_t charWidth =
        std::max(pango_font_metrics_get_approximate_char_width(metrics),
                 pango_font_metrics_get_approximate_digit_width(metrics));
    pango_font_metrics_unref(metrics);
    gtk_label_set_max_width_chars(GTK_LABEL(label), WrapChars(width, charWidth, PANGO_SCALE));
}

bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::kGroup && kind != ControlKind::kLabel;
}

}  // namespace

GtkDialogHost::GtkDialogHost(std::function<void(const bool& done)> pump, std::string noneText)
    : pump_(std::move(pump)), noneText_(std::move(noneText)) {}

GtkDialogHost::~GtkDialogHost() = default;

void GtkDialogHost::Build(Dialog& dialog, const DialogTemplate& layout) {
    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(dialog.window), fixed);
    atk_object_set_accessible_id(gtk_widget_get_accessible(dialog.window),
                                 std::to_string(layout.id).c_str());
    const std::vector<std::string> names = AccessibleNames(layout);
    GtkRadioButton* leader = nullptr;
    GList* chain = nullptr;
    for (std::size_t index = 0; index < layout.controlCount; ++index) {
        auto control = std::make_unique<Control>();
        control->dialog = &dialog;
        control->handle = nextHandle_;
        nextHandle_ += 4;
        control->layout = layout.controls[index];
        if (control->layout.kind == ControlKind::kRadio &&
            (control->layout.styles & kStyleGroupStart) != 0) {
            leader = nullptr;
        }
        MakeControl(*control, noneText_, leader);
        if (control->layout.kind == ControlKind::kRadio && leader == nullptr) {
            leader = GTK_RADIO_BUTTON(control->widget);
        }
        if (control->capture) {
            g_object_set_data(G_OBJECT(control->widget), "pavix-capture", control.get());
        }
        // A label with a text of its own is named by it as it changes; a name set here would
        // stay the template's.
        const bool namedByText = control->layout.kind == ControlKind::kLabel &&
                                 control->layout.text != nullptr && control->layout.text[0] != '\0';
        if (!namedByText) {
            atk_object_set_name(gtk_widget_get_accessible(control->widget), names[index].c_str());
        }
        // Scripts of assistive technology find a control by its id, whatever the language.
        if (control->layout.id >= 0) {
            atk_object_set_accessible_id(gtk_widget_get_accessible(control->widget),
                                         std::to_string(control->layout.id).c_str());
        }
        gtk_fixed_put(GTK_FIXED(fixed), control->outer, 0, 0);
        if (TakesFocus(control->layout.kind)) {
            chain = g_list_append(chain, control->outer);
        }
        // A label's access key moves to the control after it, as on the platform.
        if (!dialog.controls.empty() &&
            dialog.controls.back()->layout.kind == ControlKind::kLabel &&
            TakesFocus(control->layout.kind)) {
            gtk_label_set_mnemonic_widget(GTK_LABEL(dialog.controls.back()->widget),
                                          control->widget);
        }
        controls_[control->handle] = control.get();
        dialog.controls.push_back(std::move(control));
    }
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);

    std::vector<std::int32_t> natural;
    for (const auto& control : dialog.controls) {
        natural.push_back(NaturalWidth(*control));
    }
    const BaseUnits units = ChooseBaseUnits(layout, FontUnits(dialog.window), natural);
    for (const auto& control : dialog.controls) {
        const ControlTemplate& at = control->layout;
        const std::int32_t height = at.kind == ControlKind::kCombo ? kComboHeight : at.height;
        control->pixels = ToPixels(at.x, at.y, at.width, height, units);
        gtk_fixed_move(GTK_FIXED(fixed), control->outer, control->pixels.left, control->pixels.top);
        gtk_widget_set_size_request(control->outer, control->pixels.right - control->pixels.left,
                                    control->pixels.bottom - control->pixels.top);
        if (IsMultiLine(at)) {
            const bool framed = control->widget != control->outer;
            const std::int32_t width =
                control->pixels.right - control->pixels.left - (framed ? 4 : 0);
            if (framed) {
                // A wrapped text is measured at its own width, never at its narrowest.
                gtk_widget_set_size_request(control->widget, width, -1);
            }
            KeepWrapWithin(control->widget, width);
        }
    }
    const Rect client = ToPixels(0, 0, layout.width, layout.height, units);
    gtk_widget_set_size_request(fixed, client.right, client.bottom);
}

GtkDialogHost::Dialog& GtkDialogHost::Create(const DialogTemplate& layout, DialogHandler* handler,
                                             bool modal) {
    AddStyleSheet();
    auto owned = std::make_unique<Dialog>();
    Dialog& dialog = *owned;
    dialog.handle = nextHandle_;
    nextHandle_ += 4;
    dialog.handler = handler;
    dialog.modal = modal;
    dialog.host = this;
    dialog.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(dialog.window);
    gtk_window_set_title(GTK_WINDOW(dialog.window), layout.title);
    gtk_window_set_resizable(GTK_WINDOW(dialog.window), FALSE);
    gtk_window_set_modal(GTK_WINDOW(dialog.window), modal);
    gtk_window_set_type_hint(GTK_WINDOW(dialog.window),
                             modal ? GDK_WINDOW_TYPE_HINT_DIALOG : GDK_WINDOW_TYPE_HINT_NORMAL);
    gtk_window_set_position(GTK_WINDOW(dialog.window),
                            modal && top_ != 0 ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    void* parent = ActiveWidget();
    if (modal && parent != nullptr) {
        gtk_window_set_transient_for(GTK_WINDOW(dialog.window), GTK_WINDOW(parent));
    }
    gtk_style_context_add_class(gtk_widget_get_style_context(dialog.window), "pavix-dialog");
    g_signal_connect(dialog.window, "delete-event", G_CALLBACK(OnDelete), &dialog);
    g_signal_connect(dialog.window, "key-press-event", G_CALLBACK(OnKeyPress), &dialog);
    g_signal_connect_after(dialog.window, "key-press-event", G_CALLBACK(OnKeyPressAfter), &dialog);
    Build(dialog, layout);
    for (const auto& control : dialog.controls) {
        if (control->layout.kind == ControlKind::kDefault) {
            gtk_widget_grab_default(control->widget);
        }
    }
    dialogs_[dialog.handle] = std::move(owned);
    if (modal) {
        top_ = dialog.handle;
    }
    if (handler->DialogProc(dialog.handle, kWmInitDialog, 0, 0) != 0) {
        for (const auto& control : dialog.controls) {
            if (TakesFocus(control->layout.kind) && gtk_widget_is_sensitive(control->outer)) {
                gtk_widget_grab_focus(control->widget);
                break;
            }
        }
    }
    return dialog;
}

void GtkDialogHost::Destroy(Dialog& dialog) {
    DropCommands(dialog);
    dialog.closing = true;
    dialog.handler->DialogProc(dialog.handle, kWmDestroy, 0, 0);
    for (const auto& child : dialog.children) {
        controls_.erase(child->handle);
    }
    for (const auto& child : dialog.children) {
        if (childGone_ && child->handle != 0 && child->owner == 0) {
            childGone_(child->handle);
        }
    }
    for (const auto& control : dialog.controls) {
        controls_.erase(control->handle);
    }
    gtk_widget_destroy(dialog.window);
    g_object_unref(dialog.window);
    dialogs_.erase(dialog.handle);
}

std::intptr_t GtkDialogHost::Run(const DialogTemplate& layout, DialogHandler* handler) {
    const WindowHandle previous = top_;
    Dialog& dialog = Create(layout, handler, true);
    if (!dialog.ended) {
        gtk_widget_show_all(dialog.window);
        pump_(dialog.ended);
    }
    top_ = previous;
    const std::intptr_t result = dialog.ended ? dialog.result : 0;
    Destroy(dialog);
    return result;
}

// A modeless dialog shows at once and stays until it is destroyed; it never becomes the dialog
// on top, so the editors' rules for a running modal dialog do not count it.
WindowHandle GtkDialogHost::Open(const DialogTemplate& layout, DialogHandler* handler) {
    Dialog& dialog = Create(layout, handler, false);
    gtk_widget_show_all(dialog.window);
    return dialog.handle;
}

bool GtkDialogHost::Close(WindowHandle window) {
    Dialog* dialog = FindDialog(window);
    if (dialog == nullptr || dialog->modal || dialog->closing) {
        return false;
    }
    Destroy(*dialog);
    return true;
}

bool GtkDialogHost::Present(WindowHandle window) {
    Dialog* dialog = FindDialog(window);
    if (dialog == nullptr) {
        return false;
    }
    gtk_window_present(GTK_WINDOW(dialog->window));
    return true;
}

GtkDialogHost::Control* GtkDialogHost::Find(WindowHandle window) const {
    const auto found = controls_.find(window);
    return found != controls_.end() ? found->second : nullptr;
}

GtkDialogHost::Dialog* GtkDialogHost::FindDialog(WindowHandle window) const {
    const auto found = dialogs_.find(window);
    return found != dialogs_.end() ? found->second.get() : nullptr;
}

bool GtkDialogHost::Owns(WindowHandle window) const {
    return Find(window) != nullptr || FindDialog(window) != nullptr;
}

WindowHandle GtkDialogHost::Active() const {
    return top_;
}

void* GtkDialogHost::ActiveWidget() const {
    const Dialog* dialog = FindDialog(top_);
    return dialog != nullptr ? dialog->window : nullptr;
}

WindowHandle GtkDialogHost::Item(WindowHandle window, std::int32_t id) const {
    const Dialog* dialog = FindDialog(window);
    if (dialog == nullptr) {
        const Control* owner = Find(window);
        return owner != nullptr && owner->handler != nullptr ? ChildItem(*owner->dialog, window, id)
                                                             : 0;
    }
    for (const auto& control : dialog->controls) {
        if (control->layout.id == id) {
            return control->handle;
        }
    }
    return ChildItem(*dialog, 0, id);
}

WindowHandle GtkDialogHost::ChildItem(const Dialog& dialog, WindowHandle owner,
                                      std::int32_t id) const {
    for (const auto& child : dialog.children) {
        if (child->owner == owner && child->handle != 0 && child->layout.id == id) {
            return child->handle;
        }
    }
    return 0;
}

std::intptr_t GtkDialogHost::Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    if (FindDialog(window) != nullptr) {
        // WM_NEXTDLGCTL with a window to focus is the only message a dialog answers here.
        if (message == kWmNextDlgCtl && lParam != 0) {
            Focus(static_cast<WindowHandle>(wParam));
        }
        return 0;
    }
    Control* control = Find(window);
    if (control != nullptr && control->handler != nullptr) {
        return control->handler->WindowProc(window, message, wParam, lParam);
    }
    return control != nullptr ? SendToControl(*control, message, wParam, lParam) : 0;
}

bool GtkDialogHost::SetText(WindowHandle window, const char* text) {
    if (Dialog* dialog = FindDialog(window)) {
        gtk_window_set_title(GTK_WINDOW(dialog->window), text);
        return true;
    }
    Control* control = Find(window);
    if (control == nullptr) {
        return false;
    }
    if (control->handler != nullptr) {
        // A child window's text is what assistive technology reads when it takes the focus.
        control->text = text != nullptr ? text : "";
        atk_object_set_name(gtk_widget_get_accessible(control->widget), control->text.c_str());
        return true;
    }
    SetControlText(*control, text != nullptr ? text : "");
    return true;
}

bool GtkDialogHost::Text(WindowHandle window, std::string* text) const {
    if (const Dialog* dialog = FindDialog(window)) {
        const char* title = gtk_window_get_title(GTK_WINDOW(dialog->window));
        *text = title != nullptr ? title : "";
        return true;
    }
    const Control* control = Find(window);
    if (control == nullptr) {
        return false;
    }
    *text = control->handler != nullptr ? control->text : ControlText(*control);
    return true;
}

bool GtkDialogHost::Enable(WindowHandle window, bool enable) {
    Control* control = Find(window);
    if (control == nullptr) {
        return false;
    }
    const bool wasDisabled = !gtk_widget_get_sensitive(control->outer);
    gtk_widget_set_sensitive(control->outer, enable);
    return wasDisabled;
}

WindowHandle GtkDialogHost::Focus(WindowHandle window) {
    Control* control = Find(window);
    if (control == nullptr) {
        return 0;
    }
    GtkWidget* had = gtk_window_get_focus(GTK_WINDOW(control->dialog->window));
    WindowHandle previous = 0;
    for (const auto& other : control->dialog->controls) {
        if (other->widget == had) {
            previous = other->handle;
        }
    }
    gtk_widget_grab_focus(control->widget);
    return previous;
}

bool GtkDialogHost::ClientRect(WindowHandle window, Rect* rect) const {
    const Control* control = Find(window);
    if (control == nullptr) {
        return false;
    }
    GtkAllocation allocation;
    gtk_widget_get_allocation(control->widget, &allocation);
    // Before the first layout the template's own size stands, less a list's frame.
    const bool laidOut = gtk_widget_get_realized(control->widget) && allocation.width > 1;
    const std::int32_t frame = control->layout.kind == ControlKind::kList ? 2 : 0;
    *rect = laidOut ? Rect{0, 0, allocation.width, allocation.height}
                    : Rect{0, 0, control->pixels.right - control->pixels.left - 2 * frame,
                           control->pixels.bottom - control->pixels.top - 2 * frame};
    return true;
}

bool GtkDialogHost::Redraw(WindowHandle window) {
    Control* control = Find(window);
    if (control == nullptr) {
        return false;
    }
    RedrawControl(*control);
    return true;
}

bool GtkDialogHost::End(WindowHandle window, std::intptr_t result) {
    Dialog* dialog = FindDialog(window);
    if (dialog == nullptr) {
        return false;
    }
    dialog->ended = true;
    dialog->result = result;
    g_main_context_wakeup(nullptr);
    return true;
}

void GtkDialogHost::SetIcon(WindowHandle window, const std::string& pictureFile) {
    Dialog* dialog = FindDialog(window);
    if (dialog != nullptr && !pictureFile.empty()) {
        gtk_window_set_icon_from_file(GTK_WINDOW(dialog->window), pictureFile.c_str(), nullptr);
    }
}

}  // namespace pavix
