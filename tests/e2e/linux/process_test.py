#!/usr/bin/python3
"""What only the Linux program has, as a process among others: the signals that end a program
end Pavix as its menu's Exit does (status 0, item gone, chords free), also with an editor open;
a program that a sequence starts leads a session of its own and outlives Ctrl+C and a hang-up
sent to Pavix's process group; the session bus going away leaves Pavix hearing its chords
and running their commands; and a second start without a tray opens the menu's choices. Runs inside the same session as driver.py (run.sh starts it) and
prints "PASS name" or "FAIL name: reason" for each.

  process_test.py <the driver's options, without --group>
"""

import os
import re
import signal
import subprocess
import sys
import time

import driver
import editors
import tray
import tray_test

SIGNALS = "process_signals_end_pavix_as_exit_does"
LAUNCHED = "process_started_program_outlives_pavix_and_its_terminal"
BUS = "process_chords_still_run_after_the_session_bus_goes"
CHOICES = "process_second_start_without_a_tray_opens_the_menu_choices"
PROBE = "probe"
# The probe: writes its process id where the sequence says, then waits to be ended.
PROBE_SCRIPT = """#!/bin/sh
echo $$ >"$1.part" && mv "$1.part" "$1"
exec sleep 60
"""
SETTLE = 0.5  # how long Pavix is given to notice that its bus went away


def EndsOnSignal(run, number):
    os.kill(run.pavix.pid, number)
    try:
        run.Do("exits", "")
    except driver.Failure as failure:
        raise driver.Failure("after %s: %s" % (signal.Signals(number).name, failure))
    run.Do("free", "ctrl+alt+a ctrl+alt+d")


def CheckSignals(run):
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        run.item = None
        run.icons = 0
        run.Do("start", "")
        run.Do("icon", "idle")
        run.Do("held", "ctrl+alt+a ctrl+alt+d")
        EndsOnSignal(run, number)
    # With an editor open, the editor ends as its Cancel ends it and writes nothing.
    run.item = None
    run.icons = 0
    run.Do("start", "")
    run.Do("icon", "idle")
    run.Do("menu", "configuration")
    run.Do("dialog", "ConfigDialog")
    run.Do("set", "ConfigDialog.TimeoutField 1234")
    EndsOnSignal(run, signal.SIGTERM)
    run.Do("unchanged", "Config.dat")


def Stat(pid):
    """The process's state, process group and session, from /proc; None once it has gone."""
    try:
        with open("/proc/%d/stat" % pid) as file:
            state, _, group, session = file.read().rsplit(")", 1)[1].split()[:4]
    except FileNotFoundError:
        return None
    return None if state == "Z" else (int(group), int(session))


def CheckLaunched(run):
    probe = os.path.join(run.config, "pavix", PROBE)
    with open(probe, "w") as file:
        file.write(PROBE_SCRIPT)
    os.chmod(probe, 0o755)
    run.pavix = run.Start(new_session=True)
    run.app = driver.a11y.Application(run.pavix.pid)
    run.Do("icon", "idle")
    run.Do("press", "ctrl+alt+a ctrl+alt+b")
    if not driver.WaitUntil(lambda: os.path.exists(run.marker)):
        raise driver.Failure("the sequence's program did not start")
    pid = int(open(run.marker).read())
    try:
        if Stat(pid) != (pid, pid):
            raise driver.Failure("the program runs in group and session %s, not its own (%d)"
                                 % (Stat(pid), pid))
        # As the terminal that started Pavix sends them on Ctrl+C and when it closes.
        os.killpg(run.pavix.pid, signal.SIGINT)
        os.killpg(run.pavix.pid, signal.SIGHUP)
        run.Do("exits", "")
        if Stat(pid) is None:
            raise driver.Failure("the program ended with Pavix")
    finally:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def PrivateBus():
    """A session bus of its own, without a tray: the daemon and its address."""
    daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return daemon, daemon.stdout.readline().strip()


