"""Chords on the X server: typed through XTEST (xdotool), held and probed with our own XGrabKey on
the root window, the way another hotkey program would hold them."""

import ctypes
import ctypes.util
import subprocess

_MODIFIERS = {"shift": 1 << 0, "ctrl": 1 << 2, "alt": 1 << 3, "super": 1 << 6}
_LOCKS = (0, 1 << 1, 1 << 4, (1 << 1) | (1 << 4))  # none, Caps Lock, Num Lock (Mod2), both
_BAD_ACCESS = 10
_GRAB_MODE_ASYNC = 1


class _ErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p),
                ("resourceid", ctypes.c_ulong), ("serial", ctypes.c_ulong),
                ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(_ErrorEvent))


def Press(chords):
    """Types the chords one after another, as a keyboard would."""
    subprocess.run(["xdotool", "key", "--delay", "20"] + list(chords), check=True)


class Keyboard:
    """A connection of our own: holds chords for a scenario and asks whether a chord is held."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong,
                                    ctypes.c_int, ctypes.c_int, ctypes.c_int]
        self.x.XUngrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_ulong]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        self.x.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                               ctypes.POINTER(ctypes.c_int)]
        self.x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                  ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = self.x.XDefaultRootWindow(self.display)
        self.errors = []
        self.handler = _HANDLER(self._OnError)
        self.x.XSetErrorHandler(self.handler)
        self.held = []

    def Press(self, chords):
        Press(chords)

    def _OnError(self, display, event):
        self.errors.append(event.contents.error_code)
        return 0

    def _Split(self, chord):
        *names, key = chord.split("+")
        mask = 0
        for name in names:
            mask |= _MODIFIERS[name]
        code = self.x.XKeysymToKeycode(self.display, self.x.XStringToKeysym(key.encode()))
        if code == 0:
            raise ValueError("no key code for " + key)
        return code, mask

    def _Grab(self, code, mask):
        """True when every lock combination of the chord was ours to take."""
        self.errors.clear()
        for lock in _LOCKS:
            self.x.XGrabKey(self.display, code, mask | lock, self.root, 0, _GRAB_MODE_ASYNC,
                            _GRAB_MODE_ASYNC)
        self.x.XSync(self.display, 0)
        return not self.errors

    def _Ungrab(self, code, mask):
        for lock in _LOCKS:
            self.x.XUngrabKey(self.display, code, mask | lock, self.root)
        self.x.XSync(self.display, 0)
        self.errors.clear()

    def Hold(self, chord):
        code, mask = self._Split(chord)
        if not self._Grab(code, mask):
            self._Ungrab(code, mask)
            return False
        self.held.append((code, mask))
        return True

    def ReleaseAll(self):
        for code, mask in self.held:
            self._Ungrab(code, mask)
        self.held = []

    def IsHeld(self, chord):
        """Whether another client holds the chord: our grab of it is refused (BadAccess)."""
        code, mask = self._Split(chord)
        taken = self._Grab(code, mask)
        refused = _BAD_ACCESS in self.errors
        self._Ungrab(code, mask)
        if not taken and not refused:
            raise RuntimeError("grabbing %s failed with X errors other than BadAccess" % chord)
        return refused

    def Code(self, key):
        return self._Split(key)[0]

    def IsCodeHeld(self, code, modifiers):
        """Whether another client holds these modifiers ("ctrl+alt") on a key code."""
        mask = sum(_MODIFIERS[name] for name in modifiers.split("+"))
        self._Grab(code, mask)
        refused = _BAD_ACCESS in self.errors
        self._Ungrab(code, mask)
        return refused

    def SwapKeys(self, first, second):
        """Gives each of two key codes the other's keysyms, as a new keyboard layout would; every
        client hears of it (MappingNotify). Swapping again restores the map."""
        count = ctypes.c_int()
        rows = []
        for code in (first, second):
            keysyms = self.x.XGetKeyboardMapping(self.display, code, 1, ctypes.byref(count))
            rows.append([keysyms[i] for i in range(count.value)])
            self.x.XFree(keysyms)
        for code, row in ((first, rows[1]), (second, rows[0])):
            array = (ctypes.c_ulong * len(row))(*row)
            self.x.XChangeKeyboardMapping(self.display, code, len(row), array, 1)
        self.x.XSync(self.display, 0)
