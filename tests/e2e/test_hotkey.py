"""A real press of Ctrl+Shift+F12 on the virtual display reaches the running program."""
import os
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
TRACING_EXE = BUILD / "tests" / "e2e" / "tervane-hotkey-trace.exe"


class GlobalHotKey(unittest.TestCase):
    def test_ctrl_shift_f12_reaches_the_program_and_is_listed(self):
        with tempfile.TemporaryDirectory() as tmp, Desktop(BUILD) as desktop:
            trace = Path(tmp) / "presses.txt"
            desktop.env["TERVANE_HOTKEY_TRACE"] = "Z:" + str(trace).replace("/", "\\")
            desktop.start_program(exe=TRACING_EXE)
            main = desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
            listbox = next(w for w in desktop.windows(main) if w["cls"] == "ListBox")
            items = desktop.list_items(listbox["hwnd"])
            self.assertEqual(len(items), 1, items)
            # Wine names the Ctrl key after X11 ("Control"); the key and Shift stay.
            self.assertRegex(items[0], r"^(Ctrl|Control)\+Shift\+F12$")

            # Any window of ours in the foreground: the hotkey is global.
            desktop.focus(main)
            desktop.key("ctrl+shift+F12")
            self.assertTrue(wait_for(lambda: trace.exists() and trace.read_text().strip()),
                            "the press did not reach the program")
            value, index = trace.read_text().split()[:2]
            self.assertEqual(value, "607B")
            self.assertNotEqual(int(index), 0)

            # A combination that is not registered raises nothing.
            desktop.key("ctrl+shift+F11")
            desktop.key("ctrl+shift+F12")
            self.assertTrue(wait_for(lambda: len(trace.read_text().split("\n")) > 2))
            self.assertEqual([line.split()[0] for line in trace.read_text().splitlines()],
                             ["607B", "607B"])


if __name__ == "__main__":
    unittest.main()
