// Windows key codes and modifiers in X11's terms, checked for every code, and on real keyboard
// layouts loaded into a private X server.
#include "platform/linux/x11/key_map.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <map>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/desktop/dialog_parts.h"
#include "platform/linux/x11/x_hotkeys.h"

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
    EXPECT_EQ(KeysymName(XK_odiaeresis), "\xC3\x96");  // Latin-1's letters by their capitals
    EXPECT_EQ(KeysymName(XK_ssharp), "\xC3\x9F");
    EXPECT_EQ(KeysymName(XK_EuroSign), "EuroSign");  // no code of its own: X's name
    EXPECT_EQ(KeysymName(NoSymbol), "");
}

// A private Xvfb whose keyboard layout the test sets with setxkbmap, as a user would; DISPLAY
// names it while it runs. Skips the test where Xvfb or setxkbmap is missing.
class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int numbers[2];
        ASSERT_EQ(pipe(numbers), 0);
        server_ = fork();
        if (server_ == 0) {
            const std::string fd = std::to_string(numbers[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numbers[1]);
        // Xvfb writes the number, then a line end: the pipe stays open until both came.
        char c = 0;
        while (read(numbers[0], &c, 1) == 1 && c != '\n') {
            display_ += c;
        }
        close(numbers[0]);
        if (display_.empty() || std::system("setxkbmap -help >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "needs Xvfb and setxkbmap";
        }
        display_ = ":" + display_;
        const char* saved = std::getenv("DISPLAY");
        savedDisplay_ = saved != nullptr ? saved : "";
        setenv("DISPLAY", display_.c_str(), 1);
        probe_ = xcb_connect(display_.c_str(), nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(probe_)).data->root;
    }

    void TearDown() override {
        if (probe_ != nullptr) {
            xcb_disconnect(probe_);
            setenv("DISPLAY", savedDisplay_.c_str(), 1);
        }
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }

    void SetLayout(const std::string& layout) {
        ASSERT_EQ(std::system(("setxkbmap -display " + display_ + " " + layout).c_str()), 0);
    }

    // The server's core keyboard map, as the hotkeys read it.
    KeyboardMap Map() {
        const xcb_setup_t* setup = xcb_get_setup(probe_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* reply = xcb_get_keyboard_mapping_reply(
            probe_, xcb_get_keyboard_mapping(probe_, setup->min_keycode, count), nullptr);
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        KeyboardMap map{setup->min_keycode,
                        reply->keysyms_per_keycode,
                        {keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply)}};
        std::free(reply);
        return map;
    }

    // Whether another client holds Ctrl+Alt on the key code: the probe's grab is refused.
    bool IsHeld(int keycode) {
        const auto key = static_cast<xcb_keycode_t>(keycode);
        const std::uint16_t mask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
        xcb_generic_error_t* error = xcb_request_check(
            probe_, xcb_grab_key_checked(probe_, 0, root_, mask, key, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC));
        std::free(error);
        xcb_ungrab_key(probe_, key, root_, mask);
        return error != nullptr;
    }

    pid_t server_ = -1;
    std::string display_;
    std::string savedDisplay_;
    xcb_connection_t* probe_ = nullptr;
    xcb_window_t root_ = 0;
};

// The first key that types the keysym at its first level; 0 for none.
int KeycodeAt0(const KeyboardMap& map, Keysym keysym) {
    int keycode = map.minKeycode;
    while (keycode < 256 && FirstKeysym(map, keycode) != keysym) {
        ++keycode;
    }
    return keycode < 256 ? keycode : 0;
}

// Every code over the whole range names at most one key, no key has two codes, and a key is
// never taken for a symbol it types only with a modifier: a code's key types the code's keysym
// at its first level (the keypad's digits at their Num Lock level), unless the code goes by
// place (an OEM code, or a letter or digit that no key types at its first level).
void ExpectOneKeyPerCode(const KeyboardMap& map, const KeyAssignment& keys,
                         const std::string& layout) {
    for (std::uint32_t code = 0; code < 256; ++code) {
        const int keycode = keys.keycodeOf[code];
        if (keycode == 0) {
            continue;
        }
        EXPECT_EQ(keys.codeOf[keycode], code) << layout << " code " << code;
        const Keysym keysym = VirtualKeyToKeysym(code);
        const bool typed = FirstKeysym(map, keycode) == keysym ||
                           (keysym >= XK_KP_Space && keysym <= XK_KP_9 &&
                            map.keysyms[(keycode - map.minKeycode) * map.perKeycode + 1] == keysym);
        const bool oem = (code >= 0xBA && code <= 0xC0) || (code >= 0xDB && code <= 0xE2);
        const bool letterOrDigit = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
        const bool byPlace = oem || (letterOrDigit && KeycodeAt0(map, keysym) == 0);
        EXPECT_TRUE(typed || byPlace) << layout << " code " << code << " on key " << keycode;
    }
}

TEST_F(LayoutTest, EveryCodeNamesOneKeyOfItsOwnOnEachLayout) {
    // code -> the key it names on the layout (0: none), beside the whole range's rules.
    const std::map<std::string, std::map<std::uint32_t, int>> expected = {
        {"us", {{0xBA, 47}, {0xBC, 59}, {'Y', 29}, {'1', 10}, {0x60, 90}, {0x70, 67}}},
        // ; is Shift+, here: Oem1 stays on the US place of ;, which types o with umlaut.
        {"de", {{0xBA, 47}, {0xBC, 59}, {0xBD, 20}, {0xBF, 61}, {'Y', 52}, {'Z', 29}}},
        // The digits need Shift: they go by place, the top row; M holds the US place of ;.
        {"fr", {{'1', 10}, {'0', 19}, {'A', 24}, {'Q', 38}, {'M', 47}, {0xBA, 0}, {0xBC, 59}}},
        {"jp", {{0xBA, 47}, {0xDE, 48}, {0xC0, 49}, {0xDB, 34}, {0xDC, 51}, {0xDD, 35}}},
    };
    for (const auto& [layout, keys] : expected) {
        SetLayout(layout);
        const KeyboardMap map = Map();
        const KeyAssignment assignment = AssignKeys(map);
        ExpectOneKeyPerCode(map, assignment, layout);
        for (const auto& [code, keycode] : keys) {
            EXPECT_EQ(assignment.keycodeOf[code], keycode) << layout << " code " << code;
        }
        // The server holds Ctrl+Alt of every code on the key the code names, and no other key:
        // two codes on one key would refuse the second.
        auto hotkeys = XHotkeys::Connect(nullptr, nullptr);
        ASSERT_NE(hotkeys, nullptr);
        for (std::uint32_t code = 0; code < 256; ++code) {
            EXPECT_EQ(
                hotkeys->Register(1, static_cast<std::int32_t>(code), kModControl | kModAlt, code),
                kErrorSuccess)
                << layout << " code " << code;
            EXPECT_EQ(hotkeys->KeycodeOf(code), assignment.keycodeOf[code]);
        }
        for (int keycode = map.minKeycode; keycode < 256; ++keycode) {
            EXPECT_EQ(IsHeld(keycode), assignment.codeOf[keycode] != 0)
                << layout << " key " << keycode;
        }
    }
}

// The key capture box reads the keyboard through GDK: it takes each key as the code the chords
// of that code are grabbed on, and names it as the layout labels it.
TEST_F(LayoutTest, TheCaptureBoxTakesTheKeysTheChordsAreGrabbedOn) {
    SetLayout("fr");
    // GDK's settings without a display of its own: the keyboard alone, no probe of the GL.
    g_setenv("GDK_GL", "disable", TRUE);
    g_unsetenv("DISPLAY");
    gdk_init_check(nullptr, nullptr);
    GdkDisplay* display = gdk_display_open(display_.c_str());
    ASSERT_NE(display, nullptr);
    GdkDisplayManager* manager = gdk_display_manager_get();
    GdkDisplay* before = gdk_display_manager_get_default_display(manager);
    gdk_display_manager_set_default_display(manager, display);
    const KeyAssignment keys = AssignKeys(Map());
    for (int keycode = 8; keycode < 256; ++keycode) {
        GdkEventKey event{};
        event.hardware_keycode = static_cast<guint16>(keycode);
        EXPECT_EQ(PressOf(&event).virtualKey, keys.codeOf[keycode]) << "key " << keycode;
    }
    GdkEventKey ampersand{};
    ampersand.hardware_keycode = 10;
    ampersand.keyval = GDK_KEY_ampersand;
    ampersand.state = GDK_CONTROL_MASK;
    HotkeyCapture capture("None");
    capture.OnPress(PressOf(&ampersand));
    EXPECT_EQ(capture.Text(), "Ctrl + 1");
    // Without X11 hotkeys (Wayland without Xwayland) the hints and boxes name the keys from the
    // desktop's keyboard: the same key codes and names as the hotkeys'.
    setenv("DISPLAY", display_.c_str(), 1);
    DesktopModule* module = LoadDesktopModule(PAVIX_DESKTOP_MODULE);
    auto hotkeys = XHotkeys::Connect(nullptr, nullptr);
    ASSERT_TRUE(module != nullptr && hotkeys != nullptr);
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(module->KeycodeOf(code), hotkeys->KeycodeOf(code)) << "code " << code;
        EXPECT_EQ(module->KeyName(code), hotkeys->KeyName(code)) << "key " << code;
    }
    if (before != nullptr) {
        gdk_display_manager_set_default_display(manager, before);
    }
    gdk_display_close(display);
}

}  // namespace
}  // namespace pavix
