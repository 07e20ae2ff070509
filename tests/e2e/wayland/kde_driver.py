#!/usr/bin/python3
"""The shared scenario table on a KDE Wayland session (kde_session.sh): the X11 driver's steps,
with the keys typed through KWin's fake input (pavix_e2e_fake_keys) so that they reach the
desktop's global shortcuts, and a chord counted as held while a kglobalaccel component that
is active has it. Takes the X11 driver's options; PAVIX_FAKE_KEYS names the helper."""

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


def main():
    return driver.main(Keyboard(os.environ["PAVIX_FAKE_KEYS"]), "wayland", Run)


if __name__ == "__main__":
    sys.exit(main())
