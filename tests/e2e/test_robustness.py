"""Issue 5: the dialog under abuse: another process rewriting the values while it is open, and a
journey made with the keyboard alone."""

import subprocess
import tempfile
import unittest

import harness
from harness import IDS, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_SZ, DialogTest, dword, sz

KEY = harness.SETTINGS_KEY


def setUpModule():
    harness.start_module()


def tearDownModule():
    harness.stop_module()


class RobustnessTest(DialogTest):
    def setUp(self):
        super().setUp()
        self.session.delete_key(harness.PARENT_KEY)

    def reset_until(self, window, expected):
        session = self.session
        session.click(window, IDS["cmdReset"], until=lambda: session.selections(window["hwnd"]) == expected)

    def test_reset_and_ok_while_another_process_rewrites_the_values(self):
        session = self.session
        app, window = self.open_dialog()
        rounds = [
            ({"AllFolders": (REG_SZ, sz("False")), "TwoPane": (REG_SZ, sz("False")), "SideMenu": (REG_SZ, sz("True"))},
             (False, False, True)),
            ({"AllFolders": (REG_SZ, sz("FALSE")), "TwoPane": (REG_DWORD, dword(0)), "SideMenu": (REG_SZ, sz("no"))},
             (False, True, True)),
            ({"AllFolders": (REG_BINARY, "0000"), "TwoPane": (REG_MULTI_SZ, sz("False") + "0000"),
              "SideMenu": (REG_SZ, sz("fAlSe"))},
             (True, True, False)),
            (None, (True, True, True)),  # the whole key deleted
        ]
        for stored, shown in rounds:
            with self.subTest(stored=stored):
                session.delete_key(KEY)
                for name, (value_type, data) in (stored or {}).items():
                    session.set_value(KEY, name, value_type, data)
                expected = dict(zip(harness.VALUE_NAMES, shown))
                self.reset_until(window, expected)
                self.assertEqual(session.settings(),
                                 {name: "True" if value else "False" for name, value in expected.items()})
                self.assertTrue(app.running())

        # A writer that never stops while Reset is pressed again and again: the dialog survives.
        with tempfile.TemporaryFile() as log:
            writer = subprocess.Popen(
                ["wine", session.inspector.path, "reg-churn", KEY, "4000"] + list(harness.VALUE_NAMES),
                env=session.prefix.env, stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
            try:
                reset = session.control(window, IDS["cmdReset"])
                for _ in range(8):
                    session.click_at(window["client"][0] + (reset["rect"][0] + reset["rect"][2]) // 2,
                                     window["client"][1] + (reset["rect"][1] + reset["rect"][3]) // 2)
                    self.assertIsNotNone(session.state(window["hwnd"]), "the dialog vanished")
                self.assertEqual(writer.wait(60), 0)
                log.seek(0)
                self.assertIn('"writes"', log.read().decode(errors="replace"), "the writer ran")
            finally:
                if writer.poll() is None:
                    writer.kill()
                    writer.wait(10)
        self.assertTrue(app.running())

        session.delete_key(KEY)
        session.set_value(KEY, "TwoPane", REG_SZ, sz("False"))
        self.reset_until(window, {"AllFolders": True, "TwoPane": False, "SideMenu": True})
        session.click(window, IDS["optSubfoldersOnly"],
                      until=lambda: session.selections(window["hwnd"])["AllFolders"] is False)
        session.click(window, IDS["cmdOK"], until=lambda: not app.running())
        self.assertEqual(session.settings(), {"AllFolders": "False", "TwoPane": "False", "SideMenu": "True"})

    def test_keyboard_only_journey(self):
        session = self.session
        app, window = self.open_dialog()
        hwnd = window["hwnd"]

        def expect(focus, selections):
            session.wait_focus(IDS[focus])
            session.wait_selections(hwnd, dict(zip(harness.VALUE_NAMES, selections)))

        expect("cmdOK", (True, True, True))
        session.keys(window, "Tab", "Tab", "Tab")
        expect("optAllFolders", (True, True, True))
        session.keys(window, "Down")
        expect("optSubfoldersOnly", (False, True, True))
        # Arrows stay inside the pair: they neither leave the frame nor touch the other pairs.
        for key in ("Down", "Right", "Up", "Left"):
            session.keys(window, key)
            focus, _ = session.state(hwnd)
            self.assertIn(focus, (IDS["optAllFolders"], IDS["optSubfoldersOnly"]), "after " + key)
            self.assertEqual(session.selections(hwnd)["TwoPane"], True)
            self.assertEqual(session.selections(hwnd)["SideMenu"], True)
        if session.focus_id(hwnd) != IDS["optSubfoldersOnly"]:
            session.keys(window, "Down")
        expect("optSubfoldersOnly", (False, True, True))
        session.keys(window, "Tab", "Down")
        expect("optFolderWindow", (False, False, True))

        # Space on Reset brings back what is stored; the dialog stays open.
        session.keys(window, "Tab", "Tab", "Tab", "Tab")
        expect("cmdReset", (False, False, True))
        session.keys(window, "space")
        session.wait_selections(hwnd, dict.fromkeys(harness.VALUE_NAMES, True))
        self.assertTrue(app.running())

        # Again, and this time Space on OK.
        session.keys(window, "Tab", "Tab", "Tab", "Down")
        expect("optStartMenu", (True, True, False))
        session.keys(window, "Tab")
        expect("cmdOK", (True, True, False))
        session.keys(window, "space")
        self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(session.settings(), {"AllFolders": "True", "TwoPane": "True", "SideMenu": "False"})


if __name__ == "__main__":
    unittest.main()
