#include "platform/linux/portal/shortcut_names.h"

#include <dlfcn.h>

#include <array>
#include <cstdio>

#include "platform/constants.h"
#include "platform/linux/x11/key_map.h"

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

// xkbcommon's name of a keysym, from the library opened on first use: the program links none
// of the desktop's libraries, so that it starts fast on X11, and every Wayland desktop has this
// one installed.
bool XkbName(Keysym keysym, char* name, std::size_t size) {
    using GetName = int (*)(std::uint32_t, char*, std::size_t);
    static const GetName getName = [] {
        void* library = dlopen("libxkbcommon.so.0", RTLD_LAZY | RTLD_LOCAL);
        return library != nullptr ? reinterpret_cast<GetName>(dlsym(library, "xkb_keysym_get_name"))
                                  : nullptr;
    }();
    return getName != nullptr && getName(static_cast<std::uint32_t>(keysym), name, size) > 0;
}

}  // namespace

std::string PortalTrigger(std::uint32_t modifiers, std::uint32_t virtualKey) {
    const Keysym keysym = VirtualKeyToKeysym(virtualKey);
    char name[64];
    if (keysym == 0 || !XkbName(keysym, name, sizeof name)) {
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
