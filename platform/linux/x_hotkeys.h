// System-wide hotkeys on X11: a passive grab on the root window for each chord and each
// combination of the lock modifiers, on GDK's own connection to the display. A press of a
// grabbed chord reaches the `pressed` callback from the main loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/key_map.h"
#include "platform/types.h"

namespace pavix {

class XHotkeys {
  public:
    using Pressed = std::function<void(WindowHandle window, std::int32_t id,
                                       std::uint32_t modifiers, std::uint32_t key)>;

    // Needs GDK's display open.
    explicit XHotkeys(Pressed pressed);
    ~XHotkeys();
    XHotkeys(const XHotkeys&) = delete;
    XHotkeys& operator=(const XHotkeys&) = delete;

    // The platform's error code: 0, or kErrorHotkeyAlreadyRegistered when this program or
    // another client holds the chord (X's BadAccess). A key this keyboard lacks is accepted and
    // never heard, as the platform does.
    std::uint32_t Register(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                           std::uint32_t key);
    bool Unregister(WindowHandle window, std::int32_t id);
    void UnregisterWindow(WindowHandle window);

    // The first key code that produces the key, 0 for none.
    int KeycodeOf(std::uint32_t virtualKey) const;
    std::string KeyName(int keycode) const;

  private:
    struct Hotkey {
        WindowHandle window = 0;
        std::int32_t id = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t key = 0;
        std::vector<int> keycodes;
    };
    using Chord = std::pair<int, unsigned>;  // key code, modifier mask without the locks

    static int OnEvent(void* xEvent, void* event, void* self);
    static void OnKeysChanged(void* keymap, void* self);
    void ReadKeyboard();
    bool Grab(const Hotkey& hotkey);
    void Ungrab(const Hotkey& hotkey);
    void Forget(std::map<std::pair<WindowHandle, std::int32_t>, Hotkey>::iterator found);

    Pressed pressed_;
    void* display_ = nullptr;  // Xlib's Display of GDK's default display
    unsigned long root_ = 0;
    KeyboardMap map_;
    std::vector<unsigned> locks_;
    unsigned lockMasks_ = 0;
    std::map<std::pair<WindowHandle, std::int32_t>, Hotkey> hotkeys_;
    std::map<Chord, std::pair<WindowHandle, std::int32_t>> chords_;
};

}  // namespace pavix
