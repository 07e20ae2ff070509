#!/usr/bin/python3
"""Pavix and sxhkd side by side on one X server, with the same N two-chord sequences each:
start-up until the grabs are in place, the time from the last chord's key press (XTEST) to the
command's process starting, idle CPU and resident memory. Run by bench/linux/run.sh, which
provides the display, the session bus with a tray, the stamp command and the table reader.

  bench.py --pavix <pavix> --table-tool <pavix_e2e_table> --stamp <stamp> --out <folder>
           [--sizes 10,1000,100000]

Prints a Markdown table and writes it to <out>/bench-linux.md.
"""

import argparse
import json
import ctypes
import ctypes.util
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e", "linux"))
import xkeys  # noqa: E402

MODIFIER_SETS = [("ctrl",), ("alt",), ("shift",), ("ctrl", "alt"), ("ctrl", "shift"),
                 ("alt", "shift"), ("ctrl", "alt", "shift")]
KEYS = [chr(c) for c in range(ord("a"), ord("z") + 1)] + [str(d) for d in range(10)] + \
    ["F%d" % n for n in range(1, 13)]
CHORDS = ["+".join(mods + (key,)) for mods in MODIFIER_SETS for key in KEYS]  # 336
MODIFIER_KEYSYMS = {"ctrl": "Control_L", "alt": "Alt_L", "shift": "Shift_L"}
BASELINE_CHORD = ("ctrl", "Pause")  # in no sequence: the X server's own round trip
IDLE_SECONDS = 5.0
QUIET = 0.3  # a program that used no CPU time for this long has finished starting
SETTLE = 0.02  # after the first chord, before asking whether it has been taken


