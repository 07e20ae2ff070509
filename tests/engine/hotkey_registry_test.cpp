#include "engine/hotkey_registry.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;

constexpr WindowHandle kWindow = 0x77;
const KeyChord kCtrlAltA{kModControl | kModAlt, 'A'};
const KeyChord kCtrlAltB{kModControl | kModAlt, 'B'};
const KeyChord kAltA{kModAlt, 'A'};
const KeyChord kCtrlShiftA{kModControl | kModShift, 'A'};

class HotkeyRegistryTest : public ::testing::Test {
  protected:
    HotkeyRegistryTest() { registry.SetWindow(kWindow); }
    HotkeyId RegisterOrFail(KeyChord chord) {
        HotkeyId id = 99;
        EXPECT_TRUE(registry.Register(chord, &id));
        return id;
    }
    FakePlatform platform;
    testing::WithErrorBoxes<HotkeyRegistry> registry{platform};
};

TEST_F(HotkeyRegistryTest, IdsFollowFirstRegistrationAndThePlatformIsAskedOnce) {
    EXPECT_EQ(RegisterOrFail(kCtrlAltA), 0);
    EXPECT_EQ(RegisterOrFail(kCtrlAltB), 1);
    EXPECT_EQ(RegisterOrFail(kCtrlAltA), 0);
    EXPECT_EQ(RegisterOrFail(kAltA), 2);
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey"),
              (Calls{Call("RegisterHotKey", kWindow, 0, 3, 'A'),
                     Call("RegisterHotKey", kWindow, 1, 3, 'B'),
                     Call("RegisterHotKey", kWindow, 2, 1, 'A')}));
}

TEST_F(HotkeyRegistryTest, UnregisterAllGoesInChordOrderAndRestartsIds) {
    RegisterOrFail(kCtrlAltB);    // id 0, key 'B'
    RegisterOrFail(kCtrlShiftA);  // id 1, key 'A' modifiers 6
    RegisterOrFail(kAltA);        // id 2, key 'A' modifiers 1
    platform.calls.clear();
    registry.UnregisterAll();
    // Map order: key code first, then modifiers.
    EXPECT_EQ(platform.calls,
              (Calls{Call("UnregisterHotKey", kWindow, 2), Call("UnregisterHotKey", kWindow, 1),
                     Call("UnregisterHotKey", kWindow, 0)}));
    EXPECT_TRUE(registry.Hotkeys().empty());
    EXPECT_TRUE(platform.hotkeys.empty());
    EXPECT_EQ(RegisterOrFail(kCtrlAltB), 0);
}

TEST(HotkeyRegistryWithoutWindowTest, UnregisterAllBeforeSetWindowChangesNothing) {
    FakePlatform platform;
    testing::WithErrorBoxes<HotkeyRegistry> registry(platform);
    HotkeyId id = 0;
    ASSERT_TRUE(registry.Register(kCtrlAltA, &id));
    registry.UnregisterAll();
    EXPECT_EQ(registry.Hotkeys().size(), 1u);
    EXPECT_TRUE(platform.CallsNamed("UnregisterHotKey").empty());
}

TEST_F(HotkeyRegistryTest, RefusedChordIsReportedEveryTimeAndNeverStored) {
    platform.takenChords.insert({kModControl | kModAlt, 0x70});
    const KeyChord ctrlAltF1{kModControl | kModAlt, 0x70};
    for (int attempt = 0; attempt < 2; ++attempt) {
        HotkeyId id = 5;
        EXPECT_FALSE(registry.Register(ctrlAltF1, &id));
        EXPECT_EQ(id, kNoHotkey);
    }
    EXPECT_TRUE(registry.Hotkeys().empty());
    EXPECT_EQ(platform.CallsNamed("RegisterHotKey").size(), 2u);
    const fake::MessageBox expected{"Failed to register Hotkey : [C][A]+F1", "Pavix:Error", 0x10};
    EXPECT_EQ(platform.messageBoxes, (std::vector<fake::MessageBox>{expected, expected}));
    // The id of a refused chord is not used up.
    EXPECT_EQ(RegisterOrFail(kCtrlAltA), 0);
}

TEST_F(HotkeyRegistryTest, RefusedChordWithoutModifiersStartsWithThePlus) {
    platform.Script("RegisterHotKey", 0, kErrorHotkeyAlreadyRegistered);
    HotkeyId id = 0;
    EXPECT_FALSE(registry.Register(KeyChord{0, 0x2E}, &id));
    EXPECT_EQ(platform.messageBoxes.at(0).text, "Failed to register Hotkey : +Delete");
}

TEST_F(HotkeyRegistryTest, DestructorUnregistersEverything) {
    {
        testing::WithErrorBoxes<HotkeyRegistry> scoped(platform);
        scoped.SetWindow(kWindow);
        HotkeyId id = 0;
        scoped.Register(kCtrlAltA, &id);
    }
    EXPECT_TRUE(platform.hotkeys.empty());
}

}  // namespace
}  // namespace pavix
