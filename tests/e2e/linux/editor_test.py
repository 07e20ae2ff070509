#!/usr/bin/python3
"""The Linux program's Record dialog and All Sequences sheet, driven the way a screen reader's user
drives them (the accessibility bus) with keys typed through XTEST: three chords typed into Record
and run, and the All Sequences sheet filtered and copied (the other editors' scenarios are rows
of the shared table). Runs inside the same session as
driver.py (run.sh starts it) and prints "PASS name" or "FAIL name: reason" per check.

  editor_test.py <the driver's options, without --group>
"""

import subprocess
import sys
import time

import a11y
import driver
import tray
import xkeys

# A table scenario whose only sequence is "two": ctrl+alt+a ctrl+alt+b, the marker command.
FILES = "second_start_exits_at_once"


def Open(run, item, title):
    """Chooses the menu's item and waits for the dialog it opens."""
    run.Menu().Click(tray.Plain(run.texts[item]))
    return Wait(run, title)


def Wait(run, title):
    dialog = driver.WaitUntil(lambda: a11y.Dialog(run.app, title))
    if dialog is None:
        shown = [window.get_name() for window in run.app._Windows() if window is not None]
        raise driver.Failure("no dialog \"%s\" showed (windows: %s)" % (title, shown))
    return dialog


def Gone(run, title):
    if not driver.WaitUntil(lambda: a11y.Dialog(run.app, title) is None):
        raise driver.Failure("the dialog \"%s\" stayed open" % title)


def One(dialog, role, name, index=0):
    found = a11y.Find(dialog, role, name)
    if len(found) <= index:
        raise driver.Failure("the dialog has no %s \"%s\"" % (role.value_nick, name))
    return found[index]


def Button(dialog, name, index=0):
    return One(dialog, a11y.Atspi.Role.PUSH_BUTTON, name, index)


def Press(dialog, name, index=0):
    a11y.Click(Button(dialog, name, index))


def Lists(dialog):
    return a11y.Find(dialog, a11y.Atspi.Role.TREE_TABLE) + a11y.Find(dialog, a11y.Atspi.Role.TABLE)


def Rows(table):
    return a11y.Atspi.Table.get_n_rows(table)


def Focus(title):
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowfocus", "--sync"],
                   capture_output=True)


def Record(run):
    """Three chords typed into Record replace the sequence's keys; Return after the pause ends
    Record, the editor's OK saves them and they run the sequence,
    while the old chords no longer do."""
    run.Do("start", "")
    run.Do("icon", "idle")
    editor = Open(run, "EditSequence", "Sequence Editor")
    a11y.Atspi.Table.add_row_selection(Lists(editor)[0], 0)
    Press(editor, "Record...")
    title = "Record Keys"
    dialog = Wait(run, title)
    Focus(title)
    chords = ["ctrl+alt+x", "shift+F5", "Escape"]  # Escape too is a chord while recording
    for chord in chords:
        xkeys.Press([chord])
    recorded = Lists(dialog)[0]
    if not driver.WaitUntil(lambda: Rows(recorded) == 3):
        raise driver.Failure("Record listed %d chords, not 3" % Rows(recorded))
    # The keyboard's way out: after the pause recording stops, and then Return means OK.
    stopped = run.texts["RecordingStopped"]
    labels = a11y.Find(dialog, a11y.Atspi.Role.LABEL)
    if not driver.WaitUntil(lambda: any(a11y.Text(label) == stopped for label in labels)):
        raise driver.Failure("recording did not stop after a pause")
    xkeys.Press(["Return"])
    Gone(run, title)
    if Rows(recorded := Lists(editor)[1]) != 3:
        raise driver.Failure("the sequence lists %d keys, not the 3 recorded" % Rows(recorded))
    Press(editor, "OK")
    Gone(run, "Sequence Editor")
    run.Do("press", "ctrl+alt+a ctrl+alt+b")
    run.Do("press", " ".join(chords))
    run.Do("runs", "1")


