#!/usr/bin/python3
# A scripted GlobalShortcuts backend for the real xdg-desktop-portal frontend: the desktop rules
# that this machine has no backend for. Each call goes to the log (one JSON object a line).
#
#   backend.py LOG RULE
#
# RULE: "gnome" (one bind per session), "cancel" (every bind cancelled), "subset" (binds only the
# first shortcut asked), "kde" (binds again). ListShortcuts lists what the last bind bound, kept
# in LOG.kept across runs as GNOME keeps it per program. Press(session, id) on /test makes the
# backend report a press of `id` in that session, as the desktop does.
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.impl.portal.desktop.pavixtest"
IMPL = "org.freedesktop.impl.portal.GlobalShortcuts"
PATH = "/org/freedesktop/portal/desktop"

log_path, rule = sys.argv[1], sys.argv[2]


def log(**entry):
    with open(log_path, "a") as out:
        out.write(json.dumps(entry) + "\n")


def shortcut_list(shortcuts):
    return dbus.Array([dbus.Struct((s[0], dbus.Dictionary(
        {"description": s[1].get("description", ""), "trigger_description": s[1].get("preferred_trigger", "")},
        signature="sv"))) for s in shortcuts], signature="(sa{sv})")


class Session(dbus.service.Object):
    def __init__(self, bus, path, backend):
        super().__init__(bus, path)
        self.path, self.backend, self.bound = path, backend, False

    @dbus.service.method("org.freedesktop.impl.portal.Session", in_signature="", out_signature="")
    def Close(self):
        log(call="Close", session=self.path)
        self.backend.sessions.pop(self.path, None)
        self.remove_from_connection()

    @dbus.service.signal("org.freedesktop.impl.portal.Session", signature="a{sv}")
    def Closed(self, details):
        pass


class Backend(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.bus, self.sessions = bus, {}

    @dbus.service.method(IMPL, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session, app_id, options):
        shortcuts = [[str(s[0]), {k: str(v) for k, v in s[1].items()}] for s in options.get("shortcuts", [])]
        log(call="CreateSession", session=str(session), app_id=str(app_id), shortcuts=shortcuts)
        self.sessions[str(session)] = Session(self.bus, session, self)
        return 0, dbus.Dictionary({"shortcuts": shortcut_list(options.get("shortcuts", []))}, signature="sv")

    @dbus.service.method(IMPL, in_signature="ooa(sa{sv})sa{sv}", out_signature="ua{sv}")
    def BindShortcuts(self, handle, session, shortcuts, parent, options):
        asked = [[str(s[0]), {k: str(v) for k, v in s[1].items()}] for s in shortcuts]
        log(call="BindShortcuts", session=str(session), shortcuts=asked)
        held = self.sessions.get(str(session))
        if rule == "cancel":
            return 1, dbus.Dictionary({}, signature="sv")
        if rule == "gnome" and held is not None and held.bound:
            return 2, dbus.Dictionary({}, signature="sv")  # "Session already has bound shortcuts"
        if held is not None:
            held.bound = True
        if rule == "subset":
            shortcuts = shortcuts[:1]
        with open(log_path + ".kept", "w") as kept:
            json.dump([[str(s[0]), {k: str(v) for k, v in s[1].items()}] for s in shortcuts], kept)
        return 0, dbus.Dictionary({"shortcuts": shortcut_list(shortcuts)}, signature="sv")

    @dbus.service.method(IMPL, in_signature="oo", out_signature="ua{sv}")
    def ListShortcuts(self, handle, session):
        log(call="ListShortcuts", session=str(session))
        try:
            with open(log_path + ".kept") as kept:
                listed = json.load(kept)
        except OSError:
            listed = []
        return 0, dbus.Dictionary({"shortcuts": shortcut_list(listed)}, signature="sv")

    @dbus.service.signal(IMPL, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return dbus.UInt32(1)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(1)}


class Test(dbus.service.Object):
    def __init__(self, bus, backend):
        super().__init__(bus, "/test")
        self.backend = backend

    @dbus.service.method("org.pavixtest.Test", in_signature="os", out_signature="")
    def Press(self, session, shortcut_id):
        self.backend.Activated(session, shortcut_id, dbus.UInt64(0), dbus.Dictionary({}, signature="sv"))

    @dbus.service.method("org.pavixtest.Test", in_signature="", out_signature="as")
    def Sessions(self):
        return list(self.backend.sessions)


DBusGMainLoop(set_as_default=True)
session_bus = dbus.SessionBus()
backend = Backend(session_bus)
Test(session_bus, backend)
name = dbus.service.BusName(NAME, session_bus)
log(call="ready")
GLib.MainLoop().run()
