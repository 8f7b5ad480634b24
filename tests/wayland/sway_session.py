"""A real Wayland session for the Linux desktop program's scenarios: sway's headless
backend (no GPU, no input devices; wtype's virtual keyboards type, and one is held for the
session's life), a session bus of its own, and the real `tervane` and service. sway refuses to run as root, so the session and
the program run as an unprivileged user that the fixture creates once (`tervane-wayland`),
with their own XDG folders and runtime folder (mode 0700). Every process it starts is
ended when the `with` block ends.

    with SwaySession(config=["bindsym Ctrl+Shift+F12 exec tervane --translate-selection"]) as s:
        s.start_service()
        s.start_program()
        s.set_primary("Le chat est noir.")
        s.keys("ctrl+shift+F12")
"""
import json
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "gtk"))
from gtk_desktop import BUILD, PROGRAM, SCREENSHOTS, start_test_service, wait_until  # noqa: E402

USER = "tervane-wayland"
WIDTH, HEIGHT = 1280, 800
# The balloon's body colour (notify/: the tooltip colour of its pictures).
BALLOON_RGB = (255, 255, 225)


def ensure_user():
    """The unprivileged user the session runs as; made once per machine."""
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        result = subprocess.run(["useradd", "--system", "--no-create-home",
                                 "--shell", "/usr/sbin/nologin", USER],
                                capture_output=True, text=True)
        if result.returncode not in (0, 9):  # 9: made meanwhile by another test
            raise AssertionError(f"useradd: {result.stderr}")
        return pwd.getpwnam(USER)


def tools_present():
    return os.geteuid() == 0 and all(shutil.which(tool) for tool in (
        "sway", "swaymsg", "wtype", "wl-copy", "wl-paste", "grim", "dbus-daemon", "setpriv",
        "convert"))


