"""End-to-end helper for the Linux desktop program: the real `tervane` and the real
translation service on the virtual display that `scripts/on-virtual-display.sh` gives the
test, driven as a person would (xdotool), read through X properties (xprop) and the
selections (xclip).

    with GtkDesktop() as desktop:
        desktop.start_service()
        desktop.start_program()
        term = desktop.start_xterm("Le chat est noir.")
        desktop.select_first_line(term)
        desktop.key("ctrl+shift+F12")
        balloon = desktop.wait_balloon()

Each desktop has its own XDG folders (settings, log, runtime folder) in a temporary folder
and its own session bus (where the program's one running instance is found); every process
it starts is ended when the `with` block ends, also on failure.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TERVANE_BUILD", REPO / "build" / "native"))
PROGRAM = BUILD / "gtk" / "tervane"
SERVICE = BUILD / "service" / "tervane-service"
SCREENSHOTS = BUILD / "screenshots"


def wait_until(condition, timeout=15.0, what="the condition"):
    """Polls `condition` until it gives something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def start_test_service(spawn, log_path):
    """The real service with Apertium on a free loopback port, started by `spawn` (which
    ends it with the test), its log in `log_path`; returns its translation address."""
    with open(log_path, "w") as log:
        process = spawn([SERVICE, "--listen", "127.0.0.1:0"], stderr=log,
                        stdout=subprocess.DEVNULL)
    port = wait_until(lambda: re.search(r"listening on 127\.0\.0\.1:(\d+)",
                                        log_path.read_text()), 30, "the service")
    return process, f"http://127.0.0.1:{port.group(1)}/translate"


