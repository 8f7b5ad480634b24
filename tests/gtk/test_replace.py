"""Replace on the Linux desktop (X11), as a person meets it: French text selected in a GTK
entry (Debian's zenity), then `tervane --replace-selection` (a desktop shortcut's command),
and later a hotkey whose line says "replace": each time the English translation takes the
selection's place through the clipboard and a paste keystroke, and the user's clipboard is
what it was afterwards."""
import subprocess
import unittest

from gtk_desktop import GtkDesktop, wait_until

FRENCH = "Le chat est noir."
ENGLISH = "The cat is black."
FRENCH_DOG = "Le chien est noir."
ENGLISH_DOG = "The dog is black."
USERS = "what the user copied"


class ReplaceTest(unittest.TestCase):
    def test_the_command_and_a_replacing_hotkey_put_the_translation_in_a_gtk_entry(self):
        with GtkDesktop() as desktop:
            trace = desktop.home / "trace.txt"
            desktop.env["TERVANE_FLOW_TRACE"] = str(trace)  # each replacement noted as it ends
            (desktop.home / "config" / "tervane").mkdir(parents=True)
            desktop.settings_file.write_text(
                '[Software\\Vellmark\\Tervane]\nCount=dword:1\n'
                'Key0="Ctrl+Alt+R"\nAction0="replace"\n')
            desktop.start_service()
            desktop.start_program()
            desktop.screenshot("gtk-replace-panel.png")  # the stored line says "(replace)"

            def replaced():
                return trace.read_text().count("replaced") if trace.exists() else 0

            zenity = desktop.spawn(["zenity", "--entry", "--title", "textpad-zenity",
                                    "--entry-text", FRENCH],
                                   stdout=subprocess.PIPE, text=True)
            entry = desktop.wait_window("^textpad-zenity$")
            desktop.xdotool("windowfocus", "--sync", entry)
            desktop.key("ctrl+a")
            wait_until(lambda: desktop.primary() == FRENCH, 10, "the entry's selection")
            desktop.set_clipboard(USERS)

            self.assertEqual(desktop.run_program("--replace-selection").returncode, 0)
            wait_until(lambda: replaced() == 1, 30, "the replacement")
            self.assertEqual(desktop.clipboard(), USERS)
            desktop.key("ctrl+a")
            wait_until(lambda: desktop.primary() == ENGLISH, 10, "the translation in the entry")
            desktop.screenshot("gtk-replaced.png")

            desktop.xdotool("type", FRENCH_DOG)  # in place of the selected translation
            desktop.key("ctrl+a")
            wait_until(lambda: desktop.primary() == FRENCH_DOG, 10, "the new selection")
            desktop.key("ctrl+alt+r")
            wait_until(lambda: replaced() == 2, 30, "the hotkey's replacement")
            self.assertEqual(desktop.clipboard(), USERS)
            self.assertEqual(desktop.translate_requests(), 2)
            self.assertEqual(desktop.balloons(), [], "a replacement shows no balloon")

            desktop.key("Return")  # zenity prints what its entry holds, and ends
            self.assertEqual(zenity.communicate(timeout=10)[0].strip(), ENGLISH_DOG)


if __name__ == "__main__":
    unittest.main()