def Sequences(count):
    """count distinct two-chord sequences; the last one is the measured one."""
    return [(CHORDS[i // len(CHORDS)], CHORDS[i % len(CHORDS)]) for i in range(count)]


class Xtest:
    """Key presses sent through the XTEST extension on a connection of our own, and our own grab
    to time the server's round trip for a press."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.t = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong,
                                    ctypes.c_int, ctypes.c_int, ctypes.c_int]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.t.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                             ctypes.c_ulong]
        self.display = self.x.XOpenDisplay(None)

    def Code(self, keysym):
        return self.x.XKeysymToKeycode(self.display, self.x.XStringToKeysym(keysym.encode()))

    def Key(self, code, down):
        self.t.XTestFakeKeyEvent(self.display, code, 1 if down else 0, 0)

    def Chord(self, chord, before_key=None):
        """Presses and releases a chord; before_key() runs right before the key goes down."""
        *mods, key = chord.split("+") if isinstance(chord, str) else chord
        mod_codes = [self.Code(MODIFIER_KEYSYMS[m]) for m in mods]
        for code in mod_codes:
            self.Key(code, True)
        self.x.XSync(self.display, 0)
        stamp = before_key() if before_key else None
        self.Key(self.Code(key), True)
        self.x.XFlush(self.display)
        self.Key(self.Code(key), False)
        for code in reversed(mod_codes):
            self.Key(code, False)
        self.x.XSync(self.display, 0)
        return stamp

    def RoundTrips(self, count):
        """Times from sending a press to our own grab receiving it, in seconds."""
        mods, key = BASELINE_CHORD
        code = self.Code(key)
        control = 1 << 2
        self.x.XGrabKey(self.display, code, control, self.x.XDefaultRootWindow(self.display), 0,
                        1, 1)
        self.x.XSync(self.display, 0)
        event = ctypes.create_string_buffer(192)
        times = []
        for _ in range(count):
            while self.x.XPending(self.display):
                self.x.XNextEvent(self.display, event)
            ctrl = self.Code(MODIFIER_KEYSYMS[mods])
            self.Key(ctrl, True)
            self.x.XSync(self.display, 0)
            start = time.monotonic()
            self.Key(code, True)
            self.x.XFlush(self.display)
            while True:
                self.x.XNextEvent(self.display, event)
                if ctypes.c_int.from_buffer(event).value == 2:  # KeyPress
                    break
            times.append(time.monotonic() - start)
            self.Key(code, False)
            self.Key(ctrl, False)
            self.x.XSync(self.display, 0)
            time.sleep(0.005)
        return times


def CpuSeconds(pid):
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def ResidentKiB(pid):
    with open("/proc/%d/status" % pid) as file:
        for line in file:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def Stamps(path):
    if not os.path.exists(path):
        return []
    with open(path) as file:
        return [int(line) / 1e9 for line in file.read().split()]


class Daemon:
    """One program under measurement with its N sequences."""

    def __init__(self, name, folder, sequences, options, keyboard):
        self.name, self.folder, self.sequences, self.options = name, folder, sequences, options
        self.keyboard = keyboard
        self.stamps = os.path.join(folder, "stamps.txt")
        os.makedirs(folder, exist_ok=True)

    def Write(self):
        raise NotImplementedError

    def Command(self):
        raise NotImplementedError

    def Environment(self):
        return dict(os.environ)

    def Start(self, keyboard):
        """Starts the program; returns the seconds until the probed chords are all grabbed."""
        probes = [self.sequences[0][0], self.sequences[-1][0]]
        start = time.monotonic()
        self.process = subprocess.Popen(self.Command(), env=self.Environment(), cwd=self.folder,
                                        stdin=subprocess.DEVNULL,
                                        stdout=open(os.path.join(self.folder, "out.txt"), "w"),
                                        stderr=subprocess.STDOUT)
        waiting = list(probes)
        while waiting:
            if self.process.poll() is not None:
                raise RuntimeError("%s ended during start-up" % self.name)
            if time.monotonic() - start > self.options.cap:
                raise RuntimeError("%s did not grab its chords within %d s" % (self.name,
                                                                                self.options.cap))
            waiting = [chord for chord in waiting if not keyboard.IsHeld(chord)]
            if waiting:
                time.sleep(0.005)
        return time.monotonic() - start

    def Press(self, xtest, repetitions):
        """Seconds from the last key press to the command starting, per repetition."""
        first, second = self.sequences[-1]
        times = []
        for _ in range(repetitions):
            before = len(Stamps(self.stamps))
            mark = self.Mark()
            xtest.Chord(first)
            time.sleep(SETTLE)
            if not WaitFor(lambda: self.Seeking(mark), self.options.cap):
                times.append(None)
                break
            pressed = xtest.Chord(second, time.monotonic)
            deadline = time.monotonic() + self.options.cap
            while len(Stamps(self.stamps)) <= before and time.monotonic() < deadline:
                time.sleep(0.001)
            stamps = Stamps(self.stamps)
            if len(stamps) <= before:
                times.append(None)
                break
            times.append(stamps[-1] - pressed)
            time.sleep(0.1)
        return times

    def Started(self):
        """Whether the program has finished starting (after its grabs are in place): it has
        used no CPU time for a while."""
        used = CpuSeconds(self.process.pid)
        time.sleep(QUIET)
        return CpuSeconds(self.process.pid) == used

    def Mark(self):
        """What Seeking compares with: the program's state before the first chord."""
        return None

    def Seeking(self, mark):
        """Whether the program has taken the first chord and waits for the second."""
        raise NotImplementedError

    def Idle(self):
        before = CpuSeconds(self.process.pid)
        time.sleep(IDLE_SECONDS)
        return (CpuSeconds(self.process.pid) - before) / IDLE_SECONDS

    def Stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def WaitFor(done, cap):
    deadline = time.monotonic() + cap
    while not done():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.002)
    return True


class Pavix(Daemon):
    """Seeking shows in its tray icon, as the tray host logs it."""

    def Pictures(self):
        with open(self.options.tray_log, encoding="utf-8") as file:
            pictures = [json.loads(line) for line in file if '"picture"' in line]
        return [p["picture"] for p in pictures if p["service"] == self.Service()]

    def Started(self):
        return bool(self.Pictures()) and Daemon.Started(self)

    def Mark(self):
        return len(self.Pictures())

    def Seeking(self, mark):
        pictures = self.Pictures()
        return len(pictures) > mark and pictures[-1] != pictures[0]

    def Service(self):
        if getattr(self, "service", None) is None:
            with open(self.options.tray_log, encoding="utf-8") as file:
                for line in file:
                    event = json.loads(line)
                    if event["event"] == "registered" and event["pid"] == self.process.pid:
                        self.service = event["service"]
        return getattr(self, "service", None)

    def Write(self):
        table = os.path.join(self.folder, "table.txt")
        with open(table, "w") as file:
            file.write("scenario bench\n")
            for index, (first, second) in enumerate(self.sequences):
                file.write("    sequence s%d | %s %s | mark\n" % (index, first, second))
        config = os.path.join(self.folder, "config", "pavix")
        os.makedirs(config, exist_ok=True)
        subprocess.run([self.options.table_tool, table, "--files", "bench", config,
                        self.options.stamp, self.stamps, self.folder], check=True)

    def Command(self):
        return [self.options.pavix]

    def Environment(self):
        return dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.folder, "config"))


