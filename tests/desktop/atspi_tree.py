#!/usr/bin/python3
"""Reads the accessibility tree of a running program as a screen reader does, over the AT-SPI
bus of the D-Bus session in DBUS_SESSION_BUS_ADDRESS, and checks one of its windows.

    atspi_tree.py APP TITLE [--timeout S] [--summary N] [--named ROLE=NAME ...]
                  [--entries NAME=E1|E2|... ...] [--dump]

Waits up to S seconds (default 20) for a window titled TITLE of the application APP. Then every
editable, selectable or pressable control in it, down to the text field and the entries of a
drop-down list, must have a non-empty name that differs from the names of the controls of its role beside it
(the same parent). --entries NAME=E1|E2|...: the entries of the drop-down named NAME are E1, E2,
... in that order, as a screen reader reads them. --summary N: at least N labels carry a port and a row in their
name ("COM2 Baud rate 9600"), all different. --named ROLE=NAME: a control of that role has that
name. Exit status 0 when every check holds; the failures go to standard error.
"""

import argparse
import os
import sys
import time

import dbus
import dbus.bus

ACCESSIBLE = "org.a11y.atspi.Accessible"
STATE_EDITABLE = 7
STATE_SELECTABLE = 22
PRESSABLE = {"push button", "toggle button", "check box", "radio button", "page tab",
             "combo box", "list", "list box", "spin button", "slider", "menu item"}


def a11y_bus():
    session = dbus.SessionBus()
    launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus")
    return dbus.bus.BusConnection(launcher.GetAddress(dbus_interface="org.a11y.Bus"))


class Node:
    def __init__(self, bus, name, path):
        self.bus, self.ref = bus, (str(name), str(path))
        self.proxy = bus.get_object(str(name), str(path), introspect=False)

    def prop(self, key):
        return self.proxy.Get(ACCESSIBLE, key, dbus_interface="org.freedesktop.DBus.Properties")

    def name(self):
        return str(self.prop("Name"))

    def role(self):
        return str(self.proxy.GetRoleName(dbus_interface=ACCESSIBLE))

    def states(self):
        words = self.proxy.GetState(dbus_interface=ACCESSIBLE)
        return {bit + 32 * i for i, word in enumerate(words) for bit in range(32)
                if int(word) >> bit & 1}

    def children(self):
        return [Node(self.bus, n, p) for n, p in self.proxy.GetChildren(dbus_interface=ACCESSIBLE)]


def find_window(bus, app, title, timeout):
    root = Node(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
    deadline = time.monotonic() + timeout
    seen = set()
    while time.monotonic() < deadline:
        try:
            for application in root.children():
                if application.name().lower() != app.lower():
                    continue
                for window in application.children():
                    seen.add(window.name())
                    if window.name() == title:
                        return window
        except dbus.exceptions.DBusException:
            pass  # the program is still starting or a window is going away
        time.sleep(0.1)
    sys.exit("no window \"%s\" of %s within %s s; windows: %s" % (title, app, timeout, sorted(seen)))


def interactive(node, role, states):
    return role in PRESSABLE or STATE_EDITABLE in states or STATE_SELECTABLE in states


def walk(node, failures, controls, labels, lists, path="", dump=False):
    mine = []
    for child in node.children():
        role, name, states = child.role(), child.name(), child.states()
        where = "%s/%s \"%s\"" % (path, role, name)
        if dump:
            print(where, sorted(states))
        if role == "label":
            labels.append(name)
        if interactive(child, role, states):
            controls.append((role, name))
            mine.append(((role, name), where))
            if not name.strip():
                failures.append("no name: " + where)
        if role == "list":
            lists.setdefault(name, [entry.name() for entry in child.children()])
        walk(child, failures, controls, labels, lists, where, dump)
    # A screen reader says the role with the name: a field and its list may share a name.
    names = [key for key, _ in mine if key[1].strip()]
    for key, where in mine:
        if key[1].strip() and names.count(key) > 1:
            failures.append("same name as a neighbour: " + where)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("app")
    parser.add_argument("title")
    parser.add_argument("--timeout", type=float, default=20)
    parser.add_argument("--summary", type=int, default=0)
    parser.add_argument("--named", action="append", default=[])
    parser.add_argument("--entries", action="append", default=[])
    parser.add_argument("--dump", action="store_true")
    args = parser.parse_args()

    bus = a11y_bus()
    window = find_window(bus, args.app, args.title, args.timeout)
    failures, controls, labels, lists = [], [], [], {}
    walk(window, failures, controls, labels, lists, dump=args.dump)
    if not controls:
        failures.append("no control at all in \"%s\"" % args.title)
    for wanted in args.named:
        role, name = wanted.split("=", 1)
        if (role, name) not in controls:
            failures.append("no %s named \"%s\"; %s: %s" % (
                role, name, role, [n for r, n in controls if r == role]))
    for wanted in args.entries:
        name, entries = wanted.split("=", 1)
        if lists.get(name) != entries.split("|"):
            failures.append("the list \"%s\" reads %s, not %s" % (
                name, lists.get(name), entries.split("|")))
    if args.summary:
        cells = [label for label in labels if label.startswith("COM") and len(label.split()) >= 3]
        if len(set(cells)) < args.summary:
            failures.append("%d summary values name their port and row, not %d: %s" % (
                len(set(cells)), args.summary, labels))
    for failure in failures:
        print("%s: %s" % (args.title, failure), file=sys.stderr)
    print("%s: %d controls checked" % (args.title, len(controls)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
