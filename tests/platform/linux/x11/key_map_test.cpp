// Windows key codes and modifiers in X11's terms, checked for every code.
#include "platform/linux/x11/key_map.h"

#include <gtest/gtest.h>

#include "platform/constants.h"

// After GoogleTest, whose names X's macros (None) would replace.
#include <X11/X.h>
#include <X11/keysym.h>

namespace pavix {
namespace {

TEST(KeyMapTest, EveryCodeWithAKeyMapsToAKeysymThatMapsBack) {
    int mapped = 0;
    for (std::uint32_t code = 0; code < 256; ++code) {
        const Keysym keysym = VirtualKeyToKeysym(code);
        if (keysym == 0) {
            continue;
        }
        ++mapped;
        // Shift, Control and Alt without a side come back as their left-hand keys.
        const std::uint32_t expected =
            code >= 0x10 && code <= 0x12 ? 0xA0 + 2 * (code - 0x10) : code;
        EXPECT_EQ(KeysymToVirtualKey(keysym), expected) << "code " << code;
    }
    // Digits, letters, keypad digits, F1-F24 and 77 named keys; the rest name none.
    EXPECT_EQ(mapped, 10 + 26 + 10 + 24 + 77);
}

TEST(KeyMapTest, KeysMapToTheKeysymsOfTheirLabels) {
    const std::pair<std::uint32_t, Keysym> cases[] = {
        {0x41, XK_a},
        {0x5A, XK_z},
        {0x30, XK_0},
        {0x60, XK_KP_0},
        {0x69, XK_KP_9},
        {0x70, XK_F1},
        {0x87, XK_F24},
        {0x0D, XK_Return},
        {0x21, XK_Prior},
        {0x2C, XK_Print},
        {0x5B, XK_Super_L},
        {0xA5, XK_Alt_R},
        {0xBA, XK_semicolon},
        {0xDE, XK_apostrophe},
        {0x6E, XK_KP_Decimal},
        {0x01, 0},
        {0x2A, 0},
        {0x88, 0},
        {0xFF, 0},
    };
    for (const auto& [code, keysym] : cases) {
        EXPECT_EQ(VirtualKeyToKeysym(code), keysym) << "code " << code;
    }
    EXPECT_EQ(KeysymToVirtualKey(XK_Q), 0x51u);  // a capital is its letter's key
    EXPECT_EQ(KeysymToVirtualKey(XK_KP_Insert), 0u);
}

TEST(KeyMapTest, ModifiersMapToTheirMasks) {
    EXPECT_EQ(ModifierMask(0), 0u);
    EXPECT_EQ(ModifierMask(kModAlt), unsigned{Mod1Mask});
    EXPECT_EQ(ModifierMask(kModControl), unsigned{ControlMask});
    EXPECT_EQ(ModifierMask(kModShift), unsigned{ShiftMask});
    EXPECT_EQ(ModifierMask(kModWin), unsigned{Mod4Mask});
    EXPECT_EQ(ModifierMask(kModAlt | kModControl | kModShift | kModWin),
              unsigned{Mod1Mask | ControlMask | ShiftMask | Mod4Mask});
}

TEST(KeyMapTest, EveryCombinationOfTheLocksIsGrabbedOnce) {
    EXPECT_EQ(LockCombinations(0, 0), (std::vector<unsigned>{0, LockMask}));
    EXPECT_EQ(LockCombinations(Mod2Mask, 0),
              (std::vector<unsigned>{0, LockMask, Mod2Mask, LockMask | Mod2Mask}));
    const std::vector<unsigned> all = LockCombinations(Mod2Mask, Mod5Mask);
    EXPECT_EQ(all.size(), 8u);
    for (unsigned combination = 0; combination < 8; ++combination) {
        const unsigned mask = (combination & 1 ? LockMask : 0) | (combination & 2 ? Mod2Mask : 0) |
                              (combination & 4 ? Mod5Mask : 0);
        EXPECT_EQ(std::count(all.begin(), all.end(), mask), 1) << mask;
    }
    // Num Lock and Scroll Lock on one modifier: four combinations, not eight.
    EXPECT_EQ(LockCombinations(Mod2Mask, Mod2Mask).size(), 4u);
}

TEST(KeyMapTest, KeysAreFoundAtTheLowestLevelThatHasThem) {
    KeyboardMap map;
    map.minKeycode = 8;
    map.perKeycode = 2;
    map.keysyms.assign(2 * 100, NoSymbol);
    const auto set = [&](int keycode, Keysym first, Keysym second) {
        map.keysyms[static_cast<std::size_t>(keycode - 8) * 2] = first;
        map.keysyms[static_cast<std::size_t>(keycode - 8) * 2 + 1] = second;
    };
    set(38, XK_a, XK_A);
    set(90, XK_KP_Insert, XK_KP_0);
    set(50, XK_Shift_L, NoSymbol);
    set(62, XK_Shift_L, NoSymbol);
    set(70, XK_b, XK_a);  // a layout's second level does not move the letter's key
    EXPECT_EQ(KeycodesOf(map, XK_a), (std::vector<int>{38}));
    EXPECT_EQ(KeycodesOf(map, XK_KP_0), (std::vector<int>{90}));
    EXPECT_EQ(KeycodesOf(map, XK_Shift_L), (std::vector<int>{50, 62}));
    EXPECT_TRUE(KeycodesOf(map, XK_F1).empty());
    EXPECT_TRUE(KeycodesOf(map, NoSymbol).empty());
    EXPECT_EQ(FirstKeysym(map, 38), Keysym{XK_a});
    EXPECT_EQ(FirstKeysym(map, 7), Keysym{NoSymbol});
    EXPECT_EQ(FirstKeysym(map, 108), Keysym{NoSymbol});
}

TEST(KeyMapTest, KeysAreNamedAsTheHintsShowThem) {
    EXPECT_EQ(KeysymName(XK_a), "A");
    EXPECT_EQ(KeysymName(XK_7), "7");
    EXPECT_EQ(KeysymName(XK_semicolon), ";");
    EXPECT_EQ(KeysymName(XK_F5), "F5");
    EXPECT_EQ(KeysymName(XK_KP_7), "Num 7");
    EXPECT_EQ(KeysymName(XK_Prior), "Page Up");
    EXPECT_EQ(KeysymName(XK_Return), "Enter");
    EXPECT_EQ(KeysymName(XK_Shift_L), "Shift");
    EXPECT_EQ(KeysymName(XK_EuroSign), "EuroSign");  // no code of its own: X's name
    EXPECT_EQ(KeysymName(NoSymbol), "");
}

}  // namespace
}  // namespace pavix
