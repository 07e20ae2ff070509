#!/usr/bin/python3
# One scenario of the desktop rules that Debian's desktops do not show, run inside a private
# session bus: the real xdg-desktop-portal frontend with the scripted backend (backend.py),
# Pavix on the X display of DISPLAY, told that it runs in a Wayland session. Prints
# "PASS name" or "FAIL name: reason".
#
#   driver.py PAVIX PAVIX_SEQ WORK SCENARIO
import json
import os
import subprocess
import sys
import time

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "linux"))
import a11y  # noqa: E402
pavix, pavix_seq, work, scenario = sys.argv[1:5]
BACKEND = "org.freedesktop.impl.portal.desktop.pavixtest"
PORTAL = "org.freedesktop.portal.Desktop"
PORTAL_PATH = "/org/freedesktop/portal/desktop"
SEQUENCES = """[[sequence]]
name = "Touch"
keys = ["Ctrl+Alt+P", "Shift+F5"]
commands = [{ run = "/usr/bin/touch", args = "%s", dir = "/" }]
"""
# scenario: backend rule (None: no GlobalShortcuts at all), desktop, KDE_SESSION_VERSION
SCENARIOS = {
    "press_runs_sequence": ("kde", "KDE", "6"),
    "kde5_shortcuts_at_create": ("kde", "KDE", "5"),
    "broadcast_of_another_session": ("kde", "KDE", "6"),
    "gnome_restart_binds_nothing": ("gnome", "GNOME", ""),
    "gnome_dialog_cancelled": ("cancel", "GNOME", ""),
    "subset_bound": ("subset", "KDE", "6"),
    "no_global_shortcuts": (None, "sway", ""),
}
children = []


class Failure(Exception):
    pass


