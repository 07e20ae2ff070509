#include "platform/linux/x11/x_hotkeys.h"

#include <X11/X.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

#include "platform/constants.h"
#include "platform/linux/glib/glib_calls.h"

namespace pavix {
namespace {

xcb_connection_t* Xcb(void* connection) {
    return static_cast<xcb_connection_t*>(connection);
}

// The connection's events on the main loop. Ready when the socket is readable, and also when
// events wait in xcb's own queue: a grab's check reads whatever precedes its answer off the
// socket, where no poll would see it again.
struct ConnectionSource {
    GSource source;
    GPollFD poll;
    XHotkeys* owner;
};

gboolean PrepareConnection(GSource* source, gint* timeout) {
    *timeout = -1;
    return reinterpret_cast<ConnectionSource*>(source)->owner->HasQueuedEvent();
}

gboolean CheckConnection(GSource* source) {
    const auto* events = reinterpret_cast<ConnectionSource*>(source);
    // A lost connection is dispatched too: reading it ends the program, as losing the display
    // does any X client.
    return (events->poll.revents & (G_IO_IN | G_IO_HUP | G_IO_ERR)) != 0 ||
           events->owner->HasQueuedEvent();
}

gboolean DispatchConnection(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<ConnectionSource*>(source)->owner->ReadEvents();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs kConnectionFuncs = {PrepareConnection, CheckConnection, DispatchConnection,
                                 nullptr,           nullptr,         nullptr};

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Owned(T* reply) {
    return Reply<T>(reply, &std::free);
}

// The modifier (bit mask) that one of these key codes is bound to, 0 when none is.
unsigned ModifierOf(const xcb_get_modifier_mapping_reply_t* modifiers,
                    const std::vector<int>& keycodes) {
    if (modifiers == nullptr || keycodes.empty()) {
        return 0;
    }
    const xcb_keycode_t* bound = xcb_get_modifier_mapping_keycodes(modifiers);
    const int perModifier = modifiers->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (bound[modifier * perModifier + i] == keycodes.front()) {
                return 1u << modifier;
            }
        }
    }
    return 0;
}

}  // namespace

// The display named by DISPLAY, through xcb alone: the chords are grabbed a few round trips
// after the program starts, without Xlib's own set-up.
std::unique_ptr<XHotkeys> XHotkeys::Connect(Pressed pressed, Lost lost) {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && roots.rem > 0; ++i) {
        xcb_screen_next(&roots);
    }
    if (roots.rem == 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<XHotkeys>(std::move(pressed), std::move(lost), connection,
                                      roots.data->root);
}

XHotkeys::XHotkeys(Pressed pressed, Lost lost, void* connection, unsigned long root)
    : pressed_(std::move(pressed)),
      lost_(std::move(lost)),
      connection_(connection),
      root_(root),
      queued_(nullptr, &std::free) {
    AskKeyboard();
}

void XHotkeys::Watch() {
    if (source_ != nullptr) {
        return;
    }
    auto* source = reinterpret_cast<ConnectionSource*>(
        GLib().sourceNew(&kConnectionFuncs, sizeof(ConnectionSource)));
    source->poll.fd = xcb_get_file_descriptor(Xcb(connection_));
    source->poll.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    source->owner = this;
    GLib().sourceAddPoll(&source->source, &source->poll);
    GLib().sourceSetCanRecurse(&source->source, TRUE);  // a press may come while a box waits
    GLib().sourceAttach(&source->source, nullptr);
    source_ = source;
}

XHotkeys::~XHotkeys() {
    if (source_ != nullptr) {
        GLib().sourceDestroy(static_cast<GSource*>(source_));
        GLib().sourceUnref(static_cast<GSource*>(source_));
    }
    for (const auto& entry : hotkeys_) {
        Ungrab(entry.second);
    }
    xcb_disconnect(Xcb(connection_));
}

// The key map and the modifier map in one round trip, asked for as soon as the connection is
// up and taken when first needed: the program reads its files meanwhile.
void XHotkeys::AskKeyboard() {
    xcb_connection_t* connection = Xcb(connection_);
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    keysAsked_ = xcb_get_keyboard_mapping(connection, setup->min_keycode, count).sequence;
    modifiersAsked_ = xcb_get_modifier_mapping(connection).sequence;
    keyboardAsked_ = true;
    xcb_flush(connection);
}

void XHotkeys::TakeKeyboard() {
    if (!keyboardAsked_) {
        return;
    }
    keyboardAsked_ = false;
    xcb_connection_t* connection = Xcb(connection_);
    const int minKeycode = xcb_get_setup(connection)->min_keycode;
    const auto keys = Owned(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping_cookie_t{keysAsked_}, nullptr));
    const auto modifiers = Owned(xcb_get_modifier_mapping_reply(
        connection, xcb_get_modifier_mapping_cookie_t{modifiersAsked_}, nullptr));
    map_.minKeycode = minKeycode;
    map_.perKeycode = keys ? keys->keysyms_per_keycode : 0;
    map_.keysyms.clear();
    if (keys) {
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keys.get());
        map_.keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(keys.get()));
    }
    keys_ = AssignKeys(map_);
    const unsigned numLock = ModifierOf(modifiers.get(), KeycodesOf(map_, XK_Num_Lock));
    const unsigned scrollLock = ModifierOf(modifiers.get(), KeycodesOf(map_, XK_Scroll_Lock));
    locks_ = LockCombinations(numLock, scrollLock);
    lockMasks_ = LockMask | numLock | scrollLock;
}

