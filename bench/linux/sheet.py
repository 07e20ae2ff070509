#!/usr/bin/python3
"""The All Sequences sheet of the running Linux program with N sequences, timed from outside:
from the tray menu's click to the program going quiet with the sheet shown, then each change of
the filter (set through the accessibility bus, as the end-to-end suite sets texts) to the program
going quiet again: changes that keep every row, that empty the list, and that bring every row
back. Run by bench/linux/run.sh when BENCH_LINUX_SHEET is set, which provides the display, the
session bus with a tray and the table tool. "Quiet" is QUIET seconds without CPU time, so the
wall figures include whatever else the program does meanwhile (its text cursor blinks).

  sheet.py --pavix <pavix> --table-tool <pavix_e2e_table> --stamp <stamp> --out <folder>
           --tray-log <log> [--sizes 1000,100000]

Prints a Markdown table and writes it to <out>/bench-sheet.md.
"""

import os
import sys
import time

import bench

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e", "linux"))
import a11y  # noqa: E402
import tray  # noqa: E402
import xkeys  # noqa: E402

# The list's rows and cells are not walked: at 100,000 rows that would take minutes.
SKIPPED = (a11y.Atspi.Role.TABLE, a11y.Atspi.Role.TREE_TABLE, a11y.Atspi.Role.TREE,
           a11y.Atspi.Role.LIST)

TITLE = "All Sequences"
MENU_LABEL = "All Sequences…"
# The filter after each key, and what it leaves: "s", "st" keep every sequence (each runs the
# stamp command), "#" is in no text and empties the list, and taking it away (None) brings every
# row back.
KEYS = [("s", "all rows kept"), ("t", "all rows kept"), ("#", "list emptied"),
        (None, "all rows back")]


def CpuSeconds(pid):
    """As bench.CpuSeconds, asked again when a thread ends while it is read."""
    while True:
        try:
            return bench.CpuSeconds(pid)
        except FileNotFoundError:
            continue


def Quiet(process, since):
    """(wall seconds from `since` to the last CPU time used before a quiet spell, CPU seconds
    used since `since`)."""
    start_cpu = CpuSeconds(process.pid)
    used, changed = start_cpu, time.monotonic()
    while time.monotonic() - changed < bench.QUIET:
        time.sleep(0.002)
        now = CpuSeconds(process.pid)
        if now != used:
            used, changed = now, time.monotonic()
    return max(changed - since, 0.0), used - start_cpu


def Below(node, roles, name=None):
    """The first control of one of `roles` (named `name` where given) below `node`, passing by
    lists."""
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is None or child.get_role() in SKIPPED:
            continue
        if child.get_role() in roles and name in (None, child.get_name()):
            return child
        found = Below(child, roles, name)
        if found is not None:
            return found
    return None


def MeasureSize(size, options, keyboard, recorder, rounds):
    pavix = bench.Pavix("pavix", os.path.join(options.out, "sheet-%d" % size),
                        bench.Sequences(size), options, keyboard)
    pavix.Write()
    pavix.Start(keyboard, recorder)
    app = a11y.Application(pavix.process.pid)
    rows = []
    try:
        for _ in range(rounds):
            log = tray.Log(options.tray_log)
            item = next(e for e in log.Events()
                        if e["event"] == "registered" and e["pid"] == pavix.process.pid)
            clicked = time.monotonic()
            tray.Menu(item["service"], item["menu"]).Click(MENU_LABEL)
            rows.append(("open",) + Quiet(pavix.process, clicked))
            window = bench.WaitFor(lambda: a11y.Dialog(app, TITLE), 10) and \
                a11y.Dialog(app, TITLE)
            field = Below(window, (a11y.Atspi.Role.TEXT, a11y.Atspi.Role.ENTRY))
            Quiet(pavix.process, time.monotonic())
            text = ""
            for key, what in KEYS:
                text = text[:-1] if key is None else text + key
                typed = time.monotonic()
                a11y.SetText(field, text)
                rows.append(("\"%s\" (%s)" % (text, what),) + Quiet(pavix.process, typed))
            a11y.Click(Below(window, (a11y.Atspi.Role.PUSH_BUTTON,), "Close"))
            Quiet(pavix.process, time.monotonic())
    finally:
        pavix.Stop()
    return [(size,) + row for row in rows]


def Report(rows):
    lines = ["| Sequences | Step | Runs | Wall, median (ms) | Min | Max | CPU, median (ms) |",
             "|---|---|---|---|---|---|---|"]
    for size in sorted({row[0] for row in rows}):
        steps = []
        for row in rows:
            if row[0] == size and row[1] not in steps:
                steps.append(row[1])
        for step in steps:
            walls = [row[2] for row in rows if row[:2] == (size, step)]
            cpus = [row[3] for row in rows if row[:2] == (size, step)]
            lines.append("| {:,} | {} | {} | {} | {} | {} | {} |".format(
                size, step, len(walls), bench.Ms(bench.Median(walls)), bench.Ms(min(walls)),
                bench.Ms(max(walls)), bench.Ms(bench.Median(cpus))))
    return "\n".join(lines)


def main():
    parser = bench.Options("1000,100000")
    parser.add_argument("--rounds", type=int,
                        default=int(os.environ.get("BENCH_LINUX_SHEET_ROUNDS", "5")))
    options = parser.parse_args()
    keyboard = xkeys.Keyboard()
    recorder = bench.GrabRecorder()
    os.makedirs(options.out, exist_ok=True)
    rows = []
    for size in [int(s) for s in options.sizes.split(",")]:
        rows += MeasureSize(size, options, keyboard, recorder, options.rounds)
    bench.Publish(Report(rows), options.out, "bench-sheet.md")


if __name__ == "__main__":
    main()
