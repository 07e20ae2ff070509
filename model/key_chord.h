// A key chord: one virtual-key code with its modifier keys, packed the way the data files and the
// hotkey registration take it (key code x 65536 + modifiers).
#pragma once

#include <cstdint>
#include <string>

#include "platform/constants.h"
#include "platform/platform.h"

namespace pavix {

// The low half of a chord; the bits are the platform's MOD_ flags.
using KeyModifiers = std::uint16_t;

struct KeyChord {
    KeyModifiers modifiers = 0;
    std::uint16_t keyCode = 0;

    constexpr std::uint32_t Packed() const {
        return static_cast<std::uint32_t>(keyCode) << 16 | modifiers;
    }
    static constexpr KeyChord FromPacked(std::uint32_t packed) {
        return KeyChord{static_cast<KeyModifiers>(packed & 0xFFFF),
                        static_cast<std::uint16_t>(packed >> 16)};
    }
    // Key code first, then modifiers: the order of the packed values.
    friend constexpr bool operator<(KeyChord a, KeyChord b) { return a.Packed() < b.Packed(); }
    friend constexpr bool operator==(KeyChord a, KeyChord b) { return a.Packed() == b.Packed(); }
    friend constexpr bool operator!=(KeyChord a, KeyChord b) { return !(a == b); }
};

struct ChordText {
    std::string prefix;
    std::string keyName;
};

// The twelve codes whose keys are extended keys (the grey keys: Page Up, Page Down, End, Home, the
// four arrows, Insert, Delete, Applications, Num Lock): the platform names them, and the hotkey
// control flags them, in their extended form.
bool IsExtendedKey(std::uint16_t virtualKey);
// The platform's name of a virtual-key code; "---" for a code without a scan code.
std::string KeyName(KeyboardApi& keyboard, std::uint16_t virtualKey);
// "[C]", "[A]", "[S]", "[W]" for the modifiers present, always in that order.
std::string ModifierPrefix(KeyChord chord);
ChordText ChordTexts(KeyboardApi& keyboard, KeyChord chord);
// Prefix, "+", key name.
std::string ChordLabel(KeyboardApi& keyboard, KeyChord chord);

}  // namespace pavix
