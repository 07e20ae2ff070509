#include "platform/linux/x11/hotkey_capture.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include "platform/dialog_api.h"

namespace pavix {
namespace {

constexpr std::uint32_t kVkBack = 0x08;
constexpr std::uint32_t kVkTab = 0x09;
constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkDelete = 0x2E;

constexpr std::uint32_t kVkDivide = 0x6F;

bool IsExtendedCode(std::uint32_t virtualKey) {
    switch (virtualKey) {
        case 0x21:
        case 0x22:
        case 0x23:
        case 0x24:  // Page Up, Page Down, End, Home
        case 0x25:
        case 0x26:
        case 0x27:
        case 0x28:  // the arrows
        case 0x2C:
        case 0x2D:
        case 0x2E:  // Print Screen, Insert, Delete
        case 0x5D:
        case 0x90:
        case 0x03:  // Application, Num Lock, Break
            return true;
        default:
            return false;
    }
}

// The flag of a modifier key itself: X reports a modifier's own press and release with the mask
// of before.
std::uint8_t OwnFlag(Keysym keysym) {
    switch (keysym) {
        case XK_Shift_L:
        case XK_Shift_R:
            return kHotkeyfShift;
        case XK_Control_L:
        case XK_Control_R:
            return kHotkeyfControl;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
            return kHotkeyfAlt;
        default:
            return 0;
    }
}

std::string ModifierText(std::uint8_t flags) {
    std::string text;
    if ((flags & kHotkeyfControl) != 0) {
        text += "Ctrl + ";
    }
    if ((flags & kHotkeyfShift) != 0) {
        text += "Shift + ";
    }
    if ((flags & kHotkeyfAlt) != 0) {
        text += "Alt + ";
    }
    return text;
}

}  // namespace

bool IsModifierKeysym(Keysym keysym) {
    return (keysym >= XK_Shift_L && keysym <= XK_Hyper_R) || keysym == XK_ISO_Level3_Shift ||
           keysym == XK_Mode_switch;
}

// The keypad's keys are their own codes with Num Lock on or off, as their chords are heard
// either way; keypad Enter is Return, extended.
std::uint32_t CaptureVirtualKey(const CapturedPress& press, bool* extended) {
    *extended = false;
    if (IsModifierKeysym(press.baseKeysym) || IsModifierKeysym(press.keysym)) {
        return 0;
    }
    if (press.keysym == XK_KP_Enter) {
        *extended = true;
        return kVkReturn;
    }
    *extended = IsExtendedCode(press.virtualKey) || press.virtualKey == kVkDivide;
    return press.virtualKey;
}

std::uint32_t PressedVirtualKey(const CapturedPress& press, bool* extended) {
    *extended = false;
    switch (press.keysym) {
        case XK_Shift_L:
        case XK_Shift_R:
            return 0x10;  // VK_SHIFT
        case XK_Control_R:
            *extended = true;
            return 0x11;  // VK_CONTROL
        case XK_Control_L:
            return 0x11;
        case XK_Alt_R:
        case XK_ISO_Level3_Shift:
            *extended = true;
            return 0x12;  // VK_MENU
        case XK_Alt_L:
        case XK_Meta_L:
        case XK_Meta_R:
            return 0x12;
        case XK_Super_L:
            *extended = true;
            return 0x5B;  // VK_LWIN
        case XK_Super_R:
            *extended = true;
            return 0x5C;  // VK_RWIN
        default:
            return IsModifierKeysym(press.keysym) ? 0 : CaptureVirtualKey(press, extended);
    }
}

std::uint8_t CaptureModifiers(unsigned state) {
    std::uint8_t flags = 0;
    flags |= (state & ShiftMask) != 0 ? kHotkeyfShift : 0;
    flags |= (state & ControlMask) != 0 ? kHotkeyfControl : 0;
    flags |= (state & Mod1Mask) != 0 ? kHotkeyfAlt : 0;
    return flags;
}

void HotkeyCapture::Set(std::uint16_t word) {
    key_ = static_cast<std::uint8_t>(word & 0xFF);
    flags_ = static_cast<std::uint8_t>(word >> 8);
}

bool HotkeyCapture::OnPress(const CapturedPress& press) {
    const std::uint8_t modifiers = CaptureModifiers(press.state);
    if (IsModifierKeysym(press.keysym)) {
        const auto held = static_cast<std::uint8_t>(modifiers | OwnFlag(press.keysym));
        if (held != 0) {
            key_ = 0;
            flags_ = held;
        }
        return true;
    }
    bool extended = false;
    const std::uint32_t virtualKey = CaptureVirtualKey(press, &extended);
    if (modifiers == 0 && !extended &&
        (virtualKey == kVkTab || virtualKey == kVkReturn || virtualKey == kVkEscape)) {
        return false;
    }
    if (modifiers == 0 &&
        (virtualKey == kVkBack || virtualKey == kVkDelete || virtualKey == kVkSpace)) {
        Set(0);
        return true;
    }
    if (virtualKey == 0 || virtualKey > 0xFF) {
        return true;
    }
    key_ = static_cast<std::uint8_t>(virtualKey);
    flags_ = static_cast<std::uint8_t>(modifiers | (extended ? kHotkeyfExt : 0));
    return true;
}

void HotkeyCapture::OnRelease(const CapturedPress& press) {
    if (!IsModifierKeysym(press.keysym) || key_ != 0) {
        return;
    }
    const auto left =
        static_cast<std::uint8_t>(CaptureModifiers(press.state) & ~OwnFlag(press.keysym));
    flags_ = left;
}

std::string HotkeyCapture::Text() const {
    if (key_ == 0) {
        return flags_ != 0 ? ModifierText(flags_) : noneText_;
    }
    std::string name = keyName_ ? keyName_(key_) : "";
    if (name.empty()) {
        name = KeysymName(VirtualKeyToKeysym(key_));
    }
    if (name.empty()) {
        name = "0x" + std::string(1, "0123456789ABCDEF"[key_ >> 4]) + "0123456789ABCDEF"[key_ & 15];
    }
    return ModifierText(flags_) + name;
}

}  // namespace pavix
