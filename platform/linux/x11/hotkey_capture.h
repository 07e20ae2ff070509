// The chord capture control's own logic, apart from its widget: key presses and releases come in
// as X keysyms and modifier masks, and the control's value is the word HKM_GETHOTKEY answers
// (the key code in the low byte, HOTKEYF_* flags in the high byte). Its rules are the platform
// control's: every combination of Shift, Control and Alt with a key is taken as typed, extended
// keys (the navigation block, the arrows, keypad Enter and /) carry HOTKEYF_EXT, Tab, Return and
// Escape without modifiers stay with the dialog, and Backspace, Delete or Space alone clear it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/linux/x11/key_map.h"

namespace pavix {

// A key press as the capture control sees it: `keysym` as typed and `baseKeysym` at the key's
// first level, with the X modifier mask in force, and the code that the keyboard's assignment
// (AssignKeys) gives the pressed key, so that the control takes the very key a chord of that
// code is grabbed on (Shift+1 is the key 1, a French keyboard's & key is 1 too).
struct CapturedPress {
    Keysym keysym = 0;
    Keysym baseKeysym = 0;
    unsigned state = 0;
    std::uint32_t virtualKey = 0;
};

// The virtual-key code of a pressed key and whether it is an extended key; 0 for a key the
// control does not take (the modifiers themselves among them).
std::uint32_t CaptureVirtualKey(const CapturedPress& press, bool* extended);
// The virtual-key code of any pressed key as a window hears it: the modifiers as VK_SHIFT,
// VK_CONTROL, VK_MENU, VK_LWIN and VK_RWIN (the right-hand ones extended), every other key as
// the capture control reads it; 0 for a key with no code.
std::uint32_t PressedVirtualKey(const CapturedPress& press, bool* extended);
// HOTKEYF_SHIFT, HOTKEYF_CONTROL and HOTKEYF_ALT of an X modifier mask.
std::uint8_t CaptureModifiers(unsigned state);
bool IsModifierKeysym(Keysym keysym);

class HotkeyCapture {
  public:
    // The name of the key a code names on the keyboard; empty for one it lacks.
    using KeyNamer = std::function<std::string(std::uint8_t virtualKey)>;

    // What the control shows for no chord ("None"), in the program's language, and the keys'
    // names; without them, or for a key the keyboard lacks, a key is named as a US keyboard
    // labels it.
    explicit HotkeyCapture(std::string noneText, KeyNamer keyName = {})
        : noneText_(std::move(noneText)), keyName_(std::move(keyName)) {}

    void Set(std::uint16_t word);
    std::uint16_t Value() const { return static_cast<std::uint16_t>(flags_ << 8 | key_); }
    // False when the key is not the control's, so that the dialog handles it.
    bool OnPress(const CapturedPress& press);
    // A release of the last modifier held without a key leaves no chord.
    void OnRelease(const CapturedPress& press);
    // "Ctrl + Shift + A"; the modifiers alone while they are held without a key.
    std::string Text() const;

  private:
    std::string noneText_;
    KeyNamer keyName_;
    std::uint8_t key_ = 0;
    std::uint8_t flags_ = 0;
};

}  // namespace pavix
