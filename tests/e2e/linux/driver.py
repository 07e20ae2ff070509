#!/usr/bin/python3
"""Runs the shared scenario table against the Linux Pavix on an X server, inside a private session
bus where tray_host.py keeps the tray. Prints "PASS name" or "FAIL name: reason" per scenario.

  driver.py --pavix <pavix> --table-tool <pavix_e2e_table> --table <shared.txt>
            --work <folder> --tray-log <log> --group en|ja [--only <name>]

Each scenario runs in <work>/<name>/: its data files in config/pavix/ (XDG_CONFIG_HOME is
<work>/<name>/config) with the sounds already installed in config/pavix/se/, where they are
watched, the marker command's run folder run/ and its marker file marker.txt, and Pavix's error
output pavix.err, which must hold no GLib or GTK critical or warning; at its end Pavix may map
no GL library. The exit status is the number of failures (at most 100).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

import a11y
import editors
import tray
import xkeys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(HERE)))
sys.path.insert(0, os.path.dirname(HERE))
import sound_watch  # noqa: E402  (shared with the Wine suite, one folder up)

MARK = os.path.join(HERE, "mark")
WAIT_CAP = 10.0
POLL = 0.005
SOUND_SETTLE = 0.3  # how long a "sounds" step goes on listening for one more sound
LEAST_PAUSE = 0.5  # Pavix waits this long after a key before it shows the hints
GLIB_COMPLAINT = re.compile(r"-(CRITICAL|WARNING) \*\*")
GL_LIBRARY = re.compile(r"/lib(GLX_mesa|EGL_mesa|LLVM)[^/]*$|_dri\.so$")
MENU_ITEMS = {"enable": "Enable", "disable": "Disable", "abort": "Abort", "exit": "Exit",
              "configuration": "Configuration", "edit": "EditSequence", "sheet": "AllSequences",
              "login": "StartAtLogin"}
APP_ID = "io.github.pavix.Pavix"
Failure = editors.Failure


def WaitUntil(done, cap=WAIT_CAP):
    deadline = time.monotonic() + cap
    while True:
        value = done()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(POLL)


def Texts(column):
    """Pavix's own texts of one language, by name, from resources/texts.tsv."""
    texts = {}
    with open(os.path.join(ROOT, "resources", "texts.tsv"), encoding="utf-8") as file:
        for line in file:
            fields = line.rstrip("\n").split("\t")
            if line.startswith("#") or len(fields) < 3 or ":" not in fields[0]:
                continue
            texts[fields[0].split(":", 1)[1]] = fields[column]
    return texts


def Label(chord):
    """How Pavix shows a chord: the modifiers' marks, "+", the key's name."""
    *names, key = chord.split("+")
    marks = "".join(mark for name, mark in
                    (("ctrl", "[C]"), ("alt", "[A]"), ("shift", "[S]"), ("super", "[W]"))
                    if name in names)
    return marks + "+" + key.upper()


def Expand(text, names=None):
    """The text with each {name} replaced by its value in `names`, each other {chord} by the
    chord's label, and each "\\n" and "\\t" by a line break and a tab."""
    names = names or {}
    while "{" in text:
        start = text.index("{")
        end = text.index("}", start)
        name = text[start + 1:end]
        text = text[:start] + names.get(name, Label(name) if "+" in name else None) + text[end + 1:]
    return text.replace("\\n", "\n").replace("\\t", "\t")


def ReadTable(tool, table):
    listing = subprocess.run([tool, table, "--list"], capture_output=True, text=True)
    if listing.returncode != 0:
        raise Failure(listing.stderr.strip())
    scenarios = []
    for line in listing.stdout.splitlines():
        fields = line.split("\t")
        if fields[0] == "scenario":
            scenarios.append({"name": fields[1], "group": fields[2],
                              "held": fields[3].split(), "steps": [], "skipped": {}})
        elif fields[0] == "skip":
            scenarios[-1]["skipped"][fields[1]] = fields[2]
        else:
            scenarios[-1]["steps"].append((int(fields[1]), fields[2], fields[3]))
    return scenarios


def Children(pid):
    """The processes that pid started and that still run."""
    children = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as file:
                fields = file.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid and fields[0] != "Z":
            children.append(int(entry))
    return children


