"""The Windows package under Wine: tervane-setup.exe installed unattended and pointed at a
LibreTranslate server (the tests' fake) or at a Tervane service on Linux shared with a key
(the native build's, with Apertium, in a network namespace of the test's own), the installed programs translating a selection as a
person uses them, and the uninstaller taking away all that the installer put in place."""
import getpass
import json
import os
import re
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import urllib.request
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from tervane_e2e import SERVICE_START_SECONDS, Desktop, wait_for, windows_build  # noqa: E402

BUILD = Path(os.environ.get("TERVANE_BUILD_DIR") or windows_build())
NATIVE = Path(os.environ.get("TERVANE_NATIVE_BUILD_DIR",
                             Path(__file__).resolve().parents[2] / "build/native"))
SETUP = BUILD / "tervane-setup.exe"
FAKE_LIBRETRANSLATE = NATIVE / "tests" / "service" / "fake_libretranslate"
LINUX_SERVICE = NATIVE / "service" / "tervane-service"
SHOTS = BUILD / "screenshots"
SERVICE = "http://127.0.0.1:58470"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tervane"
SETTINGS_KEY = r"HKCU\Software\Vellmark\Tervane"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class OtherMachine:
    """Another machine of the test's own: a network namespace joined to this one by a veth
    pair (OTHER inside it, HERE on this side), so that a service run in it is reached as
    another machine's and sees this one's requests come from HERE. No address of this
    machine's own interfaces is used; needs root and `ip netns`."""
    OTHER, HERE = "10.233.0.1", "10.233.0.2"

    def __init__(self):
        self.name = f"tervane-e2e-{os.getpid()}"
        self.link = f"tve{os.getpid() % 100000}"
        inside = ["ip", "-n", self.name]
        steps = [["ip", "netns", "add", self.name],
                 ["ip", "link", "add", self.link, "type", "veth", "peer", "name", "tv0",
                  "netns", self.name],
                 ["ip", "addr", "add", self.HERE + "/30", "dev", self.link],
                 ["ip", "link", "set", self.link, "up"],
                 inside + ["link", "set", "lo", "up"],
                 inside + ["addr", "add", self.OTHER + "/30", "dev", "tv0"],
                 inside + ["link", "set", "tv0", "up"]]
        self.made = all(subprocess.run(step, capture_output=True).returncode == 0
                        for step in steps)

    def command(self, argv):
        return ["ip", "netns", "exec", self.name] + argv

    def remove(self):
        subprocess.run(["ip", "link", "del", self.link], capture_output=True)
        subprocess.run(["ip", "netns", "del", self.name], capture_output=True)


def http(url, form=None):
    """(status, body) of a GET, or of a form POST when `form` is given; None when nothing
    answers."""
    data = urllib.parse.urlencode(form).encode() if form else None
    try:
        with urllib.request.urlopen(url, data=data, timeout=10) as answer:
            return answer.status, answer.read().decode("utf-8")
    except urllib.error.HTTPError as error:
        return error.code, error.read().decode("utf-8", "replace")
    except OSError:
        return None


