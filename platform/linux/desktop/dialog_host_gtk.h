// The GTK side of the dialog host (dialog_host.h), inside the desktop module: its dialogs and
// controls, and the file choosers that run beside them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/desktop/dialog_host.h"

namespace pavix {

class GtkDialogHost final : public DialogHost {
  public:
    // `pump` dispatches the program's messages until its flag turns true, as a modal loop does;
    // `noneText` is what the chord capture control shows for no chord.
    GtkDialogHost(std::function<void(const bool& done)> pump, std::string noneText);
    ~GtkDialogHost() override;

    // Runs the dialog until EndDialog; returns its result, or -1 when it cannot be shown.
    std::intptr_t Run(const DialogTemplate& dialog, DialogHandler* handler) override;
    // A modeless dialog, shown until Close; its handle.
    WindowHandle Open(const DialogTemplate& dialog, DialogHandler* handler) override;
    // False for a modal dialog or a window of no dialog.
    bool Close(WindowHandle dialog) override;
    // Shows the dialog and raises it to the front.
    bool Present(WindowHandle dialog) override;

    bool Owns(WindowHandle window) const override;
    // The dialog that runs on top, 0 when none does.
    WindowHandle Active() const override;
    WindowHandle Item(WindowHandle dialog, std::int32_t id) const override;
    std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool SetText(WindowHandle window, const char* text) override;
    // False for a window of no dialog.
    bool Text(WindowHandle window, std::string* text) const override;
    bool Enable(WindowHandle window, bool enable) override;
    WindowHandle Focus(WindowHandle window) override;
    bool ClientRect(WindowHandle window, Rect* rect) const override;
    bool Redraw(WindowHandle window) override;
    bool End(WindowHandle dialog, std::intptr_t result) override;
    void SetIcon(WindowHandle dialog, const std::string& pictureFile) override;
    // The modifier mask (X11's) of the key press a dialog is hearing, if any.
    std::optional<unsigned> PressState() const override { return pressState_; }
    void SetPressState(std::optional<unsigned> state) { pressState_ = state; }

    // A child window of a dialog, made by the dialog itself: a focusable box at `rect` (dialog
    // pixels) whose keys, focus, clicks and messages go to `handler`. False when `parent` is no
    // dialog.
    bool AddChild(WindowHandle parent, WindowHandle child, std::int32_t id, const Rect& rect,
                  const std::string& text, WindowHandler* handler) override;
    // A label inside such a child window; false when `parent` is none.
    bool AddLabel(WindowHandle parent, WindowHandle label, std::int32_t id,
                  const std::string& text) override;
    // Removes a control or child window from its dialog, or closes a modeless dialog.
    bool DestroyItem(WindowHandle window) override;
    // Where a dialog's control or child sits, in the dialog's pixels; a dialog is at 0, 0.
    bool WindowRect(WindowHandle window, Rect* rect) const override;
    // Told of each child window its dialog's end takes with it, after the dialog's WM_DESTROY.
    void OnChildGone(std::function<void(WindowHandle)> gone) override {
        childGone_ = std::move(gone);
    }

    // The GtkWindow of the dialog on top, for the windows it owns; null when none runs.
    void* ActiveWidget() const override;

    struct Control;
    struct Dialog;

  private:
    Dialog& Create(const DialogTemplate& layout, DialogHandler* handler, bool modal);
    // Ends the dialog's life: WM_DESTROY to it, then its child windows go, then its widgets.
    void Destroy(Dialog& dialog);
    void Build(Dialog& dialog, const DialogTemplate& layout);
    Control* Find(WindowHandle window) const;
    // The child window (or, in one, the label) with `id`; `owner` 0 for the dialog's own.
    WindowHandle ChildItem(const Dialog& dialog, WindowHandle owner, std::int32_t id) const;
    Dialog* FindDialog(WindowHandle window) const;

    std::function<void(const bool&)> pump_;
    std::string noneText_;
    std::map<WindowHandle, std::unique_ptr<Dialog>> dialogs_;
    std::map<WindowHandle, Control*> controls_;
    std::uintptr_t nextHandle_ = 0x40000000;
    WindowHandle top_ = 0;
    std::optional<unsigned> pressState_;
    std::function<void(WindowHandle)> childGone_;
};

// The open-file and save-file dialogs as GTK file choosers with the request's filters, title,
// overwrite prompt and default extension, owned by `parent` (a GtkWindow or null).
bool ChooseFileWithGtk(OpenFileName* request, bool save, void* parent,
                       const std::function<void(const bool& done)>& pump);

}  // namespace pavix
