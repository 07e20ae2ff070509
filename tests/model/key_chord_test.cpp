#include "model/key_chord.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;

TEST(KeyChordTest, PacksKeyCodeHighAndModifiersLow) {
    const KeyChord chord{kModControl | kModAlt, 0x41};
    EXPECT_EQ(chord.Packed(), 0x00410003u);
    EXPECT_EQ(KeyChord::FromPacked(0x00410003u), chord);
}

TEST(KeyChordTest, OrdersByKeyCodeThenModifiers) {
    const KeyChord controlA{kModControl, 0x41};
    const KeyChord shiftA{kModShift, 0x41};
    const KeyChord allSpace{kModControl | kModAlt | kModShift | kModWin, 0x20};
    EXPECT_LT(controlA, shiftA);
    EXPECT_LT(allSpace, controlA);
    EXPECT_LT(allSpace, shiftA);
    EXPECT_FALSE(controlA < controlA);
    // Unsigned comparison of both halves.
    EXPECT_LT((KeyChord{0xFFFF, 0x10}), (KeyChord{0, 0x8000}));
}

TEST(KeyChordTest, PrefixFollowsControlAltShiftWinOrder) {
    EXPECT_EQ(ModifierPrefix(KeyChord{0x000F, 0x41}), "[C][A][S][W]");
    EXPECT_EQ(ModifierPrefix(KeyChord{kModWin | kModAlt, 0x41}), "[A][W]");
    EXPECT_EQ(ModifierPrefix(KeyChord{0, 0x41}), "");
    // Bits beyond the four modifiers show nothing.
    EXPECT_EQ(ModifierPrefix(KeyChord{0x4000, 0x41}), "");
}

TEST(KeyChordTest, KeyNameAsksForScanCodeThenName) {
    FakePlatform platform;
    EXPECT_EQ(KeyName(platform, 0x70), "F1");
    EXPECT_EQ(platform.calls, (fake::Calls{Call("MapVirtualKeyA", 0x70, 0),
                                           Call("GetKeyNameTextA", 0x3B << 16, 47)}));
}

TEST(KeyChordTest, ExtendedFlagOnlyForTheTwelveNavigationKeys) {
    FakePlatform platform;
    EXPECT_EQ(KeyName(platform, 0x2E), "Delete");  // extended form of Num Del
    EXPECT_EQ(KeyName(platform, 0x21), "Page Up");
    EXPECT_EQ(KeyName(platform, 0x90), "Num Lock");  // Pause shares its scan code
    EXPECT_EQ(KeyName(platform, 0x5D), "Application");
    EXPECT_EQ(KeyName(platform, 0x13), "Pause");
    EXPECT_EQ(KeyName(platform, 0x6F), "/");     // keypad divide: no flag
    EXPECT_EQ(KeyName(platform, 0xA3), "Ctrl");  // right Ctrl: no flag
    EXPECT_EQ(KeyName(platform, 0x5B), "");      // Win key: no flag, no plain name
    const auto names = platform.CallsNamed("GetKeyNameTextA");
    EXPECT_EQ(names[0], Call("GetKeyNameTextA", (0x53 << 16) + 0x01000000, 47));
    EXPECT_EQ(names[7], Call("GetKeyNameTextA", 0x5B << 16, 47));
}

TEST(KeyChordTest, CodesWithoutScanCodeAreDashes) {
    FakePlatform platform;
    EXPECT_EQ(KeyName(platform, 0), "---");
    EXPECT_EQ(KeyName(platform, 0xFF), "---");
    EXPECT_TRUE(platform.CallsNamed("GetKeyNameTextA").empty());
}

TEST(KeyChordTest, LabelAlwaysHasThePlus) {
    FakePlatform platform;
    EXPECT_EQ(ChordLabel(platform, KeyChord{kModControl | kModAlt, 'Z'}), "[C][A]+Z");
    EXPECT_EQ(ChordLabel(platform, KeyChord{kModShift | kModWin, 0x2E}), "[S][W]+Delete");
    EXPECT_EQ(ChordLabel(platform, KeyChord{0, 0x13}), "+Pause");
    EXPECT_EQ(ChordLabel(platform, KeyChord{}), "+---");
    const ChordText texts = ChordTexts(platform, KeyChord{kModControl, 0x70});
    EXPECT_EQ(texts.prefix, "[C]");
    EXPECT_EQ(texts.keyName, "F1");
}

}  // namespace
}  // namespace pavix
