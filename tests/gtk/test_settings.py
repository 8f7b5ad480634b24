"""Settings, log and copy on the Linux desktop: what the user set survives Exit and the next
start through settings.ini (its contents checked), the restored hotkey list works, the two
options act on the next translation, and a value of the wrong type stops the load with the
program's message while the window still opens."""
import unittest

from gtk_desktop import PROGRAM, GtkDesktop, wait_until

FRENCH = "Le chat est noir."
ENGLISH = "The cat is black."


def exit_program(desktop):
    main = desktop.wait_window(name="^Tervane 5.1$")
    desktop.xdotool("windowfocus", "--sync", main)
    desktop.key("alt+x")
    desktop.program.wait(15)


class SettingsTest(unittest.TestCase):
    def test_settings_survive_exit_and_the_next_start(self):
        with GtkDesktop() as desktop:
            opened = desktop.install_text_editor()
            desktop.start_service()
            desktop.start_program()
            main = desktop.wait_window(name="^Tervane 5.1$")
            desktop.xdotool("windowfocus", "--sync", main)
            # The key-entry field has the focus: a combination, then Add.
            desktop.key("ctrl+alt+t")
            desktop.key("Tab")
            desktop.key("space")
            # On to "Copy translation result to clipboard" and "Log translation results to
            # file" (list, Remove, Clear all, the action of the line the list's focus
            # selected, two pickers, slider, Freeze, Copy, Log).
            desktop.key("Tab Tab Tab Tab Tab Tab Tab Tab Tab space Tab space")
            wait_until(lambda: desktop.log_file.exists(), 5, "the log made when switched on")
            # "..." opens the log in the desktop's editor for plain text.
            desktop.key("Tab space")
            wait_until(opened.exists, 10, "the editor")
            self.assertEqual(opened.read_text(), f"{desktop.log_file}\n")
            # "Start when I log in": the desktop's autostart entry starts us.
            desktop.key("Tab space")
            entry = desktop.home / "config" / "autostart" / "tervane.desktop"
            wait_until(entry.exists, 5, "the autostart entry")
            self.assertIn(f"Exec={PROGRAM.resolve()}\n", entry.read_text())
            self.assertEqual(desktop.log_file.read_bytes(),
                             b"***************************\r\n*     Pellori Wordkit     *\r\n"
                             b"***************************\r\n\r\n")
            exit_program(desktop)
            self.assertEqual(desktop.settings_file.read_text(),
                             "[Software\\Vellmark\\Tervane]\nsrc=dword:1\ntrg=dword:0\n"
                             'cc="111"\ntr=dword:16\nCount=dword:2\n'
                             'Key0="Ctrl+Shift+F12"\nAction0="translate"\n'
                             'Key1="Ctrl+Alt+T"\nAction1="translate"\n')

            # The next start, with the slider set by hand to 8: the window at opacity 8 x 16,
            # and the restored second hotkey translates, copies and logs.
            desktop.settings_file.write_text(
                desktop.settings_file.read_text().replace("tr=dword:16", "tr=dword:8"))
            desktop.start_program()
            main = desktop.wait_window(name="^Tervane 5.1$")
            self.assertEqual(desktop.x_property(main, "_NET_WM_WINDOW_OPACITY"),
                             str(round(128 / 255 * 0xFFFFFFFF)))
            term = desktop.start_xterm(FRENCH)
            desktop.select_first_line(term)
            desktop.mouse(900, 200)
            desktop.key("ctrl+alt+t")
            balloon = desktop.wait_balloon()
            self.assertEqual(desktop.title(balloon), ENGLISH)
            # The whole translation, as the service gave it (the selected line's break
            # leaves a space at its end).
            self.assertEqual(desktop.clipboard().strip(), ENGLISH)
            log = desktop.log_file.read_bytes().decode()
            self.assertRegex(log, r"\r\n\r\n\*\*\*\*\* Translation French-->English at .+ \*\*\*\*\*"
                                  r"\r\n\r\n<<<-- Source -->>>\r\n\r\n" + FRENCH +
                             r"(\r\n)?\r\n\r\n<<<-- Target -->>>\r\n\r\n" + ENGLISH + r" ?\r\n\r\n$")
            # The selected line's own LF included: every line ends with CR LF.
            self.assertNotRegex(log, r"[^\r]\n")
            exit_program(desktop)
            # Loaded and saved again: the same list, not the default twice.
            self.assertIn('tr=dword:8\nCount=dword:2\nKey0="Ctrl+Shift+F12"\nAction0="translate"\n'
                          'Key1="Ctrl+Alt+T"\nAction1="translate"\n',
                          desktop.settings_file.read_text())

    def test_a_value_of_the_wrong_type_stops_the_load_with_its_name(self):
        with GtkDesktop() as desktop:
            desktop.settings_file.parent.mkdir(parents=True)
            desktop.settings_file.write_text(
                "[Software\\Vellmark\\Tervane]\nsrc=dword:2\ntrg=\"3\"\ntr=dword:8\n"
                "Count=dword:1\nKey0=\"Ctrl+Alt+T\"\n")
            desktop.start_service()
            desktop.program = desktop.spawn([PROGRAM, "--test-service-url", desktop.service_url])
            report = desktop.wait_window(name="^Tervane$")
            self.assertEqual(desktop.x_property(report, "_TERVANE_MESSAGE"),
                             "Invalid data type for 'trg'")  # ends below ".": no full stop
            desktop.screenshot("gtk-invalid-data-type.png")
            desktop.xdotool("windowfocus", "--sync", report)
            desktop.key("Return")
            main = desktop.wait_window(name="^Tervane 5.1$")
            # Nothing after the bad value was applied: the window is opaque.
            self.assertIsNone(desktop.x_property(main, "_NET_WM_WINDOW_OPACITY"))
            exit_program(desktop)
            # What came before it was: the source German (2), saved at Exit with the rest as
            # the window shows it; the stored hotkey was never loaded.
            self.assertEqual(desktop.settings_file.read_text(),
                             "[Software\\Vellmark\\Tervane]\nsrc=dword:2\ntrg=dword:0\n"
                             'tr=dword:16\nCount=dword:1\nKey0="Ctrl+Shift+F12"\ncc="100"\n'
                             'Action0="translate"\n')


if __name__ == "__main__":
    unittest.main()
