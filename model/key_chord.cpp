#include "model/key_chord.h"

#include <cstring>

namespace pavix {
namespace {

constexpr std::uint32_t kExtendedKeyBit = 0x01000000;
constexpr std::uint32_t kMapVirtualKeyToScanCode = 0;
constexpr std::int32_t kNameBufferSize = 48;

// Codes whose keys the platform names in their extended (grey key) form.
bool IsExtendedKey(std::uint16_t virtualKey) {
    switch (virtualKey) {
        case 0x21:
        case 0x22:
        case 0x23:
        case 0x24:
        case 0x25:
        case 0x26:
        case 0x27:
        case 0x28:
        case 0x2D:
        case 0x2E:
        case 0x5D:
        case 0x90:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string KeyName(KeyboardApi& keyboard, std::uint16_t virtualKey) {
    const std::uint32_t scan = keyboard.MapVirtualKeyA(virtualKey, kMapVirtualKeyToScanCode);
    if (scan == 0) {
        return "---";
    }
    const std::uint32_t extended = IsExtendedKey(virtualKey) ? kExtendedKeyBit : 0;
    char name[kNameBufferSize] = {};
    const auto parameter = static_cast<std::int32_t>((scan << 16) + extended);
    keyboard.GetKeyNameTextA(parameter, name, kNameBufferSize - 1);
    return std::string(name, strnlen(name, kNameBufferSize - 1));
}

std::string ModifierPrefix(KeyChord chord) {
    std::string prefix;
    if (chord.modifiers & kModControl) {
        prefix += "[C]";
    }
    if (chord.modifiers & kModAlt) {
        prefix += "[A]";
    }
    if (chord.modifiers & kModShift) {
        prefix += "[S]";
    }
    if (chord.modifiers & kModWin) {
        prefix += "[W]";
    }
    return prefix;
}

ChordText ChordTexts(KeyboardApi& keyboard, KeyChord chord) {
    return ChordText{ModifierPrefix(chord), KeyName(keyboard, chord.keyCode)};
}

std::string ChordLabel(KeyboardApi& keyboard, KeyChord chord) {
    const ChordText texts = ChordTexts(keyboard, chord);
    return texts.prefix + "+" + texts.keyName;
}

}  // namespace pavix
