"""The wait hint and a failed exchange on the Linux desktop, against a loopback HTTP server
that answers slowly or refuses: with "Freeze" on the hint is on the screen at the pointer
while the exchange waits and gone with the balloon, the window answers meanwhile and a
second press is ignored; with it off there is none; a refusal is reported by the error
report with the service's reason in words, and no balloon comes."""
import http.server
import threading
import unittest

from gtk_desktop import PROGRAM, GtkDesktop, wait_until

HINT = "Translating, please wait ..."


class SlowService(http.server.ThreadingHTTPServer):
    """Answers each translation after `delay` seconds, or with 422 when `refuse` is set."""

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Handler)
        self.delay = 1.5
        self.hold = None  # an Event: each answer waits until the test sets it
        self.refuse = False
        self.requests = 0
        threading.Thread(target=self.serve_forever, daemon=True).start()

    @property
    def url(self):
        return f"http://127.0.0.1:{self.server_address[1]}/translate"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):  # the program's check that a service answers
        self.reply(200, "OK", b'{"status":"ok"}')

    def do_POST(self):
        self.rfile.read(int(self.headers["Content-Length"]))
        self.server.requests += 1
        if self.server.refuse:
            self.reply(422, "No translation route from French to Japanese", b"no route")
            return
        if self.server.hold:
            self.server.hold.wait(30)
        else:
            threading.Event().wait(self.server.delay)
        self.reply(200, "OK", b'"The slow answer."')

    def reply(self, status, reason, body):
        self.send_response(status, reason)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class WaitHintTest(unittest.TestCase):
    def press(self, desktop, term):
        desktop.xdotool("windowfocus", "--sync", term)
        desktop.mouse(700, 300)
        desktop.key("ctrl+shift+F12")

    def test_the_hint_shows_while_the_exchange_waits(self):
        service = SlowService()
        with GtkDesktop() as desktop:
            trace = desktop.home / "flow-trace.txt"
            desktop.env["TERVANE_FLOW_TRACE"] = str(trace)  # each press noted as it comes
            desktop.start_program(url=service.url)
            term = desktop.start_xterm("Le chat est noir.")
            desktop.select_first_line(term)

            service.hold = threading.Event()
            self.press(desktop, term)
            hint = wait_until(lambda: desktop.windows_of_role("tervane-wait-hint"), 5,
                              "the wait hint")[0]
            self.assertEqual(desktop.title(hint), HINT)
            g = desktop.geometry(hint)
            self.assertEqual((g["X"], g["Y"]), (700, 300))
            self.assertEqual(service.requests, 1)  # on the screen while the answer waits
            desktop.screenshot("gtk-wait-hint.png")
            # The window answers meanwhile (a swap is saved at once), and a second press
            # while the answer waits is ignored.
            main = desktop.wait_window(name="^Tervane 5.1$")
            m = desktop.geometry(main)
            desktop.click(m["X"] + m["WIDTH"] - 275, m["Y"] + 16)
            wait_until(lambda: desktop.settings_file.exists() and
                       "src=dword:0" in desktop.settings_file.read_text(), 3, "the swap saved")
            self.assertTrue(desktop.windows_of_role("tervane-wait-hint"))
            self.press(desktop, term)
            wait_until(lambda: trace.read_text().count("pressed") == 2, 5, "the second press")
            service.hold.set()
            service.hold = None
            balloon = desktop.wait_balloon()
            self.assertEqual(desktop.title(balloon), "The slow answer.")
            self.assertEqual(service.requests, 1)
            wait_until(lambda: not desktop.windows_of_role("tervane-wait-hint"), 5,
                       "the hint to go")

            # A refusal: the error report with the service's reason in words (no status
            # line), the hint gone, no new balloon.
            service.refuse = True
            self.press(desktop, term)
            report = desktop.wait_window(name="^Tervane$")
            self.assertEqual(desktop.x_property(report, "_TERVANE_MESSAGE"),
                             "The translation service cannot translate this: No translation "
                             "route from French to Japanese.")
            self.assertEqual(desktop.windows_of_role("tervane-wait-hint"), [])
            self.assertEqual(desktop.balloons(), [balloon])
        service.shutdown()
        service.server_close()

    def test_no_hint_without_freeze(self):
        service = SlowService()
        with GtkDesktop() as desktop:
            desktop.settings_file.parent.mkdir(parents=True)
            desktop.settings_file.write_text('[Software\\Vellmark\\Tervane]\ncc="000"\n')
            desktop.start_program(url=service.url)
            term = desktop.start_xterm("Le chat est noir.")
            desktop.select_first_line(term)
            self.press(desktop, term)
            wait_until(lambda: service.requests == 1, 5, "the request")
            seen = []
            while not desktop.balloons():
                seen += desktop.windows_of_role("tervane-wait-hint")
            self.assertEqual(seen, [])
        service.shutdown()
        service.server_close()


if __name__ == "__main__":
    unittest.main()