class Sxhkd(Daemon):
    """In the middle of a chain it grabs the chain's next chords."""

    def Seeking(self, mark):
        return self.keyboard.IsHeld(self.sequences[-1][1])

    def Write(self):
        self.config = os.path.join(self.folder, "sxhkdrc")
        with open(self.config, "w") as file:
            for first, second in self.sequences:
                file.write("%s ; %s\n\t%s '%s'\n" % (first.replace("+", " + "),
                                                      second.replace("+", " + "),
                                                      self.options.stamp, self.stamps))

    def Command(self):
        return ["sxhkd", "-c", self.config]

    def Environment(self):
        return dict(os.environ, SXHKD_SHELL="/bin/sh")


def Median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def Ms(value):
    return "—" if value is None else "%.2f" % (value * 1000)


def Measure(kind, name, size, options, keyboard, xtest):
    daemon = kind(name, os.path.join(options.out, "%s-%d" % (name, size)), Sequences(size),
                  options, keyboard)
    daemon.Write()
    try:
        startup = daemon.Start(keyboard)
        if not WaitFor(daemon.Started, options.cap):
            raise RuntimeError("%s did not finish starting" % name)
        repetitions = options.presses if size < 100000 or kind is Pavix else options.slow_presses
        presses = daemon.Press(xtest, repetitions)
        idle = daemon.Idle()
        memory = ResidentKiB(daemon.process.pid)
    finally:
        daemon.Stop()
    return {"program": name, "size": size, "startup": startup, "presses": presses,
            "press": Median(presses), "idle": idle, "memory": memory}


def Report(rows, baseline):
    lines = ["| sequences | program | start-up until grabbed (ms) | last press to command, "
             "median (ms) [min–max, runs] | idle CPU (%) | resident memory (MiB) |",
             "|---:|---|---:|---:|---:|---:|"]
    for row in rows:
        done = [p for p in row["presses"] if p is not None]
        spread = "[%s–%s, %d]" % (Ms(min(done)), Ms(max(done)), len(done)) if done else \
            "[no run within the cap]"
        lines.append("| %d | %s | %s | %s %s | %.3f | %.1f |" % (
            row["size"], row["program"], Ms(row["startup"]), Ms(row["press"]), spread,
            row["idle"] * 100, row["memory"] / 1024))
    lines.append("")
    lines.append("X server round trip for a press (XTEST press to our own grab's KeyPress), "
                 "median of %d: %s ms" % (len(baseline), Ms(statistics.median(baseline))))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    for name in ("--pavix", "--table-tool", "--stamp", "--out", "--tray-log"):
        parser.add_argument(name, required=True)
    parser.add_argument("--sizes", default="10,1000,100000")
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--slow-presses", type=int, default=3)
    parser.add_argument("--cap", type=float, default=300)
    options = parser.parse_args()
    keyboard = xkeys.Keyboard()
    xtest = Xtest()
    baseline = xtest.RoundTrips(200)
    rows = []
    for size in [int(s) for s in options.sizes.split(",")]:
        for kind, name in ((Pavix, "Pavix"), (Sxhkd, "sxhkd")):
            row = Measure(kind, name, size, options, keyboard, xtest)
            print("%s %d: start-up %s ms, press %s ms, idle %.3f %%, %d KiB" % (
                name, size, Ms(row["startup"]), Ms(row["press"]), row["idle"] * 100,
                row["memory"]), flush=True)
            rows.append(row)
    report = Report(rows, baseline)
    print(report)
    with open(os.path.join(options.out, "bench-linux.md"), "w") as file:
        file.write(report + "\n")


if __name__ == "__main__":
    main()
