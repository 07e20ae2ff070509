// The texts under which Pavix shows chords and built-in commands, derived here independently
// from the platform's keyboard layout and from the program's published texts, so that a
// scenario can say exactly what a control must show.
#pragma once

#include <cstdint>
#include <string>

#include "data_files.h"

namespace pavix_e2e {

// The twelve navigation keys that carry the extended-key bit: the key name asks the layout for
// their extended form, and SendInput must send them as extended keys.
bool IsExtendedKey(std::uint16_t virtualKey);

// The layout's name of a virtual-key code: GetKeyNameTextA of its scan code (with the extended
// bit for the keys above), or "---" when the code has no scan code.
std::wstring KeyName(std::uint16_t virtualKey);
// "[C]", "[A]", "[S]", "[W]" for the modifiers present, always in this order.
std::wstring ModifierPrefix(std::uint16_t modifiers);
// Prefix, "+", key name: the one-line label of a chord.
std::wstring ChordLabel(const Chord& chord);
// A row of the hotkey editor's key list: the code right-aligned in three places, ":", the name.
std::wstring KeyRowText(std::uint16_t virtualKey);

constexpr int kBuiltinCommandCount = 16;
// The display name of built-in command id 0 to 15 in the English or the Japanese copy.
std::wstring BuiltinName(std::int32_t id, bool japanese);
// How the sequence editor lists an external command.
std::wstring ExternalDescription(const CommandSpec& command);

// Text in the ANSI code page of this process (which is Pavix's: both start under one locale).
std::wstring FromAnsi(const std::string& text);

// Text in UTF-8, as the scenario table holds it.
std::wstring FromUtf8(const std::string& utf8);

}  // namespace pavix_e2e
