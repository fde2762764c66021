"""Issue 2: the dialog's face at 96 DPI: caption, size, position, controls, tooltips, focus, Tab order,
keys that must do nothing, and a screenshot for the record."""

import struct
import unittest

import harness
from harness import IDS, DialogTest

INFO_TEXT = (
    'You can right click on a folder in Windows Explorer and click on "Let Quillmarrow create a '
    'shortcut" on the context menu. That is the fastest way to work with Quillmarrow. The default '
    "name and settings will be applied."
)

# name: (kind, caption, left, top, width, height in twips, frame holding it)
LAYOUT = {
    "cmdOK": ("push", "OK", 2310, 2340, 1140, 345, None),
    "cmdReset": ("push", "Reset", 5115, 2340, 1140, 345, None),
    "fraShortcutLocation": ("frame", "Shortcut location", 5723, 975, 2670, 1020, None),
    "optSideMenu": ("radio", "Put shortcut on side menu", 135, 270, 2460, 270, "fraShortcutLocation"),
    "optStartMenu": ("radio", "Put shortcut on Start Menu", 135, 645, 2460, 270, "fraShortcutLocation"),
    "fraWindowStyle": ("frame", "Window style", 2978, 975, 2670, 1020, None),
    "optFolderWindow": ("radio", "Show folder window only", 135, 645, 2460, 270, "fraWindowStyle"),
    "optTwoPane": ("radio", "Show two-pane window", 135, 270, 2460, 270, "fraWindowStyle"),
    "fraFolderTree": ("frame", "Folder tree", 233, 975, 2670, 1020, None),
    "optSubfoldersOnly": ("radio", "Show subfolders only", 135, 645, 2460, 270, "fraFolderTree"),
    "optAllFolders": ("radio", "Show all folders", 135, 270, 2460, 270, "fraFolderTree"),
    "cmdCancel": ("push", "Cancel", 3705, 2340, 1140, 345, None),
    "lblOptionInfo": ("label", INFO_TEXT, 210, 270, 8160, 405, None),
}

TOOLTIPS = {
    IDS["cmdOK"]: "Click here to make the current settings default and exit",
    IDS["cmdCancel"]: "Click here to exit without changing the default settings",
    IDS["cmdReset"]: "Click here to return to the current default settings",
}

WS_THICKFRAME = 0x00040000
WS_CAPTION = 0x00C00000
BS_TYPEMASK = 0xF
BUTTON_TYPES = {"push": {0x0}, "frame": {0x7}, "radio": {0x4, 0x9}}  # no BS_DEFPUSHBUTTON (1)


def pixels(twips, dpi=96):
    return (twips * dpi + 720) // 1440


def expected_rect(name, dpi=96):
    _, _, left, top, width, height, frame = LAYOUT[name]
    if frame:
        left += LAYOUT[frame][2]
        top += LAYOUT[frame][3]
    x, y = pixels(left, dpi), pixels(top, dpi)
    return [x, y, x + pixels(width, dpi), y + pixels(height, dpi)]


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        raise AssertionError(path + " is not a PNG")
    return struct.unpack(">II", header[16:24])


def setUpModule():
    harness.start_module()


def tearDownModule():
    harness.stop_module()


