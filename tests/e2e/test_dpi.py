"""The program on screens of 150 % and 200 %: under Wine with LogPixels 144 and 192 (a prefix
of its own, see scaled_screen.py) every window is its 96-dpi design scaled. The main
window's controls, the Options dialog's and the About box's client areas and controls
stand at 1.5 and 2 times their designed rectangles, their fonts grow with them so that no
caption or label is clipped, and the hover buttons draw their frames one design pixel
deep."""

import os
import time

import harness
import scaled_screen
import test_about as about_design
import test_main_window as mw
import test_options as options_design
from harness import wait_until
from scaled_screen import scaled, scaled_box

# The About box's client area at 96 dpi: its designed outer 291 x 243 less Wine's frame
# of a sizeable tool window.
ABOUT_CLIENT_96 = (283, 219)

LABELS = ("List of selected folders:", "Width:", "Height:")
LABEL_PLACES = {"List of selected folders:": (248, 0), "Width:": (200, 352), "Height:": (200, 368)}
HOVER_BUTTONS = {mw.SELECT_BUTTON: ("  >>", "Comic Sans MS", True), mw.UNSELECT_BUTTON: ("  <<", "Comic Sans MS", True),
                 mw.SET_BUTTON: (" Set as wallpaper", "Arial", False), mw.CLOSE_BUTTON: ("Close", "Arial", False)}


