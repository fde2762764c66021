"""Shared fixture of the end-to-end tests: a virtual X display, a fresh Wine prefix, the program under
test started in it, input through xdotool and state read back through the inspector.

Configuration comes from the environment (CTest sets it):
  QM_EXE        the program under test (tests that need it are skipped when it is missing)
  QM_INSPECTOR  the inspector built from inspector.cpp
  QM_ARTIFACTS  folder for screenshots
  QM_E2E_DISPLAY  use this X display instead of starting Xvfb
Every wait is a bounded poll; everything started here is stopped again, also after failures.
"""

import atexit
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_ENV = os.path.join(REPO, "scripts", "wine-env")

WINDOW_CLASS = "QuillmarrowDefaultsOptions"
CAPTION = "Quillmarrow 2004 Default Settings"
MESSAGE_TITLE = "Quillmarrow Default Settings"
ALREADY_RUNNING = "Quillmarrow Default Settings is already running on your system."
SAVE_FAILED = "The default settings could not be saved."
SETTINGS_KEY = r"Software\Vendrakel\Quillmarrow 2004"
PARENT_KEY = r"Software\Vendrakel"
VALUE_NAMES = ("AllFolders", "TwoPane", "SideMenu")

REG_SZ = 1
REG_EXPAND_SZ = 2
REG_BINARY = 3
REG_DWORD = 4
REG_MULTI_SZ = 7

# Control ids: 1000 + the control's position in the program's layout table.
IDS = {
    name: 1000 + index
    for index, name in enumerate(
        (
            "cmdOK",
            "cmdReset",
            "fraShortcutLocation",
            "optSideMenu",
            "optStartMenu",
            "fraWindowStyle",
            "optFolderWindow",
            "optTwoPane",
            "fraFolderTree",
            "optSubfoldersOnly",
            "optAllFolders",
            "cmdCancel",
            "lblOptionInfo",
        )
    )
}
NAMES = {value: key for key, value in IDS.items()}
# Upper (True) and lower (False) button of each value's pair.
PAIRS = {
    "AllFolders": ("optAllFolders", "optSubfoldersOnly"),
    "TwoPane": ("optTwoPane", "optFolderWindow"),
    "SideMenu": ("optSideMenu", "optStartMenu"),
}

SKIP_MARKER = "QM_E2E_SKIPPED"


def sz(text):
    """Hex of a string value with its terminator, as the inspector writes it (UTF-16)."""
    return (text + "\0").encode("utf-16-le").hex()


def dword(number):
    return number.to_bytes(4, "little").hex()


class Failure(AssertionError):
    pass


def deadline_poll(check, timeout, interval=0.05, what="condition"):
    """Calls check() until it returns a truthy value or the timeout passes."""
    end = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() >= end:
            raise Failure("timed out after %.1fs waiting for %s" % (timeout, what))
        time.sleep(interval)


class Display:
    """An Xvfb server on a free display number, or an existing display when told to use one."""

    def __init__(self):
        self.process = None
        self.name = os.environ.get("QM_E2E_DISPLAY")
        if self.name:
            return
        if not shutil.which("Xvfb"):
            raise Failure("Xvfb is not installed")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        os.close(write_end)
        number = b""
        end = time.monotonic() + 20
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n") and time.monotonic() < end:
                if not select.select([pipe], [], [], max(0.0, end - time.monotonic()))[0]:
                    break
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.stop()
            raise Failure("Xvfb did not report a display")
        self.name = ":" + number.decode().strip()

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
        self.process = None


class Prefix:
    """A throwaway Wine prefix, quiet and offline, with its own wineserver."""

    def __init__(self, display):
        if not shutil.which("wine"):
            raise Failure("wine is not installed")
        self.path = tempfile.mkdtemp(prefix="qm-e2e-wine.")
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=self.path,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            WINEARCH="win64",
            DISPLAY=display,
        )
        ready = subprocess.run(
            ["bash", "-c", '. "$1" && wine_prefix_ready "$2"', "bash", WINE_ENV, self.path],
            env=self.env,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            timeout=300,
        )
        if ready.returncode != 0:
            raise Failure("could not create a Wine prefix in " + self.path)
        # Keep the wineserver up between the short-lived programs of a test, yet let it end by itself
        # should this run be killed before it can clean up.
        subprocess.run(["wineserver", "-p60"], env=self.env, timeout=30)

    def remove(self):
        try:
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass
        shutil.rmtree(self.path, ignore_errors=True)


