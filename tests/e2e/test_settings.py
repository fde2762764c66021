"""Issue 4: the three defaults on the real registry: first run, odd stored values and their repair,
OK, Cancel, the close button, Reset after an outside change, and neighbours left untouched."""

import unittest

import harness
from harness import IDS, PAIRS, REG_BINARY, REG_DWORD, REG_EXPAND_SZ, REG_MULTI_SZ, REG_SZ, DialogTest, dword, sz

KEY = harness.SETTINGS_KEY
TRUE3 = {"AllFolders": "True", "TwoPane": "True", "SideMenu": "True"}
FALSE3 = {"AllFolders": "False", "TwoPane": "False", "SideMenu": "False"}


def setUpModule():
    harness.start_module()


def tearDownModule():
    harness.stop_module()


class SettingsTest(DialogTest):
    def setUp(self):
        super().setUp()
        self.session.delete_key(harness.PARENT_KEY)

    def seed(self, **values):
        """Stores values given as text (REG_SZ) or as (type, hex)."""
        for name, value in values.items():
            value_type, data = (REG_SZ, sz(value)) if isinstance(value, str) else value
            self.session.set_value(KEY, name, value_type, data)

    def choose(self, window, *names):
        session = self.session
        for name in names:
            value = next(v for v, pair in PAIRS.items() if name in pair)
            want = PAIRS[value][0] == name
            session.click(window, IDS[name], until=lambda v=value, w=want: session.selections(window["hwnd"])[v] is w)

    def assert_shows(self, window, expected):
        self.assertEqual(self.session.selections(window["hwnd"]), expected)

    def test_first_run_creates_the_key_with_three_true(self):
        session = self.session
        self.assertIsNone(session.values(), "no settings key before the first run")
        app, window = self.open_dialog()
        self.assert_shows(window, {"AllFolders": True, "TwoPane": True, "SideMenu": True})
        self.assertEqual(session.settings(), TRUE3)
        self.assertEqual({t for t, _ in session.values().values()}, {REG_SZ})
        self.assertEqual(session.registry(KEY)["class"], "REG_DWORD", "class of the key a write creates")
        session.click(window, IDS["cmdCancel"], until=lambda: not app.running())
        self.assertEqual(session.settings(), TRUE3)

    def test_odd_values_are_normalised_and_rewritten(self):
        # (stored AllFolders, TwoPane, SideMenu) -> what the dialog must show
        cases = [
            (("FALSE", "fAlSe", "0"), (False, False, True)),
            ((" false", (REG_DWORD, dword(0)), "false"), (True, True, False)),
            (("no", "", "false "), (True, True, True)),
            (((REG_EXPAND_SZ, sz("FALSE")), (REG_MULTI_SZ, sz("False") + "0000"), (REG_BINARY, "46414c5345")),
             (True, True, True)),
            (((REG_SZ, sz("FALSE\0Junk")), "Yes", "False"), (False, True, False)),
        ]
        session = self.session
        for stored, shown in cases:
            with self.subTest(stored=stored):
                session.delete_key(KEY)
                self.seed(**dict(zip(harness.VALUE_NAMES, stored)))
                app, window = self.open_dialog()
                expected = dict(zip(harness.VALUE_NAMES, shown))
                self.assert_shows(window, expected)
                rewritten = {name: "True" if value else "False" for name, value in expected.items()}
                self.assertEqual(session.settings(), rewritten, "the load writes canonical texts back")
                session.click(window, IDS["cmdCancel"], until=lambda: not app.running())
                self.assertEqual(session.settings(), rewritten)

    def test_ok_stores_the_choices_and_ends_the_program(self):
        session = self.session
        app, window = self.open_dialog()
        self.choose(window, "optSubfoldersOnly", "optFolderWindow", "optStartMenu")
        self.assertEqual(session.settings(), TRUE3, "nothing is stored before OK")
        session.click(window, IDS["cmdOK"], until=lambda: not app.running())
        self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(session.settings(), FALSE3)
        self.assertEqual({t for t, _ in session.values().values()}, {REG_SZ})

        app, window = self.open_dialog()
        self.assert_shows(window, {"AllFolders": False, "TwoPane": False, "SideMenu": False})
        self.choose(window, "optTwoPane")
        session.click(window, IDS["cmdOK"], until=lambda: not app.running())
        self.assertEqual(session.settings(), {"AllFolders": "False", "TwoPane": "True", "SideMenu": "False"})

    def test_cancel_stores_nothing_beyond_the_load(self):
        session = self.session
        self.seed(AllFolders="FALSE", TwoPane="x", SideMenu="False")
        app, window = self.open_dialog()
        self.choose(window, "optAllFolders", "optFolderWindow", "optSideMenu")
        session.click(window, IDS["cmdCancel"], until=lambda: not app.running())
        self.assertEqual(session.settings(), {"AllFolders": "False", "TwoPane": "True", "SideMenu": "False"})

    def test_close_button_stores_nothing_beyond_the_load(self):
        session = self.session
        self.seed(AllFolders="fAlSe", TwoPane="TRUE", SideMenu="FALSE")
        app, window = self.open_dialog()
        if not window["style"] & 0x00080000:  # WS_SYSMENU: no close button to press
            self.skipTest("the window offers no close button")
        self.choose(window, "optAllFolders", "optFolderWindow", "optSideMenu")
        left, top, right, _ = window["rect"]
        border = window["client"][0] - left
        caption = window["client"][1] - top - border
        # Wine draws the close button as the right-most square of the caption.
        x, y = right - border - caption // 2, top + border + caption // 2
        for _ in range(3):
            session.click_at(x, y)
            try:
                harness.deadline_poll(lambda: not app.running(), 5, what="the close button to end the program")
                break
            except harness.Failure:
                continue
        self.assertFalse(app.running())
        self.assertEqual(session.settings(), {"AllFolders": "False", "TwoPane": "True", "SideMenu": "False"})

    def test_reset_shows_what_another_writer_stored(self):
        session = self.session
        app, window = self.open_dialog()
        self.choose(window, "optSubfoldersOnly", "optFolderWindow")
        self.seed(AllFolders="True", TwoPane="FALSE", SideMenu=(REG_DWORD, dword(0)))
        session.click(window, IDS["cmdReset"],
                      until=lambda: session.selections(window["hwnd"])["AllFolders"] is True)
        self.assert_shows(window, {"AllFolders": True, "TwoPane": False, "SideMenu": True})
        self.assertEqual(session.settings(), {"AllFolders": "True", "TwoPane": "False", "SideMenu": "True"})
        self.assertTrue(app.running(), "Reset keeps the dialog open")
        self.choose(window, "optStartMenu")
        session.click(window, IDS["cmdOK"], until=lambda: not app.running())
        self.assertEqual(session.settings(), {"AllFolders": "True", "TwoPane": "False", "SideMenu": "False"})

    def test_failed_save_is_reported_not_passed_off_as_success(self):
        session = self.session
        self.seed(AllFolders="FALSE", TwoPane="no", SideMenu="fAlSe")
        before = session.values()
        session.inspector.run("reg-protect", KEY, "on")
        self.addCleanup(session.inspector.run, "reg-protect", KEY, "off")
        # The key can no longer be written: the load's repair fails silently, the save must not.
        app, window = self.open_dialog()
        self.assertEqual(session.windows("#32770"), [], "the load's write-back stays silent")
        self.choose(window, "optSubfoldersOnly", "optTwoPane")
        session.click(window, IDS["cmdOK"], until=lambda: session.windows("#32770"))
        [box] = session.message_boxes(1)
        self.assertEqual(box["title"], harness.MESSAGE_TITLE)
        texts = [c["text"] for c in box["children"] if c["class"].lower() == "static" and c["text"]]
        self.assertEqual(texts, [harness.SAVE_FAILED])
        self.assertEqual([c.get("icon") for c in box["children"] if "icon" in c], ["error"])
        session.raise_titled(harness.MESSAGE_TITLE)
        session.click(box, 1, until=lambda: not app.running())
        self.assertEqual(session.windows(harness.WINDOW_CLASS, hidden=True), [])
        session.inspector.run("reg-protect", KEY, "off")
        self.assertEqual(session.values(), before, "nothing was written")

    def test_other_values_and_keys_are_left_byte_for_byte(self):
        session = self.session
        neighbours = {
            KEY: [("Other", REG_BINARY, "00ff10"), ("", REG_SZ, sz("default value")),
                  ("AllFoldersX", REG_SZ, sz("FALSE")), ("Count", REG_DWORD, dword(7))],
            KEY + r"\Sub": [("Inner", REG_SZ, sz("keep me"))],
            harness.PARENT_KEY: [("TwoPane", REG_SZ, sz("FALSE")), ("Blob", REG_BINARY, "")],
            harness.PARENT_KEY + r"\Quillmarrow 2003": [("AllFolders", REG_SZ, sz("fAlSe"))],
        }
        for key, values in neighbours.items():
            for name, value_type, data in values:
                session.set_value(key, name, value_type, data)
        self.seed(AllFolders="FALSE")
        before = {key: session.registry(key) for key in neighbours}

        app, window = self.open_dialog()
        self.choose(window, "optAllFolders", "optFolderWindow")
        session.click(window, IDS["cmdOK"], until=lambda: not app.running())

        self.assertEqual(session.settings(), {"AllFolders": "True", "TwoPane": "False", "SideMenu": "True"})
        after = {key: session.registry(key) for key in neighbours}
        ours = set(harness.VALUE_NAMES)
        for key in neighbours:
            with self.subTest(key=key):
                if key == KEY:
                    for report in (before[key], after[key]):
                        report["values"] = [v for v in report["values"] if v["name"] not in ours]
                self.assertEqual(after[key], before[key])


if __name__ == "__main__":
    unittest.main()
