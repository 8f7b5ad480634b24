"""Presses a button of a running program through its accessibility interface (AT-SPI), as a
screen reader would: `press_button.py PROGRAM LABEL`. Prints "pressed", or why not."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def find_button(node, label):
    if node.get_role() == Atspi.Role.PUSH_BUTTON and node.get_name() == label:
        return node
    for i in range(node.get_child_count()):
        found = find_button(node.get_child_at_index(i), label)
        if found:
            return found
    return None


def main(program, label):
    desktop = Atspi.get_desktop(0)
    apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
    app = next((a for a in apps if a and a.get_name() == program), None)
    if app is None:
        print(f"no application {program} among {[a.get_name() for a in apps if a]}")
        return 1
    button = find_button(app, label)
    if button is None:
        print(f"no button {label}")
        return 1
    button.get_action_iface().do_action(0)
    print("pressed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