def PrivateSession(folder):
    """A session bus of its own with a test tray on it: the daemon, the tray host, the bus's
    address and the host's log."""
    daemon, address = PrivateBus()
    log = os.path.join(folder, "tray.log")
    open(log, "w").close()
    host = subprocess.Popen([sys.executable, os.path.join(driver.HERE, "tray_host.py"), log],
                            env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address),
                            stderr=subprocess.DEVNULL)
    if not driver.WaitUntil(lambda: '"ready"' in open(log).read()):
        raise driver.Failure("the private session's tray did not start")
    return daemon, host, address, tray.Log(log)


def CheckBus(run):
    """The bus goes while Pavix's item is on it, as when the session's bus ends or restarts."""
    daemon, host, address, log = PrivateSession(run.folder)
    # The tray item's library warns of each call that the gone bus cannot carry.
    run.expected_complaints = re.compile(r"libayatana-appindicator-WARNING")
    try:
        run.pavix = run.Start(DBUS_SESSION_BUS_ADDRESS=address)
        run.app = driver.a11y.Application(run.pavix.pid)
        if not driver.WaitUntil(lambda: log.Item(run.pavix.pid)):
            raise driver.Failure("Pavix's item did not register on its bus")
    finally:
        daemon.terminate()
        host.kill()
        daemon.wait()
        host.wait()
    time.sleep(SETTLE)
    run.Do("press", "ctrl+alt+a ctrl+alt+b")
    run.Do("runs", "1")
    if run.pavix.poll() is not None:
        raise driver.Failure("Pavix ended with status %d when the bus went" % run.pavix.returncode)
    run.Do("held", "ctrl+alt+a")
    run.pavix.terminate()
    if run.pavix.wait(driver.WAIT_CAP) != 0:
        raise driver.Failure("SIGTERM ended Pavix with status %d" % run.pavix.returncode)


def CheckChoices(run):
    """Where no tray shows Pavix's icon, starting Pavix again opens its menu's items in a window,
    grayed and ticked as the menu would be, and a choice there is the menu's."""
    daemon, address = PrivateBus()
    try:
        run.pavix = run.Start(DBUS_SESSION_BUS_ADDRESS=address)
        run.app = driver.a11y.Application(run.pavix.pid)
        run.Do("box", run.texts["NoNotificationArea"])
        code, errors = tray_test.StartWith(run, DBUS_SESSION_BUS_ADDRESS=address)
        if code != 0 or errors:
            raise driver.Failure("the second start ended with status %d (%s)" % (code, errors))
        window = driver.WaitUntil(lambda: driver.a11y.Dialog(run.app, "Pavix"))
        if window is None:
            raise driver.Failure("no window of the menu's choices appeared")
        Atspi = driver.a11y.Atspi
        items = {tray.Plain(item.get_name()): item
                 for role in (Atspi.Role.PUSH_BUTTON, Atspi.Role.CHECK_BOX)
                 for item in driver.a11y.Find(window, role)}
        grayed = sorted(name for name, item in items.items()
                        if not item.get_state_set().contains(Atspi.StateType.SENSITIVE))
        expected = sorted(tray.Plain(run.texts[name]) for name in ("Enable", "Abort"))
        if len(items) != len(driver.MENU_ITEMS) + 1 or grayed != expected:
            raise driver.Failure("the window holds %s, grayed %s" % (sorted(items), grayed))
        driver.a11y.Click(items[tray.Plain(run.texts["Exit"])])
        if run.pavix.wait(driver.WAIT_CAP) != 0:
            raise driver.Failure("Exit in the window ended Pavix with status %d"
                                 % run.pavix.returncode)
    finally:
        daemon.terminate()
        daemon.wait()


def main():
    sys.argv += ["--group", "en"]
    options = driver.ParseOptions()
    ids = editors.ControlIds(options.table_tool, options.table)
    passed = True
    for name, check, mark in ((SIGNALS, CheckSignals, None), (LAUNCHED, CheckLaunched, PROBE),
                              (BUS, CheckBus, None), (CHOICES, CheckChoices, None)):
        if options.only in ("", name):
            passed = tray_test.RunCheck(options, name, check, mark, ids) and passed
    print("END process", flush=True)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
