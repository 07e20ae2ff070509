#!/usr/bin/python3
"""The Linux program's editors, driven the way a screen reader's user drives them (the
accessibility bus) with keys typed through XTEST: the configuration dialog's defaults saved byte for
byte, Cancel writing nothing, Export and Import through GTK's file choosers, the backup of a file the editor could not read,
and a sequence built through the sequence, hotkey, key capture and
command editors saved byte for byte and then run by its chords; three chords typed into Record
and run, and the All Sequences sheet filtered and copied. Runs inside the same session as
driver.py (run.sh starts it) and prints "PASS name" or "FAIL name: reason" per check.

  editor_test.py <the driver's options, without --group>
"""

import os
import subprocess
import sys
import time

import a11y
import driver
import tray
import xkeys

# A table scenario whose only sequence is "two": ctrl+alt+a ctrl+alt+b, the marker command.
FILES = "second_start_exits_at_once"
SOUNDS = ("match", "mismatch", "abort", "timeout", "enable", "disable")


def Read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except OSError:
        return None


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


def Field(dialog, name):
    return One(dialog, a11y.Atspi.Role.TEXT, name)


def Press(dialog, name, index=0):
    a11y.Click(Button(dialog, name, index))


def ExpectedConfig(run, timeout, path):
    folder = os.path.join(run.config, "pavix")
    sounds = [os.path.join(folder, "se", name + ".wav") for name in SOUNDS]
    subprocess.run([run.options.table_tool, run.options.table, "--config", path, str(timeout)]
                   + sounds, check=True)
    return Read(path)


def ConfigDialog(run):
    title = "Pavix Configuration"
    config = os.path.join(run.config, "pavix", "Config.dat")
    os.remove(config)
    run.Do("start", "")
    run.Do("icon", "idle")
    dialog = Open(run, "Configuration", title)
    timeout = Field(dialog, "Timeout(in mili seconds)")
    if a11y.Text(timeout) != "5000":
        raise driver.Failure("the time-out shows \"%s\", not 5000" % a11y.Text(timeout))
    Press(dialog, "OK")
    Gone(run, title)
    expected = ExpectedConfig(run, 5000, os.path.join(run.folder, "expected.dat"))
    if not driver.WaitUntil(lambda: Read(config) == expected):
        raise driver.Failure("OK wrote %r" % (Read(config)[:64] if Read(config) else None,))
    # A changed time-out: Cancel keeps the file as it was, OK writes it.
    for button, written in (("Cancel", expected),
                            ("OK", ExpectedConfig(run, 1234, run.folder + "/changed.dat"))):
        dialog = Open(run, "Configuration", title)
        a11y.SetText(Field(dialog, "Timeout(in mili seconds)"), "1234")
        Press(dialog, button)
        Gone(run, title)
        if Read(config) != written:
            raise driver.Failure("%s left Config.dat not as expected" % button)


def Capture(run, chord):
    """Adds a key through the hotkey editor and the key capture box, typing the chord."""
    editor = Wait(run, "Hotkey Editor")
    Press(editor, "Key Type")
    capture = Wait(run, "Type a Key to input")
    subprocess.run(["xdotool", "search", "--name", "^Type a Key to input$", "windowfocus",
                    "--sync"], capture_output=True)
    field = One(capture, a11y.Atspi.Role.TEXT, "Type a Key to input")
    field.grab_focus()
    xkeys.Press([chord])
    wanted = chord.replace("ctrl", "Ctrl").replace("alt", "Alt").replace("+", " + ").upper()
    if not driver.WaitUntil(lambda: a11y.Text(field).upper() == wanted):
        raise driver.Failure("the capture shows \"%s\" for %s" % (a11y.Text(field), chord))
    Press(capture, "OK")
    Gone(run, "Type a Key to input")
    Press(editor, "OK")
    Gone(run, "Hotkey Editor")


