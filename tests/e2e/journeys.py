"""Journeys of the real QuillmarrowDefaults.exe under Wine, driven from outside as a user would: windows
found by their titles, keys typed into them, what they show read by inspect.exe, the registry seeded
and read with `wine reg`. Needs DISPLAY and QM_TEST_WINEPREFIX (./test sets them up); CTest sets QM_EXE
and QM_INSPECT. Every wait is bounded and says what it expected and what it saw."""

import os
import re
import subprocess
import tempfile
import time
import unittest

CAPTION = "Quillmarrow 2004 Default Settings"
MESSAGE_TITLE = "Quillmarrow Default Settings"
KEY = r"HKCU\Software\Vendrakel\Quillmarrow 2004"
NAMES = ("AllFolders", "TwoPane", "SideMenu")
WM_QUERYENDSESSION, WM_ENDSESSION, ENDSESSION_CLOSEAPP = 0x11, 0x16, 1

PREFIX = os.environ.get("QM_TEST_WINEPREFIX", "")
ENV = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
EXE = os.environ.get("QM_EXE", "")
INSPECT = os.environ.get("QM_INSPECT", "")


def run(*command, check=True):
    """Output and errors of a command, through a file: a pipe would stay open while the helper
    processes a `wine` call may start live."""
    with tempfile.TemporaryFile("w+") as output:
        done = subprocess.run(command, env=ENV, stdout=output, stderr=subprocess.STDOUT, timeout=60)
        output.seek(0)
        text = output.read()
    if check and done.returncode != 0:
        raise AssertionError("%s failed (%d): %s" % (" ".join(command), done.returncode, text))
    return text


def poll(check, expected, what, timeout=15.0):
    """Calls check() until it returns `expected`; fails naming what, expected and the last value seen."""
    end = time.monotonic() + timeout
    while (seen := check()) != expected:
        if time.monotonic() > end:
            raise AssertionError("%s after %.0fs: expected %r, saw %r" % (what, timeout, expected, seen))
        time.sleep(0.1)


def windows(title):
    """The shown X windows with exactly this title."""
    return run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title), check=False).split()


def window(title):
    """Waits for the one shown window with this title."""
    poll(lambda: len(windows(title)), 1, "windows titled %r" % title)
    return windows(title)[0]


def shown(title):
    """The controls of the one shown window with this title, as inspect.exe describes them."""
    return sorted(run("wine", INSPECT, title).splitlines())


def send(message, wparam, lparam):
    """Sends the dialog a message as the system would; its answer."""
    return int(run("wine", INSPECT, str(message), str(wparam), str(lparam), CAPTION))


def press(window_id, *keys):
    """Types keys into a window once focused (no window manager does it; Wine drops keys otherwise)."""
    run("xdotool", "windowraise", window_id, "windowfocus", "--sync", window_id)
    time.sleep(0.3)
    run("xdotool", "key", "--delay", "80", *keys)


def seed(*lines):
    """Replaces the settings key by one holding these lines of a .reg file (one `wine reg` call)."""
    key = KEY.replace("HKCU", "HKEY_CURRENT_USER")
    text = "\r\n".join(["Windows Registry Editor Version 5.00", "[-%s]" % key, "[%s]" % key, *lines, ""])
    with tempfile.NamedTemporaryFile("w", suffix=".reg", encoding="utf-16") as file:
        file.write(text)
        file.flush()
        run("wine", "reg", "import", "Z:" + file.name.replace("/", "\\"))


def stored():
    """The three settings as "True"/"False" when stored as REG_SZ, else as (type, data)."""
    found = {}
    for parts in (line.split(None, 2) for line in run("wine", "reg", "query", KEY, check=False).splitlines()):
        if len(parts) >= 2 and parts[0] in NAMES:
            data = parts[2] if len(parts) > 2 else ""
            found[parts[0]] = data if parts[1] == "REG_SZ" else (parts[1], data)
    return found


def settings(*values):
    return dict(zip(NAMES, ("True" if value else "False" for value in values)))


def start(test):
    """One start of the exe, killed at the end of the test should it still run."""
    process = subprocess.Popen(["wine", EXE], env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    test.addCleanup(process.wait, 10)
    test.addCleanup(process.kill)
    return process


def exit_code(process, after, timeout=15.0):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        raise AssertionError("the program still runs %.0fs after %s" % (timeout, after)) from None


def setUpModule():
    missing = [what for what, there in (("QM_EXE", os.path.isfile(EXE)), ("QM_INSPECT", os.path.isfile(INSPECT)),
                                        ("QM_TEST_WINEPREFIX", PREFIX), ("DISPLAY", os.environ.get("DISPLAY")))
               if not there]
    if missing:
        raise AssertionError("the journeys cannot run without " + ", ".join(missing))
    # One wineserver for all the `wine` calls below instead of a cold start for each.
    run("wineserver", "-p15", check=False)
    run("xdotool", "mousemove", "0", "0")  # off the dialog: no hover, no tooltip


class Journeys(unittest.TestCase):
    def test_odd_values_are_written_back_at_once_and_ok_stores_the_choices(self):
        # Any case of "FALSE" is false; anything else (another type, a blank after it) is true.
        seed('"AllFolders"="fAlSe"', '"TwoPane"=dword:00000000', '"SideMenu"="FALSE "')
        program = start(self)
        dialog = window(CAPTION)
        poll(stored, settings(False, True, True), "settings written back at load")

        # The focus starts on OK; Tab: OK, Cancel, Reset, then the three pairs; arrows choose within one.
        press(dialog, "Tab", "Tab", "Tab", "Up", "Tab", "Down", "Tab", "Tab", "space")
        self.assertEqual(exit_code(program, "OK"), 0)
        self.assertEqual(stored(), settings(True, False, True), "what OK stored")

    def test_second_start_shows_the_message_and_the_end_of_the_session_closes_the_first(self):
        seed('"AllFolders"="FALSE"', '"SideMenu"="no"')
        first = start(self)
        dialog = window(CAPTION)
        press(dialog, "Tab", "Tab", "Tab", "Down")  # Subfolders only -> All folders
        poll(lambda: "option 1 Show all folders" in shown(CAPTION), True, "the choice made")
        before = shown(CAPTION)
        second = start(self)
        message = window(MESSAGE_TITLE)
        self.assertEqual(shown(MESSAGE_TITLE), sorted([
            "icon", "text Quillmarrow Default Settings is already running on your system.",
            "button OK"]))
        self.assertEqual(windows(CAPTION), [dialog], "the second start must not open a dialog")
        self.assertIsNone(second.poll(), "the second start waits for OK on its message")
        press(message, "space")
        self.assertEqual(exit_code(second, "OK on the message"), 0)
        self.assertEqual(windows(MESSAGE_TITLE), [])
        self.assertEqual(shown(CAPTION), before, "the first dialog as it was")

        # A shutdown asked, then called off: the dialog agrees, and stays as it was.
        self.assertEqual(send(WM_QUERYENDSESSION, 0, 0), 1, "the answer to a shutdown's question")
        send(WM_ENDSESSION, 0, 0)
        self.assertEqual(shown(CAPTION), before, "the dialog once the end was called off")
        # The session ends as Restart Manager ends it: the choice made is not stored.
        self.assertEqual(send(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), 1, "the answer to Restart Manager")
        send(WM_ENDSESSION, 1, ENDSESSION_CLOSEAPP)
        self.assertEqual(exit_code(first, "the end of the session"), 0)  # no message on the way
        self.assertEqual(stored(), settings(False, True, True), "only what the load wrote back")
