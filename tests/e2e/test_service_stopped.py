"""With the translation service not running, a press tells the user so and how it starts,
before the system's own words."""
import os
import socket
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
SHOTS = BUILD / "screenshots"


def port_in_use(port):
    with socket.socket() as probe:
        return probe.connect_ex(("127.0.0.1", port)) == 0


class ServiceStopped(unittest.TestCase):
    def test_the_error_says_the_service_is_not_running_and_how_it_starts(self):
        if port_in_use(58470):
            self.skipTest("another translation service holds 127.0.0.1:58470")
        with Desktop(BUILD) as desktop:
            desktop.start_program()
            desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
            pad = desktop.start_textpad("Texte", "Le chat est noir.")
            desktop.activate(pad)
            desktop.move_mouse(300, 250)
            desktop.key("ctrl+shift+F12")
            box = wait_for(lambda: desktop.windows_of_class("#32770"), timeout=30)
            self.assertTrue(box, "no error box came up")
            handle, caption = box[0]
            self.assertEqual(caption, "Tervane")
            text = " ".join(w["text"] for w in desktop.windows(handle))
            self.assertIn("Tervane's translation service is not running", text)
            self.assertIn("log on", text)
            self.assertIn("A connection with the server could not be established", text)
            self.assertLess(text.index("not running"), text.index("A connection"))
            desktop.screenshot(SHOTS / "service-stopped.png", handle)


if __name__ == "__main__":
    unittest.main()