class Package(unittest.TestCase):
    def setUp(self):
        for built in [SETUP, FAKE_LIBRETRANSLATE]:
            self.assertTrue(built.is_file(), f"{built} is not built")
        self.desktop = Desktop(BUILD).__enter__()
        self.addCleanup(self.desktop.close)
        # The Start menu entry stays inside the prefix, off the Linux desktop's menus.
        self.desktop.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        home = self.desktop.prefix / "drive_c" / "users" / getpass.getuser() / "AppData"
        self.install_dir = home / "Local" / "Programs" / "Tervane"
        self.shortcut = home / "Roaming/Microsoft/Windows/Start Menu/Programs/Tervane.lnk"
        self.addCleanup(self.remove_leftovers)
        self.desktop.forget_settings()

    def wine(self, *argv):
        """Runs a Windows program to its end: (exit code, standard output, standard error)."""
        # Into files, not pipes: the programs it starts may keep a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(["wine", *map(str, argv)], env=self.desktop.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=300).returncode
            out.seek(0)
            err.seek(0)
            return (code, out.read().decode("utf-8", "replace"),
                    err.read().decode("utf-8", "replace"))

    def reg_value(self, key, name):
        """The data of a registry value as `reg query` prints it; None when it is absent."""
        code, out, _ = self.wine("reg", "query", key, "/v", name)
        match = re.search(rf"^\s+{re.escape(name)}\s+REG_\w+\s+(.*?)\s*$", out, re.M)
        return match.group(1) if code == 0 and match else None

    def remove_leftovers(self):
        """After a failure: nothing of the package stays in the shared prefix (a Run value
        left there would start a service in every later Wine session)."""
        for args in ([RUN_KEY, "/v", "Tervane Service"], [UNINSTALL_KEY], [SETTINGS_KEY]):
            self.wine("reg", "delete", *args, "/f")
        subprocess.run(["rm", "-rf", str(self.install_dir), str(self.shortcut)])

    def start_fake_libretranslate(self):
        port = free_port()
        self.desktop.start([str(FAKE_LIBRETRANSLATE), "--listen", f"127.0.0.1:{port}"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        url = f"http://127.0.0.1:{port}"
        self.assertTrue(wait_for(lambda: http(url + "/languages"), timeout=20))
        return url

    def start_shared_linux_service(self, key):
        """The Linux service with Apertium on another machine (OtherMachine), serving other
        machines with one key; its URL there."""
        machine = OtherMachine()
        self.addCleanup(machine.remove)
        if not machine.made:
            self.skipTest("no network namespace could be made here (needs root and ip netns)")
        keys = self.desktop.prefix.parent / "shared-service-keys"
        keys.write_text(key + "\n")
        self.addCleanup(keys.unlink)
        port = free_port()
        log = self.desktop.prefix.parent / "shared-service.log"
        with open(log, "w") as err:
            self.desktop.start(machine.command([str(LINUX_SERVICE), "--listen", f"0.0.0.0:{port}",
                                                "--allow-remote", "--api-keys", str(keys)]),
                               stdout=subprocess.DEVNULL, stderr=err)
        url = f"http://{machine.OTHER}:{port}"
        self.assertTrue(wait_for(lambda: http(url + "/health"), timeout=20))
        return url, log

    def translate_selection(self, source_keys, languages, text):
        """The installed program's source language picked by keys, the text selected in a
        window and the hotkey pressed: the balloon's text."""
        desktop = self.desktop
        main = desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1", timeout=60)
        source, target = desktop.language_pickers(main)
        desktop.focus(main)
        desktop.choose(source, "Home", *source_keys, "Return")
        self.assertEqual([desktop.windows(source)[0]["text"], desktop.windows(target)[0]["text"]],
                         languages)
        pad = desktop.start_textpad("Text", text)
        desktop.activate(pad)
        desktop.move_mouse(300, 250)
        desktop.key("ctrl+shift+F12")
        balloon = wait_for(lambda: desktop.windows_of_class("TervaneBalloon"), timeout=60)
        self.assertTrue(balloon, "no balloon came up")
        return balloon[0][1]

    def uninstall(self):
        code, _, err = self.wine(self.install_dir / "Uninstall.exe", "/S")
        self.assertEqual(code, 0, err)
        # It runs on as a copy of itself in the temporary folder; the folder goes last.
        self.assertTrue(wait_for(lambda: not self.install_dir.exists(), timeout=120),
                        sorted(p.name for p in self.install_dir.glob("*")))

    def test_unattended_install_translates_a_selection_and_uninstalls_cleanly(self):
        desktop = self.desktop
        server = self.start_fake_libretranslate()
        code, _, err = self.wine(SETUP, "/S", "/ENGINE=libretranslate", f"/URL={server}")
        self.assertEqual(code, 0, err)

        # What the installer put in place.
        for name in ["tervane.exe", "tervane-service.exe", "Uninstall.exe"]:
            self.assertTrue((self.install_dir / name).is_file(), name)
        self.assertTrue(self.shortcut.is_file())
        run = self.reg_value(RUN_KEY, "Tervane Service")
        self.assertIn(r"\Programs\Tervane\tervane-service.exe", run)
        self.assertIn(f'--engine libretranslate --libretranslate-url "{server}"', run)
        self.assertEqual([self.reg_value(UNINSTALL_KEY, name) for name in [
            "DisplayName", "DisplayVersion", "Publisher", "NoModify", "NoRepair"]],
            ["Tervane", "5.1", "Vellmark", "0x1", "0x1"])
        self.assertRegex(self.reg_value(UNINSTALL_KEY, "QuietUninstallString"),
                         r'^"C:\\.*\\Programs\\Tervane\\Uninstall\.exe" /S$')

        # The service the installer started answers the program's exchange.
        health = wait_for(lambda: http(SERVICE + "/health"), timeout=SERVICE_START_SECONDS)
        self.assertEqual(health[0], 200, health)
        self.assertEqual(json.loads(health[1])["engine"], "libretranslate")
        self.assertEqual(http(SERVICE + "/translate", {
            "text": "Der Hund ist schwarz.", "source": "de", "target": "en",
            "format": "text", "v": "1"}), (200, '"The Dog is black."'))

        # The program the installer started: German selected, the hotkey, the balloon.
        self.assertIn("The Dog is black.", self.translate_selection(
            ["Down", "Down"], ["German", "English"], "Der Hund ist schwarz."))
        desktop.screenshot(SHOTS / "installed-balloon.png")

        # The uninstaller ends both programs and leaves the user's settings.
        self.wine("reg", "add", SETTINGS_KEY, "/v", "KeptByUninstall", "/d", "yes", "/f")
        self.uninstall()
        self.assertFalse(self.shortcut.exists())
        self.assertIsNone(self.reg_value(RUN_KEY, "Tervane Service"))
        self.assertIsNone(self.reg_value(UNINSTALL_KEY, "DisplayName"))
        self.assertEqual(self.reg_value(SETTINGS_KEY, "KeptByUninstall"), "yes")
        self.assertIsNone(http(SERVICE + "/health"), "the service has ended")
        self.assertEqual(desktop.windows_of_class("TervaneMainWindow"), [])

    def test_installed_for_a_shared_linux_service_translates_french_with_its_key(self):
        key = "k-office-e2e-93c1"
        server, log = self.start_shared_linux_service(key)
        code, _, err = self.wine(SETUP, "/S", "/ENGINE=tervane", f"/URL={server}", f"/APIKEY={key}")
        self.assertEqual(code, 0, err)

        # The key is in its file, not in the Run value that every program reads.
        run = self.reg_value(RUN_KEY, "Tervane Service")
        self.assertIn(f'--engine tervane --tervane-url "{server}" --tervane-key-file "', run)
        self.assertNotIn(key, run)
        self.assertEqual((self.install_dir / "api-key.txt").read_text(), key)

        # The Windows service asks the Linux one, which sees another machine with its key.
        health = wait_for(lambda: http(SERVICE + "/health"), timeout=SERVICE_START_SECONDS)
        self.assertEqual(health[0], 200, health)
        self.assertEqual(json.loads(health[1])["engine"], "tervane")
        self.assertIn("The cat is black.", self.translate_selection(
            ["Down"], ["French", "English"], "Le chat est noir."))
        self.desktop.screenshot(SHOTS / "installed-tervane-balloon.png")
        linux_log = log.read_text()
        self.assertRegex(linux_log, r"POST /translate from=[\d.]+ fr->en engine=apertium "
                                    r"route=fr-es,spa-eng .*status=200")
        self.assertNotIn(key, linux_log)
        self.uninstall()
        self.assertIsNone(self.reg_value(RUN_KEY, "Tervane Service"))

    def test_the_public_server_is_the_default_and_each_choice_writes_its_run_value(self):
        """Nothing is started (/NOSTART): the public server lies outside this machine."""
        exe = str(self.install_dir / "tervane-service.exe")
        key_file = self.install_dir / "api-key.txt"
        for options, run, key in [
                ([], f'"{{exe}}" --engine apy --apy-url "https://apertium.org/apy"', None),
                (["/ENGINE=public"], f'"{{exe}}" --engine apy --apy-url "https://apertium.org/apy"',
                 None),
                (["/ENGINE=apy", "/URL=https://127.0.0.1:2737"],
                 f'"{{exe}}" --engine apy --apy-url "https://127.0.0.1:2737"', None),
                (["/ENGINE=libretranslate", "/APIKEY=k1"],
                 f'"{{exe}}" --engine libretranslate --libretranslate-url "http://localhost:5000"'
                 f' --api-key-file "{{key}}"', "k1"),
                (["/ENGINE=tervane", "/URL=http://127.0.0.1:58471", "/APIKEY=k2"],
                 f'"{{exe}}" --engine tervane --tervane-url "http://127.0.0.1:58471"'
                 f' --tervane-key-file "{{key}}"', "k2")]:
            code, _, err = self.wine(SETUP, "/S", "/NOSTART", *options)
            self.assertEqual(code, 0, (options, err))
            windows_exe = self.reg_value(UNINSTALL_KEY, "InstallLocation") + "\\tervane-service.exe"
            self.assertEqual(self.reg_value(RUN_KEY, "Tervane Service"),
                             run.format(exe=windows_exe, key=windows_exe.replace(
                                 "tervane-service.exe", "api-key.txt")), options)
            if key:
                self.assertEqual(key_file.read_text(), key)
            else:
                self.assertFalse(key_file.exists(), options)
        self.assertFalse(self.desktop.windows_of_class("TervaneMainWindow"), "nothing started")
        self.uninstall()

    def test_unattended_install_refuses_options_it_cannot_use(self):
        for options, reason in [
                (["/ENGINE=libretranslate", "/URL=ftp://127.0.0.1:5000"], "must begin with http://"),
                (["/ENGINE=libretranslate", "/URL=https://"], "no host name"),
                (["/ENGINE=apy", "/URL=http://"], "no host name"),
                (["/ENGINE=google"], "Unknown engine"),
                (["/ENGINE=apy", "/APIKEY=k"], "takes no key"),
                (["/APIKEY=k"], "takes no key"),
                (["/ENGINE=public", "/URL=http://127.0.0.1:2737"], "not for /ENGINE=public"),
                (["/ENGINE=tervane", "/URL=http://"], "no host name")]:
            code, _, err = self.wine(SETUP, "/S", *options)
            self.assertEqual(code, 2, options)
            self.assertIn(reason, err)
        self.assertFalse(self.install_dir.exists())
        self.assertIsNone(self.reg_value(UNINSTALL_KEY, "DisplayName"))


if __name__ == "__main__":
    unittest.main()
