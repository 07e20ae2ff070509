"""What the test tray host (tray_host.py) saw of an item, read from its log, and the item's menu
driven the way a tray drives it (com.canonical.dbusmenu: GetLayout, then Event "clicked")."""

import json
import re

import dbus

MENU = "com.canonical.dbusmenu"
ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Log:
    """The host's log from a given line on, read again on every question."""

    def __init__(self, path, start=0):
        self.path, self.start = path, start

    def _Lines(self):
        # Only whole lines: the host may be halfway through writing the last one.
        with open(self.path, encoding="utf-8") as file:
            text = file.read()
        return text[:text.rfind("\n") + 1].splitlines()

    def Events(self):
        return [json.loads(line) for line in self._Lines()[self.start:] if line.strip()]

    def Length(self):
        return len(self._Lines())

    def Item(self, pid):
        """The registration of the process's item, or None."""
        for event in self.Events():
            if event["event"] == "registered" and event["pid"] == pid:
                return event
        return None

    def Pictures(self, service):
        return [event["picture"] for event in self.Events()
                if event["event"] == "picture" and event["service"] == service]

    def Gone(self, service):
        return any(event["event"] == "gone" and event["service"] == service
                   for event in self.Events())


def Plain(label):
    """A menu label without its access key: "E&xit", "E_xit" and "有効化(&E)" alike."""
    label = re.sub(r"\([&_].\)$", "", label)
    return label.replace("&", "").replace("_", "")


class Menu:
    def __init__(self, service, path):
        self.proxy = dbus.SessionBus().get_object(service, path, introspect=False)

    def Items(self):
        """(id, plain label, enabled, visible) of each item of the top level, in order."""
        self.proxy.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
        _, layout = self.proxy.GetLayout(dbus.Int32(0), dbus.Int32(1), dbus.Array([], "s"),
                                         dbus_interface=MENU)
        items = []
        for child in layout[2]:
            identifier, properties = int(child[0]), child[1]
            if properties.get("type", "standard") == "separator":
                continue
            items.append((identifier, Plain(str(properties.get("label", ""))),
                          bool(properties.get("enabled", True)),
                          bool(properties.get("visible", True))))
        return items

    def Click(self, label):
        for identifier, text, enabled, visible in self.Items():
            if text == label:
                if not enabled or not visible:
                    raise RuntimeError("the menu item \"%s\" is greyed or hidden" % label)
                # As trays do, without waiting for the answer: Exit may end the item first.
                self.proxy.Event(dbus.Int32(identifier), "clicked", dbus.Int32(0, variant_level=1),
                                 dbus.UInt32(0), dbus_interface=MENU, ignore_reply=True)
                return
        raise RuntimeError("the menu has no item \"%s\"" % label)
