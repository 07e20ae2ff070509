#!/usr/bin/python3
"""Pavix and sxhkd side by side on one X server, with the same N two-chord sequences each:
start-up until the grabs are in place, the time from the last chord's key press (XTEST) to the
command's process starting, idle CPU and resident memory; and first of all Pavix's resident
memory at its first start on the display (a fresh one: no GTK program has run on it) beside a
later start. Run by bench/linux/run.sh, which provides the display, the session bus with a tray,
the stamp command and the table reader.

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
from driver import MappedGl  # noqa: E402

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


class InterceptData(ctypes.Structure):
    _fields_ = [("id_base", ctypes.c_ulong), ("server_time", ctypes.c_ulong),
                ("client_seq", ctypes.c_ulong), ("category", ctypes.c_int),
                ("client_swapped", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("data_len", ctypes.c_ulong)]


class GrabRecorder:
    """The X server's own time of every GrabKey request it carries out, whichever client sent
    it, through the RECORD extension: the moment a grab is in place, seen the same way for every
    program and without touching it. The server's time is CLOCK_MONOTONIC in milliseconds
    (32 bits), which fixes the resolution of the start-up figures."""

    GRAB_KEY = 33  # the core request's opcode
    FROM_CLIENT = 1  # XRecordFromClient
    FROM_SERVER_TIME = 1  # XRecordFromServerTime
    ALL_CLIENTS = 3  # XRecordAllClients
    Callback = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(InterceptData))

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.t = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.t.XRecordAllocRange.restype = ctypes.c_void_p
        self.t.XRecordCreateContext.restype = ctypes.c_ulong
        self.t.XRecordCreateContext.argtypes = [
            ctypes.c_void_p, ctypes.c_int, ctypes.POINTER(ctypes.c_ulong), ctypes.c_int,
            ctypes.POINTER(ctypes.c_void_p), ctypes.c_int]
        self.t.XRecordEnableContextAsync.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                     self.Callback, ctypes.c_void_p]
        self.t.XRecordProcessReplies.argtypes = [ctypes.c_void_p]
        self.t.XRecordFreeData.argtypes = [ctypes.POINTER(InterceptData)]
        control = self.x.XOpenDisplay(None)
        self.data = self.x.XOpenDisplay(None)  # RECORD sends on a connection of its own
        grabs = self.t.XRecordAllocRange()
        ctypes.memmove(grabs, bytes([self.GRAB_KEY, self.GRAB_KEY]), 2)  # core_requests
        clients = ctypes.c_ulong(self.ALL_CLIENTS)
        ranges = ctypes.c_void_p(grabs)
        context = self.t.XRecordCreateContext(control, self.FROM_SERVER_TIME,
                                              ctypes.byref(clients), 1, ctypes.byref(ranges), 1)
        self.x.XSync(control, 0)
        self.grabs = []  # (client, server time)
        self.callback = self.Callback(self.Intercepted)
        self.t.XRecordEnableContextAsync(self.data, context, self.callback, None)
        self.x.XFlush(self.data)

    def Intercepted(self, _, data):
        if data.contents.category == self.FROM_CLIENT:
            self.grabs.append((data.contents.id_base, data.contents.server_time))
        self.t.XRecordFreeData(data)

    def Clear(self):
        self.t.XRecordProcessReplies(self.data)
        self.grabs = []

    def Last(self):
        """The monotonic time (s) of the last grab carried out since Clear by the client that
        made most of them (the program: a desktop service that a GTK program's start brings up,
        the accessibility registry, grabs a key of its own), or None."""
        self.t.XRecordProcessReplies(self.data)
        if not self.grabs:
            return None
        clients = [client for client, _ in self.grabs]
        program = max(set(clients), key=clients.count)
        last = [at for client, at in self.grabs if client == program][-1]
        # The grab came somewhere within the millisecond the server names: its middle. (Adding
        # the fraction of the millisecond that the reading happens in, as this once did, added
        # half a millisecond of noise either way to every start-up.)
        now = int(time.monotonic() * 1000)
        return (now - (now - last) % 2 ** 32 + 0.5) / 1000


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

    def RoundTrips(self, count, stamp=None, stamps=None):
        """Times from sending a press to our own grab receiving it, in seconds; with a stamp
        command, to that command starting, started by us on the press (posix_spawn)."""
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
            if stamp is None:
                times.append(time.monotonic() - start)
            else:
                os.posix_spawn(stamp, [stamp, stamps], os.environ)
                WaitFor(lambda: len(Stamps(stamps)) > len(times), 10)
                os.waitpid(-1, 0)
                times.append(Stamps(stamps)[-1] - start)
            self.Key(code, False)
            self.Key(ctrl, False)
            self.x.XSync(self.display, 0)
            time.sleep(0.005)
        return times


def CpuSeconds(pid):
    """CPU time of the process: the scheduler's own count to the nanosecond where the kernel
    keeps it, otherwise the clock-tick count."""
    with open("/proc/%d/schedstat" % pid) as file:
        main = int(file.read().split()[0]) / 1e9
    with open("/proc/%d/stat" % pid) as file:
        fields = file.read().rsplit(")", 1)[1].split()
    total = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    threads = 0.0
    for task in os.listdir("/proc/%d/task" % pid):
        if task != str(pid):
            try:
                with open("/proc/%d/task/%s/schedstat" % (pid, task)) as file:
                    threads += int(file.read().split()[0]) / 1e9
            except OSError:  # a thread that ended since the listing
                pass
    return main + threads if main > 0 else total


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

    def Start(self, keyboard, recorder):
        """Starts the program; returns the seconds until its grabs are in place: until the X
        server carried out the last GrabKey request the program sent before it settled, checked
        afterwards by our own grabs of two of its chords (which must be refused). Nothing probes
        the grabs while the program makes them: a probe's grab of a moment could refuse the
        program's own."""
        recorder.Clear()
        start = time.monotonic()
        self.process = subprocess.Popen(self.Command(), env=self.Environment(), cwd=self.folder,
                                        stdin=subprocess.DEVNULL,
                                        stdout=open(os.path.join(self.folder, "out.txt"), "w"),
                                        stderr=subprocess.STDOUT)
        if self.Settled(start) is None:
            raise RuntimeError("%s did not finish starting within %d s" % (self.name,
                                                                           self.options.cap))
        grabbed = recorder.Last()
        if grabbed is None:
            raise RuntimeError("%s grabbed no key" % self.name)
        for chord in (self.sequences[0][0], self.sequences[-1][0]):
            if not keyboard.IsHeld(chord):
                raise RuntimeError("%s does not hold %s after start-up" % (self.name, chord))
        return grabbed - start

    def Settled(self, start):
        """When the program last used CPU time before a quiet spell, or None past the cap."""
        used, changed = CpuSeconds(self.process.pid), time.monotonic()
        while time.monotonic() - changed < QUIET:
            if self.process.poll() is not None or time.monotonic() - start > self.options.cap:
                return None
            time.sleep(0.002)
            now = CpuSeconds(self.process.pid)
            if now != used:
                used, changed = now, time.monotonic()
        return changed

    def Press(self, xtest, repetitions):
        """Seconds from the last key press to the command starting, per repetition."""
        first, second = self.sequences[-1]
        times = []
        for _ in range(repetitions):
            before = len(Stamps(self.stamps))
            mark = self.Mark()
            xtest.Chord(first)
            time.sleep(SETTLE)
            if not WaitFor(lambda: self.Seeking(mark), self.options.press_cap):
                times.append(None)
                xtest.Chord("Escape")
                time.sleep(1)
                continue
            pressed = xtest.Chord(second, time.monotonic)
            if not WaitFor(lambda: len(Stamps(self.stamps)) > before, self.options.press_cap):
                # A press the program lost: counted, and any half-typed chain dropped.
                times.append(None)
                xtest.Chord("Escape")
                time.sleep(1)
                continue
            stamps = Stamps(self.stamps)
            times.append(stamps[-1] - pressed)
            time.sleep(0.1)
        return times

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

    def Settled(self, start):
        """Its icon is up (the presses watch it) and it uses no more CPU time."""
        if not WaitFor(lambda: self.Pictures(), self.options.cap):
            return None
        return Daemon.Settled(self, start)

    def Mark(self):
        return len(self.Pictures())

    def Seeking(self, mark):
        pictures = self.Pictures()
        return len(pictures) > mark and pictures[-1] != pictures[0]

    def Service(self):
        if getattr(self, "service_of", None) != self.process.pid:
            self.service, self.service_of = None, self.process.pid  # a new start, a new item
        if self.service is None:
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


