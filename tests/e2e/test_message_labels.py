# The message boxes of both programs under the default and a Croatian
# desktop: Wine then draws its own labels in Croatian ("U redu", "&Da"),
# and every box must still offer the labels the programs give, and answer
# by the button pressed.
import unittest

import vx

CONSOLE, MAIN = "Morventa.exe", "VO Zidavar"
REPORTER, FRAME = "Zilvara.exe", "Kvarnel Soft 2009-2026"
TRAY, WM_RBUTTONUP = 0x660, 0x205
CROATIAN = {"LANG": "hr_HR.UTF-8", "LC_ALL": "hr_HR.UTF-8"}
DESKTOPS = (("default", None), ("hr_HR", CROATIAN))


def labels(box):
    return [b["label"] for b in box["buttons"]]


class MessageLabelsTest(unittest.TestCase):
    def scenario(self):
        s = vx.Scenario().__enter__()
        self.addCleanup(s.__exit__, None, None, None)
        return s

    def test_console_boxes(self):
        for desktop, env in DESKTOPS:
            with self.subTest(desktop=desktop):
                s = self.scenario()
                s.write_console_ini(IDKorisnika=501, NazivKorisnika="MARKO", Grupa="KOR")
                s.registry.set_file("ZEDOVORIDI.txt", "10.0.0.5\r\n")
                program = s.start(CONSOLE, env=env)
                s.wait_window(MAIN, exe=CONSOLE, timeout=20)
                # A connection without a partner: the OK box.
                s.click(MAIN, 23)
                box = s.message(exe=CONSOLE)
                self.assertEqual((box["text"], labels(box)), ("Unesite ID broj ---", ["OK"]))
                s.answer("OK", exe=CONSOLE)
                # The grant's question: NE refuses, DA grants (its command line
                # comes in the copyable box, whose button is "OK" too).
                s.click(MAIN, 17)
                self.assertEqual(labels(s.message(exe=CONSOLE)), ["DA", "NE"])
                s.answer("NE", exe=CONSOLE)
                box = s.message(exe=CONSOLE)
                self.assertEqual((box["text"], labels(box)), ("Pristup računalu nije dozvoljen...", ["OK"]))
                s.answer("OK", exe=CONSOLE)
                s.click(MAIN, 17)
                s.answer("DA", exe=CONSOLE)
                box = s.message(exe=CONSOLE)
                self.assertIn("winvnc.exe  -autoreconnect", box["text"])
                self.assertEqual(labels(box), ["OK"])
                s.answer("OK", exe=CONSOLE)
                self.assertTrue(s.wait_started(4)[3].startswith(s.win_dir() + "\\winvnc.exe"))
                # The close-down question; DA leaves the server running.
                s.close(MAIN)
                box = s.message(exe=CONSOLE)
                self.assertEqual((box["text"], labels(box)), ("Dali da ostavim program na čekanju ?", ["DA", "NE"]))
                s.answer("DA", exe=CONSOLE)
                self.assertEqual(program.wait(15), 0)
                self.assertEqual(len(s.started()), 4, "DA leaves the server running")

    def test_reporter_box(self):
        for desktop, env in DESKTOPS:
            with self.subTest(desktop=desktop):
                s = self.scenario()
                s.write_reporter_ini(NazivServera="SRV1", Grupa="GRP")  # no server ID: the reminder
                program = s.start(REPORTER, env=env)
                box = s.message(exe=REPORTER)
                self.assertTrue(box["text"].startswith("Podaci nisu potpuni ..."))
                self.assertEqual(labels(box), ["OK"])
                s.answer("OK", exe=REPORTER)
                # "Izlaz" from the tray menu ends it.
                s.wait_window(FRAME, exe=REPORTER, any=True)
                s.post(FRAME, TRAY, 1, WM_RBUTTONUP)
                s.menu(5)
                self.assertEqual(program.wait(10), 0)


if __name__ == "__main__":
    vx.main()
