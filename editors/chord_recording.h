// What a key press records when the user types a sequence: the key with the modifiers held at
// that moment, as one chord, or nothing at all.
#pragma once

#include <cstdint>
#include <optional>

#include "model/key_chord.h"
#include "platform/platform.h"

namespace pavix {

// Control, Alt, Shift and the two Windows keys, in their common and their left and right codes.
bool IsModifierKey(std::uint16_t virtualKey);

// The modifiers held down as of the key message being handled. Either Windows key is Win.
KeyModifiers HeldModifiers(KeyboardApi& keyboard);

// The chord that a key going down records: nothing for a modifier key alone, for the auto-repeat
// of a key held down, and for codes that name no key (0, 255, the input method's and the
// injected-character codes). The extended-key flag of the press plays no part: an arrow key
// records the arrow, never the Windows key.
std::optional<KeyChord> RecordedChord(std::uint16_t virtualKey, bool repeat, KeyModifiers held);

}  // namespace pavix
