"""Replace in a Wayland session (sway, headless), as a person meets it: French text selected
in a GTK entry (Debian's zenity, a native Wayland client), the user's clipboard holding text
and another type, then sway's shortcut running `tervane --replace-selection`: the English
translation takes the selection's place (the clipboard lent through data-control, Ctrl+V
typed by the compositor's virtual keyboard) and the clipboard is the user's again, every
type of it. Without data-control the program refuses at once, saying why, and asks nothing
and leaves the clipboard alone."""
import subprocess
import sys
import unittest

from sway_session import BUILD, SwaySession, tools_present, wait_until

FRENCH = "Le chat est noir."
ENGLISH = "The cat is black."
SHORTCUT = "bindsym Ctrl+Alt+r exec tervane --replace-selection"
USERS = {"text/plain;charset=utf-8": "ce que l'utilisateur a copi\u00e9".encode(),
         "text/html": b"<b>ce que l'utilisateur a copi\xc3\xa9</b>",
         "application/x-tervane-test": bytes([0, 1, 0xFF, 0x7F, 0x80, 2])}


@unittest.skipUnless(tools_present(), "needs root, sway, wtype, wl-clipboard and grim")
class SwayReplaceTest(unittest.TestCase):
    def own_clipboard(self, session):
        """The user's clipboard: every type of USERS, from one owner."""
        args = [BUILD / "tests" / "wayland" / "clipboard-owner"]
        for number, (mime, data) in enumerate(USERS.items()):
            path = session.home / f"clipboard-{number}"
            path.write_bytes(data)
            args.append(f"{mime}={path}")
        owner = session.spawn_as_user(args, stdout=subprocess.PIPE, text=True)
        self.assertEqual(owner.stdout.readline().strip(), "ready")

    def clipboard(self, session):
        listed = session.run_as_user(["wl-paste", "--list-types"], timeout=5).stdout.split()
        return {mime: session.run_as_user(["wl-paste", "--no-newline", "--type", mime],
                                          timeout=5, text=False).stdout for mime in listed}

    def test_the_shortcut_puts_the_translation_in_a_gtk_entry_and_gives_the_clipboard_back(self):
        with SwaySession(config=[SHORTCUT]) as session:
            session.start_service()
            session.start_program()
            # At its time-out zenity prints what its entry holds, and ends (its Return takes
            # no key from wtype's keyboards).
            zenity = session.spawn_as_user(["zenity", "--entry", "--title", "textpad-zenity",
                                            "--entry-text", FRENCH, "--timeout", "30"],
                                           stdout=subprocess.PIPE, text=True)
            wait_until(lambda: [w for w in session.windows()
                                if w["name"] == "textpad-zenity" and w["focused"]],
                       20, "zenity in front")
            # The entry starts with its whole text selected; GTK claims the primary selection
            # only after an input event, so a wl-copy of ours holds the same text there.
            session.set_primary(FRENCH)
            self.own_clipboard(session)
            self.assertEqual(self.clipboard(session), USERS)

            session.keys("ctrl+alt+r")
            wait_until(lambda: "replaced" in session.trace(), 30, "the replacement")
            self.assertEqual(self.clipboard(session), USERS)
            self.assertEqual(session.translate_requests(), 1)
            session.screenshot("wayland-replaced.png")
            self.assertEqual(zenity.communicate(timeout=60)[0].strip(), ENGLISH)

    def test_without_data_control_replace_is_refused_and_the_clipboard_untouched(self):
        with SwaySession() as session:
            session.env["TERVANE_WAYLAND_SELECTION"] = "focused-surface"
            session.start_service()
            session.start_program()
            session.set_primary(FRENCH)
            session.set_clipboard("what the user copied")
            _, width, before = session.screenshot("wayland-replace-refused.png")
            self.assertEqual(session.run_as_user(["tervane", "--replace-selection"]).returncode, 0)
            # The error report, titled as the program, says why (the picture shows it).
            report = wait_until(lambda: [w["rect"] for w in session.window_named("Tervane")
                                         if w["rect"]["height"] > 100], 20, "the error report")[0]

            def inside(pixels):
                return [pixels[(y * width + report["x"]) * 3:(y * width + report["x"] +
                                                              report["width"]) * 3]
                        for y in range(report["y"], report["y"] + report["height"])]
            wait_until(lambda: inside(session.screenshot("wayland-replace-refused.png")[2]) !=
                       inside(before), 10, "the error report drawn")
            self.assertNotIn("started", session.trace())
            self.assertEqual(session.translate_requests(), 0)
            self.assertEqual(session.paste(), "what the user copied")


if __name__ == "__main__":
    sys.exit(unittest.main())
