#!/usr/bin/python3
"""The README's pictures of Pavix on a KDE Wayland session: the hint window beside the tray's
corner after a chord typed in KWin, and the sequence editor in KWin's frame, both taken through
KWin's own screenshot interface (ScreenShot2), as the desktop shows them. Runs inside the session
of kde_session.sh like kde_driver.py, English only (PAVIX_E2E_TOUR names the pictures' folder).

  kde_tour.py <the driver's options> --group en|ja
"""

import os
import subprocess
import sys

import dbus

import kde_driver
import driver  # noqa: E402  (found through kde_driver's path)
import tour  # noqa: E402
import tray  # noqa: E402

MARGIN = 8


def Save(method, options, picture):
    """Takes one picture through ScreenShot2 and keeps it small as the X11 tour does."""
    width, height, rows = kde_driver.Shot(method, *options)
    subprocess.run(["convert", "-size", "%dx%d" % (width, height), "-depth", "8", "bgra:-",
                    "-alpha", "off", "-strip", "+dither", "-colors", "256", "PNG8:" + picture],
                   input=b"".join(rows), check=True)


def Hints(run, keyboard, picture):
    keyboard.Press(["ctrl+alt+p"])
    run.Do("icon", "seeking")
    title = run.texts["HintTitle"]
    if not driver.WaitUntil(lambda: run.app.Hints(title)):
        raise driver.Failure("no hints showed after Ctrl+Alt+P")
    driver.WaitUntil(lambda: False, 0.3)
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", tour.Window(title)],
                           capture_output=True, text=True, check=True).stdout
    where = dict(line.split("=", 1) for line in shell.split())
    x, y = max(int(where["X"]) - MARGIN, 0), max(int(where["Y"]) - MARGIN, 0)
    area = (x, y, dbus.UInt32(int(where["WIDTH"]) + 2 * MARGIN),
            dbus.UInt32(int(where["HEIGHT"]) + 2 * MARGIN), {})
    Save("CaptureArea", area, picture)
    run.Do("menu", "abort")
    run.Do("icon", "idle")


def Editor(run, picture):
    texts = tour.DialogTexts(False)
    tour.Open(run, "EditSequence", texts["104.title"])
    tour.Focus(texts["104.title"])
    driver.WaitUntil(lambda: False, 0.5)
    Save("CaptureActiveWindow", ({"include-decoration": True, "include-shadow": False},), picture)
    subprocess.run(["xdotool", "key", "Escape"])
    tour.Gone(run, texts["104.title"])


def main():
    options = driver.ParseOptions()
    name = "kde_tour_" + options.group
    if options.group != "en":
        print("END " + options.group, flush=True)
        return 0
    keyboard = kde_driver.Keyboard(os.environ["PAVIX_FAKE_KEYS"])
    scenario = {"name": name, "files": tour.FILES, "group": "en", "held": [], "steps": []}
    run = kde_driver.Run(options, scenario, keyboard, tray.Log(options.tray_log))
    folder = os.environ["PAVIX_E2E_TOUR"]

    def Pictures():
        with open(tour.SAMPLES, "rb") as source, \
                open(os.path.join(run.config, "pavix", "Sequence.dat"), "wb") as target:
            target.write(source.read())
        run.Do("start", "")
        run.Do("icon", "idle")
        Hints(run, keyboard, os.path.join(folder, "kde-hints.png"))
        Editor(run, os.path.join(folder, "kde-sequence-editor.png"))
    return tour.Take(run, name, options.group, Pictures)


if __name__ == "__main__":
    sys.exit(main())
