#!/usr/bin/python3
"""What only the Linux program has. Its tray item and its menu, as a tray host sees them: the
item's title, a picture a host can load for each of idle, seeking and disabled (three different
files), the menu's items in Pavix's order with the state each allows, and Exit ending Pavix. And a
new keyboard map: the chords move to the keys that now type them. Runs inside the same session as
driver.py (run.sh starts it) and prints "PASS name" or "FAIL name: reason" for each.

  tray_test.py <the driver's options, without --group>
"""

import os
import sys

import dbus

import driver
import tray
import xkeys

NAME = "tray_item_pictures_and_menu"
KEYMAP = "tray_chords_follow_a_new_keyboard_map"
# The data files of this table scenario: "off" (ctrl+alt+d: Disable Hotkey) and "two" (A B).
FILES = "disable_hotkey_frees_chords_until_menu_enable"
HINTS = 6  # Show Hints' place in the menu
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


def ExpectMenu(menu, labels, enabled, hintsOn, when):
    """Every item shown in order; those in `enabled` alone can be chosen; Show Hints checked."""
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
    for child in layout[2]:
        if tray.Plain(str(child[1].get("label", ""))) == labels[HINTS]:
            if child[1].get("toggle-type") != "checkmark" or \
                    int(child[1].get("toggle-state", -1)) != int(hintsOn):
                raise driver.Failure("%s: Show Hints is not a check mark set %s" % (when, hintsOn))


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
    configuration, edit, sheet, enable, disable, abort, hints, leave = labels = \
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
    Eventually(lambda: ExpectMenu(menu, labels, editors | {disable, hints, leave}, True, "idle"))
    xkeys.Press(["ctrl+alt+a"])
    run.Do("icon", "seeking")
    Eventually(lambda: ExpectMenu(menu, labels, editors | {disable, abort, hints, leave}, True,
                                  "seeking"))
    menu.Click(abort)
    run.Do("icon", "idle")
    menu.Click(disable)
    run.Do("icon", "disabled")
    Eventually(lambda: ExpectMenu(menu, labels, editors | {enable, hints, leave}, True,
                                  "disabled"))
    menu.Click(hints)
    Eventually(lambda: ExpectMenu(menu, labels, editors | {enable, hints, leave}, False,
                                  "after Show Hints"))
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
    for name, check in ((NAME, Check), (KEYMAP, CheckKeymap)):
        if options.only in ("", name):
            passed = RunCheck(options, name, check) and passed
    print("END tray", flush=True)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
