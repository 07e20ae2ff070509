// The chord capture control's rules: which key and flags a press makes, what it passes on to the
// dialog and what it shows.
#include "platform/linux/x11/hotkey_capture.h"

#include <gtest/gtest.h>

#include "platform/dialog_api.h"

// After GoogleTest, whose names X's macros (None) would replace.
#include <X11/X.h>
#include <X11/keysym.h>

namespace pavix {
namespace {

// A press of the key that the keyboard's assignment gives `key`: by default the code of the key
// a US keyboard labels with the keysym.
CapturedPress Press(Keysym keysym, unsigned state = 0, Keysym base = 0, std::uint32_t key = 0) {
    const Keysym first = base != 0 ? base : keysym;
    return CapturedPress{keysym, first, state, key != 0 ? key : KeysymToVirtualKey(first)};
}

std::uint16_t Word(std::uint8_t key, std::uint8_t flags) {
    return static_cast<std::uint16_t>(flags << 8 | key);
}

TEST(HotkeyCaptureTest, KeysMakeTheirCodesAndTheExtendedOnesTheirFlag) {
    struct Case {
        CapturedPress press;
        std::uint32_t key;
        bool extended;
    };
    const Case cases[] = {
        {Press(XK_exclam, ShiftMask, XK_1), 0x31, false},  // Shift+1 is the key 1
        {Press(XK_A, ShiftMask, XK_a), 0x41, false},
        {Press(XK_Left), 0x25, true},
        {Press(XK_Prior), 0x21, true},
        {Press(XK_Insert), 0x2D, true},
        // The key the assignment names, whatever it types: the keypad without Num Lock, and
        // a French keyboard's & key, its 1.
        {Press(XK_KP_Home, 0, XK_KP_Home, 0x67), 0x67, false},
        {Press(XK_KP_7, Mod2Mask, XK_KP_Home, 0x67), 0x67, false},
        {Press(XK_ampersand, 0, XK_ampersand, 0x31), 0x31, false},
        {Press(XK_KP_Enter), 0x0D, true},
        {Press(XK_KP_Divide), 0x6F, true},
        {Press(XK_F5), 0x74, false},
        {Press(XK_Control_L), 0, false},
    };
    for (const Case& each : cases) {
        bool extended = !each.extended;
        EXPECT_EQ(CaptureVirtualKey(each.press, &extended), each.key) << each.press.keysym;
        EXPECT_EQ(extended, each.extended) << each.press.keysym;
    }
}

// A window that hears every key gets the modifiers' own codes, the right-hand ones extended,
// and the other keys as the capture control reads them.
TEST(HotkeyCaptureTest, AWindowHearsModifiersByTheirOwnCodes) {
    struct Case {
        Keysym keysym;
        std::uint32_t key;
        bool extended;
    };
    const Case cases[] = {{XK_Shift_R, 0x10, false},  {XK_Control_L, 0x11, false},
                          {XK_Control_R, 0x11, true}, {XK_Alt_L, 0x12, false},
                          {XK_Alt_R, 0x12, true},     {XK_Super_L, 0x5B, true},
                          {XK_Super_R, 0x5C, true},   {XK_Caps_Lock, 0, false},
                          {XK_Home, 0x24, true},      {XK_KP_Enter, 0x0D, true}};
    for (const Case& c : cases) {
        bool extended = !c.extended;
        EXPECT_EQ(PressedVirtualKey(Press(c.keysym), &extended), c.key) << c.keysym;
        EXPECT_EQ(extended, c.extended) << c.keysym;
    }
}

TEST(HotkeyCaptureTest, AChordTakesTheModifiersHeldWithItsKey) {
    HotkeyCapture capture("None");
    EXPECT_TRUE(capture.OnPress(Press(XK_Control_L)));
    EXPECT_EQ(capture.Text(), "Ctrl + ");
    EXPECT_TRUE(capture.OnPress(Press(XK_Alt_L, ControlMask)));
    EXPECT_TRUE(capture.OnPress(Press(XK_Delete, ControlMask | Mod1Mask)));
    EXPECT_EQ(capture.Value(), Word(0x2E, kHotkeyfControl | kHotkeyfAlt | kHotkeyfExt));
    EXPECT_EQ(capture.Text(), "Ctrl + Alt + Delete");
    // Letting go keeps the chord; Super is no modifier of the control.
    capture.OnRelease(Press(XK_Alt_L, ControlMask | Mod1Mask));
    EXPECT_TRUE(capture.OnPress(Press(XK_Super_L)));
    EXPECT_EQ(capture.Value(), Word(0x2E, kHotkeyfControl | kHotkeyfAlt | kHotkeyfExt));
    // The key is named as the keyboard names the key it took, US keyboards' names elsewhere.
    HotkeyCapture german("None", [](std::uint8_t key) { return key == 0xBA ? "\xC3\x96" : ""; });
    german.OnPress(Press(XK_odiaeresis, ControlMask, 0, 0xBA));
    EXPECT_EQ(german.Text(), "Ctrl + \xC3\x96");
    german.OnPress(Press(XK_semicolon, ControlMask, 0, 0xBF));
    EXPECT_EQ(german.Text(), "Ctrl + /");
}

TEST(HotkeyCaptureTest, ModifiersAloneLeaveNoChordOnceReleased) {
    HotkeyCapture capture("None");
    capture.Set(Word(0x41, kHotkeyfShift));
    capture.OnPress(Press(XK_Shift_L));
    capture.OnPress(Press(XK_Control_R, ShiftMask));
    EXPECT_EQ(capture.Value(), Word(0, kHotkeyfShift | kHotkeyfControl));
    capture.OnRelease(Press(XK_Shift_L, ShiftMask | ControlMask));
    EXPECT_EQ(capture.Text(), "Ctrl + ");
    capture.OnRelease(Press(XK_Control_R, ControlMask));
    EXPECT_EQ(capture.Value(), 0);
    EXPECT_EQ(capture.Text(), "None");
}

TEST(HotkeyCaptureTest, DialogKeysPassOnAloneAndClearingKeysClear) {
    HotkeyCapture capture("None");
    capture.Set(Word(0x70, kHotkeyfAlt));
    for (const Keysym key : {XK_Tab, XK_Return, XK_Escape}) {
        EXPECT_FALSE(capture.OnPress(Press(key))) << key;
    }
    EXPECT_EQ(capture.Value(), Word(0x70, kHotkeyfAlt));
    EXPECT_TRUE(capture.OnPress(Press(XK_Tab, ControlMask)));
    EXPECT_EQ(capture.Value(), Word(0x09, kHotkeyfControl));
    EXPECT_TRUE(capture.OnPress(Press(XK_space)));
    EXPECT_EQ(capture.Value(), 0);
    capture.Set(Word(0x41, 0));
    EXPECT_TRUE(capture.OnPress(Press(XK_BackSpace)));
    EXPECT_EQ(capture.Value(), 0);
}

}  // namespace
}  // namespace pavix
