# The sample window of the Win32 toolkit driven from another process, as a
# user would: displays, typing, a check box, a message box, hidden fields, exit.
import os
import unittest

import vx

TITLE = "Uzorak"
# Fields of tests/wine/progs/sample_window.cpp.
COUNTER, NAME, SHOW, LOGGING, ROWS, NOTES, HIDDEN_TEXT, EXIT, LAST_SEEN = 2, 5, 6, 7, 8, 9, 11, 12, 13


class SampleWindowTest(unittest.TestCase):
    def setUp(self):
        self.s = vx.Scenario(programs=())
        self.s.__enter__()
        self.addCleanup(self.s.__exit__, None, None, None)
        self.program = self.s.start(os.path.join(vx.env_path("VX_BIN"), "sample_window.exe"))
        # The first start in a fresh prefix brings up OLE for the browser area: slow under load.
        self.s.wait_window(TITLE, exe="sample_window.exe", timeout=60)

    def test_a_user_session(self):
        s = self.s
        # Every field answers by its number; the initial states hold.
        self.assertEqual(s.text(TITLE, COUNTER)[:5], "00000")
        self.assertEqual(len(s.text(TITLE, COUNTER)), 7)
        self.assertEqual(s.text(TITLE, NAME), "Ana")
        self.assertEqual(s.text(TITLE, NOTES), "Prvi red bilješke\r\nDrugi red: čćžšđ")
        self.assertEqual(s.state(TITLE, HIDDEN_TEXT), {"enabled": True, "visible": False})
        self.assertEqual(s.state(TITLE, LOGGING), {"enabled": True, "visible": True})

        # The timer counts up and the display field follows without a redisplay.
        first = int(s.text(TITLE, COUNTER))
        vx.wait_until(lambda: int(s.text(TITLE, COUNTER)) > first, timeout=5, what="timer redraw")

        # Typed input is stored when the field is left, then the handler sees it.
        s.set(TITLE, NAME, "Marko Čačić")
        vx.wait_until(lambda: s.text(TITLE, LAST_SEEN) == "ime Marko Čačić", what="entry accepted")
        s.check(TITLE, LOGGING)
        vx.wait_until(lambda: s.text(TITLE, LAST_SEEN) == "log 0", what="check box stored")

        # A button shows the message, modal to the window.
        s.click(TITLE, SHOW)
        box = s.message(exe="sample_window.exe")
        self.assertEqual((box["caption"], box["text"]), ("Poruka", "Upisano ime:\nMarko Čačić"))
        self.assertEqual(box["buttons"], [{"id": 1, "label": "OK"}])
        self.assertFalse(s.window_state(TITLE)["enabled"])
        s.screenshot("sample_window_message")
        s.answer("OK")
        vx.wait_until(lambda: s.window_state(TITLE)["enabled"], what="window enabled again")
        s.screenshot("sample_window")

        # The exit button closes the window and the program ends.
        s.click(TITLE, EXIT)
        s.gone(TITLE, any=True)
        self.assertEqual(self.program.wait(10), 0)


if __name__ == "__main__":
    vx.main()
