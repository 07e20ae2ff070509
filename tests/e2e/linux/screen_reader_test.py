#!/usr/bin/python3
"""What a screen reader reads of the Linux program's dialogs over the accessibility bus: each
list's rows as the screen shows them after a change (a filter typed into the sheet, a row moved
in the sequence editor), and each dialog opened twice and read whole, with no GLib critical or
warning on Pavix's error output (the driver checks that at every scenario's end). Runs inside the
same session as driver.py (run.sh starts it) and prints "PASS name" or "FAIL name: reason" for
each.

  screen_reader_test.py <the driver's options, without --group>
"""

import sys

import driver
import editors
import tray
import xkeys

# The data files of this table scenario: "run marker" (A B), "exit" (X) and "lock" (A C).
FILES = "all_sequences_sheet_filters_copies_and_runs_beside_the_engine"
RUN_MARKER = "[Cmd=\"{mark}\"] [Param=\"\"{marker}\"\"] [Dir=\"{run-folder}\"]"

ROWS = """
    menu sheet
    dialog SequenceSheet
    row SequenceSheet.SheetList 0 {ctrl+alt+a}\\t(2 sequences)\\t
    row SequenceSheet.SheetList 1 {ctrl+alt+a}, {ctrl+alt+b}\\trun marker\\t%s
    set SequenceSheet.FilterEdit exit
    rows SequenceSheet.SheetList 2
    row SequenceSheet.SheetList 0 {ctrl+alt+x}\\t(1 sequence)\\t
    row SequenceSheet.SheetList 1 {ctrl+alt+x}\\texit\\tExit Pavix
    set SequenceSheet.FilterEdit lock
    row SequenceSheet.SheetList 0 {ctrl+alt+a}\\t(1 sequence)\\t
    row SequenceSheet.SheetList 1 {ctrl+alt+a}, {ctrl+alt+c}\\tlock\\tDo nothing
    click IDCANCEL
    closed
    menu edit
    dialog SequenceEditor
    row SequenceEditor.SequenceList 0 run marker
    row SequenceEditor.SequenceList 1 exit
    select SequenceEditor.SequenceList 1
    click SequenceEditor.SequenceUp
    row SequenceEditor.SequenceList 0 exit
    row SequenceEditor.SequenceList 1 run marker
    click IDCANCEL
    closed
""" % RUN_MARKER

# Every dialog, twice: the configuration, the sheet, the sequence editor and the four it opens.
EACH_ONCE = """
    menu configuration
    dialog ConfigDialog
    read
    click IDCANCEL
    closed
    menu sheet
    dialog SequenceSheet
    set SequenceSheet.FilterEdit marker
    read
    click IDCANCEL
    closed
    menu edit
    dialog SequenceEditor
    select SequenceEditor.SequenceList 0
    read
    click SequenceEditor.KeyAdd
    dialog HotkeyEditor
    click HotkeyEditor.KeyTypeButton
    dialog KeyCapture
    read
    click IDCANCEL
    closed
    read
    click IDCANCEL
    closed
    click SequenceEditor.CommandAdd
    dialog CommandEditor
    read
    click IDCANCEL
    closed
    click SequenceEditor.KeyRecord
    dialog RecordDialog
    read
    click IDCANCEL
    closed
    click IDCANCEL
    closed
"""

SCENARIOS = (("reader_rows_follow_the_sheet_filter_and_the_editor", ROWS),
             ("reader_dialogs_opened_twice_read_whole", EACH_ONCE * 2))


def Steps(text):
    steps = [("start", ""), ("icon", "idle")]
    steps += [tuple(line.strip().split(" ", 1) + [""])[:2] for line in text.splitlines()
              if line.strip()]
    return [(number + 1, verb, rest) for number, (verb, rest) in enumerate(steps)]


def main():
    sys.argv += ["--group", "en"]
    options = driver.ParseOptions()
    ids = editors.ControlIds(options.table_tool, options.table)
    log = tray.Log(options.tray_log)
    passed = True
    for name, text in SCENARIOS:
        if options.only not in ("", name):
            continue
        scenario = {"name": name, "files": FILES, "group": "en", "held": [], "steps": Steps(text)}
        reason = driver.RunScenario(options, scenario, xkeys.Keyboard(), log, ids)
        print("FAIL %s: %s" % (name, reason) if reason else "PASS " + name, flush=True)
        passed = passed and not reason
    print("END reader", flush=True)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
