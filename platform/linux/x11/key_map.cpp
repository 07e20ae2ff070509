#include "platform/linux/x11/key_map.h"

#include <dlfcn.h>

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>

#include "platform/constants.h"

namespace pavix {
namespace {

struct KeyEntry {
    std::uint32_t virtualKey;
    Keysym keysym;
    const char* name;  // nullptr: the keysym's own character or name
};

// The generic Shift, Control and Alt codes come after their left-hand keys, so that a keysym
// maps back to the specific code.
constexpr KeyEntry kKeys[] = {
    {0x08, XK_BackSpace, "Backspace"},
    {0x09, XK_Tab, "Tab"},
    {0x0C, XK_Clear, "Clear"},
    {0x0D, XK_Return, "Enter"},
    {0x13, XK_Pause, "Pause"},
    {0x14, XK_Caps_Lock, "Caps Lock"},
    {0x15, XK_Hiragana_Katakana, "Kana"},
    {0x19, XK_Kanji, "Kanji"},
    {0x1B, XK_Escape, "Esc"},
    {0x1C, XK_Henkan, "Convert"},
    {0x1D, XK_Muhenkan, "Non Convert"},
    {0x20, XK_space, "Space"},
    {0x21, XK_Prior, "Page Up"},
    {0x22, XK_Next, "Page Down"},
    {0x23, XK_End, "End"},
    {0x24, XK_Home, "Home"},
    {0x25, XK_Left, "Left"},
    {0x26, XK_Up, "Up"},
    {0x27, XK_Right, "Right"},
    {0x28, XK_Down, "Down"},
    {0x29, XK_Select, "Select"},
    {0x2B, XK_Execute, "Execute"},
    {0x2C, XK_Print, "Print Screen"},
    {0x2D, XK_Insert, "Insert"},
    {0x2E, XK_Delete, "Delete"},
    {0x2F, XK_Help, "Help"},
    {0x5B, XK_Super_L, "Left Windows"},
    {0x5C, XK_Super_R, "Right Windows"},
    {0x5D, XK_Menu, "Application"},
    {0x5F, XF86XK_Sleep, "Sleep"},
    {0x6A, XK_KP_Multiply, "Num *"},
    {0x6B, XK_KP_Add, "Num +"},
    {0x6C, XK_KP_Separator, "Num ,"},
    {0x6D, XK_KP_Subtract, "Num -"},
    {0x6E, XK_KP_Decimal, "Num Del"},
    {0x6F, XK_KP_Divide, "Num /"},
    {0x90, XK_Num_Lock, "Num Lock"},
    {0x91, XK_Scroll_Lock, "Scroll Lock"},
    {0xA0, XK_Shift_L, "Shift"},
    {0xA1, XK_Shift_R, "Right Shift"},
    {0xA2, XK_Control_L, "Ctrl"},
    {0xA3, XK_Control_R, "Right Ctrl"},
    {0xA4, XK_Alt_L, "Alt"},
    {0xA5, XK_Alt_R, "Right Alt"},
    {0x10, XK_Shift_L, "Shift"},
    {0x11, XK_Control_L, "Ctrl"},
    {0x12, XK_Alt_L, "Alt"},
    {0xA6, XF86XK_Back, "Browser Back"},
    {0xA7, XF86XK_Forward, "Browser Forward"},
    {0xA8, XF86XK_Refresh, "Browser Refresh"},
    {0xA9, XF86XK_Stop, "Browser Stop"},
    {0xAA, XF86XK_Search, "Browser Search"},
    {0xAB, XF86XK_Favorites, "Browser Favorites"},
    {0xAC, XF86XK_HomePage, "Browser Home"},
    {0xAD, XF86XK_AudioMute, "Volume Mute"},
    {0xAE, XF86XK_AudioLowerVolume, "Volume Down"},
    {0xAF, XF86XK_AudioRaiseVolume, "Volume Up"},
    {0xB0, XF86XK_AudioNext, "Next Track"},
    {0xB1, XF86XK_AudioPrev, "Previous Track"},
    {0xB2, XF86XK_AudioStop, "Stop Media"},
    {0xB3, XF86XK_AudioPlay, "Play/Pause Media"},
    {0xB4, XF86XK_Mail, "Start Mail"},
    {0xB5, XF86XK_AudioMedia, "Select Media"},
    {0xB6, XF86XK_MyComputer, "Start Application 1"},
    {0xB7, XF86XK_Calculator, "Start Application 2"},
    {0xBA, XK_semicolon, nullptr},
    {0xBB, XK_equal, nullptr},
    {0xBC, XK_comma, nullptr},
    {0xBD, XK_minus, nullptr},
    {0xBE, XK_period, nullptr},
    {0xBF, XK_slash, nullptr},
    {0xC0, XK_grave, nullptr},
    {0xDB, XK_bracketleft, nullptr},
    {0xDC, XK_backslash, nullptr},
    {0xDD, XK_bracketright, nullptr},
    {0xDE, XK_apostrophe, nullptr},
    {0xE2, XK_less, nullptr},
};

// The runs of codes that follow their keysyms one for one.
struct KeyRun {
    std::uint32_t firstKey;
    std::uint32_t lastKey;
    Keysym firstKeysym;
};

constexpr KeyRun kRuns[] = {
    {0x30, 0x39, XK_0},     // the digits
    {0x41, 0x5A, XK_a},     // the letters, by the small letter of their key's first level
    {0x60, 0x69, XK_KP_0},  // the keypad's digits
    {0x70, 0x87, XK_F1},    // F1 to F24
};

// The X key codes of the places of a US keyboard (its main block), for the codes that go by place.
struct KeyPlace {
    std::uint8_t virtualKey;
    std::uint8_t keycode;
};

constexpr KeyPlace kOemPlaces[] = {
    {0xBA, 47}, {0xBB, 21}, {0xBC, 59}, {0xBD, 20}, {0xBE, 60}, {0xBF, 61},
    {0xC0, 49}, {0xDB, 34}, {0xDC, 51}, {0xDD, 35}, {0xDE, 48}, {0xE2, 94},
};

// The letters row by row from the first key code of their row.
constexpr std::pair<const char*, std::uint8_t> kLetterRows[] = {
    {"QWERTYUIOP", 24}, {"ASDFGHJKL", 38}, {"ZXCVBNM", 52}};

bool IsOemCode(std::uint32_t code) {
    return (code >= 0xBA && code <= 0xC0) || (code >= 0xDB && code <= 0xDF) || code == 0xE2;
}

bool IsKeypadKeysym(Keysym keysym) {
    return keysym >= XK_KP_Space && keysym <= XK_KP_9;
}

// The place of a code that goes by place: an OEM code always, a letter or a digit when no key
// types it; 0 for none.
int PlaceOf(std::uint32_t code) {
    if (code >= '1' && code <= '9') {
        return static_cast<int>(code - '1') + 10;
    }
    if (code == '0') {
        return 19;
    }
    for (const auto& [letters, first] : kLetterRows) {
        for (int i = 0; letters[i] != '\0'; ++i) {
            if (static_cast<std::uint32_t>(letters[i]) == code) {
                return first + i;
            }
        }
    }
    for (const KeyPlace& place : kOemPlaces) {
        if (place.virtualKey == code) {
            return place.keycode;
        }
    }
    return 0;
}

// The first key code whose keysym at `column` of the map is `keysym`; 0 for none.
int KeycodeAt(const KeyboardMap& map, Keysym keysym, int column) {
    const auto per = static_cast<std::size_t>(map.perKeycode);
    if (column >= map.perKeycode) {
        return 0;
    }
    for (std::size_t at = static_cast<std::size_t>(column); at < map.keysyms.size(); at += per) {
        if (map.keysyms[at] == keysym) {
            return map.minKeycode + static_cast<int>(at / per);
        }
    }
    return 0;
}

// The key a code takes by its symbol; 0 for none.
int KeycodeBySymbol(const KeyboardMap& map, std::uint32_t code) {
    const Keysym keysym = VirtualKeyToKeysym(code);
    if (keysym == 0 || IsOemCode(code) || (code >= 0x10 && code <= 0x12)) {
        return 0;
    }
    const int keycode = KeycodeAt(map, keysym, 0);
    return keycode == 0 && IsKeypadKeysym(keysym) ? KeycodeAt(map, keysym, 1) : keycode;
}

}  // namespace

KeyAssignment AssignKeys(const KeyboardMap& map) {
    KeyAssignment keys;
    const auto take = [&keys](std::uint32_t code, int keycode) {
        if (keycode > 0 && keycode < 256 && keys.codeOf[keycode] == 0 &&
            keys.keycodeOf[code] == 0) {
            keys.codeOf[keycode] = static_cast<std::uint8_t>(code);
            keys.keycodeOf[code] = static_cast<std::uint8_t>(keycode);
        }
    };
    for (std::uint32_t code = 1; code < 256; ++code) {
        take(code, KeycodeBySymbol(map, code));
    }
    // The places come second, so that a key typing a letter or a digit is that one's.
    for (std::uint32_t code = 1; code < 256; ++code) {
        const int place = PlaceOf(code);
        if (place != 0 && FirstKeysym(map, place) != NoSymbol) {
            take(code, place);
        }
    }
    return keys;
}

Keysym VirtualKeyToKeysym(std::uint32_t virtualKey) {
    for (const KeyRun& run : kRuns) {
        if (virtualKey >= run.firstKey && virtualKey <= run.lastKey) {
            return run.firstKeysym + (virtualKey - run.firstKey);
        }
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.virtualKey == virtualKey) {
            return entry.keysym;
        }
    }
    return 0;
}