class GtkDesktop:
    def __init__(self, home=None):
        if "DISPLAY" not in os.environ:
            raise RuntimeError("run under scripts/on-virtual-display.sh: no DISPLAY")
        self._tmp = None if home else tempfile.TemporaryDirectory(prefix="tervane-gtk-")
        self.home = Path(home or self._tmp.name)
        self.env = dict(os.environ)
        for name in ("config", "data", "cache", "runtime"):
            folder = self.home / name
            folder.mkdir(mode=0o700, exist_ok=True)
            self.env[f"XDG_{name.upper()}_{'DIR' if name == 'runtime' else 'HOME'}"] = str(folder)
        self.env["NO_AT_BRIDGE"] = "1"  # no accessibility bus on a virtual display
        self.env["LANG"] = self.env["LC_ALL"] = "C.UTF-8"  # xterm shows and selects UTF-8
        self._processes = []
        self.service = None
        self.service_log = self.home / "service.log"
        self.service_url = None
        self.program = None
        self._start_session_bus()

    # --- start and stop ---------------------------------------------------------------
    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        for process in reversed(self._processes):
            self.end(process)
            if process.stdout:
                process.stdout.close()
        self._processes.clear()
        if self._tmp:
            self._tmp.cleanup()

    def spawn(self, args, **kwargs):
        process = subprocess.Popen([str(a) for a in args], env=self.env, **kwargs)
        self._processes.append(process)
        return process

    @staticmethod
    def end(process, timeout=10):
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def start_service(self):
        """The real service with Apertium on a free loopback port; its log is kept."""
        self.service, self.service_url = start_test_service(self.spawn, self.service_log)
        return self.service_url

    def translate_requests(self):
        """How many translations the service has been asked for."""
        return self.service_log.read_text().count("POST /translate")

    def start_program(self, *args, url=None):
        """The program, its service address the given one (the test's service)."""
        url = url or self.service_url
        command = [PROGRAM] + (["--test-service-url", url] if url else []) + list(args)
        self.program = self.spawn(command)
        self.wait_window(name="^Tervane 5.1$")
        return self.program

    def run_program(self, *args, timeout=15):
        """A second start of the program, which hands its request on and ends."""
        url = ["--test-service-url", self.service_url] if self.service_url else []
        return subprocess.run([str(PROGRAM)] + url + list(args), env=self.env, timeout=timeout,
                              capture_output=True, text=True)

    # --- windows ----------------------------------------------------------------------
    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True)
        if check and result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(map(str, args))}: {result.stderr}")
        return result.stdout

    def search(self, *criteria):
        """Visible windows matching xdotool search criteria."""
        out = self.xdotool("search", "--onlyvisible", *criteria, check=False)
        return [int(w) for w in out.split()]

    def wait_window(self, name, timeout=30):
        return wait_until(lambda: self.search("--name", name), timeout, f"a window {name}")[0]

    def windows_of_role(self, role):
        """The program's visible windows whose WM_WINDOW_ROLE is `role`."""
        return [w for w in self.search("--classname", "tervane")
                if self.x_property(w, "WM_WINDOW_ROLE") == role]

    def balloons(self):
        return self.windows_of_role("tervane-balloon")

    def wait_balloon(self, before=(), timeout=20):
        """A balloon that was not on the screen before."""
        return wait_until(lambda: [w for w in self.balloons() if w not in before], timeout,
                          "a balloon")[0]

    def title(self, window):
        return self.xdotool("getwindowname", window).rstrip("\n")

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=") for line in out.split())
        return {k: int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")}

    def x_property(self, window, name):
        out = subprocess.run(["xprop", "-id", str(window), name], env=self.env,
                             capture_output=True, text=True).stdout
        match = re.search(r'= "(.*)"\s*$', out, re.S)
        if match:
            return match.group(1).encode().decode("unicode_escape").encode("latin-1").decode()
        match = re.search(r"= (.*)$", out)
        return match.group(1) if match else None

    def key(self, keys):
        self.xdotool("key", "--delay", 30, *keys.split())

    def mouse(self, x, y):
        self.xdotool("mousemove", x, y)

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=") for line in out.split())
        return int(values["X"]), int(values["Y"])

    def click(self, x, y, repeat=1):
        self.xdotool("mousemove", x, y, "click", "--repeat", repeat, "--delay", 80, 1)

    # --- an application that no one here wrote ------------------------------------------
    def start_xterm(self, text, x=40, y=40):
        """Debian's xterm showing `text` on its first line, with the keyboard focus."""
        process = self.spawn(["xterm", "-fa", "DejaVu Sans Mono", "-fs", "12",
                              "-geometry", f"60x16+{x}+{y}", "-T", "textpad-xterm",
                              "-e", "sh", "-c", 'printf "%s\\n" "$0"; exec sleep 100000', text])
        window = self.wait_window(name="^textpad-xterm$")
        self.xdotool("windowfocus", "--sync", window)
        self.process_of_xterm = process
        return window

    def select_first_line(self, window):
        """A triple click on the first line selects it, as a person does with the mouse."""
        g = self.geometry(window)
        self.click(g["X"] + 30, g["Y"] + 10, repeat=3)
        wait_until(lambda: self.primary().strip(), 10, "the selection")
        self.xdotool("windowfocus", "--sync", window)

    # --- selections -------------------------------------------------------------------
    def _xclip_out(self, selection):
        result = subprocess.run(["xclip", "-o", "-selection", selection], env=self.env,
                                capture_output=True, text=True, timeout=5)
        return result.stdout if result.returncode == 0 else None

    def primary(self):
        return self._xclip_out("primary") or ""

    def clipboard(self):
        return self._xclip_out("clipboard")

    def set_clipboard(self, text):
        """The clipboard holds `text`, served by an xclip of ours until the desktop ends."""
        holder = self.spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
        holder.stdin.write(text.encode())
        holder.stdin.close()
        wait_until(lambda: self.clipboard() == text, 5, "the clipboard")

    def install_text_editor(self):
        """The desktop's default application for plain text, an editor of ours that writes
        the files it is given into the returned file."""
        opened = self.home / "editor-opened.txt"
        applications = self.home / "data" / "applications"
        applications.mkdir(parents=True, exist_ok=True)
        (applications / "test-editor.desktop").write_text(
            "[Desktop Entry]\nType=Application\nName=Test editor\nMimeType=text/plain;\n"
            f"Exec=sh -c 'echo \"$1\" >> {opened}' editor %f\n")
        (self.home / "config" / "mimeapps.list").write_text(
            "[Default Applications]\ntext/plain=test-editor.desktop\n")
        return opened

    # --- the notification area --------------------------------------------------------
    def _start_session_bus(self):
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, text=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    def start_notification_area(self):
        """A StatusNotifierWatcher on the desktop's session bus (the part of a notification
        area that indicators register with); gives the file where each registration's
        "<bus name> <object path>" is written."""
        registrations = self.home / "notification-items.txt"
        watcher = self.spawn(["/usr/bin/python3", Path(__file__).with_name("sni_watcher.py"),
                              registrations], stdout=subprocess.PIPE, text=True)
        if watcher.stdout.readline().strip() != "ready":
            raise AssertionError("the StatusNotifierWatcher did not start")
        return registrations

    def dbus_call(self, bus_name, path, method, *args):
        result = subprocess.run(["gdbus", "call", "--session", "--dest", bus_name,
                                 "--object-path", path, "--method", method, "--"] + list(args),
                                env=self.env, capture_output=True, text=True, timeout=10)
        if result.returncode != 0:
            raise AssertionError(f"{method}: {result.stderr}")
        return result.stdout.strip()

    # --- files and pictures -----------------------------------------------------------
    @property
    def settings_file(self):
        return self.home / "config" / "tervane" / "settings.ini"

    @property
    def log_file(self):
        return self.home / "data" / "tervane" / "Translations.log"

    def screenshot(self, name):
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        path = SCREENSHOTS / name
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True)
        return path


def tools_present():
    return all(shutil.which(tool) for tool in ("xdotool", "xprop", "xclip", "xterm", "import"))
