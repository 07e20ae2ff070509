#!/usr/bin/python3
"""The pictures of the Linux program for the README, in the locale it runs in, with the sample
sequences: the tray icon in its three states and its menu idle and disabled as a desktop's panel
shows them (tray_panel.py), the hints, and each editor's dialog, cut from the private display by
its window. Runs inside the session of run.sh (PAVIX_E2E_TOUR names the folder of the pictures).

  tour.py <the driver's options> --group en|ja
"""

import os
import select
import subprocess
import sys

import a11y
import driver
import tray
import xkeys

SAMPLES = os.path.join(driver.ROOT, "build", "linux", "samples", "linux", "Sequence.dat")
PANEL = os.path.join(driver.HERE, "tray_panel.py")
# A table scenario whose data files the tour starts from before it puts the samples in place.
FILES = "second_start_exits_at_once"


def Wait(run, title):
    dialog = driver.WaitUntil(lambda: a11y.Dialog(run.app, title))
    if dialog is None:
        raise driver.Failure("no dialog \"%s\" showed" % title)
    return dialog


def Open(run, item, title):
    """Chooses the menu's item and waits for the dialog it opens."""
    run.Menu().Click(tray.Plain(run.texts[item]))
    return Wait(run, title)


def Gone(run, title):
    if not driver.WaitUntil(lambda: a11y.Dialog(run.app, title) is None):
        raise driver.Failure("the dialog \"%s\" stayed open" % title)


def One(dialog, role, name, index=0):
    found = a11y.Find(dialog, role, name)
    if len(found) <= index:
        raise driver.Failure("the dialog has no %s \"%s\"" % (role.value_nick, name))
    return found[index]


def Field(dialog, name):
    return One(dialog, a11y.Atspi.Role.TEXT, name)


def Press(dialog, name, index=0):
    a11y.Click(One(dialog, a11y.Atspi.Role.PUSH_BUTTON, name, index))


def Lists(dialog):
    return a11y.Find(dialog, a11y.Atspi.Role.TREE_TABLE) + a11y.Find(dialog, a11y.Atspi.Role.TABLE)


def Rows(table):
    return a11y.Atspi.Table.get_n_rows(table)


def Focus(title):
    subprocess.run(["xdotool", "search", "--name", "^%s$" % title, "windowfocus", "--sync"],
                   capture_output=True)


def DialogTexts(ja):
    """The dialogs' texts in the language by their names in the texts table ("104.title")."""
    column = 2 if ja else 1
    texts = {}
    with open(os.path.join(driver.ROOT, "resources", "texts.tsv"), encoding="utf-8") as file:
        for line in file:
            fields = line.rstrip("\n").split("\t")
            if len(fields) == 3 and fields[0].startswith("dialog."):
                texts[fields[0][len("dialog."):]] = fields[column]
    return texts


def Window(title):
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                            capture_output=True, text=True).stdout.split()
    if not window:
        raise driver.Failure("no window \"%s\" to picture" % title)
    return window[-1]


def Shoot(title, picture):
    Save(["-window", Window(title)], picture)


def ShootAround(title, picture, margin):
    """The window with the desktop around it, as far as the screen goes."""
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", Window(title)],
                           capture_output=True, text=True, check=True).stdout
    where = dict(line.split("=", 1) for line in shell.split())
    x, y = int(where["X"]) - margin, int(where["Y"]) - margin
    ShootArea((max(x, 0), max(y, 0), int(where["WIDTH"]) + 2 * margin + min(x, 0),
               int(where["HEIGHT"]) + 2 * margin + min(y, 0)), picture)


def ShootArea(area, picture):
    x, y, width, height = area
    Save(["-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage"], picture)


def Save(cut, picture):
    """Cuts the picture from the screen and keeps it small: a dialog has few enough colours that a
    palette of 256 without dithering shows it as it was, at half the size or less."""
    shot = subprocess.run(["import"] + cut + ["miff:-"], capture_output=True, check=True).stdout
    subprocess.run(["convert", "miff:-", "-strip", "+dither", "-colors", "256", "PNG8:" + picture],
                   input=shot, check=True)