class Inspector:
    def __init__(self, path, env):
        self.path = path
        self.env = env

    def run(self, *args, check=True, timeout=60):
        # Every command prints something, yet on a busy machine a run under Wine has been seen to end
        # with exit code 1 and no output at all. The commands are idempotent, so such a silent run is
        # tried again, a bounded number of times.
        for _ in range(3):
            code, stdout, stderr = self._run_once(args, timeout)
            if code == 0 or stdout.strip() or stderr.strip():
                break
        lines = [line for line in stdout.splitlines() if line.strip()]
        if check and (code not in (0, 1) or not lines):
            raise Failure("inspector %s failed (%d): %s %s" % (args, code, stdout, stderr))
        return code, (json.loads(lines[-1]) if lines else None)

    def _run_once(self, args, timeout):
        # Output goes through files, not pipes: Wine's helper processes inherit the handles and would
        # hold a pipe open long after the inspector has finished.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.Popen(
                ["wine", self.path] + [str(arg) for arg in args],
                env=self.env,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
            )
            try:
                code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(10)
                raise Failure("inspector %s did not finish within %ss" % (args, timeout))
            out.seek(0)
            err.seek(0)
            stdout = out.read().decode("utf-8", errors="replace")
            stderr = err.read().decode("utf-8", errors="replace")
        return code, stdout, stderr

    def query(self, *args):
        return self.run(*args)[1]

    def wait(self, *args, timeout=15.0):
        """Polls inside the inspector; returns its report, raising when the condition was not met."""
        code, report = self.run("wait", "--timeout", int(timeout * 1000), *args, timeout=timeout + 60)
        if code != 0:
            raise Failure("inspector wait %s not met: %s" % (args, json.dumps(report)[:2000]))
        return report


class App:
    """One launch of a Windows program; killed at cleanup if still running."""

    def __init__(self, session, exe, log_name):
        self.session = session
        self.log = open(os.path.join(session.prefix.path, log_name), "wb")
        self.process = subprocess.Popen(
            ["wine", exe], env=session.prefix.env, stdout=self.log, stderr=subprocess.STDOUT,
            stdin=subprocess.DEVNULL
        )

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=15.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not exit within %.0fs" % timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            try:
                self.process.wait(15)
            except subprocess.TimeoutExpired:
                pass
        self.log.close()


