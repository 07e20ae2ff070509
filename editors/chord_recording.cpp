#include "editors/chord_recording.h"

namespace pavix {

bool IsModifierKey(std::uint16_t virtualKey) {
    switch (virtualKey) {
        case kVkShift:
        case kVkControl:
        case kVkMenu:
        case kVkLWin:
        case kVkRWin:
            return true;
        default:
            return virtualKey >= kVkLShift && virtualKey <= kVkRMenu;
    }
}

KeyModifiers HeldModifiers(KeyboardApi& keyboard) {
    const auto down = [&](std::int32_t key) { return keyboard.GetKeyState(key) < 0; };
    return static_cast<KeyModifiers>(
        (down(kVkControl) ? kModControl : 0) | (down(kVkMenu) ? kModAlt : 0) |
        (down(kVkShift) ? kModShift : 0) | (down(kVkLWin) || down(kVkRWin) ? kModWin : 0));
}

std::optional<KeyChord> RecordedChord(std::uint16_t virtualKey, bool repeat, KeyModifiers held) {
    constexpr std::uint16_t kNoKey = 0xFF;
    if (repeat || virtualKey == 0 || virtualKey >= kNoKey || IsModifierKey(virtualKey) ||
        virtualKey == kVkProcessKey || virtualKey == kVkPacket) {
        return std::nullopt;
    }
    return KeyChord{static_cast<KeyModifiers>(held & (kModControl | kModAlt | kModShift | kModWin)),
                    virtualKey};
}

}  // namespace pavix
