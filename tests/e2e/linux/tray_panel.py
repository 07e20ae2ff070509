#!/usr/bin/python3
"""A desktop's panel for the README's pictures: a strip along the top of the display with one
item's icon at its right end, drawn from the item's IconThemePath and (Attention)IconName, and the
item's menu built from what the item exports (com.canonical.dbusmenu, through DbusmenuGtk) and
dropped down under the icon, as the tray of a desktop shows them. Driven by lines on its input:

  icon    reads the item's picture again and draws it
  menu    builds the menu afresh from the bus and opens it under the icon
  close   closes the menu

Each line is answered by one: "ok X Y WIDTH HEIGHT", the part of the screen to picture (the
panel's right end, with the menu while it is open), or "error <reason>".

  /usr/bin/python3 tray_panel.py <bus name> <item path> <menu path>
"""

import os
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
gi.require_version("DbusmenuGtk3", "0.4")
from gi.repository import DbusmenuGtk3, Gdk, Gio, GLib, Gtk  # noqa: E402

ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"
HEIGHT = 34
ICON_SIZE = 22
SHOWN_WIDTH = 260  # the part of the panel in the pictures, as wide as the Windows ones
MENU_WAIT_MS = 5000
SETTLE_MS = 300  # the menu's layout must stay the same this long before it opens


class Panel:
    def __init__(self, service, path, menu_path):
        self.service, self.path, self.menu_path = service, path, menu_path
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        self.menu = None
        self.window = Gtk.Window(type=Gtk.WindowType.POPUP)
        screen = Gdk.Screen.get_default()
        self.width = screen.get_width()
        self.window.set_size_request(self.width, HEIGHT)
        self.window.move(0, 0)
        box = Gtk.Box(orientation=Gtk.Orientation.HORIZONTAL)
        box.get_style_context().add_class("menubar")
        self.image = Gtk.Image()
        self.icon = Gtk.EventBox()
        self.icon.add(self.image)
        self.icon.set_size_request(HEIGHT, HEIGHT)
        box.pack_end(self.icon, False, False, 6)
        self.window.add(box)
        self.window.show_all()

    def Get(self, name):
        try:
            answer = self.bus.call_sync(self.service, self.path, PROPERTIES, "Get",
                                        GLib.Variant("(ss)", (ITEM, name)),
                                        GLib.VariantType("(v)"), Gio.DBusCallFlags.NONE, 2000, None)
            return answer.unpack()[0]
        except GLib.Error:
            return ""

    def Icon(self):
        prefix = "Attention" if self.Get("Status") == "NeedsAttention" else ""
        theme = Gtk.IconTheme()
        theme.append_search_path(self.Get("IconThemePath"))
        try:
            picture = theme.load_icon(self.Get(prefix + "IconName"), ICON_SIZE,
                                      Gtk.IconLookupFlags.FORCE_SIZE)
        except GLib.Error as error:
            return "error the icon cannot be read: %s" % error.message
        self.image.set_from_pixbuf(picture)
        return self.Settled(self.Strip())

    def Strip(self):
        return (self.width - SHOWN_WIDTH, 0, SHOWN_WIDTH, HEIGHT)

    def Menu(self):
        self.Close()
        self.menu = DbusmenuGtk3.Menu.new(self.service, self.menu_path)
        self.menu.attach_to_widget(self.icon, None)
        state = {"waited": 0, "layout": None, "same": 0}

        def Poll():
            labels = [(child.get_label(), child.get_sensitive())
                      for child in self.menu.get_children()]
            state["same"] = state["same"] + 50 if labels and labels == state["layout"] else 0
            state["layout"] = labels
            state["waited"] += 50
            if state["same"] >= SETTLE_MS:
                self.menu.popup_at_widget(self.icon, Gdk.Gravity.SOUTH_EAST,
                                          Gdk.Gravity.NORTH_EAST, None)
                self.Settled(None)
                return False
            if state["waited"] >= MENU_WAIT_MS:
                Answer("error the menu did not arrive from the bus")
                return False
            return True

        GLib.timeout_add(50, Poll)

    def Close(self):
        if self.menu is not None:
            self.menu.popdown()
            self.menu.destroy()
            self.menu = None

    def Shown(self):
        """The panel's right end with the open menu, if any."""
        x, y, width, height = self.Strip()
        if self.menu is None:
            return x, y, width, height
        if not self.menu.get_mapped():
            raise RuntimeError("the menu did not open (another program holds the pointer?)")
        window = self.menu.get_toplevel().get_window()
        left, top = window.get_origin()[1:]
        right = max(x + width, left + window.get_width())
        bottom = max(y + height, top + window.get_height())
        x, y = min(x, left), min(y, top)
        return x, y, right - x, bottom - y

    def Settled(self, shown):
        """Answers once what was asked has been drawn."""

        def Done():
            try:
                Answer("ok %d %d %d %d" % (shown or self.Shown()))
            except RuntimeError as error:
                Answer("error %s" % error)
            return False

        GLib.timeout_add(SETTLE_MS, Done)
        return None

    def Do(self, line):
        verb = line.strip()
        if verb == "icon":
            return self.Icon()
        if verb == "menu":
            return self.Menu()
        if verb == "close":
            self.Close()
            return self.Settled(None)
        return "error no such request \"%s\"" % verb


def Answer(text):
    if text is not None:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: tray_panel.py <bus name> <item path> <menu path>")
    panel = Panel(*sys.argv[1:])
    source = sys.stdin.fileno()

    def Read(_, condition):
        line = os.read(source, 4096).decode()
        if not line or condition & GLib.IOCondition.HUP:
            Gtk.main_quit()
            return False
        for request in line.splitlines():
            Answer(panel.Do(request))
        return True

    GLib.io_add_watch(source, GLib.PRIORITY_DEFAULT, GLib.IOCondition.IN | GLib.IOCondition.HUP,
                      Read)
    Answer("ready")
    Gtk.main()


if __name__ == "__main__":
    main()