def Clipboard():
    """The clipboard's text, read as another program reads it."""
    script = ("import gi, sys; gi.require_version('Gtk', '3.0'); gi.require_version('Gdk', '3.0'); "
              "from gi.repository import Gdk, Gtk; "
              "text = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).wait_for_text(); "
              "sys.stdout.buffer.write((text or '').encode())")
    done = subprocess.run(["/usr/bin/python3", "-c", script], capture_output=True, timeout=10)
    if done.returncode != 0:
        raise driver.Failure("cannot read the clipboard: %s" % done.stderr[-300:])
    return done.stdout.decode()


def Sheet(run):
    """The sheet lists the sequence under its first chord, narrows to nothing for a filter that
    matches none and back, and Ctrl+C copies what it shows; a second choice brings it back, not a
    second sheet, and the chords still run while it is open."""
    run.Do("start", "")
    run.Do("icon", "idle")
    heading = "All Sequences"
    sheet = Open(run, "AllSequences", heading)
    rows = Lists(sheet)[0]
    if not driver.WaitUntil(lambda: Rows(rows) == 2):
        raise driver.Failure("the sheet shows %d rows, not a heading and a member" % Rows(rows))
    field = One(sheet, a11y.Atspi.Role.TEXT, "Filter:")
    a11y.SetText(field, "no such sequence")
    if not driver.WaitUntil(lambda: Rows(rows) == 0):
        raise driver.Failure("the filter left %d rows" % Rows(rows))
    a11y.SetText(field, "TWO")
    if not driver.WaitUntil(lambda: Rows(rows) == 2):
        raise driver.Failure("the filter by name left %d rows" % Rows(rows))
    # Ctrl+C in the list copies as the button does (the button is a plain click).
    Focus(heading)
    a11y.Atspi.Component.grab_focus(rows)
    xkeys.Press(["ctrl+c"])
    # The editors' texts, one line a row; GTK hands text on with the desktop's line ends.
    wanted = ("[C][A]+A\t(1 sequence)\n\t[C][A]+A, [C][A]+B\ttwo\t[Cmd=\"%s\"] "
              "[Param=\"\"%s\"\"] [Dir=\"%s\"]\n" % (driver.MARK, run.marker, run.run_folder))
    if not driver.WaitUntil(lambda: Clipboard() == wanted):
        raise driver.Failure("the clipboard holds %r, not %r" % (Clipboard(), wanted))
    run.Menu().Click(tray.Plain(run.texts["AllSequences"]))
    time.sleep(0.5)
    sheets = [w for w in run.app._Windows() if w is not None and w.get_name() == heading]
    if len(sheets) != 1:
        raise driver.Failure("a second choice showed %d sheets" % len(sheets))
    run.Do("press", "ctrl+alt+a ctrl+alt+b")
    run.Do("runs", "1")
    Press(sheet, "Close")
    Gone(run, heading)


def main():
    sys.argv += ["--group", "en"]
    options = driver.ParseOptions()
    keyboard = xkeys.Keyboard()
    failed = 0
    for name, check in (("editor_record_three_chords_saved_and_run", Record),
                        ("editor_sheet_filtered_and_copied", Sheet)):
        if options.only and options.only != name:
            continue
        scenario = {"name": name, "files": FILES, "group": "en", "held": [], "steps": []}
        run = driver.Run(options, scenario, keyboard, tray.Log(options.tray_log))
        reason = ""
        try:
            run.Prepare()
            check(run)
        except Exception as error:
            reason = str(error) or type(error).__name__
        ending = run.End()
        if ending:
            reason = reason + " (at the end: %s)" % ending if reason else "at the end: " + ending
        print("FAIL %s: %s" % (name, reason) if reason else "PASS " + name, flush=True)
        failed += 1 if reason else 0
    print("END editor", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
