#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: atspi_tree.py PID [press NAME]
# Prints the accessible tree of the application with the given process id as
# a screen reader reads it over AT-SPI: one line per object,
# "role|name|description|states|actions", indented by depth.
import sys

import pyatspi


def walk(node, depth, out):
    try:
        role = node.getRoleName()
        name = node.name or ""
        description = node.description or ""
        states = node.getState().getStates()
    except Exception:  # an object that went away while being read
        return
    flags = []
    for state, word in ((pyatspi.STATE_EDITABLE, "editable"),
                        (pyatspi.STATE_READ_ONLY, "read-only"),
                        (pyatspi.STATE_CHECKED, "checked"),
                        (pyatspi.STATE_SHOWING, "showing")):
        if state in states:
            flags.append(word)
    actions = []
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        pass
    out.append("%s%s|%s|%s|%s|%s" % ("  " * depth, role, name, description,
                                     ",".join(flags), ",".join(actions)))
    # Windows that are not on the screen are not read out, nor their parts.
    if depth > 0 and "showing" not in flags and role in ("dialog", "frame", "window"):
        return
    if role in ("scroll bar", "table column header", "table row header"):
        return
    for i in range(min(node.childCount, 200)):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, out)


def press(node, name):
    """Does the first action of the first object called name."""
    if node.name == name:
        node.queryAction().doAction(0)
        return True
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None and press(child, name):
            return True
    return False


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid:
            if len(sys.argv) > 3 and sys.argv[2] == "press":
                return 0 if press(app, sys.argv[3]) else 1
            out = []
            walk(app, 0, out)
            print("\n".join(out))
            return 0
    print("no application with process id %d" % pid, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
