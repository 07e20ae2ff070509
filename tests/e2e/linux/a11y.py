"""Pavix's windows read the way assistive technology reads them, through the accessibility bus
(AT-SPI): its message boxes (read, then closed with their button), its hint window and its
dialogs' lists."""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

_BOX_ROLES = (Atspi.Role.ALERT, Atspi.Role.DIALOG)


def _Descendants(node, role):
    found = []
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is None:
            continue
        if child.get_role() == role:
            found.append(child)
        found += _Descendants(child, role)
    return found


def _Showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


class Application:
    """The accessible tree of one process, read afresh on every question."""

    def __init__(self, pid):
        self.pid = pid

    def _Windows(self):
        desktop = Atspi.get_desktop(0)
        desktop.clear_cache()
        for index in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(index)
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return [app.get_child_at_index(i) for i in range(app.get_child_count())]
            except gi.repository.GLib.Error:
                continue
        return []

    def Boxes(self):
        """Each showing box as (title, its labels' texts, its buttons)."""
        boxes = []
        try:
            for window in self._Windows():
                if window is None or window.get_role() not in _BOX_ROLES or not _Showing(window):
                    continue
                labels = [label.get_name() for label in _Descendants(window, Atspi.Role.LABEL)
                          if label.get_name() and _Showing(label)]
                buttons = _Descendants(window, Atspi.Role.PUSH_BUTTON)
                boxes.append((window.get_name(), labels, buttons))
        except gi.repository.GLib.Error:
            return []
        return boxes

    def Hints(self, title):
        """The texts of the showing hint window's labels in order, or None without one."""
        try:
            for window in self._Windows():
                if window is not None and window.get_name() == title and _Showing(window):
                    return [label.get_name() for label in _Descendants(window, Atspi.Role.LABEL)]
        except gi.repository.GLib.Error:
            return None
        return None


def Click(button):
    button.get_action_iface().do_action(0)


def Find(node, role, name=None):
    """The showing descendants of a role, in tree order, named `name` where given."""
    return [child for child in _Descendants(node, role)
            if (name is None or child.get_name() == name) and _Showing(child)]


def Text(field):
    return Atspi.Text.get_text(field, 0, -1)


def SetText(field, text):
    if not Atspi.EditableText.set_text_contents(field, text):
        raise RuntimeError("the field \"%s\" takes no text" % field.get_name())


def Dialog(app, title):
    """The process's showing window of that title, or None."""
    try:
        for window in app._Windows():
            if window is not None and window.get_name() == title and _Showing(window):
                return window
    except gi.repository.GLib.Error:
        return None
    return None


def Cells(table, row):
    """The texts of a table's row, cell by cell, blanks at their ends aside."""
    cells = []
    for column in range(Atspi.Table.get_n_columns(table)):
        cell = Atspi.Table.get_accessible_at(table, row, column)
        cells.append((cell.get_name() or "").strip() if cell is not None else None)
    return cells


def ReadWhole(node):
    """Reads everything a screen reader asks of the node and all below it, a table's cells
    included; the number of objects read."""
    node.get_name()
    node.get_description()
    node.get_state_set().get_states()
    node.get_attributes()
    node.get_index_in_parent()
    for relation in node.get_relation_set() or []:
        for index in range(relation.get_n_targets()):
            relation.get_target(index).get_state_set().get_states()
    read = 1
    if node.get_role() in (Atspi.Role.TABLE, Atspi.Role.TREE_TABLE):
        for row in range(Atspi.Table.get_n_rows(node)):
            Cells(node, row)
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is not None:
            read += ReadWhole(child)
    return read
