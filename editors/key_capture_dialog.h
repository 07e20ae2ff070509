// The box in which the user presses the wanted combination: a hotkey control that starts from
// the editor's chord and hands back the key code and the control's own modifier flags.
#pragma once

#include <cstdint>

#include "editors/modal_dialog.h"
#include "resources/ids.h"

namespace pavix {

class KeyCaptureDialog : public ModalDialog, public ids::KeyCaptureIds {
  public:
    // `flags` are HOTKEYF_ bits; only the low bytes of both reach the control.
    KeyCaptureDialog(Platform& platform, DialogStack& dialogs, std::uint16_t flags,
                     std::uint16_t keyCode)
        : ModalDialog(platform, dialogs), flags_(flags), keyCode_(keyCode) {}

    // 1 (OK) with the captured combination, or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }
    std::uint16_t Flags() const { return flags_; }
    std::uint16_t KeyCode() const { return keyCode_; }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;

  private:
    std::uint16_t flags_;
    std::uint16_t keyCode_;
};

}  // namespace pavix
