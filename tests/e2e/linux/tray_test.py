#!/usr/bin/python3
"""What only the Linux program has. Its tray item and its menu, as a tray host sees them: the
item's title, a picture a host can load for each of idle, seeking and disabled (three different
files), the menu's items in Pavix's order with the state each allows, and Exit ending Pavix. A
new keyboard map: the chords move to the keys that now type them, and one that it puts on a key
another client holds is told as a refused one is. One Pavix per display, however DISPLAY spells
it. Runs inside the same session as driver.py (run.sh starts it) and prints "PASS name" or
"FAIL name: reason" for each.

  tray_test.py <the driver's options, without --group>
"""

import os
import subprocess
import sys

import dbus

import driver
import tray
import xkeys

NAME = "tray_item_pictures_and_menu"
KEYMAP = "tray_chords_follow_a_new_keyboard_map"
ONE_PER_DISPLAY = "tray_one_pavix_per_display_however_spelled"
LOST_CHORD = "tray_a_chord_that_a_new_layout_puts_on_a_held_key_is_told"
# The data files of this table scenario: "off" (ctrl+alt+d: Disable Hotkey) and "two" (A B).
FILES = "disable_hotkey_frees_chords_until_menu_enable"
HINTS = 6  # Show Hints' place in the menu
LOGIN = 7  # Start at Login's
PNG = b"\x89PNG\r\n\x1a\n"


def MenuLabels(texts):
    """The menu's items in order, from Pavix's texts."""
    with open(os.path.join(driver.ROOT, "resources", "texts.tsv"), encoding="utf-8") as file:
        keys = [line.split("\t")[0] for line in file if line.startswith("menu.4")]
    return [tray.Plain(texts[key.split(":", 1)[1]]) for key in keys]


def Eventually(check):
    """The check passes within the common wait (the menu follows the state a moment later)."""
    failures = []

    def Passes():
        try:
            check()
            return True
        except driver.Failure as failure:
            failures[:] = [failure]
            return False

    if not driver.WaitUntil(Passes):
        raise failures[0]


def ExpectMenu(menu, labels, enabled, hintsOn, when, loginOn=False):
    """Every item shown in order; those in `enabled` alone can be chosen; Show Hints and Start
    at Login check marks, set as given."""
    items = menu.Items()
    if [item[1] for item in items] != labels:
        raise driver.Failure("%s: the menu lists %s, expected %s"
                             % (when, [item[1] for item in items], labels))
    states = {item[1]: item[2] and item[3] for item in items}
    wanted = {label: label in enabled for label in labels}
    if states != wanted:
        raise driver.Failure("%s: items that can be chosen %s, expected %s"
                             % (when, sorted(k for k, v in states.items() if v), sorted(enabled)))
    _, layout = menu.proxy.GetLayout(dbus.Int32(0), dbus.Int32(1), dbus.Array([], "s"),
                                     dbus_interface=tray.MENU)
    marks = {labels[HINTS]: hintsOn, labels[LOGIN]: loginOn}
    for child in layout[2]:
        label = tray.Plain(str(child[1].get("label", "")))
        if label in marks:
            if child[1].get("toggle-type") != "checkmark" or \
                    int(child[1].get("toggle-state", -1)) != int(marks[label]):
                raise driver.Failure("%s: %s is not a check mark set %s"
                                     % (when, label, marks[label]))


def ExpectPictureFile(run, name):
    """The picture the item shows is a PNG file where it says; returns its bytes."""
    picture = run.pictures[name]
    path = os.path.join(picture["themePath"], picture["iconName"] + ".png")
    try:
        with open(path, "rb") as file:
            data = file.read()
    except OSError:
        raise driver.Failure("the %s picture %s cannot be read" % (name, path))
    if not data.startswith(PNG):
        raise driver.Failure("the %s picture %s is no PNG file" % (name, path))
    return data


def Check(run):
    configuration, edit, sheet, enable, disable, abort, hints, login, leave = labels = \
        MenuLabels(run.texts)
    editors = {configuration, edit, sheet}
    run.Do("start", "")
    run.Do("icon", "idle")
    item = run.Item()
    proxy = dbus.SessionBus().get_object(item["service"], item["path"], introspect=False)
    title = str(proxy.Get(tray.ITEM, "Title", dbus_interface=tray.PROPERTIES))
    if title != "Pavix":
        raise driver.Failure("the item is titled \"%s\"" % title)
    menu = run.Menu()
    Eventually(lambda: ExpectMenu(menu, labels, editors | {disable, hints, login, leave}, True, "idle"))
    xkeys.Press(["ctrl+alt+a"])
    run.Do("icon", "seeking")
    Eventually(lambda: ExpectMenu(menu, labels, editors | {disable, abort, hints, login, leave}, True,
                                  "seeking"))
    menu.Click(abort)
    run.Do("icon", "idle")
    menu.Click(disable)
    run.Do("icon", "disabled")
    Eventually(lambda: ExpectMenu(menu, labels, editors | {enable, hints, login, leave}, True,
                                  "disabled"))
    menu.Click(hints)
    Eventually(lambda: ExpectMenu(menu, labels, editors | {enable, hints, login, leave}, False,
                                  "after Show Hints"))
    menu.Click(login)
    Eventually(lambda: ExpectMenu(menu, labels, editors | {enable, hints, login, leave}, False,
                                  "after Start at Login", True))
    files = {name: ExpectPictureFile(run, name) for name in ("idle", "seeking", "disabled")}
    if len(set(files.values())) != 3:
        raise driver.Failure("the three pictures' files are not three different pictures")
    menu.Click(leave)
    run.Do("exits", "")