class Panel:
    """The desktop's panel of tray_panel.py, showing Pavix's item and its menu."""

    def __init__(self, run):
        item = run.Item()
        self.process = subprocess.Popen(
            ["/usr/bin/python3", PANEL, item["service"], item["path"], item["menu"]],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.Ask(None)

    def Ask(self, request):
        """The part of the screen to picture once the panel has done the request."""
        if request is not None:
            self.process.stdin.write(request + "\n")
            self.process.stdin.flush()
        ready, _, _ = select.select([self.process.stdout], [], [], driver.WAIT_CAP)
        answer = self.process.stdout.readline().split() if ready else []
        if not answer or answer[0] not in ("ok", "ready"):
            raise driver.Failure("the panel answered \"%s\" to %s"
                                 % (" ".join(answer), request))
        return tuple(int(number) for number in answer[1:])

    def End(self):
        self.process.stdin.close()
        try:
            self.process.wait(driver.WAIT_CAP)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def TrayStates(run, path):
    """The icon in its three states, the menu while idle and while disabled, and the hints."""
    panel = Panel(run)
    try:
        ShootArea(panel.Ask("icon"), path("tray-idle"))
        ShootArea(panel.Ask("menu"), path("menu-idle"))
        panel.Ask("close")
        xkeys.Press(["ctrl+alt+p"])
        run.Do("icon", "seeking")
        ShootArea(panel.Ask("icon"), path("tray-seeking"))
        if not driver.WaitUntil(lambda: run.app.Hints(run.texts["HintTitle"])):
            raise driver.Failure("no hints showed after Ctrl+Alt+P")
        driver.WaitUntil(lambda: False, 0.3)
        ShootAround(run.texts["HintTitle"], path("hints"), 16)
        run.Do("menu", "abort")
        run.Do("icon", "idle")
        run.Do("menu", "disable")
        run.Do("icon", "disabled")
        ShootArea(panel.Ask("icon"), path("tray-disabled"))
        ShootArea(panel.Ask("menu"), path("menu-disabled"))
        panel.Ask("close")
        run.Do("menu", "enable")
        run.Do("icon", "idle")
    finally:
        panel.End()


def Tour(run, folder, ja):
    texts = DialogTexts(ja)
    suffix = "-ja" if ja else ""
    path = lambda name: os.path.join(folder, "linux-%s%s.png" % (name, suffix))
    with open(SAMPLES, "rb") as source, \
            open(os.path.join(run.config, "pavix", "Sequence.dat"), "wb") as target:
        target.write(source.read())
    # No blinking cursor, no fading focus: the same pictures from one run to the next.
    os.makedirs(os.path.join(run.config, "gtk-3.0"))
    with open(os.path.join(run.config, "gtk-3.0", "settings.ini"), "w") as settings:
        settings.write("[Settings]\ngtk-cursor-blink = false\ngtk-enable-animations = false\n")
    run.Do("start", "")
    run.Do("icon", "idle")
    TrayStates(run, path)
    SequenceEditor(run, texts, path)
    Open(run, "Configuration", texts["111.title"])
    Shoot(texts["111.title"], path("configuration"))
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, texts["111.title"])
    sheet = Open(run, "AllSequences", texts["113.title"])
    rows = Lists(sheet)[0]
    if not driver.WaitUntil(lambda: Rows(rows) > 1):
        raise driver.Failure("the sheet lists no sequence")
    Shoot(texts["113.title"], path("all-sequences"))
    Press(sheet, texts["close"])
    Gone(run, texts["113.title"])
    Conflict(run, texts, path)


def Adds(editor, texts):
    """The Add buttons of the sequences, the keys and the commands."""
    return [button for button in a11y.Find(editor, a11y.Atspi.Role.PUSH_BUTTON)
            if button.get_name() == texts["104.add"]]


