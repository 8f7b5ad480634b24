"""The main window's panels on the Linux desktop, driven with the keyboard and the mouse:
the hotkey panel's messages (a hotkey typed into the field is recorded, not pressed; a bare
typing key refused), the
swap of the languages from anywhere on the group and the compact bar, compact mode and the
About box; each change saved in settings.ini at once, and kept by a SIGTERM."""
import signal
import subprocess
import unittest

from gtk_desktop import PROGRAM, GtkDesktop, wait_until


class MainWindowTest(unittest.TestCase):
    def answer_box(self, desktop, title, text):
        box = desktop.wait_window(name=f"^{title}$")
        self.assertEqual(desktop.x_property(box, "_TERVANE_MESSAGE"), text)
        desktop.xdotool("windowfocus", "--sync", box)
        desktop.key("Return")
        wait_until(lambda: box not in desktop.search("--name", f"^{title}$"), 5, "the box to go")

    def languages(self, desktop):
        text = desktop.settings_file.read_text()
        return ("src=dword:0" in text, "trg=dword:1" in text)

    def swap_by_click(self, desktop, x, y, swapped):
        """A click at (x, y) swaps the languages, which are saved at once."""
        desktop.click(x, y)
        wait_until(lambda: self.languages(desktop) == (swapped, swapped), 5,
                   f"the swap by a click at {x},{y}")

    def darkest_ink(self, desktop, window, x, y, width, height):
        """The darkest grey (0 black, 1 white) in a part of the window, from a screenshot."""
        shot = desktop.screenshot("gtk-target-picker.png")
        frame = desktop.geometry(window)
        crop = f"{width}x{height}+{frame['X'] + x}+{frame['Y'] + y}"
        return float(subprocess.run(
            ["convert", str(shot), "-crop", crop, "-colorspace", "gray", "-format",
             "%[fx:minima]", "info:"], capture_output=True, text=True, check=True).stdout)

    def start_with_settings(self, desktop, stored):
        """The service, and the program with `stored` as its settings.ini's values."""
        desktop.settings_file.parent.mkdir(parents=True)
        desktop.settings_file.write_text("[Software\\Vellmark\\Tervane]\n" + stored)
        desktop.start_service()
        desktop.program = desktop.spawn([PROGRAM, "--test-service-url", desktop.service_url])

    def test_unreached_targets_greyed(self):
        """A target the service has no route to from the source is drawn in grey, still
        selectable."""
        with GtkDesktop() as desktop:
            # French to Spanish: an offline pair.
            self.start_with_settings(desktop, "src=dword:1\ntrg=dword:3\n")
            main = desktop.wait_window(name="^Tervane 5.1$")
            width = desktop.geometry(main)["WIDTH"]
            target_name = (width - 264, 78, 60, 18)  # the name, not the flag
            self.assertLess(self.darkest_ink(desktop, main, *target_name), 0.3)
            # One up the table from Spanish: German, which no offline pair reaches from French.
            desktop.mouse(desktop.geometry(main)["X"] + width - 200,
                          desktop.geometry(main)["Y"] + 86)
            desktop.xdotool("click", "4")
            wait_until(lambda: "trg=dword:2" in desktop.settings_file.read_text(), 5,
                       "German picked")
            wait_until(lambda: self.darkest_ink(desktop, main, *target_name) > 0.35, 10,
                       "German drawn grey")

    def test_panels(self):
        with GtkDesktop() as desktop:
            # A hand-edited list naming one hotkey twice in two spellings: the second is
            # refused as the system refuses a hotkey it holds already.
            self.start_with_settings(
                desktop, 'Count=dword:2\nKey0="Ctrl+Alt+T"\nKey1="Alt+Ctrl+T"\n')
            self.answer_box(desktop, "Warning", "Ctrl+Alt+T couldn't be assigned to a hotkey.")
            main = desktop.wait_window(name="^Tervane 5.1$")
            full = desktop.geometry(main)
            desktop.screenshot("gtk-main-window.png")
            desktop.xdotool("windowfocus", "--sync", main)

            # The hotkey panel: Add with an empty field, Remove with no line selected.
            desktop.key("Tab space")
            self.answer_box(desktop, "Warning", "No hotkey specified.")
            desktop.click(full["X"] + 216, full["Y"] + 121)  # "Remove"
            self.answer_box(desktop, "Tervane", "Please select an item")

            # The field records a hotkey that is in use instead of pressing it; Add then
            # finds it held already.
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.click(full["X"] + 100, full["Y"] + 48)  # the field
            desktop.key("ctrl+shift+F12")
            desktop.key("Tab space")
            self.answer_box(desktop, "Warning", "Ctrl+Shift+F12 couldn't be assigned to a hotkey.")
            self.assertEqual(desktop.translate_requests(), 0)
            # A bare typing key is refused as on Windows: it would no longer type.
            desktop.click(full["X"] + 100, full["Y"] + 48)
            desktop.key("a")
            desktop.key("Tab space")
            self.answer_box(desktop, "Warning", "A can't be a hotkey: that key would no longer "
                                                "type in any program. A hotkey needs Ctrl, Alt "
                                                "or Win.")

            # Another program holding the default hotkey (here a second user's Tervane on
            # the same display) is refused it, with the same message.
            with GtkDesktop() as other:
                other.program = other.spawn([PROGRAM, "--test-service-url", desktop.service_url])
                self.answer_box(other, "Warning",
                                "Ctrl+Shift+F12 couldn't be assigned to a hotkey.")
                other.end(other.program)

            # A click on the "Language" caption, its frame or its empty area swaps French
            # and English; the pickers keep their own clicks.
            right = full["X"] + full["WIDTH"]
            self.swap_by_click(desktop, right - 275, full["Y"] + 16, True)  # the caption
            self.swap_by_click(desktop, right - 301, full["Y"] + 60, False)  # the frame
            self.swap_by_click(desktop, right - 36, full["Y"] + 104, True)  # empty area

            # Compact mode: a small bar on top of other windows at the same place, and back.
            desktop.click(full["X"] + full["WIDTH"] - 38, full["Y"] + 68)
            compact = desktop.geometry(wait_until(
                lambda: [w for w in desktop.search("--name", "^Tervane 5.1$")
                         if desktop.geometry(w)["WIDTH"] < 300], 5, "the compact bar")[0])
            self.assertEqual((compact["X"], compact["Y"]), (full["X"], full["Y"]))
            self.assertIn("_NET_WM_STATE_ABOVE",
                          desktop.x_property(desktop.wait_window(name="^Tervane 5.1$"),
                                             "_NET_WM_STATE") or "")
            desktop.screenshot("gtk-compact.png")
            # On the bar, anywhere but the pickers and the button swaps too.
            self.swap_by_click(desktop, compact["X"] + 2, compact["Y"] + 2, False)
            self.swap_by_click(desktop, compact["X"] + compact["WIDTH"] - 3,
                               compact["Y"] + compact["HEIGHT"] - 3, True)
            desktop.click(compact["X"] + compact["WIDTH"] - 25, compact["Y"] + compact["HEIGHT"] // 2)
            wait_until(lambda: [w for w in desktop.search("--name", "^Tervane 5.1$")
                                if desktop.geometry(w) == full], 5, "the full window")
            self.assertNotIn("_NET_WM_STATE_ABOVE",
                             desktop.x_property(desktop.wait_window(name="^Tervane 5.1$"),
                                                "_NET_WM_STATE") or "")

            # About, closed by its OK button.
            main = desktop.wait_window(name="^Tervane 5.1$")
            desktop.xdotool("windowfocus", "--sync", main)
            desktop.key("alt+a")
            about = desktop.wait_window(name="^About$")
            desktop.screenshot("gtk-about.png")
            desktop.xdotool("windowfocus", "--sync", about)
            desktop.key("Return")
            wait_until(lambda: not desktop.search("--name", "^About$"), 5, "About to close")

            # A logout's SIGTERM: the program ends as by Exit, the last swap kept.
            desktop.program.send_signal(signal.SIGTERM)
            self.assertEqual(desktop.program.wait(15), 0)
            self.assertEqual(desktop.settings_file.read_text(),
                             "[Software\\Vellmark\\Tervane]\n"
                             'Count=dword:2\nKey0="Ctrl+Shift+F12"\nKey1="Ctrl+Alt+T"\n'
                             'src=dword:0\ntrg=dword:1\ncc="100"\ntr=dword:16\n'
                             'Action0="translate"\nAction1="translate"\n')


if __name__ == "__main__":
    unittest.main()
