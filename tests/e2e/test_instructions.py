# The web-instructions window driven from outside as a user would: the
# navigation buttons along its bottom edge lie over the browser and take a
# real mouse click, in the window's own size and after it has been enlarged.
import os
import subprocess
import unittest

import vx

TITLE = "Alt-F4 to exit"
PROBE = "webupute_probe.exe"
BACK, FORWARD, HOME, SEARCH, EXIT = 5, 6, 7, 8, 9


class InstructionsWindowTest(unittest.TestCase):
    def set_start_page(self, url):
        # The browser's "home" is the user's start page: ours, so a click on
        # "&Home" shows up at the stand-in server.
        subprocess.run([vx.env_path("VX_WINE_LOADER"), "reg", "add",
                        r"HKCU\Software\Microsoft\Internet Explorer\Main", "/v", "Start Page",
                        "/d", url, "/f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=60)

    def test_navigation_buttons_take_a_mouse_click_over_the_browser(self):
        with vx.Scenario(programs=()) as s:
            self.set_start_page(s.registry.base_url + "pocetna.html")
            program = s.start(os.path.join(vx.env_path("VX_BIN"), PROBE), s.registry.base_url + "upute.html")
            # The first browser in a fresh prefix brings up OLE: slow under load.
            s.wait_window(TITLE, exe=PROBE, timeout=60)
            vx.wait_until(lambda: any(r[1] == "/dns/upute.html" for r in s.registry.requests()),
                          timeout=30, what="the instructions page requested")
            for size in (None, (1100, 820)):
                if size:
                    s.resize(TITLE, *size)
                for field in (BACK, FORWARD, SEARCH, HOME):
                    with self.subTest(size=size, field=field):
                        self.assertEqual(s.mouse(TITLE, field), ("Button", field),
                                         "the click lands on the button, not in the browser")
                # The click on "&Home" ran its handler: the browser asked for the start page.
                vx.wait_until(lambda: sum(r[1] == "/dns/pocetna.html" for r in s.registry.requests())
                              >= (2 if size else 1), timeout=15, what="the start page requested")
            s.screenshot("instructions_enlarged")
            s.mouse(TITLE, EXIT)
            s.gone(TITLE)
            self.assertEqual(program.wait(15), 0)


if __name__ == "__main__":
    vx.main()
