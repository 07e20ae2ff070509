#include "editors/key_capture_dialog.h"

#include "platform/constants.h"

namespace pavix {

bool KeyCaptureDialog::OnInitDialog() {
    // The control's word: key code in the low byte, its modifier flags in the high byte.
    const auto value = static_cast<std::uintptr_t>((flags_ & 0xFF) << 8 | (keyCode_ & 0xFF));
    SendItem(kHotkeyControl, kHkmSetHotkey, value);
    return true;
}

bool KeyCaptureDialog::OnCommand(std::int32_t id, std::uint16_t) {
    if (id == kIdOk) {
        const auto value = static_cast<std::uint32_t>(SendItem(kHotkeyControl, kHkmGetHotkey));
        keyCode_ = static_cast<std::uint16_t>(value & 0xFF);
        flags_ = static_cast<std::uint16_t>((value >> 8) & 0xFF);
        End(kIdOk);
        return true;
    }
    if (id == kIdCancel) {
        End(kIdCancel);
        return true;
    }
    return false;
}

}  // namespace pavix
