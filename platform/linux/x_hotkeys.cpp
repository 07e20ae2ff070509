#include "platform/linux/x_hotkeys.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gdk/gdk.h>
#include <gdk/gdkx.h>

#include "platform/constants.h"

namespace pavix {
namespace {

Display* Xlib(void* display) {
    return static_cast<Display*>(display);
}

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

XHotkeys::XHotkeys(Pressed pressed) : pressed_(std::move(pressed)) {
    GdkDisplay* display = gdk_display_get_default();
    display_ = gdk_x11_display_get_xdisplay(display);
    root_ = DefaultRootWindow(Xlib(display_));
    ReadKeyboard();
    gdk_window_add_filter(gdk_get_default_root_window(),
                          reinterpret_cast<GdkFilterFunc>(&XHotkeys::OnEvent), this);
    g_signal_connect(gdk_keymap_get_for_display(display), "keys-changed",
                     G_CALLBACK(&XHotkeys::OnKeysChanged), this);
}

XHotkeys::~XHotkeys() {
    GdkDisplay* display = gdk_display_get_default();
    g_signal_handlers_disconnect_by_data(gdk_keymap_get_for_display(display), this);
    gdk_window_remove_filter(gdk_get_default_root_window(),
                             reinterpret_cast<GdkFilterFunc>(&XHotkeys::OnEvent), this);
    for (const auto& entry : hotkeys_) {
        Ungrab(entry.second);
    }
    XFlush(Xlib(display_));
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
// grabbed: BadAccess arrives asynchronously, so the trap's end waits for the server's answer.
bool XHotkeys::Grab(const Hotkey& hotkey) {
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    const unsigned mask = ModifierMask(hotkey.modifiers);
    gdk_x11_display_error_trap_push(gdkDisplay);
    for (const int keycode : hotkey.keycodes) {
        for (const unsigned locks : locks_) {
            XGrabKey(Xlib(display_), keycode, mask | locks, root_, False, GrabModeAsync,
                     GrabModeAsync);
        }
    }
    if (gdk_x11_display_error_trap_pop(gdkDisplay) == 0) {
        return true;
    }
    Ungrab(hotkey);
    return false;
}

// Ungrabbing what another client holds changes nothing of theirs.
void XHotkeys::Ungrab(const Hotkey& hotkey) {
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    const unsigned mask = ModifierMask(hotkey.modifiers);
    gdk_x11_display_error_trap_push(gdkDisplay);
    for (const int keycode : hotkey.keycodes) {
        for (const unsigned locks : locks_) {
            XUngrabKey(Xlib(display_), keycode, mask | locks, root_);
        }
    }
    gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
}

int XHotkeys::OnEvent(void* xEvent, void*, void* self) {
    auto& hotkeys = *static_cast<XHotkeys*>(self);
    const auto* event = static_cast<const XEvent*>(xEvent);
    if (event->type != KeyPress) {
        return GDK_FILTER_CONTINUE;
    }
    const unsigned mask = event->xkey.state & ~hotkeys.lockMasks_ & 0xFF;
    const auto chord = hotkeys.chords_.find({static_cast<int>(event->xkey.keycode), mask});
    if (chord == hotkeys.chords_.end()) {
        return GDK_FILTER_CONTINUE;
    }
    const Hotkey& hotkey = hotkeys.hotkeys_.at(chord->second);
    hotkeys.pressed_(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
    return GDK_FILTER_REMOVE;
}

// A new keyboard map may move the keys: every chord is grabbed again where it now is.
void XHotkeys::OnKeysChanged(void*, void* self) {
    auto& hotkeys = *static_cast<XHotkeys*>(self);
    std::vector<Hotkey> held;
    for (auto& entry : hotkeys.hotkeys_) {
        hotkeys.Ungrab(entry.second);
        held.push_back(entry.second);
    }
    hotkeys.hotkeys_.clear();
    hotkeys.chords_.clear();
    hotkeys.ReadKeyboard();
    for (const Hotkey& hotkey : held) {
        hotkeys.Register(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.key);
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
