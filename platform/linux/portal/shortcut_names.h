// A chord in the terms of the desktop's global-shortcuts portal: the trigger it is asked for and
// the id it is filed under.
#pragma once

#include <cstdint>
#include <string>

namespace pavix {

// The trigger in the form that the desktop portal takes for shortcuts: the modifiers CTRL, ALT,
// SHIFT and LOGO in that order, then the xkbcommon name of the key's keysym, joined by '+'
// ("CTRL+ALT+p", "SHIFT+F5"). The key is the one the X11 grabs take for the code; empty for a
// code that names no key.
std::string PortalTrigger(std::uint32_t modifiers, std::uint32_t virtualKey);

// The shortcut's id, derived from the chord's own values so that a change of the keyboard map
// never renames it: the desktop files the user's choices under it, and a Hyprland user writes
// it into the desktop's configuration. Lower-case words joined by '-' ("ctrl-alt-p", "shift-f5",
// "ctrl-vkba" for a key without a letter, digit or function-key name of its own).
std::string ShortcutId(std::uint32_t modifiers, std::uint32_t virtualKey);

}  // namespace pavix
