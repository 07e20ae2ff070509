// The dialog group of the Linux backend: the editors' dialogs run in the GTK dialog host, which
// is made with the first dialog.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/desktop/dialog_layout.h"
#include "platform/linux/linux_platform.h"

namespace pavix {
namespace {

constexpr std::uint32_t kErrorResourceNotFound = 1814;  // ERROR_RESOURCE_NAME_NOT_FOUND

}  // namespace

std::intptr_t LinuxPlatform::DialogBoxParamA(ModuleHandle, std::uint32_t templateId, WindowHandle,
                                             DialogHandler* dialog, std::intptr_t) {
    const DialogTemplate* layout =
        resources_.findDialog ? resources_.findDialog(places_.japanese, templateId) : nullptr;
    if (layout == nullptr || dialog == nullptr || Gui() == nullptr) {
        files_.SetLastError(layout == nullptr ? kErrorResourceNotFound : kErrorInvalidParameter);
        return -1;
    }
    return Dialogs().Run(*layout, dialog);
}

WindowHandle LinuxPlatform::CreateDialogParamA(ModuleHandle, std::uint32_t templateId, WindowHandle,
                                               DialogHandler* dialog, std::intptr_t) {
    const DialogTemplate* layout =
        resources_.findDialog ? resources_.findDialog(places_.japanese, templateId) : nullptr;
    if (layout == nullptr || dialog == nullptr || Gui() == nullptr) {
        files_.SetLastError(layout == nullptr ? kErrorResourceNotFound : kErrorInvalidParameter);
        return 0;
    }
    return Dialogs().Open(*layout, dialog);
}

DialogHost& LinuxPlatform::Dialogs() {
    if (!dialogHost_) {
        dialogHost_ = module_->NewDialogHost([this](const bool& done) { PumpUntil(done); },
                                             Text(resources_.noChordTextId));
        dialogHost_->OnChildGone([this](WindowHandle child) { DestroyWindow(child); });
    }
    return *dialogHost_;
}

WindowHandle LinuxPlatform::GetActiveWindow() {
    return dialogHost_ ? dialogHost_->Active() : 0;
}

bool LinuxPlatform::OwnedByDialog(WindowHandle window) const {
    return dialogHost_ && window != 0 && dialogHost_->Owns(window);
}

WindowHandle LinuxPlatform::GetDlgItem(WindowHandle dialog, std::int32_t id) {
    return dialogHost_ ? dialogHost_->Item(dialog, id) : 0;
}

std::intptr_t LinuxPlatform::SendDlgItemMessageA(WindowHandle dialog, std::int32_t id,
                                                 std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
    return SendToDialog(GetDlgItem(dialog, id), message, wParam, lParam);
}

// A dialog takes its pictures from the tray's folder; its controls answer for themselves.
std::intptr_t LinuxPlatform::SendToDialog(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
    if (!OwnedByDialog(window)) {
        return 0;
    }
    if (message == kWmSetIcon) {
        const auto icon = icons_.find(static_cast<IconHandle>(lParam));
        const std::string name = icon != icons_.end() ? IconFile(icon->second) : "";
        if (wParam == kIconBig && !name.empty()) {
            dialogHost_->SetIcon(window, places_.runtimeFolder + "/" + name + ".png");
        }
        return 0;
    }
    return dialogHost_->Send(window, message, wParam, lParam);
}

bool LinuxPlatform::SetDlgItemTextA(WindowHandle dialog, std::int32_t id, const char* text) {
    return dialogHost_ && dialogHost_->SetText(GetDlgItem(dialog, id), text);
}

std::uint32_t LinuxPlatform::GetDlgItemInt(WindowHandle dialog, std::int32_t id, bool* translated,
                                           bool isSigned) {
    std::string text;
    std::uint32_t value = 0;
    const bool done = dialogHost_ && dialogHost_->Text(GetDlgItem(dialog, id), &text) &&
                      ParseDialogNumber(text, isSigned, &value);
    if (translated != nullptr) {
        *translated = done;
    }
    return done ? value : 0;
}

bool LinuxPlatform::SetDlgItemInt(WindowHandle dialog, std::int32_t id, std::uint32_t value,
                                  bool isSigned) {
    char text[16];
    if (isSigned) {
        std::snprintf(text, sizeof text, "%d", static_cast<std::int32_t>(value));
    } else {
        std::snprintf(text, sizeof text, "%u", value);
    }
    return SetDlgItemTextA(dialog, id, text);
}

bool LinuxPlatform::DialogText(WindowHandle window, std::string* text) const {
    return OwnedByDialog(window) && dialogHost_->Text(window, text);
}

bool LinuxPlatform::EnableWindow(WindowHandle window, bool enable) {
    return OwnedByDialog(window) && dialogHost_->Enable(window, enable);
}

WindowHandle LinuxPlatform::SetFocus(WindowHandle window) {
    return OwnedByDialog(window) ? dialogHost_->Focus(window) : 0;
}

bool LinuxPlatform::InvalidateRect(WindowHandle window, const Rect*, bool) {
    return OwnedByDialog(window) ? dialogHost_->Redraw(window) : windows_.count(window) != 0;
}

bool LinuxPlatform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    return dialogHost_ && dialogHost_->End(dialog, result);
}

bool LinuxPlatform::GetOpenFileNameA(OpenFileName* openFileName) {
    return ChooseFile(openFileName, false);
}

bool LinuxPlatform::GetSaveFileNameA(OpenFileName* openFileName) {
    return ChooseFile(openFileName, true);
}

// Without a desktop no chooser can be shown: the request fails as a cancelled one does. While it
// runs the chooser is a window that a posted Cancel ends (see FileDialogEntry).
bool LinuxPlatform::ChooseFile(OpenFileName* request, bool save) {
    if (Gui() == nullptr || request == nullptr) {
        return false;
    }
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 4;
    FileDialogEntry& entry = fileDialogs_[handle];
    entry.owner = request->hwndOwner;
    const bool chosen =
        module_->ChooseFile(request, save, dialogHost_ ? dialogHost_->ActiveWidget() : nullptr,
                            [this, &entry](const bool& done) { PumpUntil(done, entry.cancelled); });
    const bool cancelled = entry.cancelled;
    fileDialogs_.erase(handle);
    return chosen && !cancelled;
}

}  // namespace pavix
