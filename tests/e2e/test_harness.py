# Proves the end-to-end harness itself: the stand-in registry, the stubs'
# record of command lines, the window driver against a small window, screenshots.
import os
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.error
import urllib.request

import vx
from registry import Registry

HERE = os.path.dirname(os.path.abspath(__file__))
TARGET_TITLE = "Vožnja čćžšđ"
WM_CONTEXTMENU = 0x7B
WM_QUERYENDSESSION = 0x11


def fetch(url, data=None, timeout=5):
    """(status, body) of one request."""
    try:
        with urllib.request.urlopen(url, data=data, timeout=timeout) as r:
            return r.status, r.read()
    except urllib.error.HTTPError as e:
        return e.code, e.read()


class RegistryTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.reg = Registry(self.root).start()
        self.addCleanup(self.reg.stop)

    def test_files_are_served_as_stored_and_missing_ones_are_404(self):
        self.reg.set_file("ZEDOVORIDI.txt", "čćžšđ 10.0.0.1")   # str goes out as CP1250
        self.reg.set_file("42.txt", b"a|b\r\n\xff")              # bytes as they are
        cases = [
            ("ZEDOVORIDI.txt", 200, "čćžšđ 10.0.0.1".encode("cp1250")),
            ("42.txt", 200, b"a|b\r\n\xff"),
            ("43.txt", 404, None),
            ("../web/42.txt", 404, None),
        ]
        for name, status, body in cases:
            with self.subTest(name=name):
                got_status, got_body = fetch(self.reg.base_url + name)
                self.assertEqual(got_status, status)
                if body is not None:
                    self.assertEqual(got_body, body)
        # Outside the base path nothing is served.
        self.assertEqual(fetch("http://127.0.0.1:%d/42.txt" % self.reg.port)[0], 404)
        self.assertTrue(self.reg.base_url.endswith("/dns/"))

    def test_posts_are_answered_from_the_queue_and_everything_is_recorded(self):
        self.reg.queue_reply("OK|7|čć")
        self.reg.queue_reply(b"second")
        replies = [fetch(self.reg.base_url + "dns.php", data=b"id_user=%d&x= a&b" % i)[1] for i in range(3)]
        self.assertEqual(replies, ["OK|7|čć".encode("cp1250"), b"second", b""])
        self.assertEqual(fetch(self.reg.base_url + "other.php", data=b"q")[0], 404)
        fetch(self.reg.base_url + "1.txt")
        self.assertEqual(self.reg.wait_requests(5, timeout=2), [
            ("POST", "/dns/dns.php", b"id_user=0&x= a&b"),
            ("POST", "/dns/dns.php", b"id_user=1&x= a&b"),
            ("POST", "/dns/dns.php", b"id_user=2&x= a&b"),
            ("POST", "/dns/other.php", b"q"),
            ("GET", "/dns/1.txt", b""),
        ])
        # Asking for more than came returns what there is once the time is up.
        self.assertEqual(len(self.reg.wait_requests(9, timeout=0.2)), 5)

    def test_relay_serves_from_the_root(self):
        relay = Registry(tempfile.mkdtemp(), host="127.0.0.2", base_path="/").start()
        self.addCleanup(relay.stop)
        relay.set_file("prijave.txt", "501|DEMO\r\n")
        status, body = fetch("http://127.0.0.2:%d/prijave.txt" % relay.port)
        self.assertEqual((status, body), (200, b"501|DEMO\r\n"))

    def test_silent_registry_reads_but_never_answers(self):
        silent = Registry(tempfile.mkdtemp(), silent=True).start()
        with self.assertRaises((socket.timeout, urllib.error.URLError, TimeoutError)):
            fetch(silent.base_url + "dns.php", data=b"id_user=1", timeout=0.5)
        self.assertEqual(silent.wait_requests(1, timeout=2), [("POST", "/dns/dns.php", b"id_user=1")])
        silent.stop()  # must not hang on the held request

    def test_command_line_prints_its_port_and_serves(self):
        root = tempfile.mkdtemp()
        with open(os.path.join(root, "ZEDOVORIDI.txt"), "wb") as f:
            f.write(b"127.0.0.1")
        p = subprocess.Popen([sys.executable, os.path.join(HERE, "registry.py"), "--root", root, "--port", "0"],
                             stdout=subprocess.PIPE, text=True)
        self.addCleanup(p.stdout.close)
        self.addCleanup(p.wait, 5)
        self.addCleanup(p.terminate)
        port = int(p.stdout.readline())
        self.assertEqual(fetch("http://127.0.0.1:%d/dns/ZEDOVORIDI.txt" % port), (200, b"127.0.0.1"))


