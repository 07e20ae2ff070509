#include "editors/modal_dialog.h"

#include <vector>

#include "platform/constants.h"

namespace pavix {

std::intptr_t ModalDialog::DialogProc(WindowHandle dialog, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case kWmInitDialog:
            window_ = dialog;
            return OnInitDialog() ? 1 : 0;
        case kWmCommand:
            return OnCommand(CommandId(wParam), CommandCode(wParam)) ? 1 : 0;
        case kWmNotify:
            return lParam != 0 && OnNotify(*reinterpret_cast<const NotifyHeader*>(lParam)) ? 1 : 0;
        case kWmDestroy:
            OnDestroy();
            return 0;
        default:
            return 0;
    }
}

std::intptr_t ModalDialog::RunModal(std::uint32_t templateId) {
    return platform_.DialogBoxParamA(platform_.GetModuleHandleA(nullptr), templateId,
                                     platform_.GetActiveWindow(), this, 0);
}

bool ModalDialog::ReadText(std::int32_t id, std::string* text) {
    const WindowHandle control = Item(id);
    const std::int32_t length = platform_.GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const std::int32_t read =
        platform_.GetWindowTextA(control, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    // The length may be overstated for multi-byte text, so only a read that hands over nothing
    // of a non-empty text, or more than fits, is a failed transfer.
    if ((length > 0 && read <= 0) || read < 0 || read > length) {
        Complain(id);
        return false;
    }
    text->assign(buffer.data(), static_cast<std::size_t>(read));
    return true;
}

void ModalDialog::Complain(std::int32_t id) {
    platform_.MessageBeep(kSimpleBeep);
    platform_.SetFocus(Item(id));
}

}  // namespace pavix
