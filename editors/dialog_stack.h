// The modal dialogs open at the moment, outermost first: the editor that the tray menu opened, the
// dialogs run inside it and the platform's file dialogs they show. Closing the stack ends each as
// its Cancel would, innermost first, so that every modal loop unwinds and nothing is saved; from
// then on no dialog opens, since the program is on its way out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace pavix {

class DialogStack {
  public:
    explicit DialogStack(Platform& platform) : platform_(platform) {}
    DialogStack(const DialogStack&) = delete;
    DialogStack& operator=(const DialogStack&) = delete;

    // Runs `dialog` from the template, owned by the active window, and returns what it ends
    // with. Once the stack is closing it shows nothing and returns kIdCancel.
    std::intptr_t Run(std::uint32_t templateId, DialogHandler& dialog);
    // The platform's save-file (`save`) or open-file dialog for `request`; false without showing
    // anything once the stack is closing.
    bool ChooseFile(OpenFileName& request, bool save);

    // Ends every open dialog, innermost first: Pavix's own with EndDialog, a file dialog by the
    // Cancel command posted to it.
    void Close();
    bool Closing() const { return closing_; }
    // The window of the outermost dialog; 0 while none is open.
    WindowHandle Outermost() const { return open_.empty() ? 0 : open_.front().window; }

  private:
    struct OpenDialog {
        bool fileDialog = false;
        WindowHandle window = 0;  // Pavix's own dialog, from its first message on
        WindowHandle owner = 0;   // a file dialog's
    };
    class Tracked;

    void CancelFileDialog(WindowHandle owner);

    Platform& platform_;
    std::vector<OpenDialog> open_;
    bool closing_ = false;
};

}  // namespace pavix
