#include "editors/hotkey_editor.h"

#include <cstdio>

#include "editors/key_capture_dialog.h"
#include "platform/constants.h"

namespace pavix {
namespace {

// "%3d:%s": the code right-aligned in three places, then the platform's name of the key.
std::string KeyRowText(KeyboardApi& keyboard, int keyCode) {
    char number[8];
    std::snprintf(number, sizeof number, "%3d:", keyCode);
    return number + KeyName(keyboard, static_cast<std::uint16_t>(keyCode));
}

std::int32_t Bit(std::uint32_t value, std::uint32_t bit) {
    return (value & bit) != 0 ? 1 : 0;
}

}  // namespace

void HotkeyEditor::Load(KeyChord chord) {
    keyCode_ = chord.keyCode;
    control_ = Bit(chord.modifiers, kModControl);
    alt_ = Bit(chord.modifiers, kModAlt);
    shift_ = Bit(chord.modifiers, kModShift);
    win_ = Bit(chord.modifiers, kModWin);
}

void HotkeyEditor::Store(KeyChord& chord) const {
    chord.keyCode = keyCode_;
    chord.modifiers =
        static_cast<KeyModifiers>((control_ ? kModControl : 0) | (alt_ ? kModAlt : 0) |
                                  (shift_ ? kModShift : 0) | (win_ ? kModWin : 0));
}

bool HotkeyEditor::OnInitDialog() {
    WriteChecks();
    for (int keyCode = 0; keyCode < kKeyCount; ++keyCode) {
        AddComboRow(kKeyList, KeyRowText(platform_, keyCode));
    }
    SelectComboRow(kKeyList, keyCode_);
    return true;
}

bool HotkeyEditor::OnCommand(std::int32_t id, std::uint16_t) {
    switch (id) {
        case kIdOk:
        case kIdCancel:
            ReadControls();
            End(id);
            return true;
        case kKeyTypeButton:
            TypeKey();
            return true;
        default:
            return false;
    }
}

void HotkeyEditor::ReadControls() {
    control_ = Checked(kControlBox);
    alt_ = Checked(kAltBox);
    shift_ = Checked(kShiftBox);
    win_ = Checked(kWinBox);
    const std::intptr_t row = ComboSelection(kKeyList);
    if (row >= 0 && row < kKeyCount) {
        keyCode_ = static_cast<std::uint16_t>(row);
    }
}

void HotkeyEditor::WriteChecks() {
    SetChecked(kControlBox, control_);
    SetChecked(kAltBox, alt_);
    SetChecked(kShiftBox, shift_);
    SetChecked(kWinBox, win_);
}

// The capture control has no flag for the Windows key: WIN travels as its extended-key flag,
// in both directions. The twelve extended keys are the exception: the control sets that flag for
// them whatever the user holds, and shows them in their extended form only with it. For them the
// flag goes out set, comes back meaning nothing more, and WIN keeps the state of its box.
void HotkeyEditor::TypeKey() {
    ReadControls();
    const bool extendedFlag = win_ || IsExtendedKey(keyCode_);
    const auto flags =
        static_cast<std::uint16_t>((control_ ? kHotkeyfControl : 0) | (alt_ ? kHotkeyfAlt : 0) |
                                   (shift_ ? kHotkeyfShift : 0) | (extendedFlag ? kHotkeyfExt : 0));
    KeyCaptureDialog capture(platform_, Dialogs(), flags, keyCode_);
    if (capture.Run() != kIdOk) {
        return;
    }
    keyCode_ = capture.KeyCode();
    control_ = Bit(capture.Flags(), kHotkeyfControl);
    alt_ = Bit(capture.Flags(), kHotkeyfAlt);
    shift_ = Bit(capture.Flags(), kHotkeyfShift);
    if (!IsExtendedKey(keyCode_)) {
        win_ = Bit(capture.Flags(), kHotkeyfExt);
    }
    SelectComboRow(kKeyList, keyCode_);
    WriteChecks();
}

}  // namespace pavix