class ScaledScreenScenario(mw.MainWindowScenario):
    dpi = 144

    @classmethod
    def setUpClass(cls):
        cls.screen = scaled_screen.ScaledScreen(cls.dpi)
        cls.screen.enter()
        try:
            super().setUpClass()
        except BaseException:
            cls.screen.leave()
            raise

    @classmethod
    def tearDownClass(cls):
        try:
            super().tearDownClass()
        finally:
            cls.screen.leave()

    def setUp(self):
        super().setUp()
        extent = self.text_extent("Arial", 8, False, "Close")
        self.assertEqual(extent["dpi"], self.dpi, "the prefix's screen is not at the scale under test")

    # ---- measuring ----
    def text_extent(self, face, points, bold, text):
        """What one line of text needs at the screen's DPI (measured by the driver)."""
        return self.driver.call("text_extent", face, points, bold, text)

    def assert_placed(self, rect, origin, design, what, check_height=True):
        """A screen rectangle stands at the design rectangle scaled, within a pixel."""
        x, y, w, h = scaled_box(design, self.dpi)
        got = (rect[0] - origin[0], rect[1] - origin[1], rect[2] - rect[0], rect[3] - rect[1])
        want = (x, y, w, h) if check_height else (x, y, w, got[3])
        self.assertTrue(all(abs(g - e) <= 1 for g, e in zip(got, want)), "%s at %r, not at %r (%r scaled)" % (
            what, got, want, design))

    def assert_holds(self, rect, face, bold, text, what, room=0):
        """A control's rectangle holds its caption in its font at this DPI, with room
        (design pixels) beside it for a check box's mark or a margin."""
        need = self.text_extent(face, 8, bold, text)
        width, height = rect[2] - rect[0], rect[3] - rect[1]
        self.assertGreaterEqual(width, need["width"] + scaled(room, self.dpi), "%s clips %r" % (what, text))
        self.assertGreaterEqual(height, need["height"], "%s clips %r" % (what, text))

    # ---- scenarios ----
    def test_main_window_controls_and_captions_scaled(self):
        # The start-up window and its picture: 566 x 283 fitted to the scaled 465-wide
        # frame, one row short of the window's scaled 233.
        app = self.start()
        startup = app.wait_window(harness.STARTUP_CLASS, timeout=20)
        left, top, right, bottom = startup.info()["client"]
        self.assertEqual([abs(right - left - scaled(457, self.dpi)) <= 1, bottom - top], [True, scaled(233, self.dpi)])
        def rows():
            shot = startup.capture(os.path.join(self.dir, "startup.bmp"), client=True)
            last = {shot.pixel(x, shot.height - 1) for x in range(0, shot.width, 3)}
            above = {shot.pixel(x, shot.height - 2) for x in range(0, shot.width, 3)}
            return last, above
        # The picture may not be painted yet when the window first shows: wait for it.
        deadline = time.monotonic() + 5
        last, above = rows()
        while len(last) == 1 and next(iter(last)) in above and time.monotonic() < deadline:
            time.sleep(0.1)
            last, above = rows()
        self.assertEqual(len(last), 1, "the picture is taller than its fitted height")
        self.assertNotIn(next(iter(last)), above, "the picture does not reach the window's last rows")
        main = app.wait_main(timeout=30)
        origin = main.client_rect()[:2]
        children = main.children()
        for cls, box in (("SysTreeView32", mw.TREE), ("ListBox", mw.SELECTED_LIST), ("TImage", mw.PREVIEW)):
            found = [c for c in children if c["class"] == cls and abs(c["rect"][0] - origin[0] - scaled(box[0], self.dpi)) <= 1
                     and abs(c["rect"][1] - origin[1] - scaled(box[1], self.dpi)) <= 1]
            self.assertEqual(len(found), 1, "%s near %r: %r" % (cls, box, [(c["class"], c["rect"]) for c in children]))
            self.assert_placed(found[0]["rect"], origin, box, cls)
        # The file list keeps to whole lines: its ten designed lines at the scaled line height.
        files = [c for c in children if c["class"] == "ListBox" and c not in found and
                 abs(c["rect"][1] - origin[1] - scaled(mw.FILE_LIST[1], self.dpi)) <= 1]
        self.assertEqual(len(files), 1)
        self.assert_placed(files[0]["rect"], origin, mw.FILE_LIST, "FileLB", check_height=False)
        file_list = harness.Window(self.driver, files[0]["hwnd"])
        inner = file_list.client_rect()
        self.assertEqual(inner[3] - inner[1], 10 * scaled(15, self.dpi), "FileLB does not show 10 whole lines")
        self.assertLessEqual(abs(files[0]["rect"][3] - origin[1] - scaled(184 + 154, self.dpi)), scaled(15, self.dpi) // 2)

        # Labels at their scaled places, each as large as its text in the scaled font.
        statics = {c["text"]: c["rect"] for c in children if c["class"] == "Static"}
        for text in LABELS:
            x, y = LABEL_PLACES[text]
            rect = statics[text]
            self.assertLessEqual(abs(rect[0] - origin[0] - scaled(x, self.dpi)), 1, text)
            self.assertLessEqual(abs(rect[1] - origin[1] - scaled(y, self.dpi)), 1, text)
            self.assert_holds(rect, "Comic Sans MS", False, text, "the label")

        # The hover buttons: frames at the scaled rectangles, one design pixel deep, and
        # room for their captions.
        self.background = self.window_background(main)
        shot, _ = self.capture_client(main, "main")
        depth = scaled(1, self.dpi)
        for box, (caption, face, bold) in HOVER_BUTTONS.items():
            x, y, w, h = scaled_box(box, self.dpi)
            if y + h > shot.height:
                continue  # below the screen at this scale
            self.assertEqual([shot.pixel(x + depth - 1, y + depth - 1), shot.pixel(x + w - depth, y + h - depth)],
                             [mw.GRAY, mw.GRAY], box)
            self.assertEqual(shot.pixel(x + depth, y + depth), self.background, box)
            self.assertEqual(shot.pixel(x - 1, y), self.background, box)
            margin = 5 if caption.startswith("  ") else 0
            self.assert_holds((x, y, x + w, y + h), face, bold, caption, "the hover button", room=margin)
        self.screenshot("main-%d" % self.dpi)

        # The program's own message box lays its buttons out at the scale too.
        main.click(*mw.centre(scaled_box(mw.UNSELECT_BUTTON, self.dpi)))
        box = app.wait_box()
        self.assertEqual(box.text, "No folder selected!")
        left, top, right, bottom = box.button("OK").rect()
        self.assertEqual([abs(right - left - scaled(75, self.dpi)) <= 1, abs(bottom - top - scaled(23, self.dpi)) <= 1],
                         [True, True], "the box's OK button at %r" % ([left, top, right, bottom],))
        self.screenshot("box-%d" % self.dpi)
        box.press("OK")
        self.assertTrue(app.kill())

    def test_options_and_about_scaled(self):
        app, main = self.start_main()
        main.choose_menu("Ac&tions", "&Options")
        dlg = app.wait_window(harness.OPTIONS_CLASS, "Options", timeout=10)
        client = dlg.client_rect()
        self.assertEqual([abs(g - scaled(d, self.dpi)) <= 1 for g, d in
                          zip((client[2] - client[0], client[3] - client[1]), options_design.CLIENT_SIZE)], [True, True],
                         "the Options dialog's client area %r" % (client,))
        controls = options_design.Options.controls(self, dlg)
        for name, box in options_design.LAYOUT.items():
            self.assert_placed(controls[name].rect(), client[:2], box, name)
        texts = {"DisplayL": ("&Display:", 0), "RndChkB": (options_design.RANDOM_TEXT, 16),
                 "ChangeWPCB": (options_design.DAILY_TEXT, 16), "MoreTypesCB": (options_design.MORE_TYPES_TEXT, 16),
                 "PerMonitorCB": (options_design.MONITOR_TEXT, 16), "OKB": ("&OK", 4), "CancelB": ("&Cancel", 4)}
        for name, (text, room) in texts.items():
            self.assert_holds(controls[name].rect(), "Comic Sans MS", False, text, name, room)
        self.screenshot("options-%d" % self.dpi)
        controls["CancelB"].click()
        dlg.wait_gone()

        main.choose_menu("&Help", "&About")
        about = app.wait_window(harness.ABOUT_CLASS, timeout=10)
        client = about.client_rect()
        self.assertEqual([abs(g - scaled(d, self.dpi)) <= 1 for g, d in
                          zip((client[2] - client[0], client[3] - client[1]), ABOUT_CLIENT_96)], [True, True],
                         "the About box's client area %r" % (client,))
        panel = about.find(cls="TPanel")
        self.assert_placed(panel.rect(), client[:2], about_design.PANEL, "Panel1")
        self.assert_placed(about.find(cls="TImage").rect(), panel.client_rect()[:2], about_design.EMBLEM, "ProgramIcon")
        ok = about.find(cls="Button", text="OK")
        self.assert_placed(ok.rect(), client[:2], about_design.OK_BUTTON, "OKButton")
        self.assert_holds(ok.rect(), "Comic Sans MS", False, "OK", "OKButton", 4)
        for text in ("Orbenta", "Velmaro v1.0"):
            self.assert_holds(about.find(cls="Static", text=text).rect(), "Comic Sans MS", False, text, text)
        self.screenshot("about-%d" % self.dpi)
        about.activate()
        self.key("enter")
        about.wait_gone(10)
        self.assertTrue(app.kill())


class At150Percent(ScaledScreenScenario):
    dpi = 144


class At200Percent(ScaledScreenScenario):
    dpi = 192


del ScaledScreenScenario  # only the two scales run

if __name__ == "__main__":
    harness.main()
