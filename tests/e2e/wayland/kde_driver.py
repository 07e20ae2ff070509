#!/usr/bin/python3
"""The shared scenario table on a KDE Wayland session (kde_session.sh): the X11 driver's steps,
with the keys typed through KWin's fake input (pavix_e2e_fake_keys) so that they reach the
desktop's global shortcuts, and a chord counted as held while a kglobalaccel component that
is active has it. Takes the X11 driver's options; PAVIX_FAKE_KEYS names the helper. With
PAVIX_KDE_NATIVE=1, a few of the scenarios (NATIVE) run with Pavix kept from Xwayland (no
DISPLAY), its windows KWin's own, and the hint window looked for in KWin's picture of the screen."""

import os
import subprocess
import sys
import threading

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "linux"))
import a11y  # noqa: E402
import driver  # noqa: E402
import xkeys  # noqa: E402

SCREEN = (1024, 768)  # KWin's virtual output, as kde_session.sh starts it
GAP = 8  # between the hint window and the screen's edges, at 96 dpi
# A sequence with its hints, an editor and its nested dialogs with a chord typed into the capture
# box, and a box before an editor.
NATIVE = ("hints_show_after_a_pause_and_go_with_the_search",
          "sequence_built_through_the_editors_saved_and_run",
          "sequence_editor_keeps_a_backup_of_a_damaged_file")

# Qt's key codes, as kglobalaccel keeps shortcuts.
QT_MODIFIERS = {"shift": 0x02000000, "ctrl": 0x04000000, "alt": 0x08000000, "super": 0x10000000}
QT_KEY_F1 = 0x01000030


def QtKey(chord):
    *names, key = chord.split("+")
    code = QT_KEY_F1 + int(key[1:]) - 1 if len(key) > 1 else ord(key.upper())
    return code | sum(QT_MODIFIERS[name] for name in names)


class Keyboard(xkeys.Keyboard):
    """Keys through KWin; what holds a chord is kglobalaccel's, where the portal binds."""

    def __init__(self, helper):
        super().__init__()
        self.helper = subprocess.Popen([helper], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       text=True)
        self.accel = dbus.SessionBus().get_object("org.kde.kglobalaccel", "/kglobalaccel")

    def Press(self, chords):
        """Types the chords; returns the monotonic time (s) at which the last key went down."""
        self.helper.stdin.write(" ".join(chords) + "\n")
        self.helper.stdin.flush()
        answer = self.helper.stdout.readline().split()
        if answer[:1] != ["ok"]:
            raise driver.Failure("fake input: %s" % (" ".join(answer) or "the helper ended"))
        return int(answer[1]) / 1e9

    def IsHeld(self, chord):
        """Whether an active component of kglobalaccel (the portal's session, while it lasts)
        has the chord."""
        wanted = QtKey(chord)
        for path in self.accel.allComponents(dbus_interface="org.kde.KGlobalAccel"):
            component = dbus.SessionBus().get_object("org.kde.kglobalaccel", path)
            calls = dbus.Interface(component, "org.kde.kglobalaccel.Component")
            # An info's seventh field holds the keys in effect; the eighth, the defaults.
            if calls.isActive() and any(wanted in [int(key) for key in info[6]]
                                        for info in calls.allShortcutInfos()):
                return True
        return False

    def PavixHolds(self):
        """Whether Pavix's component (the portal's session) is active."""
        return any(path.endswith("/pavix") and dbus.Interface(
            dbus.SessionBus().get_object("org.kde.kglobalaccel", path),
            "org.kde.kglobalaccel.Component").isActive()
            for path in self.accel.allComponents(dbus_interface="org.kde.KGlobalAccel"))


class Run(driver.Run):
    def Do(self, verb, text):
        super().Do(verb, text)
        # Once the last editor has closed, Pavix asks the desktop for its chords again and KDE
        # binds them a moment later, not at once as an X server's grabs: a user's next press
        # comes after that, and so does the scenario's. Disabled, Pavix holds nothing.
        if verb == "closed" and not self.editors.dialogs:
            driver.WaitUntil(self.keyboard.PavixHolds, 3.0)


def Shot(method, *arguments):
    """A picture through KWin's ScreenShot2 `method` (CaptureArea, CaptureActiveWindow...), which
    writes raw 32-bit pixels to a pipe: (width, height, its rows)."""
    reading, writing = os.pipe()
    pixels = []
    reader = threading.Thread(target=lambda: pixels.append(os.fdopen(reading, "rb").read()))
    reader.start()
    shots = dbus.Interface(dbus.SessionBus().get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                           "org.kde.KWin.ScreenShot2")
    try:
        found = getattr(shots, method)(*arguments, dbus.types.UnixFd(writing))
    finally:
        os.close(writing)
    reader.join(driver.WAIT_CAP)
    width, height, stride = int(found["width"]), int(found["height"]), int(found["stride"])
    return width, height, [pixels[0][row * stride:row * stride + width * 4] for row in range(height)]


def Screen():
    return Shot("CaptureArea", 0, 0, dbus.UInt32(SCREEN[0]), dbus.UInt32(SCREEN[1]), {})[2]


def Changed(before, after):
    """The rectangle (left, top, right, bottom) holding every pixel that differs; None for none."""
    rows = [y for y, (old, new) in enumerate(zip(before, after)) if old != new]
    if not rows:
        return None
    columns = [x for x in range(SCREEN[0])
               if any(before[y][4 * x:4 * x + 4] != after[y][4 * x:4 * x + 4] for y in rows)]
    return (columns[0], rows[0], columns[-1] + 1, rows[-1] + 1)


class NativeRun(Run):
    UNSET = ("DISPLAY",)
    desktop = None  # the screen before the first press

    def Titles(self):
        """A native GTK window draws its own title bar: its title is one of the box's labels."""
        return [text for _, labels, _ in self.app.Boxes() for text in labels]

    def Do(self, verb, text):
        if verb == "press" and self.desktop is None:
            self.desktop = Screen()
        super().Do(verb, text)

    def Hints(self, text):
        """The rows, and the window on the screen where Pavix put it: with no panel, in the
        screen's bottom right corner, GAP pixels off its edges. Only the compositor knows where
        a native window is: GTK reports no place, and KWin's picture tells."""
        super().Hints(text)
        window = a11y.Dialog(self.app, self.texts["HintTitle"])
        size = a11y.Atspi.Component.get_size(window)
        right, bottom = SCREEN[0] - GAP, SCREEN[1] - GAP
        wanted = (right - size.x, bottom - size.y, right, bottom)
        if not driver.WaitUntil(lambda: Changed(self.desktop, Screen()) == wanted):
            raise driver.Failure("the hint window shows at %s, expected %s"
                                 % (Changed(self.desktop, Screen()), wanted))


def main():
    native = os.environ.get("PAVIX_KDE_NATIVE") == "1"
    return driver.main(Keyboard(os.environ["PAVIX_FAKE_KEYS"]), "wayland",
                       NativeRun if native else Run, NATIVE if native else None)


if __name__ == "__main__":
    sys.exit(main())
