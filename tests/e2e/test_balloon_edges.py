"""The balloon stays on the screen when the cursor is near one of its edges: it flips to the
side of the cursor that has room, its arrow still on the cursor, or is moved inside where the
cursor is closer to the edge than the arrow's inset."""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
NATIVE = Path(os.environ.get("TERVANE_NATIVE_BUILD_DIR",
                             Path(__file__).resolve().parents[2] / "build/native"))
SERVICE = NATIVE / "service" / "tervane-service"
SHOTS = BUILD / "screenshots"
WIDTH, HEIGHT = 1280, 1024


class BalloonEdges(unittest.TestCase):
    def test_near_each_edge_the_balloon_stays_on_the_screen(self):
        # (name, cursor, whether the arrow's tip can stay on the cursor)
        cases = [("bottom", (1000, HEIGHT - 40), True), ("top", (300, 30), True),
                 ("left", (5, 300), False), ("right", (WIDTH - 3, 800), False)]
        with Desktop(BUILD) as desktop:
            desktop.start_service(SERVICE)
            desktop.start_program()
            desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
            pad = desktop.start_textpad("Texte", "Le chat est noir.")
            for name, (x, y), tip_on_cursor in cases:
                with self.subTest(edge=name):
                    before = {h for h, _ in desktop.windows_of_class("TervaneBalloon")}
                    desktop.activate(pad)
                    desktop.move_mouse(x, y)
                    desktop.key("ctrl+shift+F12")
                    balloon = wait_for(lambda: next(
                        (h for h, _ in desktop.windows_of_class("TervaneBalloon")
                         if h not in before), None), timeout=30)
                    self.assertTrue(balloon, "no balloon came up")
                    left, top, right, bottom = desktop.screen_rect(balloon)
                    desktop.screenshot(SHOTS / f"balloon-{name}.png")
                    self.assertGreaterEqual(left, 0)
                    self.assertGreaterEqual(top, 0)
                    self.assertLessEqual(right, WIDTH)
                    self.assertLessEqual(bottom, HEIGHT)
                    if tip_on_cursor:
                        # Flipped: the body on the other side of the cursor, 20 pixels in.
                        tip_y = bottom if name == "bottom" else top + 2
                        self.assertEqual(tip_y, y)
                        self.assertIn(x, (left + 20, right - 20))


if __name__ == "__main__":
    unittest.main()
