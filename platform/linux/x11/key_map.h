// Windows key codes and hotkey modifiers in X11's terms: keysyms, the keyboard's key codes and
// modifier masks. Pure: the live keyboard map comes in as a KeyboardMap.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pavix {

using Keysym = unsigned long;

// XGetKeyboardMapping's answer: `perKeycode` keysyms for each key code from `minKeycode` on.
struct KeyboardMap {
    int minKeycode = 8;
    int perKeycode = 0;
    std::vector<Keysym> keysyms;
};

// The keysym of a virtual-key code as a US or ISO keyboard labels the key; 0 for a code that
// names no key (the mouse buttons, the unassigned and reserved codes).
Keysym VirtualKeyToKeysym(std::uint32_t virtualKey);
// The virtual-key code of a keysym, the left-hand one for the modifiers; 0 for none.
std::uint32_t KeysymToVirtualKey(Keysym keysym);

// The X modifier mask of MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN: Mod1, Control, Shift, Mod4.
unsigned ModifierMask(std::uint32_t modifiers);
// Every combination of Caps Lock (LockMask) and the masks of Num Lock and Scroll Lock, starting
// with none, each once: a grab matches only its exact modifiers, so a chord is grabbed once per
// combination to be heard whatever locks are on. A lock without a modifier (mask 0) adds none.
std::vector<unsigned> LockCombinations(unsigned numLockMask, unsigned scrollLockMask);

// The key of the keyboard that each virtual-key code names, and back; 0 for none. A code names
// at most one key and no key has two codes, so that a chord is heard on one key alone:
// - a letter or a digit, the key whose first level (no Shift, first group) types it; when no key
//   types it there, the key at its place on a US keyboard (as on Windows, a French keyboard's
//   digits are its top row without Shift);
// - the OEM codes, the key at the place where a US keyboard has their symbol, whatever the
//   layout prints on it (X key codes of the main block: the kernel's key numbers plus 8, which
//   Xorg, Xwayland and Xvfb share);
// - every other code, the key whose first level is its keysym, and for the keypad's digits and
//   decimal, its Num Lock level; Shift, Control and Alt without a side name no key (their left
//   and right codes do).
// A place that a letter or a digit takes by its symbol (M on a French keyboard, where a US one
// has ;) stays that letter's: the OEM code of that place has no key on such a layout.
struct KeyAssignment {
    std::array<std::uint8_t, 256> keycodeOf{};  // by virtual-key code
    std::array<std::uint8_t, 256> codeOf{};     // by X key code
};
KeyAssignment AssignKeys(const KeyboardMap& map);

// The key codes that produce `keysym` at the lowest level any key does: a letter's key for its
// small letter, the keypad's keys for their digits.
std::vector<int> KeycodesOf(const KeyboardMap& map, Keysym keysym);
// The keysym at a key code's first level, 0 for a code outside the map.
Keysym FirstKeysym(const KeyboardMap& map, int keycode);

// A key's name as the hints and boxes show it ("A", "F5", "Page Up", "Num 7"); empty for 0.
std::string KeysymName(Keysym keysym);

}  // namespace pavix
