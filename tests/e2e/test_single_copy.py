"""A second start of tervane.exe brings the running copy's window to the front, also out
of the notification area, and ends: one window, one icon, one holder of the hotkey."""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
SHOTS = BUILD / "screenshots"
TITLE = "Tervane 5.1"


class SingleCopy(unittest.TestCase):
    def test_a_second_start_shows_the_first_copy_and_ends(self):
        with Desktop(BUILD) as desktop:
            desktop.forget_settings()
            first = desktop.start_program()
            main = desktop.wait_window(cls="TervaneMainWindow", title=TITLE)
            minimize = next(w["hwnd"] for w in desktop.windows(main) if w["text"] == "&Minimize")

            # Hidden in the notification area, then started again from the Start menu.
            desktop.click(minimize)
            self.assertTrue(wait_for(lambda: not desktop.windows_of_class("TervaneMainWindow")),
                            "the window hides to the notification area")
            second = desktop.start_program()
            self.assertEqual(second.wait(timeout=60), 0)
            self.assertTrue(wait_for(lambda: desktop.windows_of_class("TervaneMainWindow")),
                            "the first copy's window is back")
            self.assertEqual([h for h, _ in desktop.windows_of_class("TervaneMainWindow")], [main])
            self.assertTrue(wait_for(lambda: desktop.foreground() == main))
            self.assertIsNone(first.poll(), "the first copy runs on")

            # Visible but behind another window: brought to the front.
            pad = desktop.start_textpad("Another program", "some text")
            desktop.activate(pad)
            self.assertTrue(wait_for(lambda: desktop.foreground() == pad))
            third = desktop.start_program()
            self.assertEqual(third.wait(timeout=60), 0)
            self.assertTrue(wait_for(lambda: desktop.foreground() == main),
                            "the running copy's window comes to the front")
            self.assertEqual(len(desktop.windows_of_class("TervaneMainWindow")), 1)
            self.assertEqual(len(desktop.windows_of_class("#32770")), 0,
                             "no warning about a hotkey taken")
            desktop.screenshot(SHOTS / "single-copy.png")
            desktop.forget_settings()


if __name__ == "__main__":
    unittest.main()
