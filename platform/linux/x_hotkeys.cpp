#include "platform/linux/x_hotkeys.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <glib.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/constants.h"

namespace pavix {
namespace {

Display* Xlib(void* display) {
    return static_cast<Display*>(display);
}

// The connection's events on the main loop: ready when there are some to read. XPending, not
// only Xlib's own queue: a grab's check can leave events read from the socket in XCB's queue,
// where no poll would see them.
struct DisplaySource {
    GSource source;
    GPollFD poll;
    Display* display;
    void (*readable)(void*);
    void* owner;
};

gboolean PrepareDisplay(GSource* source, gint* timeout) {
    *timeout = -1;
    return XPending(reinterpret_cast<DisplaySource*>(source)->display) > 0;
}

gboolean CheckDisplay(GSource* source) {
    const auto* events = reinterpret_cast<DisplaySource*>(source);
    // A lost connection is dispatched too: reading it ends the program, as losing the display
    // does any X client.
    return (events->poll.revents & (G_IO_IN | G_IO_HUP | G_IO_ERR)) != 0 ||
           XPending(events->display) > 0;
}

gboolean DispatchDisplay(GSource* source, GSourceFunc, gpointer) {
    auto* events = reinterpret_cast<DisplaySource*>(source);
    events->readable(events->owner);
    return G_SOURCE_CONTINUE;
}

GSourceFuncs kDisplayFuncs = {PrepareDisplay, CheckDisplay, DispatchDisplay,
                              nullptr,        nullptr,      nullptr};

// The modifier (bit mask) that a key with this keysym is bound to, 0 when none is.
unsigned ModifierOf(Display* display, KeySym keysym) {
    const KeyCode keycode = XKeysymToKeycode(display, keysym);
    XModifierKeymap* modifiers = XGetModifierMapping(display);
    unsigned mask = 0;
    for (int modifier = 0; modifier < 8 && keycode != 0 && mask == 0; ++modifier) {
        for (int i = 0; i < modifiers->max_keypermod; ++i) {
            if (modifiers->modifiermap[modifier * modifiers->max_keypermod + i] == keycode) {
                mask = 1u << modifier;
            }
        }
    }
    XFreeModifiermap(modifiers);
    return mask;
}

}  // namespace

std::unique_ptr<XHotkeys> XHotkeys::Connect(Pressed pressed) {
    Display* display = XOpenDisplay(nullptr);
    return display != nullptr ? std::make_unique<XHotkeys>(std::move(pressed), display) : nullptr;
}

XHotkeys::XHotkeys(Pressed pressed, void* display)
    : pressed_(std::move(pressed)), display_(display) {
    root_ = DefaultRootWindow(Xlib(display_));
    ReadKeyboard();
    auto* source =
        reinterpret_cast<DisplaySource*>(g_source_new(&kDisplayFuncs, sizeof(DisplaySource)));
    source->poll.fd = ConnectionNumber(Xlib(display_));
    source->poll.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    source->display = Xlib(display_);
    source->readable = &XHotkeys::OnReadable;
    source->owner = this;
    g_source_add_poll(&source->source, &source->poll);
    g_source_set_can_recurse(&source->source, TRUE);  // a press may come while a box waits
    g_source_attach(&source->source, nullptr);
    source_ = source;
}

XHotkeys::~XHotkeys() {
    g_source_destroy(static_cast<GSource*>(source_));
    g_source_unref(static_cast<GSource*>(source_));
    for (const auto& entry : hotkeys_) {
        Ungrab(entry.second);
    }
    XCloseDisplay(Xlib(display_));
}

void XHotkeys::ReadKeyboard() {
    Display* display = Xlib(display_);
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    int perKeycode = 0;
    KeySym* keysyms = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode),
                                          maxKeycode - minKeycode + 1, &perKeycode);
    map_.minKeycode = minKeycode;
    map_.perKeycode = perKeycode;
    map_.keysyms.assign(keysyms, keysyms + (maxKeycode - minKeycode + 1) * perKeycode);
    XFree(keysyms);
    const unsigned numLock = ModifierOf(display, XK_Num_Lock);
    const unsigned scrollLock = ModifierOf(display, XK_Scroll_Lock);
    locks_ = LockCombinations(numLock, scrollLock);
    lockMasks_ = LockMask | numLock | scrollLock;
}