def Publish(report, folder, name):
    """Prints the Markdown table and writes it to the folder's file `name`."""
    print(report)
    with open(os.path.join(folder, name), "w") as file:
        file.write(report + "\n")


def Median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def Ms(value):
    return "—" if value is None else "%.2f" % (value * 1000)


def StartAndStop(daemon, keyboard, recorder):
    """One start-up of the program, which is then stopped and gone."""
    try:
        return daemon.Start(keyboard, recorder)
    finally:
        Stopped(daemon, keyboard)


def Stopped(daemon, keyboard):
    """Stops the program and waits until it is gone."""
    daemon.Stop()
    # The server lets go of a client's grabs when it sees the connection close.
    WaitFor(lambda: not keyboard.IsHeld(daemon.sequences[0][0]), 10)
    time.sleep(QUIET)  # and the tray host has seen the item go


def FirstAndLaterStart(options, keyboard, recorder):
    """Pavix's resident memory (KiB) and the GL libraries it maps, right after it has started:
    first on this display, before any GTK program has run on it, then once more."""
    daemon = Pavix("Pavix", os.path.join(options.out, "first-start"), Sequences(10), options,
                   keyboard)
    daemon.Write()
    starts = []
    for _ in range(2):
        try:
            daemon.Start(keyboard, recorder)
            starts.append((ResidentKiB(daemon.process.pid), MappedGl(daemon.process.pid)))
        finally:
            Stopped(daemon, keyboard)
    return starts


