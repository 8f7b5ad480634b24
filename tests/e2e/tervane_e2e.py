"""End-to-end helper: the real tervane.exe (and the translation service) on a virtual
display, driven as a person would drive it.

    with Desktop(build_dir) as desktop:
        desktop.start_program()
        main = desktop.wait_window(title="Tervane 5.1")
        desktop.focus(main)
        desktop.key("ctrl+shift+F12")
        desktop.screenshot("out.png", main)

Every process the desktop starts is ended when the `with` block ends, also on failure.
"""
import os
import re
import signal
import subprocess
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
# How long a service on the default port may take to answer: it waits out a closing
# connection that holds the port (TIME_WAIT, a minute on Linux) before it listens.
SERVICE_START_SECONDS = 90


def windows_build():
    """The Windows build that Wine runs on this machine: build/win32, or build/win64 where
    the kernel runs no 32-bit programs (scripts/windows-preset.sh)."""
    preset = subprocess.run([str(REPO / "scripts" / "windows-preset.sh")], capture_output=True,
                            text=True, check=True).stdout.strip()
    return REPO / "build" / preset


class Desktop:
    def __init__(self, build_dir=None, display=None, screen="1280x1024x24"):
        self.build_dir = Path(build_dir or windows_build()).resolve()
        self.prefix = self.build_dir / "wineprefix"
        self.exe = self.build_dir / "app" / "tervane.exe"
        self.probe_exe = self.build_dir / "tests" / "e2e" / "winprobe.exe"
        self.textpad_exe = self.build_dir / "tests" / "e2e" / "textpad.exe"
        self.display = display
        self.screen = screen
        self._xvfb = None
        self._processes = []
        self.env = dict(os.environ)
        # The 64-bit build runs in 64-bit Wine, whose `wine` is ours (scripts/wine-arch.sh).
        self.env.setdefault("WINEARCH", "win64" if self.build_dir.name == "win64" else "win32")
        if self.env["WINEARCH"] == "win64":
            self.env["PATH"] = f"{REPO / 'scripts' / 'wine64'}:{self.env['PATH']}"

    # --- start and stop -------------------------------------------------------------
    def __enter__(self):
        if not self.display:
            self._start_xvfb()
        self.env.update(DISPLAY=self.display, WINEPREFIX=str(self.prefix),
                        WINEDEBUG=self.env.get("WINEDEBUG", "-all"),
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        subprocess.run([str(REPO / "scripts" / "wine-prefix.sh")], env=self.env, check=True)
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        # End the Wine session of this prefix and wait until its server is gone, so that
        # the next session starts afresh.
        for args in (["-k"], ["-w"]):
            subprocess.run(["wineserver", *args], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        for proc in reversed(self._processes):
            _end(proc)
        self._processes.clear()
        if self._xvfb:
            _end(self._xvfb)
            self._xvfb = None

    def _start_xvfb(self):
        # Display numbers from 90 on, as xvfb-run takes them: under Wine the first
        # probe of a session on display :0 waits forever. -noreset as in
        # scripts/on-virtual-display.sh: no connection is dropped by a reset.
        for number in range(90, 200):
            if Path(f"/tmp/.X{number}-lock").exists():
                continue
            xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", self.screen,
                                     "-nolisten", "tcp", "-noreset"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            socket = Path(f"/tmp/.X11-unix/X{number}")
            deadline = time.monotonic() + 10
            while xvfb.poll() is None and not socket.exists() and time.monotonic() < deadline:
                time.sleep(0.05)
            if xvfb.poll() is None and socket.exists():
                self._xvfb, self.display = xvfb, f":{number}"
                return
            _end(xvfb)
        raise RuntimeError("no free display for Xvfb")

    def start(self, argv, **kwargs):
        """Starts a process that the desktop ends at the close."""
        # Not in a session of its own: a Wine process started so waits for the others.
        proc = subprocess.Popen(argv, env=self.env, stdin=subprocess.DEVNULL, **kwargs)
        self._processes.append(proc)
        return proc

    def start_program(self, *args, exe=None):
        return self.start(["wine", str(exe or self.exe), *args],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start_textpad(self, caption, text):
        """A window of ours holding `text`, all of it selected, in the foreground."""
        self.start(["wine", str(self.textpad_exe), caption, text],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.wait_window(cls="TervaneTextPad", title=caption)

    def start_service(self, service_exe, *args, log=None):
        """Starts the translation service and waits until its health check answers."""
        out = open(log, "ab") if log else subprocess.DEVNULL
        proc = self.start([str(service_exe), *args], stdout=out, stderr=out)
        deadline = time.monotonic() + SERVICE_START_SECONDS
        while time.monotonic() < deadline:
            if proc.poll() is not None:
                raise RuntimeError("the translation service ended at start")
            if subprocess.run(["curl", "-sf", "http://127.0.0.1:58470/health"],
                              stdout=subprocess.DEVNULL).returncode == 0:
                return proc
            time.sleep(0.2)
        raise TimeoutError("the translation service did not answer its health check")

    # --- looking --------------------------------------------------------------------
    def probe(self, *args, check=True, timeout=120):
        # The probe says why on standard error whenever it fails; a failure without a word is
        # Wine's own (the process did not start or run), and is asked once more.
        for _ in range(2):
            result = subprocess.run(["wine", str(self.probe_exe), *map(str, args)],
                                    env=self.env, stdin=subprocess.DEVNULL,
                                    capture_output=True, text=True, timeout=timeout)
            if result.returncode == 0 or result.stderr.strip():
                break
        if check and result.returncode != 0:
            raise RuntimeError(f"winprobe {' '.join(map(str, args))} (exit code "
                               f"{result.returncode}): {result.stderr.strip()}")
        return result

    def wait_window(self, cls="*", title="*", timeout=30):
        """The handle of the first visible top-level window of that class and caption."""
        deadline = time.monotonic() + timeout
        if title != "*":
            # Seen from X first: a Wine process that starts while the program is still
            # starting up may wait for it a long time.
            while time.monotonic() < deadline and subprocess.run(
                    ["xdotool", "search", "--name", f"^{re.escape(title)}$"], env=self.env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
                time.sleep(0.1)
        while time.monotonic() < deadline:
            try:
                result = self.probe("find", cls, title, 1000, check=False, timeout=15)
            except subprocess.TimeoutExpired:
                continue
            if result.returncode == 0:
                return int(result.stdout.split()[0], 16)
        raise TimeoutError(f"no window of class {cls!r} and caption {title!r}")

    def windows(self, hwnd):
        """The window and its descendants: dicts of handle, parent, cls, rect, visible, text."""
        rows = []
        for line in self.probe("dump", f"{hwnd:08X}").stdout.splitlines():
            h, parent, cls, left, top, right, bottom, visible, text = line.split("\t", 8)
            rows.append(dict(hwnd=int(h, 16), parent=int(parent, 16), cls=cls,
                             rect=(int(left), int(top), int(right), int(bottom)),
                             visible=visible == "1", text=text))
        return rows

    def language_pickers(self, main):
        """The source and target pickers: the window's two topmost lists (the hotkey panel's
        action list lies below them)."""
        combos = sorted((w for w in self.windows(main) if w["cls"] == "ComboBox"),
                        key=lambda w: w["rect"][1])
        return [w["hwnd"] for w in combos[:2]]

    def screen_rect(self, hwnd):
        """(left, top, right, bottom) of a window in screen coordinates."""
        return tuple(int(v) for v in self.probe("screenrect", f"{hwnd:08X}").stdout.split())

    def windows_of_class(self, cls):
        """Every visible top-level window of a class: (handle, caption) pairs."""
        rows = []
        for line in self.probe("all", cls).stdout.splitlines():
            handle, _, text = line.partition("\t")
            rows.append((int(handle, 16), text))
        return rows

    def foreground(self):
        """The handle of Windows' foreground window (0 for none)."""
        return int(self.probe("foreground").stdout, 16)

    def clipboard(self):
        return self.probe("clip").stdout

    def set_clipboard(self, text):
        self.probe("setclip", text)

    def list_items(self, hwnd):
        return self.probe("items", f"{hwnd:08X}").stdout.splitlines()

    def state(self, hwnd):
        """A check box's check state (0, 1), a picker's or a slider's position."""
        return int(self.probe("state", f"{hwnd:08X}").stdout)

    def x_property(self, title, name):
        """A property of the X window that shows the top-level window of that caption, as
        xprop prints it (Wine's X11 driver keeps a layered window's opacity there)."""
        xid = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"],
                             env=self.env, capture_output=True, text=True).stdout.split()[0]
        return subprocess.run(["xprop", "-id", xid, name], env=self.env, capture_output=True,
                              text=True).stdout.strip()

    def screenshot(self, path, hwnd=None):
        """A PNG of the whole screen, or of one top-level window."""
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        whole = path.with_suffix(".screen.png") if hwnd else path
        subprocess.run(["import", "-display", self.display, "-window", "root", str(whole)],
                       env=self.env, check=True)
        if hwnd:
            left, top, right, bottom = self.windows(hwnd)[0]["rect"]
            subprocess.run(["convert", str(whole), "-crop",
                            f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(path)],
                           check=True)
            whole.unlink()
        return path

    # --- acting ---------------------------------------------------------------------
    def focus(self, hwnd):
        """Gives a window the keyboard focus (there is no window manager to do it)."""
        xid = self.probe("xid", f"{hwnd:08X}").stdout.strip()
        self.xdotool("windowfocus", "--sync", xid)

    def click(self, hwnd, x=None, y=None):
        """A left click at (x, y) in the window (its centre when not given), as a person's."""
        left, top, right, bottom = self.screen_rect(hwnd)
        x = (right - left) // 2 if x is None else x
        y = (bottom - top) // 2 if y is None else y
        self.xdotool("mousemove", "--sync", str(left + x), str(top + y), "click", "1")

    def choose(self, picker, *keys):
        """Opens a drop-down list with a click and types `keys` once it is open (keys typed
        before it opens go to the closed face, which moves differently)."""
        self.click(picker)
        wait_for(lambda: self.windows_of_class("ComboLBox"), timeout=10)
        self.key(*keys)

    def forget_settings(self):
        """Removes the program's stored settings: the next start is a first start."""
        subprocess.run(["wine", "reg", "delete", r"HKCU\Software\Vellmark\Tervane", "/f"],
                       env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def activate(self, hwnd):
        """Brings a top-level window to the front as a person does: a click on its caption
        (Wine draws the caption itself). Focusing the X window alone does not always make
        it Windows' foreground window again once another window of the session had it."""
        self.click(hwnd, 60, 8)

    def click_window(self, hwnd):
        """A left click in the middle of a window (a control, say)."""
        self.click(hwnd)

    def move_mouse(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y))

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)


def wait_for(predicate, timeout=20):
    """Polls `predicate` until it gives a true value, which it returns; False when the
    timeout passes first."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    return False


def ink_columns(png, rect, dark=96):
    """The x offsets, within `rect` (left, top, right, bottom) of a PNG, of the pixel
    columns that hold dark (text) pixels."""
    left, top, right, bottom = rect
    width, height = right - left, bottom - top
    raw = subprocess.run(["convert", str(png), "-crop", f"{width}x{height}+{left}+{top}",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    columns = set()
    for y in range(height):
        for x in range(width):
            r, g, b = raw[3 * (y * width + x): 3 * (y * width + x) + 3]
            if r < dark and g < dark and b < dark:
                columns.add(x)
    return sorted(columns)


def pixel(png, x, y):
    """The (r, g, b) of one pixel of a PNG file."""
    out = subprocess.run(["convert", str(png), "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "rgb:-"], capture_output=True, check=True).stdout
    return tuple(out[:3])


def _end(proc):
    """Ends one process we started: politely first, then for sure."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if proc.poll() is not None:
            return
        try:
            proc.send_signal(sig)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=5)
            return
        except subprocess.TimeoutExpired:
            continue


def main():
    """Without a display, the main job as a demonstration on a virtual one: the translation
    service and the program started, a window of ours holding a French sentence, all of it
    selected, Ctrl+Shift+F12 pressed; the balloon's screenshot saved, its translation and
    the screenshot's path printed; then everything is ended."""
    import argparse
    parser = argparse.ArgumentParser(description=main.__doc__)
    parser.add_argument("--build-dir", default=windows_build())
    parser.add_argument("--service", help="the translation service to start first")
    parser.add_argument("--text", default="Le chat est noir et la maison est grande.")
    parser.add_argument("--out", help="the screenshot (default: screenshots/run.png in the build)")
    args = parser.parse_args()
    args.out = args.out or Path(args.build_dir) / "screenshots" / "run.png"
    with Desktop(args.build_dir) as desktop:
        if args.service:
            desktop.start_service(args.service)
            print("translation service: http://127.0.0.1:58470/translate")
        desktop.start_program()
        desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
        pad = desktop.start_textpad("French text", args.text)
        desktop.activate(pad)
        desktop.move_mouse(360, 300)
        print("selected:", args.text)
        print("pressing Ctrl+Shift+F12")
        desktop.key("ctrl+shift+F12")
        deadline = time.monotonic() + 30
        balloons = []
        while not balloons and time.monotonic() < deadline:
            balloons = desktop.windows_of_class("TervaneBalloon")
            time.sleep(0.2)
        if not balloons:
            errors = desktop.windows_of_class("#32770")
            shot = desktop.screenshot(args.out)
            raise SystemExit(f"no balloon came up{' (an error box: see ' + str(shot) + ')' if errors else ''}")
        handle, translation = balloons[0]
        print("translation:", translation)
        left, top, right, bottom = desktop.screen_rect(handle)
        whole = desktop.screenshot(Path(args.out).with_suffix(".screen.png"))
        margin = 40
        subprocess.run(["convert", str(whole), "-crop",
                        f"{right - left + 2 * margin}x{bottom - top + 2 * margin}"
                        f"+{max(left - margin, 0)}+{max(top - margin, 0)}", "+repage",
                        str(args.out)], check=True)
        print("balloon screenshot:", args.out)


if __name__ == "__main__":
    main()