std::uint32_t KeysymToVirtualKey(Keysym keysym) {
    if (keysym >= XK_A && keysym <= XK_Z) {
        keysym += XK_a - XK_A;  // a capital letter is its key at the second level
    }
    for (const KeyRun& run : kRuns) {
        if (keysym >= run.firstKeysym && keysym <= run.firstKeysym + (run.lastKey - run.firstKey)) {
            return run.firstKey + static_cast<std::uint32_t>(keysym - run.firstKeysym);
        }
    }
    for (const KeyEntry& entry : kKeys) {
        if (keysym != 0 && entry.keysym == keysym) {
            return entry.virtualKey;
        }
    }
    return 0;
}

unsigned ModifierMask(std::uint32_t modifiers) {
    unsigned mask = 0;
    mask |= (modifiers & kModAlt) != 0 ? Mod1Mask : 0;
    mask |= (modifiers & kModControl) != 0 ? ControlMask : 0;
    mask |= (modifiers & kModShift) != 0 ? ShiftMask : 0;
    mask |= (modifiers & kModWin) != 0 ? Mod4Mask : 0;
    return mask;
}

std::vector<unsigned> LockCombinations(unsigned numLockMask, unsigned scrollLockMask) {
    const std::array<unsigned, 3> locks = {LockMask, numLockMask, scrollLockMask};
    std::vector<unsigned> combinations = {0};
    for (const unsigned lock : locks) {
        const std::size_t count = combinations.size();
        for (std::size_t i = 0; i < count && lock != 0; ++i) {
            const unsigned combined = combinations[i] | lock;
            if (std::find(combinations.begin(), combinations.end(), combined) ==
                combinations.end()) {
                combinations.push_back(combined);
            }
        }
    }
    return combinations;
}

