// System-wide hotkeys on X11: a passive grab on the root window for each chord and each
// combination of the lock modifiers, on a connection to the display of their own. It needs no
// toolkit, so that the chords are grabbed before the desktop's libraries are brought up (which
// takes longer than the grabs), and its presses reach the `pressed` callback from the main loop
// without passing through the toolkit's event handling.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/x11/key_map.h"
#include "platform/types.h"

namespace pavix {

class XHotkeys {
  public:
    using Pressed = std::function<void(WindowHandle window, std::int32_t id,
                                       std::uint32_t modifiers, std::uint32_t key)>;

    // A registered chord that a new keyboard map put on a key another client holds: it is
    // let go of, as a refusal would have left it.
    using Lost = std::function<void(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                    std::uint32_t key)>;

    // Connects to the display named by DISPLAY; nullptr when there is none.
    static std::unique_ptr<XHotkeys> Connect(Pressed pressed, Lost lost);
    XHotkeys(Pressed pressed, Lost lost, void* connection, unsigned long root);
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

    // The key code of the key the code names (see AssignKeys), 0 for none.
    int KeycodeOf(std::uint32_t virtualKey);
    std::string KeyName(int keycode);

    // Puts the connection's events on the main loop (once). Until then presses wait in the
    // connection: the loop's library is opened after the chords are grabbed.
    void Watch();

    // For the main loop's source of the connection's events: whether xcb holds an event already
    // read off the socket; and reading every event there is. A lost connection ends the
    // program, as it ends any X client.
    bool HasQueuedEvent();
    void ReadEvents();

  private:
    using Event = std::unique_ptr<void, decltype(&std::free)>;

    struct Hotkey {
        WindowHandle window = 0;
        std::int32_t id = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t key = 0;
        int keycode = 0;  // none: a key this keyboard lacks
    };
    using Chord = std::pair<int, unsigned>;  // key code, modifier mask without the locks

    void OnKeyPress(unsigned keycode, unsigned state);
    void OnKeysChanged();
    void AskKeyboard();
    void TakeKeyboard();  // the replies to AskKeyboard, if not taken yet
    bool Grab(const Hotkey& hotkey);
    void Ungrab(const Hotkey& hotkey);
    void Forget(std::map<std::pair<WindowHandle, std::int32_t>, Hotkey>::iterator found);

    Pressed pressed_;
    Lost lost_;
    void* connection_ = nullptr;  // xcb_connection_t, owned
    unsigned long root_ = 0;
    void* source_ = nullptr;  // GSource of the connection's events on the main loop, once watched
    Event queued_;            // an event taken from xcb's queue while the loop prepared
    unsigned keysAsked_ = 0;  // the requests' sequence numbers
    unsigned modifiersAsked_ = 0;
    bool keyboardAsked_ = false;  // their replies are still to be taken
    KeyboardMap map_;
    KeyAssignment keys_;
    std::vector<unsigned> locks_;
    unsigned lockMasks_ = 0;
    std::map<std::pair<WindowHandle, std::int32_t>, Hotkey> hotkeys_;
    std::map<Chord, std::pair<WindowHandle, std::int32_t>> chords_;
};

}  // namespace pavix
