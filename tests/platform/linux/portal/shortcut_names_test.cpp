// The portal's spelling of chords, checked over every key code and modifier combination.
#include "platform/linux/portal/shortcut_names.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <set>

#include "platform/constants.h"
#include "platform/linux/x11/key_map.h"

namespace pavix {
namespace {

constexpr std::uint32_t kAllModifiers = kModAlt | kModControl | kModShift | kModWin;

TEST(ShortcutNamesTest, TriggersSpellModifiersInOrderThenTheKeysymName) {
    const struct {
        std::uint32_t modifiers;
        std::uint32_t key;
        const char* trigger;
    } cases[] = {
        {kModControl | kModAlt, 'P', "CTRL+ALT+p"},
        {kAllModifiers, 'N', "CTRL+ALT+SHIFT+LOGO+n"},
        {kModShift, 0x74, "SHIFT+F5"},
        {kModWin, 0x67, "LOGO+KP_7"},
        {kModControl, 0xBA, "CTRL+semicolon"},
        {kModAlt, 0x21, "ALT+Prior"},
        {kModControl, 0xAF, "CTRL+XF86AudioRaiseVolume"},
        {0, '7', "7"},
        {kModControl, 0x07, ""},  // a code that names no key
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortalTrigger(c.modifiers, c.key), c.trigger) << c.trigger;
    }
}

// The desktop reads the trigger's key back by xkbcommon's name: every code the grabs know gets
// a name that means their keysym, and every other code none.
TEST(ShortcutNamesTest, EveryKeyOfTheGrabsGetsANameThatReadsBackAsItsKeysym) {
    for (std::uint32_t key = 0; key < 256; ++key) {
        const std::string trigger = PortalTrigger(kModControl, key);
        const Keysym keysym = VirtualKeyToKeysym(key);
        if (keysym == 0) {
            EXPECT_EQ(trigger, "") << "code " << key;
            continue;
        }
        ASSERT_EQ(trigger.rfind("CTRL+", 0), 0u) << "code " << key;
        EXPECT_EQ(xkb_keysym_from_name(trigger.substr(5).c_str(), XKB_KEYSYM_NO_FLAGS), keysym)
            << trigger;
    }
}

TEST(ShortcutNamesTest, EveryChordHasItsOwnIdMadeOfPlainWords) {
    std::set<std::string> ids;
    for (std::uint32_t modifiers = 0; modifiers <= kAllModifiers; ++modifiers) {
        for (std::uint32_t key = 0; key < 256; ++key) {
            const std::string id = ShortcutId(modifiers, key);
            EXPECT_EQ(id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"),
                      std::string::npos)
                << id;
            EXPECT_TRUE(ids.insert(id).second) << id;
        }
    }
    EXPECT_EQ(ShortcutId(kModControl | kModAlt, 'P'), "ctrl-alt-p");
    EXPECT_EQ(ShortcutId(kModShift | kModWin, 0x87), "shift-logo-f24");
    EXPECT_EQ(ShortcutId(kModAlt, 0xBA), "alt-vkba");
}

}  // namespace
}  // namespace pavix
