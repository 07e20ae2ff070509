#include "editors/dialog_stack.h"

#include "platform/constants.h"

namespace pavix {

// Forwards every message to the dialog, noting its window on the way.
class DialogStack::Tracked final : public DialogHandler {
  public:
    Tracked(DialogStack& stack, std::size_t index, DialogHandler& dialog)
        : stack_(stack), index_(index), dialog_(dialog) {}
    std::intptr_t DialogProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        stack_.open_[index_].window = window;
        return dialog_.DialogProc(window, message, wParam, lParam);
    }

  private:
    DialogStack& stack_;
    std::size_t index_;
    DialogHandler& dialog_;
};

std::intptr_t DialogStack::Run(std::uint32_t templateId, DialogHandler& dialog) {
    if (closing_) {
        return kIdCancel;
    }
    open_.push_back(OpenDialog{});
    Tracked tracked(*this, open_.size() - 1, dialog);
    const std::intptr_t result = platform_.DialogBoxParamA(
        platform_.GetModuleHandleA(nullptr), templateId, platform_.GetActiveWindow(), &tracked, 0);
    open_.pop_back();
    return result;
}

bool DialogStack::ChooseFile(OpenFileName& request, bool save) {
    if (closing_) {
        return false;
    }
    open_.push_back(OpenDialog{true, 0, request.hwndOwner});
    const bool chosen =
        save ? platform_.GetSaveFileNameA(&request) : platform_.GetOpenFileNameA(&request);
    open_.pop_back();
    return chosen;
}

void DialogStack::Close() {
    closing_ = true;
    for (auto open = open_.rbegin(); open != open_.rend(); ++open) {
        if (open->fileDialog) {
            CancelFileDialog(open->owner);
        } else if (open->window != 0) {
            platform_.EndDialog(open->window, kIdCancel);
        }
    }
}

// The platform's file dialog is a window of the dialog class owned by the window that was active
// when it opened; one without an owner could not be told from another program's.
void DialogStack::CancelFileDialog(WindowHandle owner) {
    if (owner == 0) {
        return;
    }
    for (WindowHandle window = platform_.FindWindowExA(0, 0, kDialogClass, nullptr); window != 0;
         window = platform_.FindWindowExA(0, window, kDialogClass, nullptr)) {
        if (platform_.GetWindow(window, kGwOwner) == owner) {
            platform_.PostMessageA(window, kWmCommand, static_cast<std::uintptr_t>(kIdCancel), 0);
        }
    }
}

}  // namespace pavix
