"""Global hotkeys through the desktop's GlobalShortcuts portal, in a real Wayland session
(sway, headless) whose session bus has a portal of the test's own: the program binds its
whole hotkey list there at start, and a shortcut the portal reports Activated translates the
primary selection."""
import json
import sys
import unittest

from sway_session import SwaySession, tools_present, wait_until

FRENCH = "Le chat est noir."
ENGLISH = "The cat is black."
CTRL_SHIFT_F12 = 0x4000 | 0x2000 | 0x7B
CTRL_ALT_T = 0x4000 | 0x8000 | 0x54


@unittest.skipUnless(tools_present(), "needs root, sway, wtype, wl-clipboard and grim")
class PortalShortcutsTest(unittest.TestCase):
    def test_the_list_is_bound_through_the_portal_and_a_press_translates(self):
        with SwaySession(portal=True) as session:
            # The stored list: the default hotkey (bound at every start) and Ctrl+Alt+T; the
            # log on.
            session.write_settings('[Software\\Vellmark\\Tervane]\ncc="001"\nCount=dword:2\n'
                                   'Key0="Ctrl+Shift+F12"\nKey1="Ctrl+Alt+T"\n')
            session.start_service()
            session.start_program()

            def bindings():
                if not session.portal_record.exists():
                    return []
                return [json.loads(line) for line in session.portal_record.read_text().splitlines()]

            # The whole list is bound, in one session.
            both = [[f"hotkey-{CTRL_SHIFT_F12}", "CTRL+SHIFT+F12"],
                    [f"hotkey-{CTRL_ALT_T}", "CTRL+ALT+t"]]
            wait_until(lambda: bindings() and bindings()[-1]["shortcuts"] == both, 15,
                       "the list bound")
            self.assertEqual(len({binding["session"] for binding in bindings()}), 1, bindings())

            # The portal reports the second shortcut pressed: the selection is translated.
            session.set_primary(FRENCH)
            result = session.run_as_user(["gdbus", "call", "--session", "--dest",
                                          "org.freedesktop.portal.Desktop", "--object-path",
                                          "/org/freedesktop/portal/desktop", "--method",
                                          "org.tervane.TestPortal.Activate",
                                          f"hotkey-{CTRL_ALT_T}"])
            self.assertEqual(result.returncode, 0, result.stderr)
            wait_until(lambda: session.log_file.exists() and ENGLISH in session.log_file.read_text(),
                       20, "the translation in the log")
            wait_until(lambda: "drawn" in session.trace(), 10, "the balloon drawn")
            self.assertEqual(session.translate_requests(), 1)


if __name__ == "__main__":
    sys.exit(unittest.main())
