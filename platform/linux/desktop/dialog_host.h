// The modal dialogs of the Linux backend: each template becomes a GTK 3 window whose controls
// keep the template's ids, texts, tab order and geometry, and whose events reach the dialog's
// behaviour as the platform's messages and notifications (WM_COMMAND with BN_CLICKED and
// CBN_SELCHANGE, WM_NOTIFY with LVN_ITEMCHANGED and LVN_GETDISPINFOA), sent synchronously as the
// platform sends them. Changes the behaviour makes itself notify only where the platform's do
// (a list's selection), never for check boxes, combo lists or texts. The host lives in the
// desktop module (desktop_module.h); the program sees only this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/dialog_api.h"
#include "platform/linux/desktop/dialog_template.h"
#include "platform/platform.h"

namespace pavix {

class DialogHost {
  public:
    DialogHost() = default;
    virtual ~DialogHost() = default;
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Runs the dialog until EndDialog; returns its result, or -1 when it cannot be shown.
    virtual std::intptr_t Run(const DialogTemplate& dialog, DialogHandler* handler) = 0;
    // A modeless dialog, shown until Close; its handle.
    virtual WindowHandle Open(const DialogTemplate& dialog, DialogHandler* handler) = 0;
    // False for a modal dialog or a window of no dialog.
    virtual bool Close(WindowHandle dialog) = 0;
    // Shows the dialog and raises it to the front.
    virtual bool Present(WindowHandle dialog) = 0;

    virtual bool Owns(WindowHandle window) const = 0;
    // The dialog that runs on top, 0 when none does.
    virtual WindowHandle Active() const = 0;
    virtual WindowHandle Item(WindowHandle dialog, std::int32_t id) const = 0;
    virtual std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    virtual bool SetText(WindowHandle window, const char* text) = 0;
    // False for a window of no dialog.
    virtual bool Text(WindowHandle window, std::string* text) const = 0;
    virtual bool Enable(WindowHandle window, bool enable) = 0;
    virtual WindowHandle Focus(WindowHandle window) = 0;
    virtual bool ClientRect(WindowHandle window, Rect* rect) const = 0;
    virtual bool Redraw(WindowHandle window) = 0;
    virtual bool End(WindowHandle dialog, std::intptr_t result) = 0;
    virtual void SetIcon(WindowHandle dialog, const std::string& pictureFile) = 0;
    // The modifier mask (X11's) of the key press a dialog is hearing, if any.
    virtual std::optional<unsigned> PressState() const = 0;

    // A child window of a dialog, made by the dialog itself: a focusable box at `rect` (dialog
    // pixels) whose keys, focus, clicks and messages go to `handler`. False when `parent` is no
    // dialog.
    virtual bool AddChild(WindowHandle parent, WindowHandle child, std::int32_t id,
                          const Rect& rect, const std::string& text, WindowHandler* handler) = 0;
    // A label inside such a child window; false when `parent` is none.
    virtual bool AddLabel(WindowHandle parent, WindowHandle label, std::int32_t id,
                          const std::string& text) = 0;
    // Removes a control or child window from its dialog, or closes a modeless dialog.
    virtual bool DestroyItem(WindowHandle window) = 0;
    // Where a dialog's control or child sits, in the dialog's pixels; a dialog is at 0, 0.
    virtual bool WindowRect(WindowHandle window, Rect* rect) const = 0;
    // Told of each child window its dialog's end takes with it, after the dialog's WM_DESTROY.
    virtual void OnChildGone(std::function<void(WindowHandle)> gone) = 0;

    // The GtkWindow of the dialog on top, for the windows it owns; null when none runs.
    virtual void* ActiveWidget() const = 0;
};

}  // namespace pavix
