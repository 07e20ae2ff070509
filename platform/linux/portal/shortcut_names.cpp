#include "platform/linux/portal/shortcut_names.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdio>

#include "platform/constants.h"
#include "platform/linux/key_map.h"

namespace pavix {
namespace {

struct ModifierWord {
    std::uint32_t flag;
    const char* trigger;
    const char* id;
};

constexpr std::array<ModifierWord, 4> kModifierWords = {{
    {kModControl, "CTRL", "ctrl"},
    {kModAlt, "ALT", "alt"},
    {kModShift, "SHIFT", "shift"},
    {kModWin, "LOGO", "logo"},
}};

}  // namespace

std::string PortalTrigger(std::uint32_t modifiers, std::uint32_t virtualKey) {
    const Keysym keysym = VirtualKeyToKeysym(virtualKey);
    char name[64];
    if (keysym == 0 ||
        xkb_keysym_get_name(static_cast<xkb_keysym_t>(keysym), name, sizeof name) <= 0) {
        return std::string();
    }
    std::string trigger;
    for (const ModifierWord& word : kModifierWords) {
        if ((modifiers & word.flag) != 0) {
            trigger += std::string(word.trigger) + "+";
        }
    }
    return trigger + name;
}

std::string ShortcutId(std::uint32_t modifiers, std::uint32_t virtualKey) {
    std::string id;
    for (const ModifierWord& word : kModifierWords) {
        if ((modifiers & word.flag) != 0) {
            id += std::string(word.id) + "-";
        }
    }
    char key[16];
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        std::snprintf(key, sizeof key, "%c", static_cast<char>(virtualKey | 0x20));
    } else if (virtualKey >= 0x70 && virtualKey <= 0x87) {
        std::snprintf(key, sizeof key, "f%u", static_cast<unsigned>(virtualKey - 0x6F));
    } else {
        std::snprintf(key, sizeof key, "vk%02x", static_cast<unsigned>(virtualKey & 0xFF));
    }
    return id + key;
}

}  // namespace pavix
