// The modal dialogs of the Linux backend: each template becomes a GTK 3 window whose controls
// keep the template's ids, texts, tab order and geometry, and whose events reach the dialog's
// behaviour as the platform's messages and notifications (WM_COMMAND with BN_CLICKED and
// CBN_SELCHANGE, WM_NOTIFY with LVN_ITEMCHANGED and LVN_GETDISPINFOA), sent synchronously as the
// platform sends them. Changes the behaviour makes itself notify only where the platform's do
// (a list's selection), never for check boxes, combo lists or texts.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/dialog_api.h"
#include "platform/linux/dialog_template.h"
#include "platform/platform.h"

namespace pavix {

class DialogHost {
  public:
    // `pump` dispatches the program's messages until its flag turns true, as a modal loop does;
    // `noneText` is what the chord capture control shows for no chord.
    DialogHost(std::function<void(const bool& done)> pump, std::string noneText);
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Runs the dialog until EndDialog; returns its result, or -1 when it cannot be shown.
    std::intptr_t Run(const DialogTemplate& dialog, DialogHandler* handler);

    bool Owns(WindowHandle window) const;
    // The dialog that runs on top, 0 when none does.
    WindowHandle Active() const;
    WindowHandle Item(WindowHandle dialog, std::int32_t id) const;
    std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);
    bool SetText(WindowHandle window, const char* text);
    // False for a window of no dialog.
    bool Text(WindowHandle window, std::string* text) const;
    bool Enable(WindowHandle window, bool enable);
    WindowHandle Focus(WindowHandle window);
    bool ClientRect(WindowHandle window, Rect* rect) const;
    bool Redraw(WindowHandle window);
    bool End(WindowHandle dialog, std::intptr_t result);
    void SetIcon(WindowHandle dialog, const std::string& pictureFile);
    // The GtkWindow of the dialog on top, for the windows it owns; null when none runs.
    void* ActiveWidget() const;

    struct Control;
    struct Dialog;

  private:
    void Build(Dialog& dialog, const DialogTemplate& layout);
    Control* Find(WindowHandle window) const;
    Dialog* FindDialog(WindowHandle window) const;

    std::function<void(const bool&)> pump_;
    std::string noneText_;
    std::map<WindowHandle, std::unique_ptr<Dialog>> dialogs_;
    std::map<WindowHandle, Control*> controls_;
    std::uintptr_t nextHandle_ = 0x40000000;
    WindowHandle top_ = 0;
};

// The open-file and save-file dialogs as GTK file choosers with the request's filters, title,
// overwrite prompt and default extension, owned by `parent` (a GtkWindow or null).
bool ChooseFileWithGtk(OpenFileName* request, bool save, void* parent,
                       const std::function<void(const bool& done)>& pump);

}  // namespace pavix