def PressUntilSeeking(run, chord):
    """Types the chord until Pavix takes it and its icon turns to seeking: a press that comes
    before Pavix has grabbed the chord on its new key reaches no one. (Nothing probes the key
    meanwhile: a probe's grab of a moment could refuse Pavix's own.)"""
    service = run.Item()["service"]
    for _ in range(20):
        xkeys.Press([chord])
        if driver.WaitUntil(lambda: run.log.Pictures(service)[run.icons:], 0.5):
            run.Do("icon", "seeking")
            return
    raise driver.Failure("Pavix did not take %s on the key that types it now" % chord)


def CheckKeymap(run):
    """A and Q swap keys: Pavix grabs Ctrl+Alt+A where A now is and lets go of its old key; the
    sequence A B runs from the new key, and from the old one again once the map is back."""
    keyboard = run.keyboard
    old, new = keyboard.Code("a"), keyboard.Code("q")
    run.Do("start", "")
    run.Do("icon", "idle")
    run.Do("held", "ctrl+alt+a")
    keyboard.SwapKeys(old, new)
    try:
        PressUntilSeeking(run, "ctrl+alt+a")
        if not keyboard.IsCodeHeld(new, "ctrl+alt") or keyboard.IsCodeHeld(old, "ctrl+alt"):
            raise driver.Failure("Ctrl+Alt+A is not grabbed on its new key alone")
        xkeys.Press(["ctrl+alt+b"])
        run.Do("icon", "idle")
        run.Do("runs", "1")
    finally:
        keyboard.SwapKeys(old, new)
    PressUntilSeeking(run, "ctrl+alt+a")
    xkeys.Press(["ctrl+alt+b"])
    run.Do("icon", "idle")
    run.Do("runs", "2")


def SetLayout(layout):
    subprocess.run(["setxkbmap", layout], check=True)


def CheckLostChord(run):
    """A new layout that puts a chord on a key another client holds: Pavix says so in the box of
    a chord refused at its start, and keeps its other chords."""
    run.Do("start", "")
    run.Do("icon", "idle")
    if not run.keyboard.Hold("ctrl+alt+q"):  # where a French keyboard has A
        raise driver.Failure("the driver cannot hold ctrl+alt+q itself")
    SetLayout("fr")
    try:
        run.Do("box", "Failed to register Hotkey : [C][A]+A")
        run.Do("no-box", "")
        run.Do("held", "ctrl+alt+d")
    finally:
        SetLayout("us")


def StartWith(run, **environment):
    """Another start of Pavix in the scenario's folder with these variables changed; its status
    and its error output once it ends."""
    started = subprocess.Popen([run.options.pavix], cwd=run.options.work, stdin=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True,
                               env=dict(os.environ, XDG_CONFIG_HOME=run.config, **environment))
    try:
        _, errors = started.communicate(timeout=driver.WAIT_CAP)
    except subprocess.TimeoutExpired:
        started.kill()
        started.communicate()
        raise driver.Failure("the start with %s did not end" % environment)
    return started.returncode, errors


def CheckOnePerDisplay(run):
    """Every spelling of the display names the one that runs: each other start ends at once with
    status 0, showing nothing. A lock that cannot be made is no Pavix running: that start says so
    and fails."""
    run.Do("start", "")
    run.Do("icon", "idle")
    number = os.environ["DISPLAY"].split(":")[1].split(".")[0]
    for display in (":%s.0" % number, "unix:%s" % number, "unix:%s.0" % number):
        code, errors = StartWith(run, DISPLAY=display)
        if code != 0 or errors:
            raise driver.Failure("the start on %s ended with status %d (%s)"
                                 % (display, code, errors.strip()))
        if run.pavix.poll() is not None:
            raise driver.Failure("the first Pavix ended when one started on %s" % display)
    missing = os.path.join(run.folder, "no-runtime")
    code, errors = StartWith(run, XDG_RUNTIME_DIR=missing)
    if code == 0 or missing not in errors:
        raise driver.Failure("without its lock's folder Pavix ended with status %d, saying \"%s\""
                             % (code, errors.strip()))
    run.Do("press", "ctrl+alt+a")
    run.Do("icon", "seeking")
    run.Do("quiet", "")


def RunCheck(options, name, check, mark=None, ids=None):
    """One check over FILES, its "mark" command `mark` (a path beside the data files) when
    given, with the dialogs' control ids when the check drives an editor."""
    scenario = {"name": name, "files": FILES, "group": "en", "held": [], "steps": []}
    run = driver.Run(options, scenario, xkeys.Keyboard(), tray.Log(options.tray_log), ids)
    reason = ""
    try:
        if mark is not None:
            run.mark = os.path.join(run.config, "pavix", mark)
        run.Prepare()
        check(run)
    except Exception as error:
        reason = str(error) or type(error).__name__
    ending = run.End()
    if ending:
        reason = reason + " (at the end: %s)" % ending if reason else "at the end: " + ending
    print("FAIL %s: %s" % (name, reason) if reason else "PASS " + name, flush=True)
    return not reason


def main():
    sys.argv += ["--group", "en"]
    options = driver.ParseOptions()
    passed = True
    for name, check in ((NAME, Check), (KEYMAP, CheckKeymap),
                        (ONE_PER_DISPLAY, CheckOnePerDisplay), (LOST_CHORD, CheckLostChord)):
        if options.only in ("", name):
            passed = RunCheck(options, name, check) and passed
    print("END tray", flush=True)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