def MappedGl(pid):
    """The GL libraries the process has mapped, which Pavix, drawing nothing with GL, never
    needs."""
    with open("/proc/%d/maps" % pid) as maps:
        return sorted({line.split()[-1] for line in maps if GL_LIBRARY.search(line.strip())})


def WindowTitles(pid):
    """The titles of the process's shown windows, as the window manager reads them."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", ""],
                           capture_output=True, text=True).stdout.split()
    return [subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                           text=True).stdout.rstrip("\n") for window in found]


class Run:
    """One scenario: its folder, its Pavix and what the steps have seen so far."""

    UNSET = ()  # variables of the driver's environment that Pavix does not get

    def __init__(self, options, scenario, keyboard, log, ids=None):
        self.options, self.scenario, self.keyboard = options, scenario, keyboard
        self.texts = Texts(2 if scenario["group"] == "ja" else 1)
        self.folder = os.path.join(options.work, scenario["name"])
        self.config = os.path.join(self.folder, "config")
        self.run_folder = os.path.join(self.folder, "run")
        self.marker = os.path.join(self.folder, "marker.txt")
        self.mark = MARK  # the command the sequences run as "mark"
        self.log = tray.Log(options.tray_log, log.Length())
        self.pavix = None
        self.item = None
        self.expected_complaints = None  # a pattern of complaints that the scenario causes
        self.icons = 0
        self.pictures = {}
        self.pressed_at = 0.0
        self.sounds = None
        self.heard = []  # sounds played since the last "sounds" step
        self.editors = editors.Editors(self, ids or {}, WaitUntil)

    def Prepare(self):
        subprocess.run(["rm", "-rf", self.folder], check=True)
        os.makedirs(os.path.join(self.config, "pavix"))
        os.makedirs(self.run_folder)
        files = subprocess.run([self.options.table_tool, self.options.table, "--files",
                                self.scenario.get("files", self.scenario["name"]),
                                os.path.join(self.config, "pavix"), self.mark,
                                self.marker, self.run_folder], capture_output=True, text=True)
        if files.returncode != 0:
            raise Failure("cannot write the data files: " + files.stderr.strip())
        # As a previous start would have installed them, so that Pavix leaves them alone: from
        # beside the program in a build tree, from <prefix>/share/pavix where it is installed.
        installed = os.path.join(self.config, "pavix", "se")
        program = os.path.dirname(self.options.pavix)
        defaults = os.path.join(program, "se")
        if not os.path.isdir(defaults):
            defaults = os.path.join(os.path.dirname(program), "share", "pavix", "se")
        shutil.copytree(defaults, installed)
        self.sounds = sound_watch.SoundWatch(installed)
        for chord in self.scenario["held"]:
            if not self.keyboard.Hold(chord):
                raise Failure("the driver cannot hold %s itself" % chord)
        self.editors.Remember()

    def Expand(self, text):
        """A table's text with the paths of this scenario's folder in place."""
        folder = os.path.join(self.config, "pavix")
        names = {"mark": self.mark, "marker": self.marker, "run-folder": self.run_folder}
        for name in re.findall(r"\{file:([^}]*)\}", text):
            names["file:" + name] = os.path.join(folder, name)
        return Expand(text, names)

    def Start(self, new_session=False, **environment):
        """Pavix with the environment's variables changed as given, in a session and process
        group of its own when `new_session` (as a terminal starts it) or else in the driver's."""
        environment = dict(os.environ, XDG_CONFIG_HOME=self.config, **environment)
        for name in self.UNSET:
            environment.pop(name, None)
        with open(self.ErrorOutput(), "ab") as errors:
            return subprocess.Popen([self.options.pavix], cwd=self.options.work, env=environment,
                                    stdin=subprocess.DEVNULL, stderr=errors,
                                    start_new_session=new_session)

    def Titles(self):
        """The titles of Pavix's shown windows, as the desktop reads them."""
        return WindowTitles(self.pavix.pid)

    def ErrorOutput(self):
        return os.path.join(self.folder, "pavix.err")

    def Complaints(self):
        """The criticals and warnings that GLib, GTK and their modules logged in Pavix, but for
        those that the scenario brought about on purpose (`self.expected_complaints`)."""
        try:
            with open(self.ErrorOutput(), errors="replace") as errors:
                return [line.strip() for line in errors if GLIB_COMPLAINT.search(line)
                        and not (self.expected_complaints
                                 and self.expected_complaints.search(line))]
        except OSError:
            return []

    def Item(self):
        if self.item is None:
            self.item = WaitUntil(lambda: self.log.Item(self.pavix.pid))
            if self.item is None:
                raise Failure("Pavix's tray item did not register")
        return self.item

    def Do(self, verb, text):
        words = text.split()
        if verb == "start":
            self.pavix = self.Start()
            self.app = a11y.Application(self.pavix.pid)
        elif verb == "icon" and len(words) == 1:
            self.Icon(words[0])
        elif verb == "quiet":
            seen = len(self.log.Pictures(self.Item()["service"]))
            if seen != self.icons:
                raise Failure("the icon changed %d times, expected %d" % (seen, self.icons))
        elif verb == "press":
            self.pressed_at = time.monotonic()
            self.keyboard.Press(words)
        elif verb == "runs" and len(words) == 1:
            self.Runs(int(words[0]))
        elif verb == "menu" and len(words) == 1 and words[0] in MENU_ITEMS:
            self.Menu().Click(tray.Plain(self.texts[MENU_ITEMS[words[0]]]))
        elif verb in ("held", "free") and words:
            for chord in words:
                if self.keyboard.IsHeld(chord) != (verb == "held"):
                    raise Failure("%s is %s" % (chord, "free" if verb == "held" else "held"))
        elif verb == "box":
            self.Box(self.Expand(text))
        elif verb == "no-box":
            if self.app.Boxes():
                raise Failure("a box is open: %s" % (self.app.Boxes()[0][:2],))
        elif verb == "exits":
            self.Exits()
        elif verb == "second-start":
            self.SecondStart()
        elif verb == "hints":
            self.Hints(text)
        elif verb == "no-hints":
            if self.app.Hints(self.texts["HintTitle"]) is not None:
                raise Failure("a hint window remains")
        elif verb == "sounds":
            self.Sounds(words)
        elif verb == "login-start" and words in (["on"], ["off"]):
            self.LoginStart(words[0] == "on")
        elif verb in ("import", "import-slowly") and text.count("|") == 2:
            self.Import(text, verb == "import-slowly")
        elif verb in editors.LINUX_VERBS or (verb in editors.VERBS and words):
            self.editors.Do(verb, text)
        elif verb == "closed":
            self.editors.Closed()
        elif verb == "file-dialog":
            self.editors.FileDialog()
        else:
            raise Failure("no such step")

    def Menu(self):
        item = self.Item()
        return tray.Menu(item["service"], item["menu"])

    def Icon(self, name):
        service = self.Item()["service"]
        pictures = WaitUntil(lambda: self.log.Pictures(service)[self.icons:])
        if not pictures:
            raise Failure("the icon did not change (change #%d)" % (self.icons + 1))
        picture = pictures[0]
        self.icons += 1
        if self.icons == 1 and name != "idle":
            raise Failure("the first icon is always the idle one")
        if name in self.pictures:
            if self.pictures[name] != picture:
                raise Failure("the icon shows %s, not the %s picture %s"
                              % (picture, name, self.pictures[name]))
            return
        for known, seen in self.pictures.items():
            if seen == picture:
                raise Failure("the icon shows the %s picture" % known)
        self.pictures[name] = picture

    def Runs(self, runs):
        lines = lambda: open(self.marker).read().splitlines() if os.path.exists(self.marker) else []
        if runs > 0:
            WaitUntil(lambda: len(lines()) >= runs)
        if self.pavix.poll() is None and WaitUntil(lambda: not Children(self.pavix.pid)) is False:
            raise Failure("a command started by Pavix did not end")
        if len(lines()) != runs:
            raise Failure("the command ran %d times, expected %d" % (len(lines()), runs))
        for line in lines():
            if line != self.run_folder:
                raise Failure("the command ran in %s, expected %s" % (line, self.run_folder))

    def Box(self, expected):
        boxes = WaitUntil(self.app.Boxes)
        if not boxes:
            raise Failure("no box appeared; expected \"%s\"" % expected)
        _, labels, buttons = boxes[0]
        # A window manager may map the box's window after its contents are on the bus.
        caption = self.texts["ErrorCaption"]
        title = WaitUntil(lambda: caption in self.Titles()) and [caption]
        title = title or self.Titles()
        if caption not in title or expected not in labels:
            raise Failure("expected the box \"%s\" / \"%s\", saw %s / %s"
                          % (caption, expected, title, labels))
        if len(buttons) != 1:
            raise Failure("the box has %d buttons, expected OK alone" % len(buttons))
        a11y.Click(buttons[0])
        if not WaitUntil(lambda: not self.app.Boxes()):
            raise Failure("the box did not close on OK")

    def Exits(self):
        try:
            code = self.pavix.wait(WAIT_CAP)
        except subprocess.TimeoutExpired:
            raise Failure("Pavix did not end")
        if code != 0:
            raise Failure("Pavix ended with status %d, expected 0" % code)
        if not WaitUntil(lambda: self.log.Gone(self.Item()["service"])):
            raise Failure("the tray item stayed after Pavix ended")

    def SecondStart(self):
        second = self.Start()
        try:
            code = second.wait(WAIT_CAP)
        except subprocess.TimeoutExpired:
            second.kill()
            second.wait()
            raise Failure("the second start did not end")
        if code != 0:
            raise Failure("the second start ended with status %d, expected 0" % code)
        if self.pavix.poll() is not None:
            raise Failure("the first instance ended when the second started")
        if self.log.Item(second.pid) is not None:
            raise Failure("the second start showed a tray item")

    def LoginStart(self, on):
        """The session's autostart entry: the program's desktop entry with an Exec line that
        starts this very program, or none."""
        link = os.path.join(self.config, "autostart", APP_ID + ".desktop")
        if not on:
            if WaitUntil(lambda: not os.path.exists(link)):
                return
            raise Failure("%s is still there" % link)
        if not WaitUntil(lambda: os.path.exists(link)):
            raise Failure("no %s" % link)
        program = os.path.dirname(self.options.pavix)
        entry = os.path.join(program, "deb", APP_ID + ".desktop")
        if not os.path.exists(entry):
            entry = os.path.join(os.path.dirname(program), "share", "applications",
                                 APP_ID + ".desktop")
        with open(entry, encoding="utf-8") as file:
            expected = [line if not line.startswith("Exec=") else "Exec=" + self.options.pavix
                        for line in file.read().splitlines()]
        with open(link, encoding="utf-8") as file:
            written = file.read().splitlines()
        if written != expected:
            raise Failure("the autostart entry differs from the program's: %r" % written)

    def Import(self, text, slowly):
        """Another program replaces Sequence.dat by the one sequence of the text, through
        `pavix-seq import`: in place, or copied in place in two halves a second apart."""
        name, chords, commands = (part.strip() for part in text.split("|"))
        if commands.split() != ["mark"]:
            raise Failure("an imported sequence runs the marker command alone")
        keys = ", ".join('"%s"' % "+".join(word.capitalize() for word in chord.split("+"))
                         for chord in chords.split())
        source = os.path.join(self.folder, "import.toml")
        with open(source, "w", encoding="utf-8") as file:
            file.write("[[sequence]]\nname = \"%s\"\nkeys = [%s]\n"
                       "commands = [{ run = '%s', args = '\"%s\"', dir = '%s' }]\n"
                       % (name, keys, MARK, self.marker, self.run_folder))
        tool = os.path.join(os.path.dirname(self.options.pavix), "pavix-seq")
        data = os.path.join(self.config, "pavix", "Sequence.dat")
        target = os.path.join(self.folder, "import.dat") if slowly else data
        done = subprocess.run([tool, "--codepage", "65001", "import", source, target],
                              capture_output=True, text=True)
        if done.returncode != 0:
            raise Failure("pavix-seq import failed: " + done.stderr.strip())
        if slowly:
            with open(target, "rb") as file:
                contents = file.read()
            with open(data, "wb") as file:
                file.write(contents[:len(contents) // 2])
                file.flush()
                time.sleep(1.0)
                file.write(contents[len(contents) // 2:])

    def Hints(self, text):
        rows = []
        for row in text.split(" ; "):
            chord, what = row.split(" ", 1)
            rows += [Label(chord), what]
        title = self.texts["HintTitle"]
        shown = WaitUntil(lambda: self.app.Hints(title) == rows)
        after = time.monotonic() - self.pressed_at
        if not shown:
            raise Failure("the hint window says %s, expected %s" % (self.app.Hints(title), rows))
        if after < LEAST_PAUSE:
            raise Failure("the hints showed %d ms after the last press" % (after * 1000))

    def Sounds(self, names):
        """Since the last such step Pavix played exactly these sounds, in this order."""
        def Heard():
            self.heard += self.sounds.Opened()
            return len(self.heard) >= len(names)
        WaitUntil(Heard)
        time.sleep(SOUND_SETTLE)
        Heard()
        heard, self.heard = [os.path.splitext(name)[0] for name in self.heard], []
        if heard != names:
            raise Failure("Pavix played %s, expected %s"
                          % (" ".join(heard) or "nothing", " ".join(names) or "nothing"))

    def End(self):
        """Menu Exit unless Pavix has ended; it must end with status 0 and no box left open."""
        problems = []
        if self.pavix is not None and self.pavix.poll() is None:
            gl = MappedGl(self.pavix.pid)
            if gl:
                problems.append("Pavix maps %s" % ", ".join(os.path.basename(path) for path in gl))
            boxes = self.app.Boxes()
            for title, labels, buttons in boxes:
                problems.append("a box was left open: \"%s\" / %s" % (title, labels))
                if buttons:
                    a11y.Click(buttons[0])
            try:
                self.Menu().Click(tray.Plain(self.texts["Exit"]))
                code = self.pavix.wait(WAIT_CAP)
                if code != 0:
                    problems.append("Pavix ended with status %d after Exit" % code)
            except (Failure, RuntimeError, subprocess.TimeoutExpired, Exception) as error:
                problems.append("Exit did not end Pavix (%s)" % error)
                self.pavix.kill()
                self.pavix.wait()
        complaints = self.Complaints()
        if complaints:
            problems.append("Pavix logged %d criticals or warnings, the first: %s"
                            % (len(complaints), complaints[0]))
        self.keyboard.ReleaseAll()
        if self.sounds is not None:
            self.sounds.Close()
        return "; ".join(problems)


def RunScenario(options, scenario, keyboard, log, ids=None, kind=None):
    run = (kind or Run)(options, scenario, keyboard, log, ids)
    reason = ""
    try:
        run.Prepare()
        for line, verb, text in scenario["steps"]:
            try:
                run.Do(verb, text)
            except Exception as failure:
                raise Failure("line %d (%s %s): %s" % (line, verb, text, failure))
    except Exception as error:
        reason = str(error) or type(error).__name__
    ending = run.End()
    if ending:
        reason = reason + " (at the end: %s)" % ending if reason else "at the end: " + ending
    return reason


def ParseOptions():
    parser = argparse.ArgumentParser()
    for name in ("--pavix", "--table-tool", "--table", "--work", "--tray-log", "--group"):
        parser.add_argument(name, required=True)
    parser.add_argument("--only", default="")
    return parser.parse_args()


def main(keyboard=None, platform="linux", kind=None, names=None):
    """Runs the table's scenarios of the group (those of `names` alone where given), typing
    through `keyboard` (XTEST by default), each as a `kind` (a Run by default); those that the
    table skips on `platform` are named with the reason."""
    options = ParseOptions()
    try:
        scenarios = ReadTable(options.table_tool, options.table)
        ids = editors.ControlIds(options.table_tool, options.table)
    except Failure as failure:
        print("FAIL shared_table: %s" % failure, flush=True)
        print("END " + options.group, flush=True)
        return 1
    keyboard = keyboard or xkeys.Keyboard()
    log = tray.Log(options.tray_log)
    failed = ran = 0
    for scenario in scenarios:
        if scenario["group"] != options.group or options.only not in ("", scenario["name"]) \
                or (names is not None and scenario["name"] not in names):
            continue
        ran += 1
        if platform in scenario["skipped"]:
            print("SKIP %s: %s" % (scenario["name"], scenario["skipped"][platform]), flush=True)
            continue
        reason = RunScenario(options, scenario, keyboard, log, ids, kind)
        if reason:
            failed += 1
            print("FAIL %s: %s" % (scenario["name"], reason), flush=True)
        else:
            print("PASS %s" % scenario["name"], flush=True)
    if ran == 0 and options.only and (names is None or options.only in names):
        print("FAIL %s: no such scenario in group %s" % (options.only, options.group), flush=True)
        failed = 1
    print("END " + options.group, flush=True)
    return min(failed, 100)


if __name__ == "__main__":
    sys.exit(main())
