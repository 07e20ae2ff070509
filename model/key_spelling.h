// Fixed spellings of key chords for the sequences as text, such as "Ctrl+Alt+N". Unlike the names
// that the keyboard layout gives (KeyName), they are the same on every system and every key code
// has one, so a text written on one machine means the same chords on any other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/key_chord.h"

namespace pavix {

// Spellings, and the English names of the built-in commands, compare without regard to ASCII case.
bool SameSpelling(std::string_view a, std::string_view b);

// The spelling of a key code: its name ("A", "7", "F12", "PageUp", "NumPad0", "Oem1", ...) or, for
// a code without one, "0x" and two hexadecimal digits (four above 0xFF).
std::string KeySpelling(std::uint16_t keyCode);

// The modifiers in the order Ctrl, Alt, Shift, Win, each followed by "+", then the key. Nothing
// when the chord has a modifier bit other than those four.
std::optional<std::string> ChordSpelling(KeyChord chord);

// Reads a spelling: any of the four modifiers in any order, each at most once, then the key, its
// name or "0x" and one to four hexadecimal digits. Case does not matter and blanks around each
// part are allowed. False when a part is no such name; `badPart` then holds it.
bool ParseChordSpelling(std::string_view text, KeyChord* chord, std::string* badPart);

}  // namespace pavix
