"""The Options dialog (Actions > Options), used as a person would: what it shows on a
fresh system and after stored values, what OK, Cancel, Esc and the close box store
(read back through Wine's own reg tool), its keyboard, and its layout on the screen."""

import os
import time

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario

SETTINGS_KEY = "HKCU\\" + harness.SETTINGS_SECTION
OPTION_VALUES = ("RndFile", "Display", "ChangeWP")

RANDOM_TEXT = "Randomize file list"
DAILY_TEXT = "Change wallpaper every time Windows start"
MORE_TYPES_TEXT = "Also list PNG, GIF, TIFF, WebP and HEIC pictures"
MONITOR_TEXT = "A different picture on each monitor"
NO_REPEAT_TEXT = "&None again until all are shown"

# Client-area positions of the controls: (left, top, width, height).
LAYOUT = {
    "DisplayL": (8, 8, 41, 15),
    "DisplayCB": (8, 24, 89, 23),
    "RndChkB": (8, 56, 129, 17),
    "NoRepeatChkB": (24, 80, 249, 17),
    "ChangeWPCB": (8, 104, 249, 17),
    "MoreTypesCB": (8, 128, 282, 17),
    "PerMonitorCB": (8, 152, 282, 17),
    "DesktopMenuCB": (8, 176, 282, 17),
    "ChangeEveryChkB": (8, 202, 164, 17),
    "EveryNumberE": (176, 200, 36, 21),
    "EveryUnitCB": (216, 200, 74, 21),
    "BatteryPauseChkB": (24, 226, 266, 17),
    "OKB": (40, 256, 75, 25),
    "CancelB": (144, 256, 75, 25),
}
CLIENT_SIZE = (298, 291)

WS_THICKFRAME = 0x00040000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_SYSMENU = 0x00080000
WS_EX_TOOLWINDOW = 0x00000080