def SequenceEditor(run, texts, path):
    """The editor as on Windows (the first sequence, its first command and its second chord
    selected), then the dialogs it opens: hotkey editor, key capture, command editor, Record."""
    title = lambda dialog: texts[dialog + ".title"]
    editor = Open(run, "EditSequence", title("104"))
    sequences, keys, commands = Lists(editor)[:3]
    for table, row in ((sequences, 0), (commands, 0), (keys, 1)):
        a11y.Atspi.Table.add_row_selection(table, row)
        driver.WaitUntil(lambda: False, 0.2)
    driver.WaitUntil(lambda: False, 0.3)
    Shoot(title("104"), path("sequence-editor"))
    adds = Adds(editor, texts)
    a11y.Click(adds[1])
    hotkey = Wait(run, title("108"))
    Shoot(title("108"), path("hotkey-editor"))
    Press(hotkey, texts["108.keyType"])
    Wait(run, title("107"))
    xkeys.Press(["ctrl+alt+a"])
    driver.WaitUntil(lambda: False, 0.3)
    Shoot(title("107"), path("key-capture"))
    for dialog in ("107", "108"):
        subprocess.run(["xdotool", "key", "Escape"])
        Gone(run, title(dialog))
    a11y.Click(adds[2])
    Wait(run, title("105"))
    Shoot(title("105"), path("command-editor"))
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, title("105"))
    RecordKeys(run, editor, texts, path)
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, title("104"))


def RecordKeys(run, editor, texts, path):
    """Two chords typed into Record while it records; Cancel keeps the keys there were."""
    Press(editor, texts["104.record"])
    record = Wait(run, texts["112.title"])
    Focus(texts["112.title"])
    xkeys.Press(["ctrl+alt+p", "ctrl+alt+t"])
    chords = Lists(record)[0]
    if not driver.WaitUntil(lambda: Rows(chords) == 2):
        raise driver.Failure("Record listed %d chords, not 2" % Rows(chords))
    Shoot(texts["112.title"], path("record-keys"))
    Press(record, texts["cancel"])
    Gone(run, texts["112.title"])


def AddKey(run, add, texts, chord):
    """A chord added through the hotkey editor and its key capture box."""
    a11y.Click(add)
    hotkey = Wait(run, texts["108.title"])
    Press(hotkey, texts["108.keyType"])
    capture = Wait(run, texts["107.title"])
    Focus(texts["107.title"])
    field = a11y.Find(capture, a11y.Atspi.Role.TEXT)[0]
    field.grab_focus()
    xkeys.Press([chord])
    if not driver.WaitUntil(lambda: a11y.Text(field)):
        raise driver.Failure("the key capture took no %s" % chord)
    Press(capture, texts["ok"])
    Gone(run, texts["107.title"])
    Press(hotkey, texts["ok"])
    Gone(run, texts["108.title"])


def Conflict(run, texts, path):
    """A new sequence on the chords of the first sample, which completes first: marked, and the
    reason under the lists."""
    title = texts["104.title"]
    editor = Open(run, "EditSequence", title)
    adds = Adds(editor, texts)
    a11y.Click(adds[0])
    a11y.SetText(Field(editor, texts["104.name"]), "Terminal again")
    for chord in ("ctrl+alt+p", "ctrl+alt+t"):
        AddKey(run, adds[1], texts, chord)
    a11y.Click(adds[2])
    command = Wait(run, texts["105.title"])
    a11y.Click(One(command, a11y.Atspi.Role.RADIO_BUTTON, texts["105.builtin"]))
    Press(command, texts["ok"])
    Gone(run, texts["105.title"])
    driver.WaitUntil(lambda: False, 0.5)
    Shoot(title, path("sequence-editor-conflict"))
    Press(editor, texts["cancel"])
    Gone(run, title)


def Take(run, name, group, pictures):
    """Prepares the run, takes its `pictures()`, ends it and reports as a scenario does."""
    reason = ""
    try:
        run.Prepare()
        pictures()
    except Exception as error:
        reason = str(error) or type(error).__name__
    run.End()
    print("FAIL %s: %s" % (name, reason) if reason else "PASS " + name, flush=True)
    print("END " + group, flush=True)
    return 1 if reason else 0


def main():
    options = driver.ParseOptions()
    keyboard = xkeys.Keyboard()
    name = "tour_" + options.group
    scenario = {"name": name, "files": FILES, "group": options.group, "held": [],
                "steps": []}
    run = driver.Run(options, scenario, keyboard, tray.Log(options.tray_log))
    return Take(run, name, options.group,
                lambda: Tour(run, os.environ["PAVIX_E2E_TOUR"], options.group == "ja"))


if __name__ == "__main__":
    sys.exit(main())