std::vector<int> KeycodesOf(const KeyboardMap& map, Keysym keysym) {
    std::vector<int> keycodes;
    if (keysym == 0 || map.perKeycode <= 0) {
        return keycodes;
    }
    const auto per = static_cast<std::size_t>(map.perKeycode);
    const std::size_t keys = map.keysyms.size() / per;
    for (std::size_t level = 0; level < per && keycodes.empty(); ++level) {
        for (std::size_t key = 0; key < keys; ++key) {
            if (map.keysyms[key * per + level] == keysym) {
                keycodes.push_back(map.minKeycode + static_cast<int>(key));
            }
        }
    }
    return keycodes;
}

Keysym FirstKeysym(const KeyboardMap& map, int keycode) {
    const auto per = static_cast<std::size_t>(map.perKeycode);
    if (keycode < map.minKeycode || per == 0) {
        return 0;
    }
    const std::size_t at = static_cast<std::size_t>(keycode - map.minKeycode) * per;
    return at < map.keysyms.size() ? map.keysyms[at] : 0;
}

namespace {

// X's own name of a keysym. libX11 is opened only for a key that has no name here: the program
// talks to the display through xcb alone, which starts faster.
const char* XKeysymName(Keysym keysym) {
    using ToString = char* (*)(unsigned long);
    static const ToString toString = [] {
        void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        return library != nullptr ? reinterpret_cast<ToString>(dlsym(library, "XKeysymToString"))
                                  : nullptr;
    }();
    return toString != nullptr ? toString(keysym) : nullptr;
}

}  // namespace

std::string KeysymName(Keysym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        keysym -= XK_a - XK_A;
    }
    if (keysym > XK_space && keysym <= XK_asciitilde) {
        return std::string(1, static_cast<char>(keysym));
    }
    // Latin-1's keysyms are its characters; a key is named by its capital, as A is.
    if (keysym >= XK_exclamdown && keysym <= XK_ydiaeresis) {
        const bool small = keysym >= XK_agrave && keysym != XK_division && keysym != XK_ydiaeresis;
        const Keysym shown = small ? keysym - (XK_agrave - XK_Agrave) : keysym;
        return {static_cast<char>(0xC0 | shown >> 6), static_cast<char>(0x80 | (shown & 0x3F))};
    }
    const std::uint32_t virtualKey = KeysymToVirtualKey(keysym);
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        return "Num " + std::to_string(virtualKey - 0x60);
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87) {
        return "F" + std::to_string(virtualKey - 0x6F);
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.keysym == keysym && entry.name != nullptr) {
            return entry.name;
        }
    }
    const char* name = keysym != 0 ? XKeysymName(keysym) : nullptr;
    return name != nullptr ? name : "";
}

}  // namespace pavix
