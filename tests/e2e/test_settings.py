"""Settings changed through the window survive "E&xit" and the next start; the compact
bar and the About box on the way."""
import datetime
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
SHOTS = BUILD / "screenshots"
TITLE = "Tervane 5.1"
HALF_OPACITY = "_NET_WM_WINDOW_OPACITY(CARDINAL) = 2155905152"  # 128 of 255


class Controls:
    """The main window's controls by caption, and by class in the order they were made."""

    def __init__(self, desktop, main):
        self.rows = desktop.windows(main)

    def __getitem__(self, text):
        return next(w["hwnd"] for w in self.rows if w["text"] == text)

    def of_class(self, cls):
        return [w["hwnd"] for w in self.rows if w["cls"] == cls]


class Settings(unittest.TestCase):
    def test_settings_survive_exit_and_restart(self):
        with Desktop(BUILD) as desktop:
            desktop.forget_settings()
            try:
                self.change_settings_and_exit(desktop)
                self.start_again_and_see_them(desktop)
            finally:
                desktop.forget_settings()

    def start(self, desktop):
        program = desktop.start_program()
        main = desktop.wait_window(cls="TervaneMainWindow", title=TITLE)
        desktop.focus(main)
        return program, main, Controls(desktop, main)

    def exit(self, desktop, program, main):
        desktop.focus(main)
        desktop.key("alt+x")
        program.wait(timeout=60)
        self.assertEqual(program.returncode, 0)

    def change_settings_and_exit(self, desktop):
        program, main, c = self.start(desktop)
        source, target = desktop.language_pickers(main)
        slider = c.of_class("msctls_trackbar32")[0]
        self.assertEqual([desktop.state(source), desktop.state(target)], [1, 0])

        # A click opens the whole list (over the pointer); the keys pick from the top.
        desktop.choose(source, "Home", "Down", "Down", "Return")  # German
        desktop.choose(target, "Home", "Down", "Down", "Down", "Return")  # Spanish
        desktop.click(slider, x=20)  # on the track: the slider takes the focus
        desktop.key("Home", "Right", "Right", "Right", "Right")  # 4, then 8
        for caption in ["Freeze && wait for translation result",
                        "Copy translation result to clipboard",
                        "Log translation results to file"]:
            desktop.click(c[caption], x=6)
        desktop.click(c.of_class("msctls_hotkey32")[0])
        desktop.key("ctrl+alt+k")
        desktop.click(c["Add"])
        hotkeys = c.of_class("ListBox")[0]
        self.assertTrue(wait_for(lambda: len(desktop.list_items(hotkeys)) == 2))
        self.assertEqual([desktop.state(source), desktop.state(target), desktop.state(slider)],
                         [2, 3, 8])
        self.assertEqual(desktop.x_property(TITLE, "_NET_WM_WINDOW_OPACITY"), HALF_OPACITY)
        self.items = desktop.list_items(hotkeys)
        desktop.screenshot(SHOTS / "settings-changed.png", main)

        # The compact bar, and back.
        compact = next(w["hwnd"] for w in c.rows if w["cls"] == "Button" and w["text"] == ""
                       and w["rect"][2] - w["rect"][0] == 32)
        full = desktop.screen_rect(main)
        desktop.click(compact)
        self.assertTrue(wait_for(lambda: desktop.screen_rect(main)[2] - full[0] == 196))
        bar = desktop.screen_rect(main)
        self.assertEqual(bar, (full[0], full[1], full[0] + 196, full[1] + 82))
        desktop.screenshot(SHOTS / "compact-bar.png", main)
        desktop.click(compact)
        # Back to the starting frame, whatever size the system's frame metrics gave it.
        self.assertTrue(wait_for(lambda: desktop.screen_rect(main) == full))

        # The About box, modal, with the version and our notice.
        desktop.click(c["&About"])
        about = desktop.wait_window(cls="TervaneAboutBox", title="About")
        texts = [w["text"] for w in desktop.windows(about)]
        self.assertIn("Version: 5.1", texts)
        self.assertIn(f"Copyright \u00a9 {datetime.date.today().year} Vellmark", texts)
        desktop.screenshot(SHOTS / "about-box.png", about)
        ok = next(w["hwnd"] for w in desktop.windows(about) if w["text"] == "OK")
        desktop.click(ok)
        self.assertEqual(desktop.probe("find", "TervaneAboutBox", "About", 2000,
                                       check=False).returncode, 1, "the box is gone")

        self.exit(desktop, program, main)

    def start_again_and_see_them(self, desktop):
        program, main, c = self.start(desktop)
        source, target = desktop.language_pickers(main)
        slider = c.of_class("msctls_trackbar32")[0]
        self.assertEqual(desktop.windows(source)[0]["text"], "German")
        self.assertEqual(desktop.windows(target)[0]["text"], "Spanish")
        self.assertEqual(desktop.state(slider), 8)
        self.assertEqual(desktop.x_property(TITLE, "_NET_WM_WINDOW_OPACITY"), HALF_OPACITY)
        self.assertEqual([desktop.state(c[caption]) for caption in [
            "Freeze && wait for translation result", "Copy translation result to clipboard",
            "Log translation results to file"]], [0, 1, 1])
        self.assertEqual(desktop.list_items(c.of_class("ListBox")[0]), self.items)
        self.assertRegex(self.items[1], r"^(Ctrl|Control)\+Alt\+K$")
        desktop.screenshot(SHOTS / "settings-restored.png", main)
        self.exit(desktop, program, main)


if __name__ == "__main__":
    unittest.main()
