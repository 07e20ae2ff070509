"""The editor steps of the shared scenario table for the X11 driver: Pavix's dialogs found and
driven through the accessibility bus, where the GTK host gives every dialog and control its
template id as accessible id, and keys typed through XTEST where a user types them."""

import os
import subprocess
import time

import a11y

MARK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mark")

VERBS = ("dialog", "closed", "click", "set", "shows", "select", "rows", "capture", "choose",
         "type", "focus", "showing", "clipboard", "damage", "saved", "unchanged", "backup",
         "file-dialog")
# Steps of the Linux program's own scenarios (screen_reader_test.py), not of the shared table:
#   row <control> <n> <cells>   the list's row n reads these cells (split by \t, blanks at a
#                               cell's ends aside) over the accessibility bus
#   read                        every object of the current dialog read whole, cells included
LINUX_VERBS = ("row", "read")
SOUNDS = ("match", "mismatch", "abort", "timeout", "enable", "disable")
CUT_SHORT = b"\x05\x00\x00"  # a record's name length, then nothing


class Failure(Exception):
    pass


def Read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except OSError:
        return None


def ControlIds(tool, table):
    listing = subprocess.run([tool, table, "--controls"], capture_output=True, text=True)
    if listing.returncode != 0:
        raise Failure(listing.stderr.strip())
    return {name: int(number) for name, number in
            (line.split("\t") for line in listing.stdout.splitlines())}


def _ById(node, wanted):
    """The showing descendant whose accessible id is `wanted`, or None."""
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is None:
            continue
        if child.get_accessible_id() == wanted and child.get_state_set().contains(
                a11y.Atspi.StateType.SHOWING):
            return child
        found = _ById(child, wanted)
        if found is not None:
            return found
    return None


def _CaptureLabel(chord):
    """How the key capture box shows a chord: "Ctrl + Alt + A"."""
    names = {"ctrl": "Ctrl", "alt": "Alt", "shift": "Shift", "super": "Win"}
    *modifiers, key = chord.split("+")
    return " + ".join([names[name] for name in modifiers] + [key.upper()])


def _Clipboard(empty=False):
    """The clipboard's text; or, with `empty`, the clipboard taken and let go empty."""
    script = ("import gi, sys; gi.require_version('Gtk', '3.0'); gi.require_version('Gdk', '3.0'); "
              "from gi.repository import Gdk, Gtk; "
              "board = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD); "
              + ("board.set_text('', 0); board.store()" if empty else
                 "text = board.wait_for_text(); sys.stdout.buffer.write((text or '').encode())"))
    # Through the X server: a Wayland compositor hands the clipboard to the focused client only.
    done = subprocess.run(["/usr/bin/python3", "-c", script], capture_output=True, timeout=10,
                          env=dict(os.environ, GDK_BACKEND="x11"))
    if done.returncode != 0:
        raise Failure("cannot use the clipboard: %s" % done.stderr[-300:])
    return done.stdout.decode()


