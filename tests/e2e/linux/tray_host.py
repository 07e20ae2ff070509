#!/usr/bin/python3
"""A test tray for a private session bus: the StatusNotifierWatcher that items register with, and a
host that reads each registered item's pictures and writes what it sees to a log, one JSON object
a line, flushed at once:

  {"event": "registered", "service": ..., "path": ..., "menu": ..., "pid": ...}
  {"event": "picture", "service": ..., "picture": {...}}  whenever what the item shows changes
  {"event": "gone", "service": ...}                      when the item leaves the bus

A picture is the item's Status with its icon (IconName, IconThemePath, a digest of IconPixmap)
or, while it asks for attention, its attention icon. A picture is logged only when it differs
from the item's last one, and only from the first one the item shows (Status not Passive); an
item that no longer answers shows nothing new.

  /usr/bin/python3 tray_host.py <log file>
"""

import hashlib
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"
ITEM_SIGNALS = ("NewIcon", "NewAttentionIcon", "NewStatus", "NewIconThemePath", "NewTitle")


def Digest(pixmaps):
    hashed = hashlib.sha1()
    for width, height, data in pixmaps:
        hashed.update(b"%d,%d," % (int(width), int(height)))
        hashed.update(bytes(bytearray(data)))
    return hashed.hexdigest()[:16]


class Log:
    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8")

    def Write(self, **record):
        self.file.write(json.dumps(record, ensure_ascii=False) + "\n")
        self.file.flush()


class Item:
    """One registered item, read again whenever it says something changed."""

    def __init__(self, bus, log, service, path):
        self.bus, self.log, self.service, self.path = bus, log, service, path
        self.last = None
        self.shown = False
        self.proxy = bus.get_object(service, path, introspect=False)

    def Get(self, name, fallback):
        try:
            return self.proxy.Get(ITEM, name, dbus_interface=PROPERTIES)
        except dbus.DBusException:
            return fallback

    def Menu(self):
        return str(self.Get("Menu", ""))

    def Picture(self):
        status = str(self.Get("Status", ""))
        prefix = "Attention" if status == "NeedsAttention" else ""
        return {
            "status": status,
            "iconName": str(self.Get(prefix + "IconName", "")),
            "themePath": str(self.Get("IconThemePath", "")),
            "pixmap": Digest(self.Get(prefix + "IconPixmap", [])),
        }

    def Changed(self, *unused):
        picture = self.Picture()
        if not picture["status"]:
            return  # the item is leaving the bus
        self.shown = self.shown or picture["status"] != "Passive"
        if self.shown and picture != self.last:
            self.last = picture
            self.log.Write(event="picture", service=self.service, picture=picture)


class Watcher(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus, self.log = bus, log
        self.items = {}
        bus.add_signal_receiver(self.OwnerChanged, signal_name="NameOwnerChanged",
                                dbus_interface="org.freedesktop.DBus")
        # One match for every item's signals, made before any item can register: a match made at
        # registration could miss what the item says right after it.
        for signal in ITEM_SIGNALS:
            bus.add_signal_receiver(self.ItemChanged, signal_name=signal, dbus_interface=ITEM,
                                    sender_keyword="sender", path_keyword="path")

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, name, sender=None):
        # Items pass their object path (served under their unique name) or a bus name.
        service, path = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        key = service + path
        if key in self.items:
            return
        item = Item(self.bus, self.log, service, path)
        self.items[key] = item
        pid = self.bus.call_blocking("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "GetConnectionUnixProcessID", "s",
                                     [service])
        self.log.Write(event="registered", service=service, path=path, menu=item.Menu(), pid=int(pid))
        self.StatusNotifierItemRegistered(key)
        item.Changed()

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, name):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, key):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, key):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(list(self.items), signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    def ItemChanged(self, *unused, sender=None, path=None):
        item = self.items.get(sender + path)
        if item is not None:
            item.Changed()

    def OwnerChanged(self, name, old, new):
        if new:
            return
        for key in [key for key, item in self.items.items() if item.service == name]:
            del self.items[key]
            self.log.Write(event="gone", service=name)
            self.StatusNotifierItemUnregistered(key)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: tray_host.py <log file>")
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    log = Log(sys.argv[1])
    watcher = Watcher(bus, log)
    # The name last: an item that sees it may register at once.
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    log.Write(event="ready")
    GLib.MainLoop().run()
    del watcher, name


if __name__ == "__main__":
    main()
