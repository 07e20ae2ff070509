#!/usr/bin/python3
"""The pictures of the Linux program for the README: each editor's dialog with the sample
sequences, in the locale it runs in, cut from the private display by its window. Runs inside the
session of run.sh (PAVIX_E2E_TOUR names the folder of the pictures).

  tour.py <the driver's options> --group en|ja
"""

import os
import subprocess
import sys

import a11y
import driver
import tray
import xkeys

SAMPLES = os.path.join(driver.ROOT, "build", "linux", "samples", "linux", "Sequence.dat")
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


def Titles(ja):
    """The dialogs' titles in the language, from the texts table."""
    column = 2 if ja else 1
    titles = {}
    with open(os.path.join(driver.ROOT, "resources", "texts.tsv"), encoding="utf-8") as file:
        for line in file:
            fields = line.rstrip("\n").split("\t")
            if len(fields) == 3 and fields[0].endswith(".title") and fields[0] != "menu.title":
                titles[fields[0].split(".")[1]] = fields[column]
    return titles


def Shoot(title, picture):
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                            capture_output=True, text=True).stdout.split()
    if not window:
        raise driver.Failure("no window \"%s\" to picture" % title)
    subprocess.run(["import", "-window", window[-1], picture], check=True)


def Tour(run, folder, ja):
    titles = Titles(ja)
    suffix = "-ja" if ja else ""
    path = lambda name: os.path.join(folder, "linux-%s%s.png" % (name, suffix))
    sequences = os.path.join(run.config, "pavix", "Sequence.dat")
    with open(SAMPLES, "rb") as source, open(sequences, "wb") as target:
        target.write(source.read())
    run.Do("start", "")
    run.Do("icon", "idle")
    editor = Open(run, "EditSequence", titles["104"])
    driver.WaitUntil(lambda: False, 0.5)
    Shoot(titles["104"], path("sequence-editor"))
    # The third button is the sequences' Add in both languages; the keys' and commands' follow.
    buttons = a11y.Find(editor, a11y.Atspi.Role.PUSH_BUTTON)
    adds = [button for button in buttons if button.get_name() == buttons[2].get_name()]
    a11y.Click(adds[1])
    hotkey = Wait(run, titles["108"])
    Shoot(titles["108"], path("hotkey-editor"))
    a11y.Click(a11y.Find(hotkey, a11y.Atspi.Role.PUSH_BUTTON)[0])
    Wait(run, titles["107"])
    xkeys.Press(["ctrl+alt+a"])
    driver.WaitUntil(lambda: False, 0.3)
    Shoot(titles["107"], path("key-capture"))
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, titles["107"])
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, titles["108"])
    a11y.Click(adds[2])
    Wait(run, titles["105"])
    Shoot(titles["105"], path("command-editor"))
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, titles["105"])
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, titles["104"])
    Open(run, "Configuration", titles["111"])
    Shoot(titles["111"], path("configuration"))
    subprocess.run(["xdotool", "key", "Escape"])
    Gone(run, titles["111"])


def main():
    options = driver.ParseOptions()
    keyboard = xkeys.Keyboard()
    name = "tour_" + options.group
    scenario = {"name": name, "files": FILES, "group": options.group, "held": [],
                "steps": []}
    run = driver.Run(options, scenario, keyboard, tray.Log(options.tray_log))
    reason = ""
    try:
        run.Prepare()
        Tour(run, os.environ["PAVIX_E2E_TOUR"], options.group == "ja")
    except Exception as error:
        reason = str(error) or type(error).__name__
    run.End()
    print("FAIL %s: %s" % (name, reason) if reason else "PASS " + name, flush=True)
    print("END " + options.group, flush=True)
    return 1 if reason else 0


if __name__ == "__main__":
    sys.exit(main())