class ScenarioTest(unittest.TestCase):
    def test_folder_ini_stubs_and_clean_up(self):
        with vx.Scenario(relay=True) as s:
            folder = s.dir
            for stub in ("Tkill.exe", "winvnc.exe", "vncviewer.exe", "Write.exe", "chrome.exe"):
                self.assertTrue(os.path.exists(s.path(stub)), stub)
            self.assertEqual(s.ini_bytes(), None)
            s.write_console_ini(IDKorisnika=501, NazivKorisnika="Dražen K")
            s.write_reporter_ini(Vrijeme=5)
            self.assertEqual(s.ini_bytes(), (
                "[VOZidavar]\r\nGlo:WebAdresa=%s\r\nGlo:IDKorisnika=501\r\nGlo:NazivKorisnika=Dražen K\r\n"
                "[DARiriza]\r\nGlo:WebAdresa=%s\r\nGlo:Vrijeme=5\r\n" % ((s.registry.base_url,) * 2)
            ).encode("cp1250"))
            self.assertEqual(s.ini()["VOZidavar"]["Glo:NazivKorisnika"], "Dražen K")
            # The relay's address comes from the registry, as the console fetches it.
            status, body = fetch(s.registry.base_url + "ZEDOVORIDI.txt")
            self.assertEqual(body.decode(), s.relay.host)
            s.relay.set_file("prijave.txt", "x")
            self.assertEqual(fetch("http://%s:8080/prijave.txt" % s.relay.host), (200, b"x"))
            vxdns = s.install_vxdns_stubs()
            self.assertTrue(os.path.exists(os.path.join(vxdns, "winvnc.exe")))
            self.assertEqual(s.log_bytes(), None)
        self.assertFalse(os.path.exists(folder))
        self.assertFalse(os.path.exists(os.path.join(vxdns, "winvnc.exe")))

    def test_stubs_record_their_exact_command_lines(self):
        target = os.path.join(vx.env_path("VX_BIN"), "drive_target.exe")
        with vx.Scenario() as s:
            # Started through CreateProcessA, as the programs start them: runs
            # of spaces, quotes and Windows-1250 letters must come through as they are.
            lines = [
                s.win_dir() + "\\Tkill.exe  winvnc.exe",
                s.win_dir() + "\\winvnc.exe  -autoreconnect  -ID:501  -connect 10.0.0.1:5500     -run",
                "\"" + s.win_dir() + "\\chrome.exe\"  \"10.0.0.1:9001/index.html\"",
                s.win_dir() + "\\Write.exe    Z:\\tmp\\čćžšđ ČĆŽŠĐ\\vxlog.log",
            ]
            for line in lines:
                self.assertEqual(s.start(target, "--run", env={"VX_RUN_LINE": line}).wait(20), 0, line)
            self.assertEqual(s.started(), lines)
            # A program that cannot be started: the exit code comes back through wait().
            missing = s.start(target, "--run", env={"VX_RUN_LINE": s.win_dir() + "\\nothing.exe x"})
            self.assertEqual(missing.wait(20), 200)
            self.assertEqual(len(s.started()), len(lines))


