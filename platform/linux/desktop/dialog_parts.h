// The inside of the dialog host, shared by its files: a dialog and its controls with their GTK
// widgets (owned by GTK), and the making and messaging of each kind of control.
#pragma once

#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/linux/desktop/dialog_host_gtk.h"
#include "platform/linux/desktop/dialog_layout.h"
#include "platform/linux/x11/hotkey_capture.h"

namespace pavix {

struct GtkDialogHost::Control {
    Dialog* dialog = nullptr;
    WindowHandle handle = 0;
    ControlTemplate layout;
    Rect pixels;                   // where the template puts it
    GtkWidget* outer = nullptr;    // what sits in the dialog (a list's scrolled window)
    GtkWidget* widget = nullptr;   // what takes the focus and holds the text
    GtkTreeModel* rows = nullptr;  // a list's rows (row_count_model.h), texts from the dialog
    std::uint32_t extendedStyle = 0;
    std::unique_ptr<HotkeyCapture> capture;
    // A child window the dialog made itself (its handler hears its input), or a label in one.
    WindowHandler* handler = nullptr;
    WindowHandle owner = 0;  // the child window a label sits in; 0 for the dialog's own
    guint heldKey = 0;       // the hardware key held down, for the repeat flag
    std::string text;        // a child window's own text
};

struct GtkDialogHost::Dialog {
    WindowHandle handle = 0;
    DialogHandler* handler = nullptr;
    GtkWidget* window = nullptr;
    std::vector<std::unique_ptr<Control>> controls;
    std::vector<std::unique_ptr<Control>> children;  // made after the template's
    bool modal = true;
    GtkDialogHost* host = nullptr;
    bool ended = false;
    bool closing = false;  // past WM_DESTROY: its widgets go and tell the dialog nothing more
    std::intptr_t result = 0;
    int quiet = 0;  // > 0 while the dialog's own changes must not notify it
    // The commands that the user's clicks and choices made, waiting for the main loop: each
    // reaches the dialog from there, never from inside whatever delivered the input (the
    // accessibility bus dispatches nothing else while it delivers an action).
    std::map<guint, std::pair<std::uintptr_t, std::intptr_t>> pending;
};

// While a key press reaches a dialog, the keyboard's modifier state is the press's own: the
// server's may not have caught up with it yet.
class PressScope {
  public:
    PressScope(GtkDialogHost& host, unsigned state) : host_(host) { host_.SetPressState(state); }
    ~PressScope() { host_.SetPressState(std::nullopt); }
    PressScope(const PressScope&) = delete;
    PressScope& operator=(const PressScope&) = delete;

  private:
    GtkDialogHost& host_;
};

// The press as the chord capture control reads it.
CapturedPress PressOf(const GdkEventKey* event);
// The first two levels of the first group of every key of the default display, which is what
// the X11 hotkeys read of an X server's keyboard map: so that the key codes' assignment is theirs.
KeyboardMap KeyboardOfDisplay();

// Makes the widget of a control of `kind`, unplaced, with its text and its signals wired.
void MakeControl(GtkDialogHost::Control& control, const std::string& noneText,
                 GtkRadioButton* groupLeader);
// A message the dialog sends to one of its controls; 0 where the control has no answer.
std::intptr_t SendToControl(GtkDialogHost::Control& control, std::uint32_t message,
                            std::uintptr_t wParam, std::intptr_t lParam);
void SetControlText(GtkDialogHost::Control& control, const char* text);
// Draws the control afresh; a list's rows read their texts again from the dialog.
void RedrawControl(GtkDialogHost::Control& control);
std::string ControlText(const GtkDialogHost::Control& control);
// WM_COMMAND from a control to its dialog, unless the dialog is changing the control itself.
void NotifyCommand(GtkDialogHost::Control& control, std::uint16_t code);
// WM_COMMAND to a dialog as soon as the main loop runs; `control` 0 for none.
void PostCommand(GtkDialogHost::Dialog& dialog, std::uintptr_t wParam, WindowHandle control);
// Drops the commands not yet delivered to a dialog that goes.
void DropCommands(GtkDialogHost::Dialog& dialog);

// Dialog-unit geometry of GTK: the base units of the window's font.
Size FontUnits(GtkWidget* window);

}  // namespace pavix