class SwaySession:
    def __init__(self, config=(), portal=False):
        self.user = ensure_user()
        self._tmp = tempfile.TemporaryDirectory(prefix="tervane-wayland-")
        self.home = Path(self._tmp.name)
        os.chmod(self.home, 0o755)
        self.env = {"PATH": f"{BUILD / 'gtk'}:/usr/bin:/bin", "HOME": str(self.home),
                    "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8", "NO_AT_BRIDGE": "1",
                    "TERVANE_FLOW_TRACE": str(self.home / "trace.txt")}
        for name in ("config", "data", "cache", "runtime"):
            folder = self.home / name
            folder.mkdir(mode=0o700)
            self.env[f"XDG_{name.upper()}_{'DIR' if name == 'runtime' else 'HOME'}"] = str(folder)
        self.config_lines = list(config)
        self.portal = portal
        self.portal_record = self.home / "portal-bindings.jsonl"
        self.service_log = self.home / "service.log"
        self.service_url = None
        self._processes = []

    # --- start and stop ---------------------------------------------------------------
    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start(self):
        uid, gid = self.user.pw_uid, self.user.pw_gid
        for path in [self.home, *self.home.iterdir()]:
            os.chown(path, uid, gid)
        bus = self.spawn_as_user(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                 stdout=subprocess.PIPE, text=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        if self.portal:
            portal = self.spawn_as_user(
                [sys.executable, Path(__file__).with_name("shortcuts_portal.py"),
                 self.portal_record], stdout=subprocess.PIPE, text=True)
            if portal.stdout.readline().strip() != "ready":
                raise AssertionError("the test portal did not start")
        config = self.home / "sway.config"
        config.write_text("\n".join([f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT}",
                                     *self.config_lines]) + "\n")
        env = dict(self.env, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1")
        with open(self.home / "sway.log", "w") as log:
            self.spawn_as_user(["sway", "--config", config], env=env, stdout=log,
                               stderr=subprocess.STDOUT)
        runtime = Path(self.env["XDG_RUNTIME_DIR"])
        wait_until(lambda: list(runtime.glob("wayland-*[0-9]")) and list(runtime.glob("sway-ipc.*")),
                   20, "sway's sockets")
        self.env["WAYLAND_DISPLAY"] = next(runtime.glob("wayland-*[0-9]")).name
        self.env["SWAYSOCK"] = str(next(runtime.glob("sway-ipc.*")))
        wait_until(lambda: self.run_as_user(["swaymsg", "-t", "get_outputs"]).returncode == 0,
                   20, "sway's IPC")
        # The seat's keyboard, as a desktop has one: without a keyboard no surface gets the
        # keyboard focus, and a compositor hands the selection only to the focused client.
        # A wtype that sleeps holds its virtual keyboard for as long as the session lasts.
        self.spawn_as_user(["wtype", "-s", "86400000"])

    def close(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
            for stream in (process.stdout, process.stdin):
                if stream:
                    stream.close()
        self._processes.clear()
        self._tmp.cleanup()

    def as_user(self, args):
        return ["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}",
                "--init-groups", "--"] + [str(a) for a in args]

    def spawn_as_user(self, args, env=None, **kwargs):
        process = subprocess.Popen(self.as_user(args), env=env or self.env, cwd=self.home,
                                   **kwargs)
        self._processes.append(process)
        return process

    def run_as_user(self, args, timeout=15, text=True, **kwargs):
        return subprocess.run(self.as_user(args), env=self.env, cwd=self.home,
                              capture_output=True, text=text, timeout=timeout, **kwargs)

    def start_service(self):
        """The real service on a free loopback port (run as root: it needs no display)."""
        _, self.service_url = start_test_service(self._spawn_root, self.service_log)
        return self.service_url

    def _spawn_root(self, args, **kwargs):
        process = subprocess.Popen([str(a) for a in args], **kwargs)
        self._processes.append(process)
        return process

    def translate_requests(self):
        return self.service_log.read_text().count("POST /translate")

    # --- the program ------------------------------------------------------------------
    def start_program(self):
        with open(self.home / "program.log", "w") as log:
            program = self.spawn_as_user([PROGRAM, "--test-service-url", self.service_url],
                                         stdout=log, stderr=subprocess.STDOUT)
        wait_until(lambda: self.window_named("Tervane 5.1"), 30, "the main window")
        return program

    def press_button(self, label):
        """Presses the program's button `label` through its accessibility interface (the
        program must have started without NO_AT_BRIDGE)."""
        result = self.run_as_user([sys.executable, Path(__file__).with_name("press_button.py"),
                                   "tervane", label])
        if result.stdout.strip() != "pressed":
            raise AssertionError(f"pressing {label}: {result.stdout}{result.stderr}")

    def program_log(self):
        return (self.home / "program.log").read_text()

    def trace(self):
        """The program's flow trace: the names of the points it passed, in order."""
        path = self.home / "trace.txt"
        return [line.split()[0] for line in path.read_text().splitlines()] if path.exists() else []

    def write_settings(self, text):
        folder = self.home / "config" / "tervane"
        folder.mkdir(exist_ok=True)
        (folder / "settings.ini").write_text(text)
        for path in (folder, folder / "settings.ini"):
            os.chown(path, self.user.pw_uid, self.user.pw_gid)

    @property
    def log_file(self):
        return self.home / "data" / "tervane" / "Translations.log"

    # --- sway -------------------------------------------------------------------------
    def swaymsg(self, *args):
        result = self.run_as_user(["swaymsg", *args])
        if result.returncode != 0:
            raise AssertionError(f"swaymsg {' '.join(args)}: {result.stderr}{result.stdout}")
        return result.stdout

    def windows(self):
        """Every window in sway's tree, as its IPC describes it."""
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and node.get("pid"):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(json.loads(self.swaymsg("-t", "get_tree")))
        return found

    def window_named(self, name):
        return [w for w in self.windows() if w.get("name") == name]

    def keys(self, *combinations):
        """Keys pressed one after the other ("ctrl+alt+t", "Tab"), each with its modifiers
        held, through one wtype: one virtual keyboard, so one keymap for all of them."""
        args = ["wtype"]
        for combination in combinations:
            *modifiers, key = combination.split("+")
            for modifier in modifiers:
                args += ["-M", modifier]
            args += ["-k", key]
            for modifier in reversed(modifiers):
                args += ["-m", modifier]
        # The keyboard stays a moment after the last key, as a person's does: when wtype's
        # keyboard goes, its focus goes with it, and GTK cancels a button's activation.
        result = self.run_as_user(args + ["-s", "500"])
        if result.returncode != 0:
            raise AssertionError(f"wtype: {result.stderr}")

    # --- selections -------------------------------------------------------------------
    def set_primary(self, text):
        """The primary selection holds `text`, served by a wl-copy of ours."""
        self.spawn_as_user(["wl-copy", "--primary", "--foreground", text],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self.paste(primary=True) == text, 5, "the primary selection")

    def set_clipboard(self, text):
        self.spawn_as_user(["wl-copy", "--foreground", text], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        wait_until(lambda: self.paste() == text, 5, "the clipboard")

    def paste(self, primary=False):
        result = self.run_as_user(["wl-paste", "--no-newline"] + (["--primary"] if primary else []),
                                  timeout=5)
        return result.stdout if result.returncode == 0 else None

    # --- pictures ---------------------------------------------------------------------
    def screenshot(self, name):
        """The output as grim takes it, saved as PNG under build/native/screenshots; returns
        its path, its width and its pixels (RGB bytes, row by row)."""
        ppm = self.home / "shot.ppm"
        result = self.run_as_user(["grim", "-t", "ppm", ppm])
        if result.returncode != 0:
            raise AssertionError(f"grim: {result.stderr}")
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        png = SCREENSHOTS / name
        subprocess.run(["convert", ppm, png], check=True)
        data = ppm.read_bytes()
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        return png, int(match.group(1)), data[match.end():]


def box_of_colour(width, pixels, colour):
    """The bounding box (left, top, right, bottom) of the pixels of `colour`; None if none."""
    xs, ys = [], []
    wanted = bytes(colour)
    at = pixels.find(wanted)
    while at >= 0:
        if at % 3 == 0:
            xs.append(at // 3 % width)
            ys.append(at // 3 // width)
        at = pixels.find(wanted, at + 1)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None
