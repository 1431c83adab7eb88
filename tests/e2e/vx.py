# The end-to-end harness: a Scenario is a fresh working folder with the
# programs, the stubs and a stand-in registry, plus helpers that drive the windows.
import glob
import json
import os
import random
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from registry import Registry

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROGRAMS = ("Morventa.exe", "Zilvara.exe", "Trevasol.dll")
INI_NAME = "ZEDOVoridi.ini"
LOG_NAME = "vxlog.log"
RECORD_NAME = "started.txt"
DEFAULT_TIMEOUT = 10.0


class DriveError(AssertionError):
    """vxdrive failed: a window, control or box was not found in time."""


def env_path(name):
    value = os.environ.get(name)
    if not value:
        raise unittest.SkipTest("%s is not set: run through scripts/test.sh" % name)
    return value


def win_path(linux_path):
    # Wine maps drive Z: to the Linux root.
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def wait_until(predicate, timeout=DEFAULT_TIMEOUT, interval=0.05, what="condition"):
    """Polls predicate until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def ini_text(sections):
    """INI text as Windows writes it: CRLF lines, no blank line between sections."""
    lines = []
    for section, values in sections.items():
        lines.append("[%s]" % section)
        lines.extend("%s=%s" % (k, v) for k, v in values.items())
    return ("\r\n".join(lines) + "\r\n").encode("cp1250")


def parse_ini(data):
    """{section: {key: value}} from INI bytes (CP1250); keys as written."""
    sections, current = {}, None
    for line in data.decode("cp1250").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


class Program:
    """A Windows program started under Wine."""

    def __init__(self, popen, name):
        self.popen = popen
        self.name = name

    @property
    def pid(self):
        return self.popen.pid

    def wait(self, timeout=DEFAULT_TIMEOUT):
        """The exit code; raises subprocess.TimeoutExpired when still running."""
        return self.popen.wait(timeout)

    def running(self):
        return self.popen.poll() is None

    def kill(self):
        if self.running():
            self.popen.kill()
        try:
            self.popen.wait(10)
        except subprocess.TimeoutExpired:
            pass


class Driver:
    """vxdrive.exe run under Wine; every method raises DriveError on failure."""

    def __init__(self, env=None):
        self.loader = env_path("VX_WINE_LOADER")
        self.exe = os.path.join(env_path("VX_BIN"), "vxdrive.exe")
        self.env = env

    def run(self, *args, timeout=None, check=True):
        args = [str(a) for a in args]
        # Options go right after the command: a "--" later ends them.
        options = ["--timeout", "%g" % timeout] if timeout is not None else []
        cmd = [self.loader, self.exe] + args[:1] + options + args[1:]
        limit = (timeout if timeout is not None else DEFAULT_TIMEOUT) + 30
        returncode, out, err = self._spawn(cmd, limit)
        if returncode != 0 and not err:
            # The driver always gives a reason; none means it never ran
            # (seen rarely under heavy load): once more.
            returncode, out, err = self._spawn(cmd, limit)
        if check and returncode != 0:
            raise DriveError("vxdrive %s: %s" % (" ".join(args), err or "exit code %d, output %r" % (returncode, out)))
        # One line end is the driver's; the rest belongs to the text.
        return out[:-1] if out.endswith("\n") else out

    def _spawn(self, cmd, limit):
        # Files, not pipes: a Wine helper the driver happens to start (the
        # desktop process) inherits its handles and would hold a pipe open.
        with tempfile.TemporaryFile() as stdout, tempfile.TemporaryFile() as stderr:
            p = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr, timeout=limit,
                               env=self.env)
            stdout.seek(0)
            stderr.seek(0)
            return (p.returncode, stdout.read().decode("utf-8", "replace"),
                    stderr.read().decode("utf-8", "replace").strip())

    def ok(self, *args, timeout=None):
        """True when the command succeeded (e.g. a window appeared in time)."""
        try:
            self.run(*args, timeout=timeout)
            return True
        except DriveError:
            return False

    # --- windows ---
    def wait_window(self, title, timeout=DEFAULT_TIMEOUT, exe=None, any=False):
        """The HWND ("0x...") of a window with that exact title ("*": any title,
        with exe); any=True accepts hidden windows (a frame sitting in the tray)."""
        args = ["wait", title] + (["--exe", exe] if exe else []) + (["--any"] if any else [])
        return self.run(*args, timeout=timeout)

    def gone(self, title, timeout=DEFAULT_TIMEOUT, any=False):
        return self.run("gone", title, *(["--any"] if any else []), timeout=timeout)

    def visible(self, title, timeout=DEFAULT_TIMEOUT):
        return self.run("visible", title, timeout=timeout) == "1"

    def window_state(self, title, timeout=DEFAULT_TIMEOUT):
        """{'enabled', 'visible', 'minimized'} of a top-level window, hidden or not."""
        return _state(self.run("state", title, 0, "--any", timeout=timeout))

    def close(self, title):
        return self.run("close", title)

    def resize(self, title, width, height):
        return self.run("resize", title, width, height)

    def minimize(self, title):
        return self.run("minimize", title)

    def post(self, title, msg, wparam=0, lparam=0):
        return self.run("post", title, msg, wparam, lparam)

    def send(self, title, msg, wparam=0, lparam=0, timeout=5):
        return int(self.run("send", title, msg, wparam, lparam, timeout=timeout))

    def windows(self, all=False):
        """Top-level windows: dicts with hwnd, class, title, pid, exe, visible."""
        rows = []
        for line in self.run("list", *(["--all"] if all else [])).splitlines():
            parts = line.split("\t")
            if len(parts) < 6:
                continue
            hwnd, cls, title, pid, exe, vis = parts[0], parts[1], "\t".join(parts[2:-3]), *parts[-3:]
            rows.append({"hwnd": hwnd, "class": cls, "title": title, "pid": int(pid), "exe": exe,
                         "visible": vis == "1"})
        return rows

    # --- controls (field numbers; 0 = the window itself) ---
    def text(self, title, field, any=False):
        return self.run("text", title, field, *(["--any"] if any else []))

    def wait_text(self, title, field, expected, timeout=DEFAULT_TIMEOUT):
        """Waits until the control shows the expected text; returns it."""
        seen = []

        def shows():
            seen[:] = [self.text(title, field)]
            return seen[0] == expected

        try:
            wait_until(shows, timeout, interval=0.1, what="field %s to show %r" % (field, expected))
        except AssertionError:
            raise AssertionError("field %s of %r shows %r, not %r" % (field, title, seen and seen[0], expected))
        return expected

    def state(self, title, field, any=False, timeout=None):
        """{'enabled': bool, 'visible': bool} of a control."""
        return _state(self.run("state", title, field, *(["--any"] if any else []), timeout=timeout))

    def set(self, title, field, text):
        return self.run("set", title, field, "--", text)

    def type(self, title, field, text):
        """Types at the end of the field key by key; the focus stays in it."""
        return self.run("type", title, field, "--", text)

    def clip(self, text):
        """Puts text on the clipboard, as another program copying it."""
        return self.run("clip", "--", text)

    def keys(self, title, field, *chords):
        """Real key presses ("ctrl+v", "shift+insert") at the end of the field, the
        window in the foreground; the focus stays in the field."""
        return self.run("keys", title, field, "--", *chords)

    def mouse(self, title, field):
        """A real mouse click at the centre of a control (or field "closebox");
        returns (class, field) of the window that lies under that point."""
        cls, hit = self.run("mouse", title, field).split("\t")
        return cls, int(hit)

    def click(self, title, field, force=False):
        return self.run("click", title, field, *(["--force"] if force else []))

    def check(self, title, field):
        return self.run("check", title, field)

    def status(self, title):
        """The text of the window's status bar."""
        return self.run("status", title)

    def controls(self, title):
        return self.run("controls", title)

    def header(self, title, field):
        """(text, alignment) of a list's column header; alignment "left", "centre" or "right"."""
        text, align = self.run("header", title, field).rsplit("\t", 1)
        return text, align

    def accessible(self, title):
        """The window's accessible client object's children, as a screen reader reads them:
        [{'element': simple element (id = field number) or an object of its own,
          'id', 'name', 'role', 'visible', 'enabled', 'location': [left, top, right, bottom]}]."""
        return [json.loads(line) for line in self.run("accessible", title).splitlines() if line.strip()]

    # --- message boxes and menus ---
    def message(self, timeout=DEFAULT_TIMEOUT, exe=None):
        """The message box shown: {'hwnd','caption','text','buttons':[{'id','label'}]}."""
        return json.loads(self.run("message", *(["--exe", exe] if exe else []), timeout=timeout))

    def answer(self, label, timeout=DEFAULT_TIMEOUT, exe=None):
        return self.run("answer", *(["--exe", exe] if exe else []), "--", label, timeout=timeout)

    def no_message(self, within=1.0, exe=None):
        """True when no message box appears within the given seconds."""
        return not self.ok("message", *(["--exe", exe] if exe else []), timeout=within)

    def menu(self, n, timeout=DEFAULT_TIMEOUT):
        return self.run("menu", n, timeout=timeout)