def Measure(daemon, startups, options, keyboard, xtest, recorder):
    """The program's last start-up (its others in `startups`), then its presses."""
    size = len(daemon.sequences)
    try:
        startups.append(daemon.Start(keyboard, recorder))
        repetitions = options.presses if size < 100000 or daemon.name == "Pavix" \
            else options.slow_presses
        presses = daemon.Press(xtest, repetitions)
        idle = daemon.Idle()
        memory = ResidentKiB(daemon.process.pid)
    finally:
        daemon.Stop()
    return {"program": daemon.name, "size": size, "startups": startups,
            "startup": statistics.median(startups), "presses": presses,
            "press": Median(presses), "idle": idle, "memory": memory}


def MeasureSize(size, options, keyboard, xtest, recorder):
    """Both programs at one size. The start-ups alternate between them, so that whatever else
    the machine does weighs on both alike; sxhkd starts once at 100,000, where a start takes a
    minute."""
    daemons = [kind(name, os.path.join(options.out, "%s-%d" % (name, size)), Sequences(size),
                    options, keyboard) for kind, name in ((Pavix, "Pavix"), (Sxhkd, "sxhkd"))]
    startups = {}
    for daemon in daemons:
        daemon.Write()
        startups[daemon.name] = []
    for _ in range(options.starts - 1):
        for daemon in daemons:
            if size < 100000 or daemon.name == "Pavix":
                startups[daemon.name].append(StartAndStop(daemon, keyboard, recorder))
    rows = []
    for daemon in daemons:
        row = Measure(daemon, startups[daemon.name], options, keyboard, xtest, recorder)
        print("%s %d: start-up %s ms [%s–%s, %d], press %s ms, idle %.3f %%, %d KiB" % (
            daemon.name, size, Ms(row["startup"]), Ms(min(row["startups"])),
            Ms(max(row["startups"])), len(row["startups"]), Ms(row["press"]),
            row["idle"] * 100, row["memory"]), flush=True)
        rows.append(row)
    return rows