class Options(WallpaperScenario):
    folder_list = []

    # ---- the dialog's parts ----
    def controls(self, dlg):
        return {
            "DisplayL": dlg.find(cls="Static", text="&Display:"),
            "DisplayCB": min(dlg.find_all(cls="ComboBox"), key=lambda w: w.rect()[0]),
            "RndChkB": dlg.find(cls="Button", text=RANDOM_TEXT),
            "NoRepeatChkB": dlg.find(cls="Button", text=NO_REPEAT_TEXT),
            "ChangeWPCB": dlg.find(cls="Button", text=DAILY_TEXT),
            "MoreTypesCB": dlg.find(cls="Button", text=MORE_TYPES_TEXT),
            "PerMonitorCB": dlg.find(cls="Button", text=MONITOR_TEXT),
            "DesktopMenuCB": dlg.find(cls="Button", text="Add Velmaro to the desktop's right-click men&u"),
            "ChangeEveryChkB": dlg.find(cls="Button", text="Change the wallpaper every"),
            "EveryNumberE": max(dlg.find_all(cls="Edit"), key=lambda w: w.rect()[0]),
            "EveryUnitCB": max(dlg.find_all(cls="ComboBox"), key=lambda w: w.rect()[0]),
            "BatteryPauseChkB": dlg.find(cls="Button", text="Not on battery power"),
            "OKB": dlg.find(cls="Button", text="&OK"),
            "CancelB": dlg.find(cls="Button", text="&Cancel"),
        }

    def shown(self, dlg):
        """What the dialog shows: (chosen index, list text, random box, daily box)."""
        c = self.controls(dlg)
        combo = c["DisplayCB"].combo_items()
        return combo["sel"], combo["text"], c["RndChkB"].checked(), c["ChangeWPCB"].checked()

    def stored(self):
        """The three values as Wine's reg tool prints them (type, text), None when missing."""
        return tuple(harness.wine_reg_query(SETTINGS_KEY, n) for n in OPTION_VALUES)

    def choose_display(self, app, dlg, text):
        """Opens the Display list with a click on its arrow and clicks an item."""
        combo = self.controls(dlg)["DisplayCB"]
        left, top, right, bottom = combo.rect()
        combo.click(right - left - 8, (bottom - top) // 2)
        drop = wait_until(lambda: app.window("ComboLBox"), 5, "the Display list's drop-down")
        self.assertEqual(drop.list_items()["items"], ["Tile", "Center", "Strech", "Fit", "Fill"])
        drop.click_list_item(text)
        wait_until(lambda: app.window("ComboLBox") is None, 5, "the drop-down to close")
        self.assertEqual(combo.combo_items()["text"], text)

    def press(self, dlg, name):
        self.controls(dlg)[name].click()
        dlg.wait_gone()

    # ---- scenarios ----
    def test_fresh_system_defaults_cancel_stores_nothing_ok_stores_defaults(self):
        app, main = self.start_main()
        dlg = self.open_options(app, main)
        self.assertEqual(self.controls(dlg)["DisplayCB"].combo_items()["items"], ["Tile", "Center", "Strech", "Fit", "Fill"])
        self.assertEqual(self.shown(dlg), (0, "Tile", 1, 0))
        self.assertEqual(self.controls(dlg)["MoreTypesCB"].checked(), 0)
        self.press(dlg, "CancelB")
        self.assertEqual(self.stored(), (None, None, None))
        self.assertEqual(self.controls(dlg)["MoreTypesCB"].checked(), 0)
        self.assertIsNone(harness.wine_reg_query(SETTINGS_KEY, "MoreTypes"))
        self.assertEqual(self.controls(dlg)["PerMonitorCB"].checked(), 0)
        self.assertIsNone(harness.wine_reg_query(SETTINGS_KEY, "PerMonitor"))
        # Opening created the key, and nothing else.
        self.assertTrue(self.key_exists("HKCU\\" + harness.SETTINGS_KEY), "no Software\\Velmaro key")

        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg), (0, "Tile", 1, 0))
        self.press(dlg, "OKB")
        self.assertEqual(self.stored(), (("REG_SZ", "1"), ("REG_SZ", "0"), ("REG_SZ", "0")))
        self.assertEqual(harness.wine_reg_query(SETTINGS_KEY, "MoreTypes"), ("REG_SZ", "0"))
        self.assertEqual(harness.wine_reg_query(SETTINGS_KEY, "PerMonitor"), ("REG_SZ", "0"))
        # The values are text with their terminating NUL.
        self.assertEqual(self.reg_get("HKCU", harness.SETTINGS_SECTION, "RndFile")["hex"], "3100")
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_choices_stored_by_ok_and_cancelled_choice_replaced_on_reopening(self):
        app, main = self.start_main()
        dlg = self.open_options(app, main)
        self.choose_display(app, dlg, "Center")
        self.controls(dlg)["RndChkB"].click()
        self.controls(dlg)["ChangeWPCB"].click()
        self.assertEqual(self.shown(dlg), (1, "Center", 0, 1))
        self.press(dlg, "OKB")
        self.assertEqual(self.stored(), (("REG_SZ", "0"), ("REG_SZ", "1"), ("REG_SZ", "1")))

        # Strech and both boxes changed, then Cancel: nothing stored...
        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg), (1, "Center", 0, 1))
        self.choose_display(app, dlg, "Strech")
        self.controls(dlg)["RndChkB"].click()
        self.controls(dlg)["ChangeWPCB"].click()
        self.press(dlg, "CancelB")
        self.assertEqual(self.stored(), (("REG_SZ", "0"), ("REG_SZ", "1"), ("REG_SZ", "1")))
        # ...and the next showing has the stored choices again.
        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg), (1, "Center", 0, 1))
        self.press(dlg, "CancelB")
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_stored_display_naming_no_item_shows_none_and_typed_text_stores_minus_one(self):
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", "7")
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "RndFile", "sz", "0")
        app, main = self.start_main()
        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg), (-1, "", 0, 0))
        self.press(dlg, "OKB")
        self.assertEqual(self.stored(), (("REG_SZ", "0"), ("REG_SZ", "-1"), ("REG_SZ", "0")))

        # An item chosen, then a text typed over it: no item is chosen any more.
        dlg = self.open_options(app, main)
        self.choose_display(app, dlg, "Center")
        combo = self.controls(dlg)["DisplayCB"]
        combo.click(10, 10)
        self.key("end", *(["backspace"] * 8))
        self.type("Fancy")
        self.assertEqual(combo.combo_items()["text"], "Fancy")
        self.press(dlg, "OKB")
        self.assertEqual(self.stored()[1], ("REG_SZ", "-1"))

        # Typing the text of an item is still typing, not choosing it.
        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg)[:2], (-1, ""))
        self.controls(dlg)["DisplayCB"].click(10, 10)
        self.type("Tile")
        self.press(dlg, "OKB")
        self.assertEqual(self.stored()[1], ("REG_SZ", "-1"))
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_value_of_the_wrong_type_reported_at_creation_and_on_showing(self):
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", "2")
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "ChangeWP", "dword", 1)
        app = self.start()
        # Filling the dialog at creation: reported, the rest keeps its defaults.
        box = app.wait_box(timeout=20)
        self.assertEqual((box.caption, box.text, box.button_texts()),
                         ("Velmaro", "Invalid data type for 'ChangeWP'", ["OK"]))
        box.press("OK")
        main = app.wait_main()
        main.wait_keyboard()  # see start_main
        main.choose_menu("Ac&tions", "&Options")
        # On showing: reported again; the values read before it are shown, and the dialog
        # stays open.
        box = app.wait_box(timeout=10)
        self.assertEqual(box.text, "Invalid data type for 'ChangeWP'")
        box.press("OK")
        dlg = app.wait_window(harness.OPTIONS_CLASS, "Options", timeout=10)
        self.assertEqual(self.shown(dlg), (2, "Strech", 1, 0))
        self.press(dlg, "OKB")
        self.assertEqual(self.stored(), (("REG_SZ", "1"), ("REG_SZ", "2"), ("REG_SZ", "0")))
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_esc_and_close_box_cancel(self):
        app, main = self.start_main()
        for how in ("esc", "close box"):
            dlg = self.open_options(app, main)
            self.choose_display(app, dlg, "Strech")
            self.controls(dlg)["RndChkB"].click()
            if how == "esc":
                # From the check box, which has the keyboard after its click.
                self.key("esc")
                dlg.wait_gone()
            else:
                dlg.click_close_box()
                dlg.wait_gone()
            self.assertEqual(self.stored(), (None, None, None), how)
        dlg = self.open_options(app, main)
        self.assertEqual(self.shown(dlg), (0, "Tile", 1, 0))
        self.key("esc")
        dlg.wait_gone()
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_keyboard_tab_order_and_access_keys(self):
        app, main = self.start_main()
        dlg = self.open_options(app, main)
        c = self.controls(dlg)
        combo_edit = c["DisplayCB"].find(cls="Edit")
        focused = lambda: self.focus()["focus"]
        # Tab order: Display list, random box, its no-repeat box, OK, Cancel, daily box, formats
        # box, per-monitor box, the desktop menu box, the scheduled change's box (its number and
        # unit off while it is), the battery box.
        wait_until(lambda: focused() == combo_edit.hwnd, 5, "the keyboard in the Display list")
        order = self.tab_order(11, combo_edit)
        self.assertEqual(order, [c[n].hwnd for n in ("RndChkB", "NoRepeatChkB", "OKB", "CancelB", "ChangeWPCB",
                                                     "MoreTypesCB", "PerMonitorCB", "DesktopMenuCB", "ChangeEveryChkB",
                                                     "BatteryPauseChkB")] + [combo_edit.hwnd])
        # Access keys: Alt+N, Alt+F, Alt+W, Alt+P, Alt+M and Alt+B toggle the boxes, Alt+D goes to
        # the list. The no-repeat box keeps its tick but is offered only with the random order.
        boxes = lambda: (c["RndChkB"].checked(), c["NoRepeatChkB"].checked(), c["ChangeWPCB"].checked(),
                         c["MoreTypesCB"].checked(), c["PerMonitorCB"].checked(), c["BatteryPauseChkB"].checked())
        self.assertTrue(c["NoRepeatChkB"].info()["enabled"])
        self.key("alt+n", "alt+f", "alt+w", "alt+p", "alt+m", "alt+b")
        try:
            wait_until(lambda: boxes() == (0, 1, 1, 1, 1, 0), 5, "the boxes toggled")
        finally:
            self.assertEqual(boxes(), (0, 1, 1, 1, 1, 0))
        self.assertFalse(c["NoRepeatChkB"].info()["enabled"], "the no-repeat box offered without random order")
        self.key("alt+d")
        try:
            wait_until(lambda: focused() == combo_edit.hwnd, 5, "the keyboard in the Display list")
        finally:
            self.assertEqual(focused(), combo_edit.hwnd)
        self.key("alt+o")
        dlg.wait_gone()
        self.assertEqual(self.stored(), (("REG_SZ", "0"), ("REG_SZ", "0"), ("REG_SZ", "1")))
        self.assertEqual(harness.wine_reg_query(SETTINGS_KEY, "MoreTypes"), ("REG_SZ", "1"))
        self.assertEqual(harness.wine_reg_query(SETTINGS_KEY, "PerMonitor"), ("REG_SZ", "1"))
        self.assertEqual(harness.wine_reg_query(SETTINGS_KEY, "NoRepeat"), ("REG_SZ", "1"))
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_layout_on_the_screen(self):
        app, main = self.start_main()
        dlg = self.open_options(app, main)
        info = dlg.info()
        self.assertEqual(info["title"], "Options")
        # The designed position is the window's (as for the main window's normal bounds),
        # the designed size the client area's.
        self.assertEqual(info["rect"][:2], [230, 174])
        client = info["client"]
        self.assertEqual((client[2] - client[0], client[3] - client[1]), CLIENT_SIZE)
        self.assertTrue(info["exstyle"] & WS_EX_TOOLWINDOW, "not a tool window")
        self.assertTrue(info["style"] & WS_SYSMENU, "no close box")
        self.assertFalse(info["style"] & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), "sizeable or with min/max")

        controls = self.controls(dlg)
        left, top = info["client"][:2]
        for name, (x, y, w, h) in LAYOUT.items():
            l, t, r, b = controls[name].rect()
            self.assertEqual((l - left, t - top, r - l, b - t), (x, y, w, h), name)

        # The screen shows them there: outside the controls only the button face, inside
        # each control something drawn (frame or text).
        shot = dlg.capture(os.path.join(self.dir, "options.bmp"), client=True)
        self.screenshot("options")
        self.assertEqual((shot.width, shot.height), CLIENT_SIZE)
        face = shot.pixel(250, 2)
        inside = lambda px, py: any(x <= px < x + w and y <= py < y + h for x, y, w, h in LAYOUT.values())
        stray = [(x, y) for y in range(shot.height) for x in range(shot.width)
                 if not inside(x, y) and shot.pixel(x, y) != face]
        self.assertEqual(stray[:10], [], "drawing outside the controls' places")
        for name, (x, y, w, h) in LAYOUT.items():
            if name in ("ChangeWPCB", "MoreTypesCB", "PerMonitorCB", "DesktopMenuCB", "BatteryPauseChkB"):
                w = min(w, CLIENT_SIZE[0] - x)  # the box's text runs to the dialog's edge
            drawn = (w * h) - shot.count(face, (x, y, x + w, y + h))
            self.assertGreater(drawn, 20, "%s shows nothing at its place" % name)
        # The buttons' frames lie on their edges: the right and bottom edge are dark.
        for name in ("OKB", "CancelB"):
            x, y, w, h = LAYOUT[name]
            self.assertNotEqual(shot.pixel(x + w - 1, y + h // 2), face, name)
            self.assertNotEqual(shot.pixel(x + w // 2, y + h - 1), face, name)
            self.assertEqual(shot.pixel(x + w, y + h // 2), face, name)
        self.press(dlg, "CancelB")
        main.close()
        self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