def _state(line):
    values = dict(part.split("=") for part in line.split())
    return {k: v == "1" for k, v in values.items()}


def _free_relay_host():
    # The relay is reached on the fixed port 8080; any 127/8 address is
    # loopback, so each scenario takes one of its own.
    return "127.%d.%d.%d" % (random.randint(1, 254), random.randint(0, 255), random.randint(1, 254))


class Scenario(Driver):
    """A working folder with the programs and stubs, a stand-in registry and
    (optionally) a relay; use as a context manager.

    s.dir          the programs' current directory (Linux path)
    s.registry     the web registry (base_url ends in "/dns/")
    s.relay        the relay server's registry on port 8080 (base path "/"), or None
    """

    def __init__(self, relay=False, relay_host=None, programs=PROGRAMS, registry_silent=False):
        super().__init__()
        self.want_relay = relay
        self.relay_host = relay_host
        self.programs = programs
        self.registry_silent = registry_silent
        self.registry = None
        self.relay = None
        self.started_programs = []
        self.sections = {}
        self._vxdns_created = []

    # --- life cycle ---
    def __enter__(self):
        bin_dir = env_path("VX_BIN")
        stubs_dir = env_path("VX_STUBS")
        env_path("VX_WINE_LOADER")
        parent = os.environ.get("VX_RUN") or None
        self.base = tempfile.mkdtemp(prefix="scenario-", dir=parent)
        self.dir = os.path.join(self.base, "work")
        os.makedirs(self.dir)
        try:
            for name in self.programs:
                src = os.path.join(bin_dir, name)
                if os.path.exists(src):
                    shutil.copy2(src, self.dir)
            for stub in glob.glob(os.path.join(stubs_dir, "*.exe")):
                shutil.copy2(stub, self.dir)
            self.record = os.path.join(self.base, RECORD_NAME)
            self.env = dict(os.environ, VX_STUB_RECORD=win_path(self.record))
            self.registry = Registry(os.path.join(self.base, "web"), silent=self.registry_silent).start()
            if self.want_relay:
                self._start_relay()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _start_relay(self):
        for attempt in range(20):
            host = self.relay_host or _free_relay_host()
            try:
                self.relay = Registry(os.path.join(self.base, "relay"), host=host, port=8080,
                                      base_path="/").start()
                break
            except OSError:
                if self.relay_host or attempt == 19:
                    raise
        # The console learns the relay's address from the registry.
        self.registry.set_file("ZEDOVORIDI.txt", self.relay.host)

    def __exit__(self, *exc):
        for program in self.started_programs:
            program.kill()
        for reg in (self.registry, self.relay):
            if reg is not None:
                reg.stop()
        for path in reversed(self._vxdns_created):
            if os.path.isdir(path):
                shutil.rmtree(path, ignore_errors=True)
            elif os.path.exists(path):
                os.remove(path)
        if os.environ.get("VX_KEEP") != "1":
            shutil.rmtree(self.base, ignore_errors=True)
        return False

    # --- files of the working folder ---
    def path(self, name):
        return os.path.join(self.dir, name)

    def win_dir(self):
        """The working folder as the programs see it (Z:\\...)."""
        return win_path(self.dir)

    def write_ini(self, section, values):
        """Writes (or replaces) one section of ZEDOVoridi.ini; other sections written before stay."""
        self.sections[section] = dict(values)
        with open(self.path(INI_NAME), "wb") as f:
            f.write(ini_text(self.sections))

    def write_console_ini(self, **values):
        """Section VOZidavar pointing at the stand-in registry; keyword values
        (e.g. IDKorisnika=501) become keys Glo:<name>."""
        keys = {"Glo:WebAdresa": self.registry.base_url}
        keys.update({"Glo:" + k: v for k, v in values.items()})
        self.write_ini("VOZidavar", keys)

    def write_reporter_ini(self, **values):
        """Section DARiriza pointing at the stand-in registry (see write_console_ini)."""
        keys = {"Glo:WebAdresa": self.registry.base_url}
        keys.update({"Glo:" + k: v for k, v in values.items()})
        self.write_ini("DARiriza", keys)

    def _read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def ini_bytes(self):
        """ZEDOVoridi.ini as bytes, None when it does not exist."""
        return self._read(INI_NAME)

    def ini(self):
        """ZEDOVoridi.ini parsed: {section: {key: value}} ({} when missing)."""
        data = self.ini_bytes()
        return parse_ini(data) if data is not None else {}

    def log_bytes(self):
        """vxlog.log as bytes, None when it does not exist."""
        return self._read(LOG_NAME)

    def started(self):
        """Command lines the stubs recorded, in order (CP1250 text)."""
        try:
            with open(self.record, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            return []
        lines = data.decode("cp1250").split("\r\n")
        return lines[:-1] if lines[-1] == "" else lines

    def wait_started(self, n, timeout=DEFAULT_TIMEOUT):
        """Waits until the stubs have recorded at least n command lines."""
        wait_until(lambda: len(self.started()) >= n, timeout, what="%d started programs" % n)
        return self.started()

    def install_vxdns_stubs(self):
        """Copies the stubs into C:\\VXDNS of the Wine prefix (removed again at exit)."""
        target = os.path.join(env_path("WINEPREFIX"), "drive_c", "VXDNS")
        if not os.path.isdir(target):
            os.makedirs(target)
            self._vxdns_created.append(target)
        for stub in glob.glob(os.path.join(env_path("VX_STUBS"), "*.exe")):
            dest = os.path.join(target, os.path.basename(stub))
            if not os.path.exists(dest):
                self._vxdns_created.append(dest)
            shutil.copy2(stub, dest)
        return target

    # --- programs ---
    def start(self, exe, *args, env=None):
        """Starts a program of the working folder (or any path) under Wine,
        with the working folder as current directory."""
        path = exe if os.path.isabs(exe) else self.path(exe)
        if not os.path.exists(path):
            raise unittest.SkipTest("%s is not built" % os.path.basename(path))
        out = open(os.path.join(self.base, os.path.basename(exe) + ".out"), "ab")
        popen = subprocess.Popen([self.loader, path] + [str(a) for a in args], cwd=self.dir,
                                 env=dict(self.env, **(env or {})), stdin=subprocess.DEVNULL,
                                 stdout=out, stderr=subprocess.STDOUT)
        out.close()
        program = Program(popen, os.path.basename(exe))
        self.started_programs.append(program)
        return program

    def screenshot(self, name):
        return screenshot(name)


def screenshot(name):
    """A PNG of the whole display, saved as build/screenshots/NAME.png; returns its path."""
    folder = os.path.join(REPO, "build", "screenshots")
    os.makedirs(folder, exist_ok=True)
    out = os.path.join(folder, name if name.endswith(".png") else name + ".png")
    subprocess.run(["bash", os.path.join(REPO, "scripts", "screenshot.sh"), out], check=True,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    return out


def x_window(title):
    """(x, y, width, height) on the display of the mapped X window of that
    name, as the X server itself has it; None while there is none. Asks the
    server, not the program: it holds even while the program's thread is busy."""
    p = subprocess.run(["xwininfo", "-name", title], stdin=subprocess.DEVNULL, capture_output=True,
                       text=True, timeout=10)
    if p.returncode != 0:
        return None
    info = {}
    for line in p.stdout.splitlines():
        key, _, value = line.strip().partition(":")
        info[key] = value.strip()
    if info.get("Map State") != "IsViewable":
        return None
    return tuple(int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def screen_pixels(x, y, width, height):
    """The RGB triples of a part of the display, row by row, as it shows now."""
    p = subprocess.run(["/usr/bin/import", "-display", os.environ["DISPLAY"], "-window", "root",
                        "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8", "ppm:-"],
                       stdin=subprocess.DEVNULL, capture_output=True, check=True, timeout=30)
    # A binary PPM: "P6", width, height, 255, one white space, then the bytes.
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", p.stdout)
    w, h, data = int(header.group(1)), int(header.group(2)), p.stdout[header.end():]
    return [tuple(data[i:i + 3]) for i in range(0, w * h * 3, 3)]


def main():
    unittest.main(verbosity=2)
