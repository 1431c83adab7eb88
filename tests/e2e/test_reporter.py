# The reporter Zilvara driven from another process, as its user would: the
# start in the tray, the checks it sends to the stand-in registry, the tray
# menu and each of its windows, the restore and the refusal of log-off.
import time
import unittest

import vx

FRAME = "Kvarnel Soft 2009-2026"
WINDOW = "Pregled.."
EXE = "Zilvara.exe"
TRAY = 0x660
WM_LBUTTONDBLCLK, WM_RBUTTONUP = 0x203, 0x205
WM_QUERYENDSESSION = 0x11
INCOMPLETE = ("Podaci nisu potpuni ...||Otvorite podešavanja|Unesite naziv Servera i Grupu |"
              "Pritisnite registracija |Nakon što se dodsjeli ID broj spremite podatke")
SIGN_IN = b"id_user=42&zahtjev1=PRIJAVA&&zahtjev2=SRV1&zahtjev3=1&zahtjev4=GRP"


def lines(text):
    return text.replace("|", "\n")


def record(address):
    """A server record whose field 15 is the address."""
    return "|".join(["f%d" % k for k in range(1, 15)] + [address, "f16"])


class ReporterTest(unittest.TestCase):
    def setUp(self):
        self.s = vx.Scenario()
        self.s.__enter__()
        self.addCleanup(self.s.__exit__, None, None, None)

    def start(self, **ini):
        self.s.write_reporter_ini(**ini)
        program = self.s.start(EXE)
        return program

    def in_tray(self):
        self.s.wait_window(FRAME, exe=EXE, any=True)
        return not self.s.window_state(FRAME)["visible"]

    def tray_menu(self, item):
        """Right button up on the tray icon, then the menu's item by keyboard."""
        self.s.post(FRAME, TRAY, 1, WM_RBUTTONUP)
        self.s.menu(item)

    def checks(self):
        return [r for r in self.s.registry.requests() if r[0] == "POST" and b"PRIJAVA" in r[2]]

    def test_start_without_server_id(self):
        s = self.s
        program = self.start(NazivServera="SRV1", Grupa="GRP")
        box = s.message(exe=EXE)
        self.assertEqual((box["caption"], box["text"]), ("", lines(INCOMPLETE)))
        self.assertEqual(box["buttons"], [{"id": 1, "label": "OK"}])
        s.answer("OK")
        vx.wait_until(self.in_tray, what="the frame in the tray")
        self.assertEqual(s.registry.requests(), [])
        # Log-off and shutdown queries are refused.
        self.assertEqual(s.send(FRAME, WM_QUERYENDSESSION, 0, 0), 0)
        # A second start ends at once, silently, with 0; the first goes on.
        second = s.start(EXE)
        self.assertEqual(second.wait(15), 0)
        self.assertTrue(s.no_message(within=1.0, exe=EXE))
        self.assertTrue(program.running())
        # A dismissed menu starts nothing; "Izlaz" ends the program with 0.
        self.tray_menu(0)
        self.assertTrue(program.running())
        self.tray_menu(5)
        self.assertEqual(program.wait(10), 0)

    def test_checks_with_id_0042_and_the_status_window(self):
        s = self.s
        s.registry.set_file("42.txt", record("10.20.30.40"))
        program = self.start(IDIPServera="0042", NazivServera="SRV1", Grupa="GRP", Vrijeme=1)
        got = s.registry.wait_requests(2)
        self.assertEqual([(m, p) for m, p, _ in got[:2]], [("POST", "/dns/dns.php"), ("GET", "/dns/42.txt")])
        self.assertEqual(got[0][2], SIGN_IN)
        first = time.monotonic()
        vx.wait_until(self.in_tray, what="the frame in the tray")
        self.assertTrue(s.no_message(within=0.5, exe=EXE))

        # Status: the address of the check, the time left counting down from a minute.
        self.tray_menu(2)
        s.wait_window(WINDOW, exe=EXE)
        s.wait_text(WINDOW, 4, "10.20.30.40")
        left = s.text(WINDOW, 8)
        # The regional time format: "0:00:55", or "12:00:55 AM" on a 12-hour clock.
        self.assertRegex(left, r"^(0?0|12):00:[0-5]\d( [AP]M)?$")
        vx.wait_until(lambda: s.text(WINDOW, 8) != left, timeout=10, what="the time left counting down")

        # Interval 1: nothing more within 30 seconds of the first check.
        time.sleep(max(0.0, 30 - (time.monotonic() - first)))
        self.assertEqual(len(s.registry.requests()), 2)

        # "Obnovi" checks at once, then says "OK"; the new address shows.
        s.registry.set_file("42.txt", record("10.20.30.41"))
        s.click(WINDOW, 10)
        box = s.message(exe=EXE)
        self.assertEqual(box["text"], "OK")
        s.answer("OK")
        self.assertEqual(len(s.registry.requests()), 4)
        s.wait_text(WINDOW, 4, "10.20.30.41")
        s.click(WINDOW, 9)
        s.gone(WINDOW)

        # A left double click restores the frame; minimising sends it back.
        s.post(FRAME, TRAY, 1, WM_LBUTTONDBLCLK)
        vx.wait_until(lambda: s.window_state(FRAME)["visible"], what="the frame restored")
        s.minimize(FRAME)
        vx.wait_until(self.in_tray, what="the frame back in the tray")
        self.tray_menu(5)
        self.assertEqual(program.wait(10), 0)

    def test_interval_missing_checks_every_two_seconds(self):
        s = self.s
        s.registry.set_file("42.txt", record("10.0.0.9"))
        program = self.start(IDIPServera="0042", NazivServera="SRV1", Grupa="GRP")
        s.registry.wait_requests(2)
        start = time.monotonic()
        vx.wait_until(lambda: len(self.checks()) >= 4, timeout=30, what="three timer checks")
        # Three 2-second ticks; a 5-second interval would take 15 s.
        self.assertLess(time.monotonic() - start, 12)
        program.kill()

    def test_settings_registration_and_save(self):
        s = self.s
        program = self.start(Vrijeme=5)
        s.answer("OK")
        vx.wait_until(self.in_tray, what="the frame in the tray")
        self.tray_menu(1)
        s.wait_window(WINDOW, exe=EXE)
        # Both blank: two messages in turn, no request.
        s.set(WINDOW, 3, "")
        s.set(WINDOW, 6, "")
        s.click(WINDOW, 5)
        for text in ("Mora se unjeti naziv IP servera |Na primjer : XYIPServer",
                     "Mora se unjeti naziv grupe | Na primjer:VXSERVERI "):
            self.assertEqual(s.message(exe=EXE)["text"], lines(text))
            s.answer("OK")
        self.assertEqual(s.registry.requests(), [])
        # The registry answers "End" and an ID: shown at once, saved with the rest.
        s.set(WINDOW, 3, "SRV1")
        s.set(WINDOW, 6, "GRP")
        s.registry.queue_reply("x|77|y|End")
        s.click(WINDOW, 5)
        self.assertEqual(s.message(exe=EXE)["text"], "ID=77\nSpremite podešavanje")
        s.answer("OK")
        posted = [r for r in s.registry.requests() if b"INSTALL" in r[2]]
        self.assertEqual(len(posted), 1)
        self.assertRegex(posted[0][2].decode("cp1250"),
                         r"^id_user=99999&zahtjev1=INSTALL&zahtjev2=SRV1&zahtjev3=GRP&zahtjev4=\d+$")
        # The new ID takes effect at once: the timer's first check signs in as 77.
        vx.wait_until(lambda: any(r[2].startswith(b"id_user=77&zahtjev1=PRIJAVA&&") for r in self.checks()),
                      what="the timer's check with the new ID")
        s.wait_text(WINDOW, 9, "77")
        self.assertEqual(s.text(WINDOW, 11), "0005")
        s.click(WINDOW, 15)
        self.assertEqual(s.message(exe=EXE)["text"], "Spremljeno")
        s.answer("OK")
        s.gone(WINDOW)
        self.assertEqual(s.ini()["DARiriza"], {
            "Glo:Vrijeme": "5", "Glo:IDIPServera": "77", "Glo:NazivServera": "SRV1", "Glo:Grupa": "GRP",
            "Glo:WebAdresa": s.registry.base_url, "Glo:RadiLogDatoteku": "0"})
        program.kill()

    def test_history_and_about(self):
        s = self.s
        program = self.start(Vrijeme=5)
        s.answer("OK")
        vx.wait_until(self.in_tray, what="the frame in the tray")
        self.tray_menu(3)
        s.wait_window(WINDOW, exe=EXE)
        s.click(WINDOW, 5)
        self.assertEqual(s.wait_started(1), ["Write.exe " + s.win_dir() + "\\Evidencija_spajanja.log"])
        self.assertTrue(s.no_message(within=0.5, exe=EXE))
        s.click(WINDOW, 4)
        s.gone(WINDOW)
        self.tray_menu(4)
        s.wait_window(WINDOW, exe=EXE)
        self.assertEqual(s.text(WINDOW, 3), "Aplikacija  daje informaciju o Vašj IP adresi na Webu")
        s.click(WINDOW, 5)
        s.gone(WINDOW)
        self.assertTrue(program.running())
        program.kill()

    def test_how_the_windows_look(self):
        """Screenshots of each window for a person to look at (build/screenshots/reporter_*.png)."""
        s = self.s
        s.registry.set_file("42.txt", record("10.20.30.40"))
        program = self.start(IDIPServera="0042", NazivServera="SRV1", Grupa="GRP", Vrijeme=5)
        s.registry.wait_requests(2)
        vx.wait_until(self.in_tray, what="the frame in the tray")
        # The settings window closes only through "Spremi podatke" and its "Spremljeno".
        for item, name, close in ((2, "status", 9), (3, "povijest", 4), (4, "oprogramu", 5),
                                  (1, "podesavanje", 15)):
            self.tray_menu(item)
            s.wait_window(WINDOW, exe=EXE)
            time.sleep(1.2)  # the status window's first tick, and the paint
            s.screenshot("reporter_" + name)
            s.click(WINDOW, close)
            if item == 1:
                s.answer("OK")
            s.gone(WINDOW)
        s.post(FRAME, TRAY, 1, WM_LBUTTONDBLCLK)
        vx.wait_until(lambda: s.window_state(FRAME)["visible"], what="the frame restored")
        time.sleep(0.5)
        s.screenshot("reporter_frame")
        program.kill()


if __name__ == "__main__":
    vx.main()
