// The editor of one key chord: the key picked from a list of all 256 virtual-key codes, the four
// modifiers ticked in check boxes, or the whole combination captured from the keyboard. It
// validates nothing; its callers take the chord back only after OK.
#pragma once

#include <cstdint>

#include "editors/modal_dialog.h"
#include "model/key_chord.h"
#include "resources/ids.h"

namespace pavix {

class HotkeyEditor : public ModalDialog, public ids::HotkeyEditorIds {
  public:
    static constexpr int kKeyCount = 256;

    // Ctrl+Alt with key code 8 until a chord is loaded.
    HotkeyEditor(Platform& platform, DialogStack& dialogs) : ModalDialog(platform, dialogs) {}

    void Load(KeyChord chord);
    // 1 (OK) or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }
    // Writes the key code and rebuilds the modifiers from the four boxes alone.
    void Store(KeyChord& chord) const;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;

  private:
    void ReadControls();
    void WriteChecks();
    void TypeKey();

    std::int32_t control_ = 1;
    std::int32_t alt_ = 1;
    std::int32_t shift_ = 0;
    std::int32_t win_ = 0;
    std::uint16_t keyCode_ = 8;
};

}  // namespace pavix
