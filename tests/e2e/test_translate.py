"""The main job as a person does it: French text selected in a window, Ctrl+Shift+F12
pressed, the English translation in a balloon by the cursor, offline, through the real
translation service with Apertium."""
import os
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
NATIVE = Path(os.environ.get("TERVANE_NATIVE_BUILD_DIR",
                             Path(__file__).resolve().parents[2] / "build/native"))
SERVICE = NATIVE / "service" / "tervane-service"
SHOTS = BUILD / "screenshots"
FRENCH = "Le chat est noir."


def wait_for(predicate, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    return None


class MainJob(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(BUILD).__enter__()
        self.addCleanup(self.desktop.close)
        self.service = self.desktop.start_service(SERVICE)
        # A first start each time: a test that set the same language on both sides leaves
        # nothing to translate for the next.
        self.desktop.forget_settings()
        self.desktop.start_program()
        self.main = self.desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
        self.controls = {w["text"]: w for w in self.desktop.windows(self.main)}
        self.pad = self.desktop.start_textpad("Texte", FRENCH)

    def press_over_pad(self, at=(300, 250)):
        """The user's press: the pad in front, the mouse at `at`, the hotkey."""
        self.desktop.activate(self.pad)
        self.desktop.move_mouse(*at)
        self.desktop.key("ctrl+shift+F12")

    def balloons(self):
        return self.desktop.windows_of_class("TervaneBalloon")

    def new_balloon(self, before):
        known = {handle for handle, _ in before}
        return wait_for(lambda: next((b for b in self.balloons() if b[0] not in known), None))

    def toggle(self, caption):
        self.desktop.focus(self.main)
        self.desktop.click_window(self.controls[caption]["hwnd"])

    def test_a_press_shows_the_translation_by_the_cursor_and_the_options_do_what_they_say(self):
        desktop = self.desktop
        desktop.set_clipboard("what the user had")
        log = BUILD / "wineprefix" / "drive_c" / "ProgramData" / "Translations.LOG"
        log.unlink(missing_ok=True)

        # Cursor left of and above the centre: the arrow points at it from the right.
        self.press_over_pad(at=(300, 250))
        balloon = self.new_balloon([])
        self.assertIsNotNone(balloon, "no balloon came up")
        handle, text = balloon
        self.assertIn("cat", text.lower())
        self.assertIn("black", text.lower())
        left, top, right, bottom = desktop.screen_rect(handle)
        self.assertEqual((left + 20, bottom), (300, 250), "the arrow tip is on the cursor")
        desktop.screenshot(SHOTS / "balloon.png")
        self.assertEqual(desktop.clipboard(), "what the user had",
                         "without the copy option the user's clipboard comes back")
        self.assertEqual(desktop.windows_of_class("TervaneWaitHint"), [])

        # Copy on, log on with the log file present.
        log.write_bytes(b"")
        self.toggle("Copy translation result to clipboard")
        self.toggle("Log translation results to file")
        before = self.balloons()
        self.press_over_pad()
        balloon = self.new_balloon(before)
        self.assertIsNotNone(balloon)
        copied = desktop.clipboard()
        self.assertIn("cat", copied.lower())
        self.assertNotIn("\n", copied.strip(), "the unwrapped translation")
        record = log.read_bytes().decode("utf-8")
        self.assertIn("***** Translation French-->English at ", record)
        self.assertIn("\r\n<<<-- Source -->>>\r\n\r\n" + FRENCH + "\r\n", record)
        self.assertIn(copied.strip(), record)

    def test_a_word_shows_its_dictionary_entries_under_its_translation(self):
        word = self.desktop.start_textpad("Mot", "maison")
        self.desktop.activate(word)
        self.desktop.move_mouse(300, 250)
        self.desktop.key("ctrl+shift+F12")
        balloon = self.new_balloon([])
        self.assertIsNotNone(balloon, "no balloon came up")
        handle, text = balloon
        # The window's text: the translation, then the entries (the probe prints line breaks
        # as blanks).
        self.assertEqual(text.split(), ["House", "house", "(n),", "home", "(n)"])
        left, top, right, bottom = self.desktop.screen_rect(handle)
        self.assertEqual((left + 20, bottom), (300, 250), "the arrow tip is on the cursor")
        self.desktop.screenshot(SHOTS / "balloon-word.png")

    def test_own_window_in_front_service_down_and_same_languages(self):
        desktop = self.desktop
        # The program's own window in front: no attachment, no request, nothing shown.
        desktop.focus(self.main)
        desktop.key("ctrl+shift+F12")
        time.sleep(2)
        self.assertEqual(self.balloons(), [])

        # The service gone: an error box, and no wait hint left behind.
        self.service.terminate()
        self.service.wait(timeout=10)
        self.press_over_pad()
        box = wait_for(lambda: desktop.windows_of_class("#32770"))
        self.assertTrue(box, "no error box came up")
        self.assertEqual(box[0][1], "Tervane")
        self.assertEqual(desktop.windows_of_class("TervaneWaitHint"), [])
        self.assertEqual(self.balloons(), [])
        texts = [w["text"] for w in desktop.windows(box[0][0])]
        self.assertTrue(any("127.0.0.1:58470" in t for t in texts), texts)
        # What the user can do comes first, then the system's own words.
        message = " ".join(texts)
        self.assertIn("Tervane's translation service is not running", message)
        self.assertIn("log on", message)
        self.assertLess(message.index("not running"),
                        message.index("A connection with the server could not be established"))
        desktop.screenshot(SHOTS / "service-down.png")
        desktop.focus(box[0][0])
        desktop.key("Return")
        self.assertTrue(wait_for(lambda: not desktop.windows_of_class("#32770")))

        # The same language on both sides: nothing is asked of the service, nothing shown.
        target = desktop.language_pickers(self.main)[1]
        desktop.focus(self.main)
        desktop.click_window(target)
        desktop.key("f", "Return")
        self.press_over_pad()
        time.sleep(2)
        self.assertEqual(desktop.windows_of_class("#32770"), [], "no request was made")
        self.assertEqual(self.balloons(), [])


if __name__ == "__main__":
    unittest.main()
