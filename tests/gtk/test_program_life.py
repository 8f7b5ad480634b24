"""The program's life on the Linux desktop: the service started when none answers, reaped
and started again when it ends, and ended with the program; one running program per user (a
second start brings its window back, also from the notification area; --translate-selection
has the running one translate, or starts one); Exit from the notification area."""
import os
import re
import signal
import socket
import unittest
import urllib.request
from pathlib import Path

from gtk_desktop import PROGRAM, GtkDesktop, wait_until


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def answers(port):
    try:
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/health", timeout=2) as r:
            return r.status == 200
    except OSError:
        return False


def children(pid):
    tasks = Path(f"/proc/{pid}/task")
    kids = []
    for task in tasks.iterdir() if tasks.exists() else []:
        kids += [int(k) for k in (task / "children").read_text().split()]
    return kids


class ProgramLifeTest(unittest.TestCase):
    def test_the_program_starts_the_service_when_none_answers_and_ends_it(self):
        port = free_port()
        with GtkDesktop() as desktop:
            desktop.program = desktop.spawn(
                [PROGRAM, "--test-service-url", f"http://127.0.0.1:{port}/translate"])
            desktop.wait_window(name="^Tervane 5.1$", timeout=30)
            self.assertTrue(answers(port))
            [service] = children(desktop.program.pid)
            self.assertTrue(Path(f"/proc/{service}/exe").resolve().name == "tervane-service")

            term = desktop.start_xterm("Le chat est noir.")
            desktop.select_first_line(term)
            desktop.key("ctrl+shift+F12")
            self.assertEqual(desktop.title(desktop.wait_balloon()), "The cat is black.")

            # Killed: reaped at once (no zombie left) and started again, each time a little
            # later; meanwhile a translation says what happened and what to do.
            for _ in range(4):
                os.kill(service, signal.SIGKILL)
                wait_until(lambda: not Path(f"/proc/{service}").exists(), 5, "the reaping")
                if _ < 3:
                    service = wait_until(lambda: answers(port) and children(desktop.program.pid),
                                         30, "the service started again")[0]
            desktop.xdotool("windowfocus", "--sync", term)
            desktop.key("ctrl+shift+F12")
            report = desktop.wait_window(name="^Tervane$")
            self.assertEqual(desktop.x_property(report, "_TERVANE_MESSAGE"),
                             "Tervane's translation service ended (killed by signal 9, Killed)."
                             "\r\n\r\nTervane is starting it again: try again in a few seconds.")
            desktop.xdotool("windowfocus", "--sync", report)
            desktop.key("Return")
            [service] = wait_until(lambda: answers(port) and children(desktop.program.pid), 30,
                                   "the service started again")
            balloons = desktop.balloons()
            desktop.xdotool("windowfocus", "--sync", term)
            desktop.key("ctrl+shift+F12")
            self.assertEqual(desktop.title(desktop.wait_balloon(balloons)), "The cat is black.")

            main = desktop.wait_window(name="^Tervane 5.1$")
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+x")
            desktop.program.wait(15)
            self.assertFalse(answers(port))
            self.assertFalse(Path(f"/proc/{service}").exists())

    def test_a_running_service_is_used_and_left_running(self):
        with GtkDesktop() as desktop:
            desktop.start_service()
            desktop.start_program()
            self.assertEqual(children(desktop.program.pid), [])
            main = desktop.wait_window(name="^Tervane 5.1$")
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+x")
            desktop.program.wait(15)
            self.assertIsNone(desktop.service.poll())

    def test_one_program_per_user(self):
        with GtkDesktop() as desktop:
            desktop.start_service()
            desktop.start_program()
            main = desktop.wait_window(name="^Tervane 5.1$")

            # Minimize: the window goes to the notification area; a second start brings it
            # back and ends at once.
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+m")
            wait_until(lambda: main not in desktop.search("--name", "^Tervane 5.1$"), 5,
                       "the window to hide")
            second = desktop.run_program()
            self.assertEqual(second.returncode, 0, second.stderr)
            wait_until(lambda: desktop.search("--name", "^Tervane 5.1$") == [main], 5,
                       "the same window back")

            # A shortcut of the desktop's own has the running program translate.
            term = desktop.start_xterm("Le chat est noir.")
            desktop.select_first_line(term)
            request = desktop.run_program("--translate-selection")
            self.assertEqual(request.returncode, 0, request.stderr)
            self.assertEqual(desktop.title(desktop.wait_balloon()), "The cat is black.")
            self.assertEqual(desktop.program.poll(), None)

    def test_minimize_to_the_notification_area_and_back_by_a_click(self):
        with GtkDesktop() as desktop:
            registrations = desktop.start_notification_area()
            desktop.start_service()
            desktop.start_program()
            main = desktop.wait_window(name="^Tervane 5.1$")
            bus, path = wait_until(lambda: registrations.exists() and registrations.read_text(),
                                   10, "the icon's registration").split()

            def status():
                return desktop.dbus_call(bus, path, "org.freedesktop.DBus.Properties.Get",
                                         "org.kde.StatusNotifierItem", "Status")

            def window_shown():
                return main in desktop.search("--name", "^Tervane 5.1$")

            self.assertIn("Passive", status())  # no icon while the window is there
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+m")
            wait_until(lambda: not window_shown(), 5, "the window to hide")
            self.assertIn("Active", status())

            # A click on the icon opens its menu; its item brings the window back.
            menu = desktop.dbus_call(bus, path, "org.freedesktop.DBus.Properties.Get",
                                     "org.kde.StatusNotifierItem", "Menu")
            menu = re.search(r"objectpath '([^']+)'", menu).group(1)
            layout = desktop.dbus_call(bus, menu, "com.canonical.dbusmenu.GetLayout", "0", "-1",
                                       "[]")
            item = re.search(r"\((\d+), \{[^}]*'label': <'Show Tervane'>", layout).group(1)
            desktop.dbus_call(bus, menu, "com.canonical.dbusmenu.Event", item, "clicked",
                              "<0>", "0")
            wait_until(window_shown, 5, "the window back")
            self.assertIn("Passive", status())

            # The middle click (the indicator's secondary activation) does the same.
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+m")
            wait_until(lambda: not window_shown(), 5, "the window to hide")
            desktop.dbus_call(bus, path, "org.kde.StatusNotifierItem.SecondaryActivate", "0", "0")
            wait_until(window_shown, 5, "the window back")
            self.assertIn("Passive", status())

            # The menu's "Exit" ends the program as the window's Exit does, settings saved.
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+m")
            wait_until(lambda: not window_shown(), 5, "the window to hide")
            item = re.search(r"\((\d+), \{[^}]*'label': <'Exit'>", layout).group(1)
            desktop.dbus_call(bus, menu, "com.canonical.dbusmenu.Event", item, "clicked",
                              "<0>", "0")
            self.assertEqual(desktop.program.wait(15), 0)
            self.assertIn("Count=dword:1", desktop.settings_file.read_text())

    def test_translate_selection_without_a_running_program_starts_it(self):
        with GtkDesktop() as desktop:
            desktop.start_service()
            term = desktop.start_xterm("Le chat est noir.")
            desktop.select_first_line(term)
            desktop.start_program("--translate-selection")
            self.assertEqual(desktop.title(desktop.wait_balloon()), "The cat is black.")
            self.assertIsNone(desktop.program.poll())


if __name__ == "__main__":
    unittest.main()
