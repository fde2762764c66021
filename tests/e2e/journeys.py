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

PREFIX = os.environ.get("QM_TEST_WINEPREFIX", "")
ENV = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
EXE = os.environ.get("QM_EXE", "")
INSPECT = os.environ.get("QM_INSPECT", "")


def run(*command, check=True):
    """Output and errors of a command. Through a file, not a pipe: the helper processes that a `wine`
    call may start inherit it and would hold a pipe open for as long as they live."""
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
    while True:
        seen = check()
        if seen == expected:
            return seen
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


def selected(title):
    """The captions of the selected option buttons of the window with this title."""
    return [line.split(" ", 2)[2] for line in shown(title) if line.startswith("option 1 ")]


def press(window_id, *keys):
    """Types keys into a window after giving it the input focus (there is no window manager to do it,
    and Wine drops keys that reach a window it has not activated)."""
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
    lines = run("wine", "reg", "query", KEY, check=False).splitlines()
    found = {}
    for line in lines:
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] in NAMES:
            kind, data = parts[1], parts[2] if len(parts) > 2 else ""
            found[parts[0]] = data if kind == "REG_SZ" else (kind, data)
    return found


def settings(all_folders, two_pane, side_menu):
    return dict(zip(NAMES, ("True" if v else "False" for v in (all_folders, two_pane, side_menu))))


class Program:
    """One start of the exe; killed at the end of the test should it still run."""

    def __init__(self, test):
        self.process = subprocess.Popen(["wine", EXE], env=ENV, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        test.addCleanup(self.process.wait, 10)
        test.addCleanup(self.process.kill)

    def running(self):
        return self.process.poll() is None

    def exit_code(self, after, timeout=15.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            message = "expected the program to end after %s; still running %.0fs later" % (after, timeout)
            raise AssertionError(message) from None


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
    def test_ok_stores_the_choices_reset_reads_them_again_and_cancel_stores_nothing(self):
        # Odd stored values: any case of "FALSE" is false, anything else (types, spaces) is true.
        seed('"AllFolders"="fAlSe"', '"TwoPane"=dword:00000000', '"SideMenu"="FALSE "')
        program = Program(self)
        dialog = window(CAPTION)
        poll(stored, settings(False, True, True), "settings written back at load")

        # The focus starts on OK; Tab: OK, Cancel, Reset, then the three pairs; arrows choose within one.
        press(dialog, "Tab", "Tab", "Tab", "Up", "Tab", "Down", "Tab", "Tab", "space")
        self.assertEqual(program.exit_code("OK"), 0)
        self.assertEqual(stored(), settings(True, False, True), "what OK stored")

        # Reset shows what another program stored meanwhile, and writes it back; Cancel stores nothing.
        program = Program(self)
        dialog = window(CAPTION)
        press(dialog, "Tab", "Tab", "Tab", "Down")  # All folders -> Subfolders only
        seed('"AllFolders"="tRuE"', '"TwoPane"=dword:00000000', '"SideMenu"="false"')
        press(dialog, "shift+Tab", "space")  # Reset
        poll(lambda: selected(CAPTION), ["Put shortcut on Start Menu", "Show all folders", "Show two-pane window"],
             "the choices shown after Reset")
        self.assertEqual(stored(), settings(True, True, False), "written back by Reset")
        press(dialog, "Tab", "Down", "shift+Tab", "shift+Tab", "space")  # Subfolders only; Cancel
        self.assertEqual(program.exit_code("Cancel"), 0)
        self.assertEqual(stored(), settings(True, True, False), "Cancel stores nothing")

    def test_second_start_shows_the_message_and_the_end_of_the_session_closes_the_first(self):
        seed('"AllFolders"="FALSE"', '"SideMenu"="no"')
        first = Program(self)
        dialog = window(CAPTION)
        press(dialog, "Tab", "Tab", "Tab", "Down")  # Subfolders only -> All folders
        poll(lambda: "option 1 Show all folders" in shown(CAPTION), True, "the choice made")
        before = shown(CAPTION)
        second = Program(self)
        message = window(MESSAGE_TITLE)
        self.assertEqual(shown(MESSAGE_TITLE), sorted([
            "icon", "text Quillmarrow Default Settings is already running on your system.",
            "button OK"]))
        self.assertEqual(windows(CAPTION), [dialog], "the second start must not open a dialog")
        self.assertTrue(second.running(), "the second start waits for OK on its message")

        press(message, "space")
        self.assertEqual(second.exit_code("OK on the message"), 0)
        self.assertEqual(windows(MESSAGE_TITLE), [])
        self.assertEqual(windows(CAPTION), [dialog], "the first dialog is still there")
        self.assertEqual(shown(CAPTION), before, "the first dialog as it was")

        # The session ends as Restart Manager ends it: the choice made is not stored.
        self.assertEqual(run("wine", INSPECT, "--end-session", CAPTION).split(), ["query", "1"])
        self.assertEqual(first.exit_code("the end of the session"), 0)  # no message on the way
        self.assertEqual(stored(), settings(False, True, True), "only what the load wrote back")

if __name__ == "__main__":
    unittest.main()