std::uint32_t XHotkeys::Register(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                 std::uint32_t key) {
    Hotkey hotkey{window, id, modifiers, key, KeycodesOf(map_, VirtualKeyToKeysym(key))};
    const unsigned mask = ModifierMask(modifiers);
    for (const int keycode : hotkey.keycodes) {
        if (chords_.count({keycode, mask}) != 0) {
            return kErrorHotkeyAlreadyRegistered;
        }
    }
    const auto found = hotkeys_.find({window, id});
    if (found != hotkeys_.end()) {
        Forget(found);  // the id now stands for the new chord
    }
    if (!Grab(hotkey)) {
        return kErrorHotkeyAlreadyRegistered;
    }
    for (const int keycode : hotkey.keycodes) {
        chords_[{keycode, mask}] = {window, id};
    }
    hotkeys_[{window, id}] = std::move(hotkey);
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
    for (const int keycode : found->second.keycodes) {
        chords_.erase({keycode, mask});
    }
    hotkeys_.erase(found);
}

// Another client's grab of any combination fails the whole chord, with nothing of it left
// grabbed. Each grab is a checked request: its BadAccess comes back to it, not to Xlib's
// process-wide error handler, which the toolkit owns.
bool XHotkeys::Grab(const Hotkey& hotkey) {
    xcb_connection_t* connection = XGetXCBConnection(Xlib(display_));
    const unsigned mask = ModifierMask(hotkey.modifiers);
    std::vector<xcb_void_cookie_t> cookies;
    for (const int keycode : hotkey.keycodes) {
        for (const unsigned locks : locks_) {
            cookies.push_back(xcb_grab_key_checked(connection, 0, static_cast<xcb_window_t>(root_),
                                                   static_cast<std::uint16_t>(mask | locks),
                                                   static_cast<xcb_keycode_t>(keycode),
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
    xcb_connection_t* connection = XGetXCBConnection(Xlib(display_));
    const unsigned mask = ModifierMask(hotkey.modifiers);
    for (const int keycode : hotkey.keycodes) {
        for (const unsigned locks : locks_) {
            xcb_ungrab_key(connection, static_cast<xcb_keycode_t>(keycode),
                           static_cast<xcb_window_t>(root_),
                           static_cast<std::uint16_t>(mask | locks));
        }
    }
    xcb_flush(connection);
}

void XHotkeys::OnReadable(void* self) {
    auto& hotkeys = *static_cast<XHotkeys*>(self);
    Display* display = Xlib(hotkeys.display_);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress) {
            hotkeys.OnKeyPress(event.xkey.keycode, event.xkey.state);
        } else if (event.type == MappingNotify && event.xmapping.request != MappingPointer) {
            XRefreshKeyboardMapping(&event.xmapping);
            hotkeys.OnKeysChanged();
        }
    }
}

void XHotkeys::OnKeyPress(unsigned keycode, unsigned state) {
    const unsigned mask = state & ~lockMasks_ & 0xFF;
    const auto chord = chords_.find({static_cast<int>(keycode), mask});
    if (chord != chords_.end()) {
        const Hotkey& hotkey = hotkeys_.at(chord->second);
        pressed_(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
    }
}

// A new keyboard map may move the keys: every chord is grabbed again where it now is.
void XHotkeys::OnKeysChanged() {
    std::vector<Hotkey> held;
    for (auto& entry : hotkeys_) {
        Ungrab(entry.second);
        held.push_back(entry.second);
    }
    hotkeys_.clear();
    chords_.clear();
    ReadKeyboard();
    for (const Hotkey& hotkey : held) {
        Register(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
    }
}

int XHotkeys::KeycodeOf(std::uint32_t virtualKey) const {
    const std::vector<int> keycodes = KeycodesOf(map_, VirtualKeyToKeysym(virtualKey));
    return keycodes.empty() ? 0 : keycodes.front();
}

std::string XHotkeys::KeyName(int keycode) const {
    return KeysymName(FirstKeysym(map_, keycode));
}

}  // namespace pavix
