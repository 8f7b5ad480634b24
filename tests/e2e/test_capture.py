"""Presses over a window that, like a web browser's page view, ignores the copy command and
copies its selection only on Ctrl+Insert: the real tervane.exe and the real translation
service, the hotkey pressed with xdotool as a person presses it."""
import os
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
NATIVE = Path(os.environ.get("TERVANE_NATIVE_BUILD_DIR",
                             Path(__file__).resolve().parents[2] / "build/native"))
SERVICE = NATIVE / "service" / "tervane-service"
PAGEVIEW = BUILD / "tests" / "e2e" / "pageview.exe"
SHOTS = BUILD / "screenshots"
FRENCH = "Le chat est noir."
USER_CLIPBOARD = "what the user had"


class CaptureByKeystroke(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(BUILD).__enter__()
        self.addCleanup(self.desktop.close)
        self.service_log = BUILD / "e2e-capture-service.log"
        self.service_log.unlink(missing_ok=True)
        self.desktop.start_service(SERVICE, log=self.service_log)
        self.desktop.start_program()
        self.desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
        self.desktop.set_clipboard(USER_CLIPBOARD)

    def start_page(self, caption, selection):
        self.desktop.start(["wine", str(PAGEVIEW), caption, selection])
        return self.desktop.wait_window(cls="TervanePageView", title=caption)

    def counters(self, page):
        return next(w["text"] for w in self.desktop.windows(page)
                    if w["text"].startswith("copy messages"))

    def balloons(self):
        return self.desktop.windows_of_class("TervaneBalloon")

    def requests(self):
        return self.service_log.read_text().count("POST /translate")

    def test_a_press_with_the_hotkeys_shift_still_held_shows_the_translation(self):
        desktop = self.desktop
        page = self.start_page("Page", FRENCH)
        desktop.activate(page)
        desktop.move_mouse(300, 250)
        # The person lets go of Ctrl at once and of Shift a moment after the press: the
        # keystroke must wait, or the page takes Ctrl+Shift+Insert for another command.
        desktop.xdotool("keydown", "ctrl+shift")
        desktop.xdotool("key", "F12")
        desktop.xdotool("keyup", "ctrl")
        time.sleep(0.4)
        desktop.xdotool("keyup", "shift")

        balloon = wait_for(self.balloons, timeout=30)
        self.assertTrue(balloon, "no balloon came up")
        text = balloon[0][1].lower()
        self.assertIn("cat", text)
        self.assertIn("black", text)
        desktop.screenshot(SHOTS / "capture-by-keystroke.png")
        self.assertEqual(self.counters(page), "copy messages 1, copies 1, other commands 0")
        self.assertEqual(desktop.clipboard(), USER_CLIPBOARD)

    def test_nothing_selected_shows_nothing_and_the_next_press_still_translates(self):
        desktop = self.desktop
        page = self.start_page("Empty page", "")
        desktop.activate(page)
        desktop.key("ctrl+shift+F12")
        # The press has run its course once the page was sent the keystroke (the counters
        # show the copy command it was asked first) and the keystroke's wait has passed.
        self.assertTrue(wait_for(lambda: self.counters(page).startswith("copy messages 1")))
        time.sleep(2)
        self.assertEqual(self.balloons(), [])
        self.assertEqual(self.requests(), 0, "nothing selected: no request to the service")
        self.assertEqual(self.counters(page), "copy messages 1, copies 0, other commands 0")
        self.assertEqual(desktop.clipboard(), USER_CLIPBOARD)

        pad = desktop.start_textpad("Texte", FRENCH)
        desktop.activate(pad)
        desktop.key("ctrl+shift+F12")
        balloon = wait_for(self.balloons, timeout=30)
        self.assertTrue(balloon, "the next press showed no balloon")
        self.assertIn("cat", balloon[0][1].lower())
        self.assertEqual(self.requests(), 1)


if __name__ == "__main__":
    unittest.main()