def SequenceEditor(run):
    expected = Read(os.path.join(run.config, "pavix", "Sequence.dat"))
    sequences = os.path.join(run.config, "pavix", "Sequence.dat")
    os.remove(sequences)
    run.Do("start", "")
    run.Do("icon", "idle")
    editor = Open(run, "EditSequence", "Sequence Editor")
    Press(editor, "Add", 0)
    a11y.SetText(Field(editor, "Sequence Name"), "two")
    for chord in ("ctrl+alt+a", "ctrl+alt+b"):
        Press(editor, "Add", 1)
        Capture(run, chord)
    Press(editor, "Add", 2)
    command = Wait(run, "Command Editor")
    a11y.Click(One(command, a11y.Atspi.Role.RADIO_BUTTON, "External"))
    a11y.SetText(Field(command, "File Path"), driver.MARK)
    a11y.SetText(Field(command, "Parameter"), "\"%s\"" % run.marker)
    a11y.SetText(Field(command, "Directory"), run.run_folder)
    Press(command, "OK")
    Gone(run, "Command Editor")
    Press(editor, "OK")
    Gone(run, "Sequence Editor")
    if not driver.WaitUntil(lambda: Read(sequences) == expected):
        raise driver.Failure("Sequence.dat is not the sequence built")
    run.Do("press", "ctrl+alt+a ctrl+alt+b")
    run.Do("runs", "1")


def Choose(run, title, path):
    """Names the file in GTK's file chooser by typing its path, as a user can."""
    Wait(run, title)
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowfocus", "--sync"],
                   capture_output=True)
    subprocess.run(["xdotool", "key", "--delay", "50", "ctrl+l", "ctrl+a"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "5", path], check=True)
    subprocess.run(["xdotool", "key", "Return"], check=True)
    Gone(run, title)


def ExportImport(run):
    """Export writes the sequences as text; after they are deleted, Import brings them back and
    OK saves exactly the file there was."""
    sequences = os.path.join(run.config, "pavix", "Sequence.dat")
    original = Read(sequences)
    text = os.path.join(run.folder, "out.toml")
    run.Do("start", "")
    run.Do("icon", "idle")
    editor = Open(run, "EditSequence", "Sequence Editor")
    Press(editor, "Export...")
    Choose(run, run.texts["ExportTitle"], text)
    written = driver.WaitUntil(lambda: Read(text))
    if not written or b"two" not in written:
        raise driver.Failure("Export wrote %r" % (written,))
    lists = a11y.Find(editor, a11y.Atspi.Role.TREE_TABLE) + a11y.Find(editor, a11y.Atspi.Role.TABLE)
    a11y.Atspi.Table.add_row_selection(lists[0], 0)
    Press(editor, "Delete", 0)
    listed = lambda: a11y.Atspi.Table.get_n_rows(lists[0]) == 1
    if not driver.WaitUntil(lambda: not listed()):
        raise driver.Failure("Delete left the sequence in the list")
    Press(editor, "Import...")
    Choose(run, run.texts["ImportTitle"], text)
    if not driver.WaitUntil(listed):
        raise driver.Failure("Import did not bring the sequence back")
    Press(editor, "OK")
    Gone(run, "Sequence Editor")
    if not driver.WaitUntil(lambda: Read(sequences) == original):
        raise driver.Failure("the imported sequences were not saved as they were")


def Backup(run):
    """A Sequence.dat the editor cannot read to its end is reported, and OK keeps it as
    Sequence.dat.bak before writing what was read."""
    sequences = os.path.join(run.config, "pavix", "Sequence.dat")
    original = Read(sequences)
    run.Do("start", "")
    run.Do("icon", "idle")
    damaged = original + b"\x05\x00\x00"  # a record cut short after the good one
    with open(sequences, "wb") as file:
        file.write(damaged)
    run.Menu().Click(tray.Plain(run.texts["EditSequence"]))
    boxes = driver.WaitUntil(run.app.Boxes)
    if not boxes or len(boxes[0][2]) != 1:
        raise driver.Failure("no box with OK alone reported the damaged file: %s" % (boxes,))
    a11y.Click(boxes[0][2][0])
    editor = Wait(run, "Sequence Editor")
    Press(editor, "OK")
    Gone(run, "Sequence Editor")
    if not driver.WaitUntil(lambda: Read(sequences + ".bak") == damaged):
        raise driver.Failure("OK kept no backup of the damaged file")
    if Read(sequences) != original:
        raise driver.Failure("OK did not write the sequence that was read")


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
    for name, check in (("editor_config_defaults_saved_and_cancel_writes_nothing", ConfigDialog),
                        ("editor_sequence_built_saved_and_run", SequenceEditor),
                        ("editor_export_import_round_trip", ExportImport),
                        ("editor_backup_of_a_damaged_file", Backup),
                        ("editor_record_three_chords_saved_and_run", Record),
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