std::uint32_t XHotkeys::Register(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                 std::uint32_t key) {
    TakeKeyboard();
    Hotkey hotkey{window, id, modifiers, key, KeycodeOf(key)};
    const unsigned mask = ModifierMask(modifiers);
    if (hotkey.keycode != 0 && chords_.count({hotkey.keycode, mask}) != 0) {
        return kErrorHotkeyAlreadyRegistered;
    }
    const auto found = hotkeys_.find({window, id});
    if (found != hotkeys_.end()) {
        Forget(found);  // the id now stands for the new chord
    }
    if (!Grab(hotkey)) {
        return kErrorHotkeyAlreadyRegistered;
    }
    if (hotkey.keycode != 0) {
        chords_[{hotkey.keycode, mask}] = {window, id};
    }
    hotkeys_[{window, id}] = hotkey;
    return kErrorSuccess;
}

bool XHotkeys::Unregister(WindowHandle window, std::int32_t id) {
    const auto found = hotkeys_.find({window, id});
    if (found == hotkeys_.end()) {
        return false;
    }
    Forget(found);
    return true;
}

void XHotkeys::UnregisterWindow(WindowHandle window) {
    for (auto entry = hotkeys_.begin(); entry != hotkeys_.end();) {
        const auto next = std::next(entry);
        if (entry->first.first == window) {
            Forget(entry);
        }
        entry = next;
    }
}

void XHotkeys::Forget(std::map<std::pair<WindowHandle, std::int32_t>, Hotkey>::iterator found) {
    Ungrab(found->second);
    const unsigned mask = ModifierMask(found->second.modifiers);
    chords_.erase({found->second.keycode, mask});
    hotkeys_.erase(found);
}

// Another client's grab of any combination fails the whole chord, with nothing of it left
// grabbed. Each grab is a checked request, so that its BadAccess comes back to it; the checks
// of all the combinations share one round trip.
bool XHotkeys::Grab(const Hotkey& hotkey) {
    xcb_connection_t* connection = Xcb(connection_);
    const unsigned mask = ModifierMask(hotkey.modifiers);
    std::vector<xcb_void_cookie_t> cookies;
    for (const unsigned locks : locks_) {
        if (hotkey.keycode != 0) {
            cookies.push_back(xcb_grab_key_checked(connection, 0, static_cast<xcb_window_t>(root_),
                                                   static_cast<std::uint16_t>(mask | locks),
                                                   static_cast<xcb_keycode_t>(hotkey.keycode),
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        xcb_generic_error_t* error = xcb_request_check(connection, cookie);
        refused = refused || error != nullptr;
        std::free(error);
    }
    if (refused) {
        Ungrab(hotkey);
    }
    return !refused;
}

// Ungrabbing what another client holds changes nothing of theirs, and is no error.
void XHotkeys::Ungrab(const Hotkey& hotkey) {
    xcb_connection_t* connection = Xcb(connection_);
    const unsigned mask = ModifierMask(hotkey.modifiers);
    for (const unsigned locks : locks_) {
        if (hotkey.keycode != 0) {
            xcb_ungrab_key(connection, static_cast<xcb_keycode_t>(hotkey.keycode),
                           static_cast<xcb_window_t>(root_),
                           static_cast<std::uint16_t>(mask | locks));
        }
    }
    xcb_flush(connection);
}

bool XHotkeys::HasQueuedEvent() {
    if (!queued_) {
        queued_.reset(xcb_poll_for_queued_event(Xcb(connection_)));
    }
    return queued_ != nullptr;
}

void XHotkeys::ReadEvents() {
    xcb_connection_t* connection = Xcb(connection_);
    for (;;) {
        Event event =
            queued_ ? std::move(queued_) : Event(xcb_poll_for_event(connection), &std::free);
        if (!event) {
            break;
        }
        const auto* generic = static_cast<const xcb_generic_event_t*>(event.get());
        const int type = generic->response_type & 0x7F;
        if (type == XCB_KEY_PRESS) {
            const auto* press = static_cast<const xcb_key_press_event_t*>(event.get());
            OnKeyPress(press->detail, press->state);
        } else if (type == XCB_MAPPING_NOTIFY &&
                   static_cast<const xcb_mapping_notify_event_t*>(event.get())->request !=
                       XCB_MAPPING_POINTER) {
            OnKeysChanged();
        }
    }
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "pavix: the connection to the X display was lost\n");
        std::exit(1);
    }
}

void XHotkeys::OnKeyPress(unsigned keycode, unsigned state) {
    TakeKeyboard();
    const unsigned mask = state & ~lockMasks_ & 0xFF;
    const auto chord = chords_.find({static_cast<int>(keycode), mask});
    if (chord != chords_.end()) {
        const Hotkey& hotkey = hotkeys_.at(chord->second);
        pressed_(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
    }
}

// A new keyboard map may move the keys: every chord is grabbed again where it now is, and one
// that another client holds there is told as lost.
void XHotkeys::OnKeysChanged() {
    std::vector<Hotkey> held;
    for (auto& entry : hotkeys_) {
        Ungrab(entry.second);
        held.push_back(entry.second);
    }
    hotkeys_.clear();
    chords_.clear();
    AskKeyboard();
    TakeKeyboard();
    for (const Hotkey& hotkey : held) {
        if (Register(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key) != kErrorSuccess &&
            lost_) {
            lost_(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
        }
    }
}

int XHotkeys::KeycodeOf(std::uint32_t virtualKey) {
    TakeKeyboard();
    return virtualKey < keys_.keycodeOf.size() ? keys_.keycodeOf[virtualKey] : 0;
}

std::string XHotkeys::KeyName(int keycode) {
    TakeKeyboard();
    return KeysymName(FirstKeysym(map_, keycode));
}

}  // namespace pavix
