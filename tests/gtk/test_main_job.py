"""The main job on the Linux desktop, as a person meets it: French text selected with the
mouse in xterm (which keeps the keyboard focus), a global hotkey pressed, the English
translation in a balloon by the pointer; the clipboard untouched; nothing selected, nothing
asked of the service. A word alone shows the service's dictionary entries under its
translation."""
import unittest
import urllib.parse
import urllib.request

from gtk_desktop import GtkDesktop, wait_until

FRENCH = "Le chat est noir et la maison est grande."
ENGLISH = "The cat is black and the house is big."


class MainJobTest(unittest.TestCase):
    def test_a_press_over_selected_text_shows_its_translation_by_the_pointer(self):
        with GtkDesktop() as desktop:
            desktop.start_service()
            desktop.start_program()
            term = desktop.start_xterm(FRENCH)

            # Nothing selected anywhere: a press shows nothing and asks the service nothing.
            desktop.mouse(300, 200)
            desktop.key("ctrl+shift+F12")
            desktop.key("ctrl+shift+F12")
            with self.assertRaises(AssertionError):
                desktop.wait_balloon(timeout=3)
            self.assertEqual(desktop.translate_requests(), 0)

            desktop.set_clipboard("what the user copied")
            desktop.select_first_line(term)
            self.assertEqual(desktop.primary().strip(), FRENCH)
            # Well away from the screen's centre (640, 512), up and left: the balloon's body
            # lies up and to the right of the pointer, its arrow's tip on the pointer.
            desktop.mouse(300, 260)
            desktop.key("ctrl+shift+F12")
            balloon = desktop.wait_balloon()
            self.assertEqual(desktop.title(balloon), ENGLISH)
            g = desktop.geometry(balloon)
            self.assertEqual((g["X"] + 20, g["Y"] + g["HEIGHT"]), (300, 260))
            desktop.screenshot("gtk-balloon.png")
            self.assertEqual(desktop.clipboard(), "what the user copied")
            self.assertEqual(desktop.translate_requests(), 1)

            # A click closes it.
            desktop.click(g["X"] + g["WIDTH"] // 2, g["Y"] + 15)
            wait_until(lambda: balloon not in desktop.balloons(), 5, "the balloon to close")

            # A second hotkey from the list works as well, with the pointer right of and
            # below the centre: the body lies below and to the left, the arrow above it.
            desktop.xdotool("windowfocus", "--sync", desktop.wait_window(name="^Tervane 5.1$"))
            desktop.key("ctrl+alt+t")
            desktop.key("Tab")
            desktop.key("space")
            desktop.xdotool("windowfocus", "--sync", term)
            desktop.mouse(1000, 900)
            desktop.key("ctrl+alt+t")
            second = desktop.wait_balloon()
            self.assertEqual(desktop.title(second), ENGLISH)
            g = desktop.geometry(second)
            self.assertEqual((g["X"] + g["WIDTH"] - 20, g["Y"] + 2), (1000, 900))
            desktop.screenshot("gtk-balloon-second-hotkey.png")
            self.assertEqual(desktop.clipboard(), "what the user copied")

    def test_another_script_travels_as_utf8_and_shows_in_the_desktops_font(self):
        russian = "Кошка чёрная."
        with GtkDesktop() as desktop:
            desktop.settings_file.parent.mkdir(parents=True)
            desktop.settings_file.write_text(  # Russian to Ukrainian
                "[Software\\Vellmark\\Tervane]\nsrc=dword:9\ntrg=dword:50\n")
            desktop.start_service()
            form = urllib.parse.urlencode({"text": russian, "source": "ru", "target": "uk",
                                           "format": "text", "v": "1"}).encode()
            with urllib.request.urlopen(desktop.service_url, form, timeout=30) as answer:
                ukrainian = answer.read().decode().strip('"')
            self.assertNotEqual(ukrainian, russian)
            desktop.start_program()
            term = desktop.start_xterm(russian)
            desktop.select_first_line(term)
            self.assertEqual(desktop.primary().strip(), russian)
            desktop.mouse(300, 260)
            desktop.key("ctrl+shift+F12")
            self.assertEqual(desktop.title(desktop.wait_balloon()), ukrainian)
            desktop.screenshot("gtk-balloon-cyrillic.png")

    def test_a_word_alone_shows_the_dictionarys_entries_under_its_translation(self):
        with GtkDesktop() as desktop:
            desktop.start_service()
            desktop.start_program()
            term = desktop.start_xterm("maison")
            desktop.select_first_line(term)
            desktop.mouse(300, 260)
            desktop.key("ctrl+shift+F12")
            balloon = desktop.wait_balloon()
            # The title is the balloon's whole text (xdotool gives its line ends as LF): the
            # translation, then one line per entry of the pair's bilingual dictionary.
            self.assertEqual(desktop.title(balloon).replace("\r", ""),
                             "House\n\nhouse (n), home (n)")
            self.assertEqual(desktop.translate_requests(), 0, "asked as a word, not a text")
            g = desktop.geometry(balloon)
            self.assertEqual((g["X"] + 20, g["Y"] + g["HEIGHT"]), (300, 260))
            desktop.screenshot("gtk-balloon-dictionary.png")

if __name__ == "__main__":
    unittest.main()
