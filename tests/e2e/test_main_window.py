"""The real tervane.exe shows its main window, with every control and the flags."""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from flags import shows_flag  # noqa: E402
from tervane_e2e import Desktop, ink_columns, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
SHOTS = BUILD / "screenshots"


class MainWindow(unittest.TestCase):
    def test_main_window_shows_its_controls_and_flags(self):
        with Desktop(BUILD) as desktop:
            desktop.start_program()
            main = desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
            windows = desktop.windows(main)
            texts = {w["text"] for w in windows}
            for caption in ["Add a HotKey", "HotKey in Use", "Language", "Transparency",
                            "Options", "Add", "Remove", "Clear all", "&About", "&Minimize",
                            "E&xit", "Freeze && wait for translation result",
                            "Copy translation result to clipboard",
                            "Log translation results to file", "..."]:
                self.assertIn(caption, texts)
            # The taskbar button belongs to the application window, titled "Tervane".
            desktop.wait_window(cls="TervaneApplication", title="Tervane", timeout=5)
            left, top, right, bottom = windows[0]["rect"]
            self.assertGreaterEqual(right - left, 476)
            self.assertGreaterEqual(bottom - top, 305)

            shot = desktop.screenshot(SHOTS / "main-window.png", main)
            # The closed pickers show French and English, each with its flag.
            self.assertTrue(shows_flag(shot, 1), "French flag on the source picker")
            self.assertTrue(shows_flag(shot, 0), "US flag on the target picker")
            self.assertFalse(shows_flag(shot, 2), "no German flag while no list is open")

            # Every option's caption is drawn whole: its last letters stand inside its check
            # box with room to spare, not cut off at the box's right edge.
            screen = desktop.screenshot(SHOTS / "main-window-screen.png")
            for caption in ["Freeze && wait for translation result",
                            "Copy translation result to clipboard",
                            "Log translation results to file"]:
                box = next(w for w in windows if w["text"] == caption)
                rect = desktop.screen_rect(box["hwnd"])
                ink = ink_columns(screen, rect)
                self.assertTrue(ink, caption)
                self.assertLess(ink[-1], rect[2] - rect[0] - 2, f"{caption!r} is clipped")

    def test_exit_button_by_keyboard_ends_the_program(self):
        with Desktop(BUILD) as desktop:
            program = desktop.start_program()
            main = desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
            desktop.focus(main)
            desktop.key("alt+x")
            program.wait(timeout=30)
            self.assertEqual(program.returncode, 0)


if __name__ == "__main__":
    unittest.main()
