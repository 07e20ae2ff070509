#!/usr/bin/python3
"""Pavix through the desktop portal on a headless KDE session (kde_session.sh), with the same
N two-chord sequences as the X11 bench: the time from its start until the portal answered the
bind of its chords (the Response of the request that carried them, as a monitor of the session
bus timestamps it), and the time from the last chord's key going down in KWin (fake input) to the
command's process starting. Run by bench/linux/run.sh inside the session, with the tray host
already up.

  portal_bench.py --pavix <pavix> --table-tool <pavix_e2e_table> --stamp <stamp> --out <folder>
                  --tray-log <log> [--sizes 10,1000,100000] [--presses 20] [--starts 9]

Prints a Markdown table and writes it to <out>/bench-portal.md.
"""

import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e", "wayland"))
import bench  # noqa: E402
import kde_driver  # noqa: E402

RESPONSE = re.compile(r"^signal time=([0-9.]+) .* path=/org/freedesktop/portal/desktop/request/"
                      r"[^/]+/pavix[^;]*; interface=org.freedesktop.portal.Request; member=Response")
ASKED = re.compile(r"^method call time=([0-9.]+) .*interface=org.freedesktop.portal.GlobalShortcuts; "
                   r"member=(CreateSession|BindShortcuts)")
ACTIVATED = re.compile(r"^signal time=([0-9.]+) .*interface=org.freedesktop.portal.GlobalShortcuts; "
                       r"member=Activated")


def Signals(monitor, pattern):
    """The monitor's times (wall clock, s) of the signals that match."""
    with open(monitor) as lines:
        return [float(found.group(1)) for found in map(pattern.match, lines) if found]


class Keys:
    """The X11 bench's Chord, typed through KWin instead."""

    def __init__(self, keyboard):
        self.keyboard = keyboard
        self.downs = []  # when each timed chord's key went down, by the wall clock

    def Chord(self, chord, before_key=None):
        down = self.keyboard.Press([chord])
        if before_key is not None:
            self.downs.append(down + time.time() - time.monotonic())
        return down

    def ToActivated(self, monitor):
        """Seconds from each timed key going down to the portal's Activated signal."""
        activated = Signals(monitor, ACTIVATED)
        return [min([at for at in activated if at > down], default=down) - down
                for down in self.downs]


class PortalPavix(bench.Pavix):
    def __init__(self, *arguments, monitor):
        super().__init__(*arguments)
        self.monitor = monitor
        self.portal_share = []
        self.own_share = []  # from the start to Pavix's request

    def Answers(self):
        return Signals(self.monitor, RESPONSE)

    def Start(self, keyboard, recorder=None):
        """Seconds from the start until the portal's first answer to this Pavix that came after
        it; then its icon is up and the portal holds its first and last chords. Of that time,
        what the portal took from Pavix's request to its answer goes to `portal_share`, and what
        came before the request to `own_share`: the figure to hold against the X11 start-up."""
        seen = len(self.Answers())
        asked = len(Signals(self.monitor, ASKED))
        start = time.time()  # the monitor stamps by the wall clock
        self.process = subprocess.Popen(self.Command(), env=self.Environment(), cwd=self.folder,
                                        stdin=subprocess.DEVNULL,
                                        stdout=open(os.path.join(self.folder, "out.txt"), "w"),
                                        stderr=subprocess.STDOUT)
        if not bench.WaitFor(lambda: len(self.Answers()) > seen, self.options.cap) or \
                self.Settled(time.monotonic()) is None:
            raise RuntimeError("Pavix got no answer from the portal within %d s" % self.options.cap)
        for chord in (self.sequences[0][0], self.sequences[-1][0]):
            if not keyboard.IsHeld(chord):
                raise RuntimeError("the portal does not hold %s for Pavix" % chord)
        answered = self.Answers()[seen]
        request = Signals(self.monitor, ASKED)[asked]
        self.portal_share.append(answered - request)
        self.own_share.append(request - start)
        return answered - start


def MeasureSize(size, options, keyboard, monitor):
    daemon = PortalPavix("Pavix", os.path.join(options.out, "portal-%d" % size),
                         bench.Sequences(size), options, keyboard, monitor=monitor)
    daemon.Write()
    startups = [bench.StartAndStop(daemon, keyboard, None) for _ in range(options.starts - 1)]
    keys = Keys(keyboard)
    row = bench.Measure(daemon, startups, options, keyboard, keys, None)
    row["activated"] = keys.ToActivated(monitor)
    row["portal share"] = daemon.portal_share
    row["own share"] = daemon.own_share
    print("portal %d: answered after %s ms, press %s ms" % (size, bench.Ms(row["startup"]),
                                                            bench.Ms(row["press"])), flush=True)
    return row


def Report(rows):
    lines = ["| sequences | start until the portal answered the bind, median (ms) [min–max, runs] "
             "| of which Pavix: start to its request, median (ms) "
             "| of which the portal: request to answer, median (ms) "
             "| last key down in KWin to command, median (ms) [min–max, runs, lost] "
             "| of which the portal: key down to its Activated, median (ms) "
             "| idle CPU (%) | resident memory (MiB) |", "|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for row in rows:
        done = [p for p in row["presses"] if p is not None]
        lost = len(row["presses"]) - len(done)
        lines.append("| %d | %.1f [%.1f–%.1f, %d] | %s | %s | %s [%s–%s, %d runs%s] | %s | %.3f | %.1f |" % (
            row["size"], row["startup"] * 1000, min(row["startups"]) * 1000,
            max(row["startups"]) * 1000, len(row["startups"]),
            bench.Ms(statistics.median(row["own share"])),
            bench.Ms(statistics.median(row["portal share"])), bench.Ms(row["press"]),
            bench.Ms(min(done)) if done else "—", bench.Ms(max(done)) if done else "—",
            len(done), ", %d lost" % lost if lost else "", bench.Ms(bench.Median(row["activated"])),
            row["idle"] * 100,
            row["memory"] / 1024))
    return "\n".join(lines)


def main():
    parser = bench.Options("10,1000,100000")
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--starts", type=int, default=9)
    parser.add_argument("--press-cap", type=float, default=60)
    options = parser.parse_args()
    os.makedirs(options.out, exist_ok=True)
    monitor = os.path.join(options.out, "portal-answers.txt")
    watcher = subprocess.Popen(["dbus-monitor", "--session", "type='signal',interface="
                                "'org.freedesktop.portal.Request',member='Response'",
                                "type='signal',interface='org.freedesktop.portal.GlobalShortcuts',"
                                "member='Activated'",
                                "type='method_call',interface='org.freedesktop.portal."
                                "GlobalShortcuts'"],
                               stdout=open(monitor, "w"), stderr=subprocess.DEVNULL)
    try:
        time.sleep(0.3)  # the monitor's match is in place
        keyboard = kde_driver.Keyboard(os.environ["PAVIX_FAKE_KEYS"])
        rows = [MeasureSize(int(size), options, keyboard, monitor)
                for size in options.sizes.split(",")]
    finally:
        watcher.terminate()
    bench.Publish(Report(rows), options.out, "bench-portal.md")


if __name__ == "__main__":
    main()
