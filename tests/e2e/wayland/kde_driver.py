#!/usr/bin/python3
"""The shared scenario table on a KDE Wayland session (kde_session.sh): the X11 driver's steps,
with the keys typed through KWin's fake input (pavix_e2e_fake_keys) so that they reach the
desktop's global shortcuts, and a chord counted as held while a kglobalaccel component that
is active has it. Takes the X11 driver's options plus --fake-keys <helper>."""

import os
import subprocess
import sys

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "linux"))
import driver  # noqa: E402
import xkeys  # noqa: E402

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
        self.helper.stdin.write(" ".join(chords) + "\n")
        self.helper.stdin.flush()
        answer = self.helper.stdout.readline().strip()
        if answer != "ok":
            raise driver.Failure("fake input: %s" % (answer or "the helper ended"))

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


def main():
    arguments = sys.argv[1:]
    at = arguments.index("--fake-keys")
    helper = arguments[at + 1]
    sys.argv[1:] = arguments[:at] + arguments[at + 2:]
    return driver.main(Keyboard(helper), "wayland")


if __name__ == "__main__":
    sys.exit(main())