class FaceTest(DialogTest):
    def test_window_caption_size_border_and_position(self):
        _, window = self.open_dialog()
        self.assertEqual(window["title"], harness.CAPTION)
        self.assertEqual(window["client"][2:], [572, 201], "client area at 96 DPI")
        self.assertFalse(window["style"] & WS_THICKFRAME, "the border must not be sizeable")
        self.assertEqual(window["style"] & WS_CAPTION, WS_CAPTION)
        left, top, right, bottom = window["rect"]
        screen_width, screen_height = window["screen"]
        self.assertLessEqual(abs((left + right) - screen_width), 2, "centred horizontally")
        self.assertLessEqual(abs((top + bottom) - screen_height), 2, "centred vertically")

    def test_controls_texts_kinds_and_rectangles(self):
        _, window = self.open_dialog()
        children = {child["id"]: child for child in window["children"] if child["parent"] == window["hwnd"]}
        for name, (kind, caption, *_rest) in LAYOUT.items():
            with self.subTest(control=name):
                child = children.get(IDS[name])
                self.assertIsNotNone(child, "%s (id %d) is a direct child of the dialog" % (name, IDS[name]))
                self.assertEqual(child["text"], caption)
                self.assertEqual(child["rect"], expected_rect(name))
                self.assertTrue(child["visible"] and child["enabled"])
                if kind == "label":
                    self.assertEqual(child["class"].lower(), "static")
                else:
                    self.assertEqual(child["class"].lower(), "button")
                    self.assertIn(child["style"] & BS_TYPEMASK, BUTTON_TYPES[kind])

    def test_everything_scales_at_144_dpi(self):
        session = self.session
        session.set_value(r"Control Panel\Desktop", "LogPixels", harness.REG_DWORD, harness.dword(144))
        self.addCleanup(session.set_value, r"Control Panel\Desktop", "LogPixels", harness.REG_DWORD,
                        harness.dword(96))
        _, window = self.open_dialog()
        session.xdotool("mousemove", 0, 0)
        session.screenshot("dialog-144dpi.png", window["rect"])  # for a look at the text
        self.assertEqual(window["client"][2:], [pixels(8580, 144), pixels(3015, 144)])
        children = {child["id"]: child for child in window["children"]}
        for name in LAYOUT:
            with self.subTest(control=name):
                self.assertEqual(children[IDS[name]]["rect"], expected_rect(name, 144))

    def test_tooltips_only_on_the_command_buttons(self):
        session = self.session
        _, window = self.open_dialog()
        # The tooltips are made when the pointer first comes over the window.
        ok = session.control(window, IDS["cmdOK"])
        left, top, right, bottom = ok["rect"]
        x, y = window["client"][0] + (left + right) // 2, window["client"][1] + (top + bottom) // 2
        session.xdotool("mousemove", x + 3, y + 3, "mousemove", x, y)
        tools = harness.deadline_poll(lambda: session.inspector.query("tooltips", window["pid"]), 5.0,
                                      what="the tooltips after pointing at the dialog")
        if tools and not all(tool["resolved"] for tool in tools):
            self.skipTest("tooltip texts are supplied on demand and cannot be read from outside")
        found = {tool["id"]: tool["text"] for tool in tools if tool["text"]}
        self.assertEqual(found, TOOLTIPS)

    def test_focus_starts_on_ok_and_tab_cycles_through_six_stops(self):
        _, window = self.open_dialog()
        session = self.session
        hwnd = window["hwnd"]
        self.assertEqual(window["focus"]["id"], IDS["cmdOK"], "focus on OK when the dialog opens")
        forward = ["cmdCancel", "cmdReset", "optAllFolders", "optTwoPane", "optSideMenu", "cmdOK"]
        for name in forward:
            session.keys(window, "Tab")
            session.wait_focus(IDS[name])
        for name in reversed(["cmdOK"] + forward[:-1]):
            session.keys(window, "shift+Tab")
            session.wait_focus(IDS[name])
        # The stop of a pair is its selected button, also when that is the lower one.
        session.click(window, IDS["optFolderWindow"],
                      until=lambda: session.selections(hwnd)["TwoPane"] is False)
        session.keys(window, "shift+Tab")
        session.wait_focus(IDS["optAllFolders"])
        session.keys(window, "Tab")
        session.wait_focus(IDS["optFolderWindow"])

    def test_enter_and_escape_press_nothing(self):
        app, window = self.open_dialog()
        session = self.session
        hwnd = window["hwnd"]
        before = session.settings()
        session.keys(window, "Escape", "Return")  # focus on OK
        session.keys(window, "Tab")  # Cancel
        session.keys(window, "Escape", "Return")
        session.keys(window, "Tab", "Tab")  # the Folder tree pair
        session.wait_focus(IDS["optAllFolders"])
        session.keys(window, "Return", "Escape")
        # A message round trip through the dialog proves the keys were handled before we look.
        self.assertEqual(session.focus_id(hwnd), IDS["optAllFolders"])
        self.assertTrue(app.running(), "Enter or Esc closed the program")
        self.assertTrue(session.window(hwnd)["visible"])
        self.assertEqual(session.settings(), before)

    def test_screenshot_artifact(self):
        _, window = self.open_dialog()
        self.session.xdotool("mousemove", 0, 0)  # no tooltip in the picture
        left, top, right, bottom = window["rect"]
        path = self.session.screenshot("dialog.png", window["rect"])
        self.assertEqual(png_size(path), (right - left, bottom - top))


if __name__ == "__main__":
    unittest.main()
