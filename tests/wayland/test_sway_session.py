"""The Linux desktop program as a native Wayland client in a real session (sway, headless):
sway's own shortcut runs `tervane --translate-selection`, which has the running program
read the primary selection through wlroots' data-control protocol (no focus taken) and
show its translation in a layer-shell balloon on the output; the translation is logged,
the clipboard untouched; with nothing selected nothing is shown and the service is not
asked. With no notification area in the session, Minimize leaves the window reachable."""
import sys
import unittest

from sway_session import (BALLOON_RGB, HEIGHT, WIDTH, SwaySession, box_of_colour,
                          tools_present, wait_until)

FRENCH = "Le chat est noir et la maison est grande."
ENGLISH = "The cat is black and the house is big."
SHORTCUT = "bindsym Ctrl+Shift+F12 exec tervane --translate-selection"


@unittest.skipUnless(tools_present(), "needs root, sway, wtype, wl-clipboard and grim")
class SwaySessionTest(unittest.TestCase):
    def translate(self, session):
        """sway's shortcut pressed; returns once the program has started a translation."""
        started = session.trace().count("started")
        session.keys("ctrl+shift+F12")
        wait_until(lambda: session.trace().count("started") > started, 15,
                   "the shortcut to reach the program")

    def check_session(self, session, selection_way):
        session.write_settings('[Software\\Vellmark\\Tervane]\ncc="001"\n')  # the log on
        session.start_service()
        session.start_program()
        self.assertIn("selection:" + selection_way, session.trace())
        session.set_clipboard("what the user copied")

        # Nothing selected: no balloon, no request.
        self.translate(session)
        with self.assertRaises(AssertionError):
            wait_until(lambda: "shown" in session.trace(), 3, "a balloon")
        self.assertEqual(session.translate_requests(), 0)

        session.set_primary(FRENCH)
        self.translate(session)
        wait_until(lambda: "drawn" in session.trace(), 20, "the balloon")
        wait_until(lambda: session.log_file.exists() and ENGLISH in session.log_file.read_text(),
                   5, "the translation in the log")
        self.assertIn(FRENCH, session.log_file.read_text())
        self.assertEqual(session.translate_requests(), 1)
        self.assertEqual(session.paste(), "what the user copied")
        self.assertEqual(session.paste(primary=True), FRENCH)
        # The window that had the focus has it again (the focused surface's read gave it
        # back; data-control never took it).
        wait_until(lambda: [w["name"] for w in session.windows() if w["focused"]] ==
                   ["Tervane 5.1"], 5, "the focus back on the main window")

        # The balloon is on the output, whole: its body's colour inside the picture, away
        # from the edges.
        name = f"wayland-balloon-{selection_way}.png"
        box = wait_until(lambda: box_of_colour(*session.screenshot(name)[1:], BALLOON_RGB), 5,
                         f"the balloon in {name}")
        left, top, right, bottom = box
        self.assertTrue(0 < left < right < WIDTH and 0 < top < bottom < HEIGHT, box)
        self.assertGreater(right - left, 150, box)

    def test_shortcut_translates_the_primary_selection_read_by_data_control(self):
        with SwaySession(config=[SHORTCUT]) as session:
            session.env.pop("NO_AT_BRIDGE")  # Minimize is pressed through accessibility
            self.check_session(session, "data-control")

            # This session has no notification area: the indicator waits for one without
            # falling back to an X11 tray icon (GTK would log critical errors for it).
            self.assertNotIn("CRITICAL", session.program_log())
            session.press_button("Minimize")
            wait_until(lambda: "minimized" in session.trace(), 5, "the Minimize button")
            self.assertIn("Tervane 5.1", [w["name"] for w in session.windows()])

    def test_without_data_control_a_focused_surface_reads_it(self):
        with SwaySession(config=[SHORTCUT]) as session:
            session.env["TERVANE_WAYLAND_SELECTION"] = "focused-surface"
            self.check_session(session, "focused-surface")


if __name__ == "__main__":
    sys.exit(unittest.main())