class Editors:
    """The dialogs one scenario has open, innermost last, and the data files as they started."""

    def __init__(self, run, ids, wait):
        self.run, self.ids, self.wait = run, ids, wait
        self.dialogs = []
        self.folder = os.path.join(run.config, "pavix")
        self.started = {}
        self.before_damage = {}

    def Remember(self):
        for name in ("Config.dat", "Sequence.dat"):
            self.started[name] = Read(os.path.join(self.folder, name))

    def Do(self, verb, text):
        words = text.split()
        step = getattr(self, verb.capitalize())
        if verb in ("set", "shows"):
            step(words[0], text[len(words[0]):].strip())
        elif verb in ("type", "clipboard"):
            step(text)
        elif verb == "row":
            step(words[0], words[1], text.split(None, 2)[2] if len(words) > 2 else "")
        else:
            step(*words)

    def Path(self, name):
        return os.path.join(self.folder, name)

    def Control(self, name):
        if not self.dialogs:
            raise Failure("no dialog is current")
        number = {"IDOK": 1, "IDCANCEL": 2}.get(name, self.ids.get(name))
        if number is None:
            raise Failure("resources/dialogs.tsv names no control %s" % name)
        control = self.wait(lambda: _ById(self.dialogs[-1][0], str(number)))
        if control is None:
            raise Failure("the dialog shows no control %s (%d)" % (name, number))
        return control

    def Shown(self, wanted):
        """The process's showing window whose accessible id is `wanted`, or None."""
        try:
            for window in self.run.app._Windows():
                if window is not None and window.get_accessible_id() == wanted and (
                        window.get_state_set().contains(a11y.Atspi.StateType.SHOWING)):
                    return window
        except a11y.GLib.Error:  # a window went while it was read
            pass
        return None

    def Dialog(self, name):
        wanted = str(self.ids.get(name, -1))
        window = self.wait(lambda: self.Shown(wanted))
        if window is None:
            raise Failure("the dialog %s did not show" % name)
        self.dialogs.append((window, wanted))

    def Closed(self):
        if not self.dialogs:
            raise Failure("no dialog is current")
        _, wanted = self.dialogs.pop()
        if not self.wait(lambda: self.Shown(wanted) is None):
            raise Failure("the dialog %s stayed open" % wanted)

    def Click(self, name):
        control = self.Control(name)
        if not self.wait(lambda: control.get_state_set().contains(a11y.Atspi.StateType.ENABLED)):
            raise Failure("%s is disabled" % name)
        a11y.Click(control)

    def Set(self, name, text):
        a11y.SetText(self.Control(name), self.run.Expand(text))

    def Shows(self, name, text):
        control = self.Control(name)
        wanted = self.run.Expand(text)
        if not self.wait(lambda: a11y.Text(control) == wanted):
            raise Failure("%s shows \"%s\"" % (name, a11y.Text(control)))

    def Select(self, name, row):
        a11y.Atspi.Table.add_row_selection(self.Control(name), int(row))

    def Rows(self, name, count):
        table = self.Control(name)
        if not self.wait(lambda: a11y.Atspi.Table.get_n_rows(table) == int(count)):
            raise Failure("%s has %d rows" % (name, a11y.Atspi.Table.get_n_rows(table)))

    def Row(self, name, row, text):
        table = self.Control(name)
        wanted = [cell.strip() for cell in self.run.Expand(text).split("\t")]
        read = lambda: a11y.Cells(table, int(row))
        if not self.wait(lambda: read() == wanted):
            raise Failure("row %s reads %s" % (row, read()))

    def Read(self):
        if not self.dialogs:
            raise Failure("no dialog is current")
        dialog = self.dialogs[-1][0]

        def Whole():  # an object can go while it is read (a nested dialog's, just closed)
            try:
                dialog.clear_cache()
                return a11y.ReadWhole(dialog) >= 2
            except a11y.GLib.Error:
                return False
        if not self.wait(Whole):
            raise Failure("the dialog cannot be read whole")

    def Capture(self, chord):
        self.FocusWindow()
        field = self.Control("KeyCapture.HotkeyControl")
        field.grab_focus()
        self.run.keyboard.Press([chord])
        wanted = _CaptureLabel(chord)
        if not self.wait(lambda: a11y.Text(field) == wanted):
            raise Failure("the capture shows \"%s\" for %s" % (a11y.Text(field), chord))

    def FocusWindow(self):
        """Keys then go to the newest dialog. A compositor may hand it the keyboard a moment after
        the X focus moved (KWin through Xwayland): up to a second is given for it to turn active,
        and where it never reads as active the keys go anyway."""
        dialog = self.dialogs[-1][0]
        subprocess.run(["xdotool", "search", "--name", "^%s$" % dialog.get_name(),
                        "windowfocus", "--sync"], capture_output=True)
        for _ in range(20):
            try:
                if dialog.get_state_set().contains(a11y.Atspi.StateType.ACTIVE):
                    return
            except a11y.GLib.Error:
                return
            time.sleep(0.05)

    def Type(self, chords):
        self.FocusWindow()
        self.run.keyboard.Press(chords.split())

    def Focus(self, name):
        self.FocusWindow()
        a11y.Atspi.Component.grab_focus(self.Control(name))

    def Clipboard(self, text):
        """The clipboard holds the text, read as another program reads it; then it is emptied,
        so that the next check sees only what comes after."""
        wanted = self.run.Expand(text)
        if not self.wait(lambda: _Clipboard() == wanted):
            raise Failure("the clipboard holds %r, not %r" % (_Clipboard(), wanted))
        _Clipboard(empty=True)

    def Showing(self, name, count):
        wanted = str(self.ids.get(name, -1))
        shown = [window for window in self.run.app._Windows()
                 if window is not None and window.get_accessible_id() == wanted
                 and window.get_state_set().contains(a11y.Atspi.StateType.SHOWING)]
        if len(shown) != int(count):
            raise Failure("%d of them show" % len(shown))

    def Chooser(self):
        """GTK's file chooser of the process, or None."""
        for window in self.run.app._Windows():
            if window is not None and window.get_role() == a11y.Atspi.Role.FILE_CHOOSER:
                return window
        return None

    def FileDialog(self):
        if self.wait(self.Chooser) is None:
            raise Failure("no file dialog showed")

    def Choose(self, name):
        """Names the file in GTK's file chooser by typing its path, as a user can."""
        chooser = self.wait(self.Chooser)
        if chooser is None:
            raise Failure("no file dialog showed")
        subprocess.run(["xdotool", "search", "--name", "^%s$" % chooser.get_name(), "windowfocus",
                        "--sync"], capture_output=True)
        subprocess.run(["xdotool", "key", "--delay", "50", "ctrl+l", "ctrl+a"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "5", self.Path(name)], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        if not self.wait(lambda: self.Chooser() is None):
            raise Failure("the file dialog stayed open")

    def Damage(self, name):
        self.before_damage[name] = Read(self.Path(name))
        with open(self.Path(name), "ab") as file:
            file.write(CUT_SHORT)

    def Saved(self, what, *settings):
        expected = os.path.join(self.run.folder, "expected.dat")
        if what == "sequences":
            subprocess.run([self.run.options.table_tool, self.run.options.table, "--sequences",
                            self.run.scenario["name"], expected, MARK, self.run.marker,
                            self.run.run_folder], check=True)
            self.Expect("Sequence.dat", Read(expected))
            return
        timeout = dict(setting.split("=", 1) for setting in settings).get("timeout", "5000")
        sounds = [os.path.join(self.folder, "se", name + ".wav") for name in SOUNDS]
        subprocess.run([self.run.options.table_tool, self.run.options.table, "--config", expected,
                        timeout] + sounds, check=True)
        self.Expect("Config.dat", Read(expected))

    def Expect(self, name, expected):
        if not self.wait(lambda: Read(self.Path(name)) == expected):
            seen = Read(self.Path(name))
            raise Failure("%s holds %s" % (name, "nothing" if seen is None else
                                           "%d other bytes" % len(seen)))

    def Unchanged(self, name):
        if Read(self.Path(name)) != self.started[name]:
            raise Failure("%s changed" % name)

    def Backup(self, name):
        if name not in self.before_damage:
            raise Failure("no \"damage %s\" came before" % name)
        self.Expect(name + ".bak", self.before_damage[name] + CUT_SHORT)
        self.Expect(name, self.before_damage[name])