class Session:
    """Display + prefix + inspector, shared by the tests of one module."""

    def __init__(self):
        self.exe = os.environ.get("QM_EXE", os.path.join(REPO, "build", "windows", "QuillmarrowDefaults.exe"))
        inspector = os.environ.get("QM_INSPECTOR", os.path.join(REPO, "build", "windows", "tests", "e2e", "inspector.exe"))
        self.artifacts = os.environ.get("QM_ARTIFACTS", os.path.join(REPO, "build", "windows", "artifacts"))
        if not os.path.isfile(inspector):
            raise Failure("inspector not built: " + inspector)
        if not shutil.which("xdotool"):
            raise Failure("xdotool is not installed")
        self.display = None
        self.prefix = None
        self.apps = []
        self.launches = 0
        try:
            self.display = Display()
            self.prefix = Prefix(self.display.name)
            self.inspector = Inspector(inspector, self.prefix.env)
            # Wine draws the title bars itself (there is no window manager), and the screen is 96 DPI.
            self.set_value(r"Software\Wine\X11 Driver", "Decorated", REG_SZ, sz("N"))
            self.set_value(r"Control Panel\Desktop", "LogPixels", REG_DWORD, dword(96))
        except BaseException:
            self.close()
            raise

    # ---- lifecycle ----

    def close(self):
        for app in self.apps:
            app.kill()
        self.apps = []
        if self.prefix:
            self.prefix.remove()
            self.prefix = None
        if self.display:
            self.display.stop()
            self.display = None

    def launch(self, exe=None):
        self.launches += 1
        app = App(self, exe or self.exe, "launch-%d.log" % self.launches)
        self.apps.append(app)
        return app

    def stop_all(self):
        """Kills every program this session started and waits until their windows are gone."""
        for app in self.apps:
            app.kill()
        self.apps = []
        self.inspector.wait("--class", WINDOW_CLASS, "--count", 0, "--exact", "--hidden", timeout=15)
        self.inspector.wait("--class", "#32770", "--count", 0, "--exact", timeout=15)

    # ---- windows ----

    def dialog(self, timeout=20.0):
        """Waits for the options dialog to be visible and filled; returns its full description."""
        report = self.inspector.wait("--class", WINDOW_CLASS, "--checked", 3, "--details", timeout=timeout)
        return report["windows"][0]

    def window(self, hwnd):
        return self.inspector.query("window", hwnd)

    def message_boxes(self, count, exact=True, timeout=20.0):
        args = ["--class", "#32770", "--count", count, "--details"]
        if exact:
            args.append("--exact")
        return self.inspector.wait(*args, timeout=timeout)["windows"]

    def windows(self, class_name, hidden=False):
        args = ["windows", "--class", class_name]
        if hidden:
            args.append("--hidden")
        return self.inspector.query(*args)

    def wait_gone(self, class_name, timeout=15.0):
        self.inspector.wait("--class", class_name, "--count", 0, "--exact", "--hidden", timeout=timeout)

    # ---- input ----

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(arg) for arg in args], env=self.prefix.env, check=True, timeout=30)

    @staticmethod
    def control(window, control_id):
        for child in window["children"]:
            if child["id"] == control_id:
                return child
        raise Failure("no control %d in %s" % (control_id, window["title"]))

    def click_at(self, x, y):
        # Arrive with a motion event so that Wine knows which window is under the pointer.
        self.xdotool("mousemove", x + 3, y + 3, "mousemove", x, y, "click", "1")

    def click(self, window, control_id, until=None, timeout=5.0, attempts=3):
        """Clicks the middle of a control; with `until`, clicks again (bounded) while the check fails.

        Wine without a window manager swallows the first click on a window that is not in the
        foreground (it could not be activated), so a click whose effect is missing is repeated."""
        child = self.control(window, control_id)
        left, top, right, bottom = child["rect"]
        x = window["client"][0] + (left + right) // 2
        y = window["client"][1] + (top + bottom) // 2
        for attempt in range(attempts):
            self.click_at(x, y)
            if until is None:
                return None
            try:
                return deadline_poll(until, timeout, what="the effect of clicking control %d" % control_id)
            except Failure:
                if attempt == attempts - 1:
                    raise
        return None

    def raise_titled(self, title):
        """Raises the X windows with this exact title above the others, as a window manager would do
        for a newly shown message box (there is none on the virtual display)."""
        pattern = "^" + re.escape(title) + "$"
        found = subprocess.run(["xdotool", "search", "--name", pattern], env=self.prefix.env,
                               capture_output=True, text=True, timeout=30)
        for xid in found.stdout.split():
            subprocess.run(["xdotool", "windowraise", xid], env=self.prefix.env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def point_at_caption(self, window):
        left, top, right, _ = window["rect"]
        self.xdotool("mousemove", (left + right) // 2, (top + window["client"][1]) // 2)

    def keys(self, window, *names):
        """Types keys into the window (the pointer rests on its caption, so no control shows a tooltip)."""
        self.point_at_caption(window)
        for name in names:
            self.xdotool("key", "--clearmodifiers", name)

    # ---- state ----

    def state(self, hwnd):
        """Focused control id and the check state of every option button."""
        window = self.window(hwnd)
        if window is None:
            return None
        focus = window["focus"]["id"] if window["focus"] else None
        checks = {NAMES[c["id"]]: c["check"] for c in window["children"] if c["id"] in NAMES}
        return focus, checks

    def selections(self, hwnd):
        """For each value, True/False for the upper/lower button selected (None for neither or both)."""
        _, checks = self.state(hwnd)
        result = {}
        for value, (upper, lower) in PAIRS.items():
            if checks[upper] == 1 and checks[lower] == 0:
                result[value] = True
            elif checks[upper] == 0 and checks[lower] == 1:
                result[value] = False
            else:
                result[value] = None
        return result

    def focus_id(self, hwnd):
        return self.state(hwnd)[0]

    def wait_focus(self, control_id, timeout=5.0):
        """Waits (bounded) until the dialog's focus is on the control; fails naming where it is."""
        code, report = self.inspector.run("wait", "--timeout", int(timeout * 1000), "--class", WINDOW_CLASS,
                                          "--focus-id", control_id, "--details", timeout=timeout + 60)
        if code != 0:
            windows = report["windows"] if report else []
            focus = windows[0]["focus"] if windows else None
            raise Failure("focus should be on %s, is on %s" % (NAMES.get(control_id, control_id),
                                                                NAMES.get(focus["id"]) if focus else None))

    def wait_selections(self, hwnd, expected, timeout=5.0):
        """Waits (bounded) until the three pairs show the expected True/False selections."""
        seen = []

        def check():
            seen[:] = [self.selections(hwnd)]
            return seen[0] == expected

        try:
            deadline_poll(check, timeout, what="the selections %s" % expected)
        except Failure:
            raise Failure("selections should be %s, are %s" % (expected, seen[0] if seen else None))

    def screenshot(self, name, rect=None):
        """Saves the screen, or the part of it in rect (left, top, right, bottom), as a PNG artifact."""
        os.makedirs(self.artifacts, exist_ok=True)
        path = os.path.join(self.artifacts, name)
        crop = []
        if rect:
            left, top, right, bottom = rect
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(["import", "-window", "root"] + crop + [path], env=self.prefix.env, check=True, timeout=60)
        return path

    # ---- registry ----

    def registry(self, key):
        return self.inspector.query("reg", key)

    def values(self, key=SETTINGS_KEY):
        """{name: (type, hex)} of a key, or None when the key does not exist."""
        report = self.registry(key)
        if not report["exists"]:
            return None
        return {value["name"]: (value["type"], value["hex"]) for value in report["values"]}

    def set_value(self, key, name, value_type, hex_data):
        code, report = self.inspector.run("reg-set", key, name, value_type, hex_data)
        if code != 0:
            raise Failure("could not set %s\\%s: %s" % (key, name, report))

    def delete_key(self, key):
        self.inspector.run("reg-del", key)

    def settings(self):
        """The three settings as text when stored as strings, else (type, hex)."""
        values = self.values() or {}
        result = {}
        for name in VALUE_NAMES:
            if name not in values:
                result[name] = None
            else:
                value_type, data = values[name]
                result[name] = decode(value_type, data)
        return result


def decode(value_type, data):
    if value_type == REG_SZ:
        raw = bytes.fromhex(data)
        return raw.decode("utf-16-le", errors="replace").split("\0", 1)[0]
    return (value_type, data)


def start_module():
    """setUpModule helper: skips the module when the program is not built, else starts a session."""
    exe = os.environ.get("QM_EXE", os.path.join(REPO, "build", "windows", "QuillmarrowDefaults.exe"))
    if not os.path.isfile(exe):
        print("%s: %s not built, nothing to test" % (SKIP_MARKER, exe), flush=True)
        raise unittest.SkipTest("the program under test is not built: " + exe)
    DialogTest.session = Session()
    # A timeout (SIGTERM) or hang-up still stops Xvfb and Wine and removes the prefix.
    atexit.register(stop_module)
    for number in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, _exit_on_signal)


def _exit_on_signal(number, _frame):
    raise SystemExit(128 + number)


def stop_module():
    if DialogTest.session:
        DialogTest.session.close()
        DialogTest.session = None


class DialogTest(unittest.TestCase):
    """Base class: every test ends with none of its programs left running."""

    session = None

    def setUp(self):
        self.addCleanup(self.session.stop_all)

    def open_dialog(self):
        app = self.session.launch()
        window = self.session.dialog()
        return app, window