class DriverTest(unittest.TestCase):
    """vxdrive against drive_target: a window with an edit (field 1), a
    DA/NE question (2), a result static (3), the edit's copy taken on
    EN_KILLFOCUS (4), a check box (5), a disabled (6) and a hidden (7)
    button, an OK box (8) and a popup menu on WM_CONTEXTMENU."""

    def setUp(self):
        self.s = vx.Scenario()
        self.s.__enter__()
        self.addCleanup(self.s.__exit__, None, None, None)
        self.target = self.s.start(os.path.join(vx.env_path("VX_BIN"), "drive_target.exe"))
        self.hwnd = self.s.wait_window(TARGET_TITLE, exe="drive_target.exe")

    def result(self):
        return self.s.text(TARGET_TITLE, 3)

    def test_finding_windows(self):
        s = self.s
        self.assertRegex(self.hwnd, r"^0x[0-9A-F]+$")
        mine = [w for w in s.windows() if w["hwnd"] == self.hwnd]
        self.assertEqual(len(mine), 1)
        self.assertEqual((mine[0]["title"], mine[0]["exe"].lower(), mine[0]["visible"]),
                         (TARGET_TITLE, "drive_target.exe", True))
        self.assertEqual(s.text(TARGET_TITLE, 0), TARGET_TITLE)
        self.assertEqual(s.text("hwnd:" + self.hwnd, 0), TARGET_TITLE)
        self.assertEqual(s.status(TARGET_TITLE), "Stanje: čćž")
        with self.assertRaisesRegex(vx.DriveError, "no visible window"):
            s.wait_window(TARGET_TITLE, exe="Morventa.exe", timeout=0.3)
        with self.assertRaisesRegex(vx.DriveError, "no visible window"):
            s.wait_window("Vožnja", timeout=0.3)  # titles match exactly
        self.assertEqual(s.wait_window("*", exe="drive_target.exe"), self.hwnd)
        with self.assertRaisesRegex(vx.DriveError, "no control for field 40"):
            s.text(TARGET_TITLE, 40)

    def test_typing_and_control_states(self):
        s = self.s
        typed = "Čćžšđ  12 & <x>"
        s.set(TARGET_TITLE, 1, typed)
        self.assertEqual(s.text(TARGET_TITLE, 1), typed)
        s.wait_text(TARGET_TITLE, 4, typed)  # the program took it when the focus left
        s.set(TARGET_TITLE, 1, "")
        self.assertEqual(s.text(TARGET_TITLE, 4), "")
        for field, state in [(1, {"enabled": True, "visible": True}),
                             (6, {"enabled": False, "visible": True}),
                             (7, {"enabled": True, "visible": False})]:
            with self.subTest(field=field):
                self.assertEqual(s.state(TARGET_TITLE, field), state)
        # A user cannot press a disabled or hidden button.
        for field, reason in [(6, "disabled"), (7, "hidden")]:
            with self.subTest(field=field), self.assertRaisesRegex(vx.DriveError, reason):
                s.click(TARGET_TITLE, field)
        s.check(TARGET_TITLE, 5)
        vx.wait_until(lambda: self.result() == "check=1", what="check box on")
        s.check(TARGET_TITLE, 5)
        vx.wait_until(lambda: self.result() == "check=0", what="check box off")

    def test_message_boxes(self):
        s = self.s
        s.click(TARGET_TITLE, 2)
        box = s.message(exe="drive_target.exe")
        self.assertEqual((box["caption"], box["text"]), ("Kontrola", "Želite li nastaviti?\nčćžšđ ČĆŽŠĐ"))
        self.assertEqual(box["buttons"], [{"id": 6, "label": "DA"}, {"id": 7, "label": "NE"}])
        with self.assertRaisesRegex(vx.DriveError, 'no button "Možda"'):
            s.answer("Možda", timeout=0.3)
        s.answer("NE")
        vx.wait_until(lambda: self.result() == "answer=NE", what="answer NE")
        s.click(TARGET_TITLE, 2)
        s.answer(6)  # by button ID
        vx.wait_until(lambda: self.result() == "answer=DA", what="answer DA")
        self.assertTrue(s.no_message(within=0.3))
        s.click(TARGET_TITLE, 8)
        box = s.message()
        self.assertEqual((box["caption"], box["text"], box["buttons"]),
                         ("", "Prvi red\nDrugi red", [{"id": 1, "label": "OK"}]))
        s.answer("OK")
        vx.wait_until(lambda: self.result() == "ok seen", what="OK box closed")

    def test_popup_menu(self):
        # Items: Prvi (11), separator, Drugi (12), Treći (13).
        for downs, expected in [(1, "menu=11"), (2, "menu=12"), (3, "menu=13"), (0, "menu=0")]:
            with self.subTest(downs=downs):
                self.s.post(TARGET_TITLE, WM_CONTEXTMENU, 0, 0)
                self.s.menu(downs)
                vx.wait_until(lambda: self.result() == expected, what=expected)

    def test_messages_minimise_and_close(self):
        s = self.s
        self.assertEqual(s.send(TARGET_TITLE, WM_QUERYENDSESSION, 0, 0), 0)
        self.assertEqual(self.result(), "asked to end")
        self.assertEqual(s.window_state(TARGET_TITLE)["minimized"], False)
        s.minimize(TARGET_TITLE)
        vx.wait_until(lambda: s.window_state(TARGET_TITLE)["minimized"], what="minimised")
        self.assertTrue(s.visible(TARGET_TITLE))
        s.close(TARGET_TITLE)
        s.gone(TARGET_TITLE, any=True)
        self.assertEqual(self.target.wait(10), 0)

    def test_kill_takes_the_window_away(self):
        # What the scenario does at exit to whatever is still running.
        self.target.kill()
        self.assertFalse(self.target.running())
        self.s.gone(TARGET_TITLE, any=True)


class ScreenshotTest(unittest.TestCase):
    def test_screenshot_is_a_png_of_the_screen(self):
        path = vx.screenshot("harness")
        self.assertTrue(path.endswith(os.path.join("build", "screenshots", "harness.png")))
        with open(path, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


if __name__ == "__main__":
    vx.main()