def FirstStartText(starts):
    (first, gl), (later, _) = starts
    return ("Pavix's resident memory right after its start, 10 sequences: %.1f MiB at the first "
            "start on this display (GL libraries mapped: %s), %.1f MiB at a later one"
            % (first / 1024, ", ".join(os.path.basename(path) for path in gl) or "none",
               later / 1024))


def Report(rows, baseline, spawned, firstStarts):
    lines = ["| sequences | program | start-up until grabbed, median (ms, to 1 ms) [min–max, runs] "
             "| last press to command, median (ms) [min–max, runs, lost] | idle CPU (%) "
             "| resident memory (MiB) |",
             "|---:|---|---:|---:|---:|---:|"]
    for row in rows:
        done = [p for p in row["presses"] if p is not None]
        lost = len(row["presses"]) - len(done)
        spread = "[%s–%s, %d runs%s]" % (Ms(min(done)), Ms(max(done)), len(done),
                                         ", %d lost" % lost if lost else "") if done else \
            "[%d presses, none ran the command]" % lost
        starts = "%.1f [%.0f–%.0f, %d]" % (row["startup"] * 1000, min(row["startups"]) * 1000,
                                          max(row["startups"]) * 1000, len(row["startups"]))
        lines.append("| %d | %s | %s | %s %s | %.3f | %.1f |" % (
            row["size"], row["program"], starts, Ms(row["press"]), spread,
            row["idle"] * 100, row["memory"] / 1024))
    lines.append("")
    lines.append("X server round trip for a press (XTEST press to our own grab's KeyPress), "
                 "median of %d: %s ms" % (len(baseline), Ms(statistics.median(baseline))))
    lines.append("")
    lines.append("The same, then the stamp command started by the receiving process itself "
                 "(posix_spawn), median of %d: %s ms [%s–%s]"
                 % (len(spawned), Ms(statistics.median(spawned)), Ms(min(spawned)),
                    Ms(max(spawned))))
    lines.append("")
    lines.append(FirstStartText(firstStarts))
    return "\n".join(lines)


def Options(sizes):
    """The options that run.sh gives every measure of the Linux program: the files, the sizes
    and the cap of a wait (s); each measure adds its own."""
    parser = argparse.ArgumentParser()
    for name in ("--pavix", "--table-tool", "--stamp", "--out", "--tray-log"):
        parser.add_argument(name, required=True)
    parser.add_argument("--sizes", default=sizes)
    parser.add_argument("--cap", type=float, default=300)
    return parser


def main():
    parser = Options("10,1000,100000")
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--slow-presses", type=int, default=3)
    parser.add_argument("--starts", type=int, default=15)
    parser.add_argument("--press-cap", type=float, default=60)
    options = parser.parse_args()
    keyboard = xkeys.Keyboard()
    xtest = Xtest()
    recorder = GrabRecorder()
    os.makedirs(options.out, exist_ok=True)
    starts = FirstAndLaterStart(options, keyboard, recorder)  # before any other GTK program
    print(FirstStartText(starts), flush=True)
    baseline = xtest.RoundTrips(200)
    spawned = xtest.RoundTrips(50, options.stamp, os.path.join(options.out, "baseline.txt"))
    rows = []
    for size in [int(s) for s in options.sizes.split(",")]:
        rows += MeasureSize(size, options, keyboard, xtest, recorder)
    Publish(Report(rows, baseline, spawned, starts), options.out, "bench-linux.md")


if __name__ == "__main__":
    main()
