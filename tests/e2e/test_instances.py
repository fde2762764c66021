"""Issues 2 and 5: one instance at a time. A second start shows only the information message and ends
after OK; ten starts at once leave one dialog and nine messages, and no process behind."""

import os
import unittest

import harness
from harness import IDS, DialogTest

IDOK = 1


def setUpModule():
    harness.start_module()


def tearDownModule():
    harness.stop_module()


class InstanceTest(DialogTest):
    def assert_already_running_box(self, box, covered=False):
        """The message's title, prompt, icon and single button. The icon is recognised by its pixels,
        so a box that other boxes cover may show as "unknown"."""
        self.assertEqual(box["title"], harness.MESSAGE_TITLE)
        texts = [c["text"] for c in box["children"] if c["class"].lower() == "static" and c["text"]]
        self.assertEqual(texts, [harness.ALREADY_RUNNING])
        icons = [c.get("icon") for c in box["children"] if "icon" in c]
        self.assertIn(icons, (["information"], ["unknown"]) if covered else (["information"],))
        buttons = [c["text"] for c in box["children"] if c["class"].lower() == "button"]
        self.assertEqual(buttons, ["OK"])
        return icons == ["information"]

    def test_second_instance_shows_message_and_leaves_first_alone(self):
        session = self.session
        first, window = self.open_dialog()
        session.click(window, IDS["optSubfoldersOnly"],
                      until=lambda: session.selections(window["hwnd"])["AllFolders"] is False)
        before = session.state(window["hwnd"])
        stored = session.settings()

        second = session.launch()
        [box] = session.message_boxes(1)
        self.assert_already_running_box(box)
        self.assertNotEqual(box["pid"], window["pid"])
        self.assertEqual(len(session.windows(harness.WINDOW_CLASS, hidden=True)), 1,
                         "the second instance must not create a dialog")
        session.raise_titled(harness.MESSAGE_TITLE)
        session.click(box, IDOK, until=lambda: not second.running())
        second.wait_exit()

        self.assertTrue(first.running())
        [still] = session.windows(harness.WINDOW_CLASS)
        self.assertEqual(still["hwnd"], window["hwnd"])
        self.assertEqual(session.state(window["hwnd"])[1], before[1], "the first dialog's selections")
        self.assertEqual(session.settings(), stored)

    def test_ten_launches_at_once_leave_one_dialog(self):
        session = self.session
        apps = [session.launch() for _ in range(10)]
        boxes = session.message_boxes(9, timeout=90)
        dialogs = session.inspector.wait("--class", harness.WINDOW_CLASS, "--checked", 3, "--details",
                                         timeout=60)["windows"]
        self.assertEqual(len(dialogs), 1)
        self.assertEqual(len(session.windows(harness.WINDOW_CLASS, hidden=True)), 1)
        for box in boxes:
            self.assert_already_running_box(box, covered=True)

        # One box after the other: each in turn is on top, shows its icon and closes with OK.
        for remaining in range(9, 0, -1):
            session.raise_titled(harness.MESSAGE_TITLE)
            boxes = session.message_boxes(remaining)
            shown = [self.assert_already_running_box(box, covered=True) for box in boxes]
            self.assertIn(True, shown, "the box on top shows the information icon")
            top = boxes[0]
            # A box uncovered by the one before is not in the foreground: its first click may be lost.
            session.click(top, IDOK, until=lambda r=remaining: len(session.windows("#32770")) == r - 1,
                          timeout=1.5, attempts=4)
        self.assertEqual(len(session.windows("#32770")), 0)
        harness.deadline_poll(lambda: sum(app.running() for app in apps) == 1, 30,
                              what="the nine second instances to end")

        [window] = session.windows(harness.WINDOW_CLASS)
        dialog = session.window(window["hwnd"])
        survivor = next(app for app in apps if app.running())
        session.click(dialog, IDS["cmdCancel"], until=lambda: not survivor.running())
        session.wait_gone(harness.WINDOW_CLASS)
        exe = os.path.basename(session.exe).lower()
        left = [p for p in session.inspector.query("processes") if p["exe"].lower() == exe]
        self.assertEqual(left, [], "no instance may be left running")


if __name__ == "__main__":
    unittest.main()