def wait_for(what, test, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if test():
            return
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def start(arguments, **kwargs):
    child = subprocess.Popen(arguments, **kwargs)
    children.append(child)
    return child


def calls(log):
    with open(log) as lines:
        return [json.loads(line) for line in lines if line.strip()]


def named(log, call):
    return [entry for entry in calls(log) if entry["call"] == call]


def start_portal(bus, rule, desktop, log):
    portals = os.path.join(work, "portals")
    os.makedirs(portals, exist_ok=True)
    if rule is not None:
        with open(os.path.join(portals, "pavixtest.portal"), "w") as out:
            out.write("[portal]\nDBusName=%s\nInterfaces=org.freedesktop.impl.portal.GlobalShortcuts\n"
                      "UseIn=%s\n" % (BACKEND, desktop))
        start(["/usr/bin/python3", os.path.join(HERE, "backend.py"), log, rule],
              stderr=open(os.path.join(work, "backend.err"), "w"))
        wait_for("the backend", lambda: bus.name_has_owner(BACKEND))
    env = dict(os.environ, XDG_DESKTOP_PORTAL_DIR=portals, XDG_CURRENT_DESKTOP=desktop)
    quiet = open(os.path.join(work, "frontend.err"), "w")
    start(["/usr/libexec/xdg-permission-store", "--replace"], env=env, stderr=quiet)
    start(["/usr/libexec/xdg-desktop-portal"], env=env, stderr=quiet)
    wait_for("the portal", lambda: bus.name_has_owner(PORTAL))


def start_pavix(desktop, version, run, **changes):
    env = dict(os.environ, **changes, WAYLAND_DISPLAY="pavix-test-wayland", XDG_SESSION_TYPE="wayland",
               XDG_CURRENT_DESKTOP=desktop, KDE_SESSION_VERSION=version,
               XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_RUNTIME_DIR=os.path.join(work, "runtime"), ALSA_CONFIG_PATH="/dev/null")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    return start([pavix], env=env, stderr=open(os.path.join(work, "pavix%d.err" % run), "w"))


def press(bus, session, shortcut):
    bus.get_object(BACKEND, "/test").Press(session, shortcut, dbus_interface="org.pavixtest.Test")


def session_of(log):
    return named(log, "CreateSession")[-1]["session"]


def ran(marker, seconds=3.0):
    try:
        wait_for("the command", lambda: os.path.exists(marker), seconds)
        return True
    except Failure:
        return False


def quiet_for(log, call, count, seconds=1.0):
    time.sleep(seconds)  # a rebinding loop would show within this
    if len(named(log, call)) != count:
        raise Failure("%s %d times, not %d: %s" % (call, len(named(log, call)), count, calls(log)))


def refusal_boxes(child, labels, seconds=10.0):
    """Closes each box Pavix shows until one has named every chord of `labels` as refused."""
    app, seen = a11y.Application(child.pid), set()

    def read():
        for _, texts, buttons in app.Boxes():
            for text in texts:
                for label in labels:
                    if "Failed to register Hotkey" in text and text.endswith(label):
                        seen.add(label)
            if buttons:
                a11y.Click(buttons[0])
        return seen == set(labels)
    try:
        wait_for("the boxes", read, seconds)
    except Failure:
        raise Failure("boxes named %s of %s refused" % (sorted(seen), labels))


def run(bus):
    rule, desktop, version = SCENARIOS[scenario]
    log = os.path.join(work, "backend.log")
    marker = os.path.join(work, "ran")
    os.makedirs(os.path.join(work, "config", "pavix"), exist_ok=True)
    toml = os.path.join(work, "sequences.toml")
    with open(toml, "w") as out:
        out.write(SEQUENCES % marker)
    subprocess.run([pavix_seq, "--codepage", "65001", "import", toml,
                    os.path.join(work, "config", "pavix", "Sequence.dat")], check=True,
                   stdout=subprocess.DEVNULL)
    open(log, "w").close()
    start_portal(bus, rule, desktop, log)
    first = start_pavix(desktop, version, 1)
    if rule is None:
        err = os.path.join(work, "pavix1.err")
        wait_for("the missing portal's report",
                 lambda: "no global shortcuts portal" in open(err).read())
        if first.poll() is not None:
            raise Failure("Pavix ended without the portal")
        if not os.path.exists(os.path.join(work, "data", "applications", "io.github.pavix.Pavix.desktop")):
            raise Failure("no desktop file was written")
        # Without Xwayland as well, nothing would hear the chords: Pavix says so and ends.
        first.terminate()  # while its box waits, before any window of Pavix
        if first.wait(5) != 0:
            raise Failure("SIGTERM during the box ended Pavix with %s" % first.returncode)
        second = start_pavix(desktop, version, 2, DISPLAY="")
        if second.wait(10) != 1 or "cannot open the X11 display" not in \
                open(os.path.join(work, "pavix2.err")).read():
            raise Failure("without X11 and the portal Pavix ended with %s" % second.returncode)
        return
    if scenario == "kde5_shortcuts_at_create":
        wait_for("CreateSession", lambda: named(log, "CreateSession"))
        asked = named(log, "CreateSession")[0]["shortcuts"]
        if [s[0] for s in asked] != ["ctrl-alt-p", "shift-f5"]:
            raise Failure("CreateSession asked for %s" % asked)
        quiet_for(log, "BindShortcuts", 0)
    else:
        wait_for("BindShortcuts", lambda: named(log, "BindShortcuts"))
        quiet_for(log, "BindShortcuts", 1)
    session = session_of(log)
    if scenario == "press_runs_sequence" or scenario == "kde5_shortcuts_at_create":
        asked = (named(log, "BindShortcuts") or named(log, "CreateSession"))[0]["shortcuts"]
        expected = [["ctrl-alt-p", {"description": "Starts Touch", "preferred_trigger": "CTRL+ALT+p"}],
                    ["shift-f5", {"description": "Continues Touch", "preferred_trigger": "SHIFT+F5"}]]
        if asked != expected:
            raise Failure("asked for %s" % asked)
    elif scenario == "broadcast_of_another_session":
        # Another client's session, whose presses this frontend sends to every client.
        portal = bus.get_object(PORTAL, PORTAL_PATH)
        portal.CreateSession({"handle_token": "other", "session_handle_token": "other"},
                             dbus_interface="org.freedesktop.portal.GlobalShortcuts")
        sender = bus.get_unique_name()[1:].replace(".", "_")
        other = "%s/session/%s/other" % (PORTAL_PATH, sender)
        wait_for("the other session", lambda: len(named(log, "CreateSession")) == 2)
        press(bus, other, "ctrl-alt-p")
        press(bus, session, "shift-f5")  # alone, it starts nothing
        if ran(marker, 1.0):
            raise Failure("another session's press counted")
    elif scenario == "gnome_restart_binds_nothing":
        first.terminate()
        first.wait(5)
        start_pavix(desktop, version, 2)
        wait_for("the second ListShortcuts", lambda: len(named(log, "ListShortcuts")) == 2)
        quiet_for(log, "BindShortcuts", 1)
        session = session_of(log)
    elif scenario in ("gnome_dialog_cancelled", "subset_bound"):
        # The engine stops at a sequence's first refused chord, so one box names it.
        refusal_boxes(first, ["[C][A]+P" if scenario == "gnome_dialog_cancelled" else "[S]+F5"])
        quiet_for(log, "BindShortcuts", 1, 0)
        press(bus, session, "ctrl-alt-p")
        press(bus, session, "shift-f5")  # refused: the sequence cannot complete
        if ran(marker, 1.0):
            raise Failure("a refused chord was heard")
        return
    press(bus, session, "ctrl-alt-p")
    press(bus, session, "shift-f5")
    if not ran(marker):
        raise Failure("the sequence did not run: %s" % calls(log))


def main():
    bus = dbus.SessionBus()
    try:
        run(bus)
        print("PASS " + scenario)
    except (Failure, subprocess.CalledProcessError, dbus.DBusException) as failure:
        print("FAIL %s: %s" % (scenario, failure))
    finally:
        for child in reversed(children):
            child.terminate()
        for child in children:
            try:
                child.wait(5)
            except subprocess.TimeoutExpired:
                child.kill()


main()
