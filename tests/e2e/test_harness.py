"""The harness's own test: drives e2e_target.exe, a window that records every input that
reaches it, to show that clicks, hover, keys, menus, controls, pixels and registry reads
land where the scenarios rely on them landing."""

import os
import struct

import harness
from harness import wait_until


class Harness(harness.Scenario):
    folder_list = None
    fresh_settings = False

    def setUp(self):
        super().setUp()
        target = os.path.join(os.path.dirname(harness.Config.driver), "e2e_target.exe")
        self.app = self.start_program(target, '/s "two words"', self.dir)
        self.main = self.app.wait_window("E2ETarget", "E2E target", timeout=20)
        self.log_box = self.main.find(id=200)
        self.seen = 0
        # The pointer crosses the hover area on its way to other controls.
        self.noise = ("hover enter", "hover leave")

    def log(self):
        return [line for line in self.log_box.list_items()["items"] if line not in self.noise]

    def expect(self, *lines, timeout=10.0):
        """Waits for the lines to be logged, in this order, after those already checked."""
        def arrived():
            new = self.log()[self.seen:]
            return new[:len(lines)] == list(lines) and new
        try:
            wait_until(arrived, timeout, "log lines %r" % (lines,))
        except AssertionError:
            self.fail("expected %r after line %d; log: %r" % (lines, self.seen, self.log()))
        self.seen += len(lines)

    def skip_log(self):
        self.seen = len(self.log())

    def test_command_line_folder_and_exit_code(self):
        self.expect('args /s "two words"', "cwd " + harness.winpath(self.dir))
        self.main.click_close_box()
        self.assertEqual(self.app.wait_exit(10), 7)

    def test_mouse_hover_click_double_and_right(self):
        hover = self.main.find(cls="E2EHover")
        self.noise = ()
        self.skip_log()
        hover.move(40, 15)
        self.expect("hover enter")
        self.main.move(5, 5)
        self.expect("hover leave")
        hover.click(10, 5)
        self.expect("hover enter", "hover down 10 5", "hover up")
        hover.double_click(20, 6)
        self.expect("hover down 20 6", "hover up", "hover double", "hover up")
        hover.right_click(20, 6)
        self.expect("hover right")

    def test_keys_text_accelerators_and_menus(self):
        edit = self.main.find(id=204)
        edit.click()
        text = 'Hello, World! <a&b> "q" 1+2=3 ~_'
        self.type(text)
        self.assertEqual(edit.text(), text)
        self.skip_log()
        self.key("ctrl+s", "f5")
        self.expect("accel ctrl+s", "accel f5")
        # An item without access key by its position, one with an access key by it.
        self.main.choose_menu("&File", 1)
        self.expect("menu plain")
        self.main.choose_menu("&File", "&Message")
        box = self.app.wait_box()
        self.assertEqual((box.caption, box.text, box.button_texts()), ("Question", "Proceed with the test?", ["&Yes", "&No"]))
        box.press("&No")
        self.expect("message 7")
        self.main.choose_menu("&File", "&Message")
        self.app.wait_box().key("enter")  # Yes is the default button
        self.expect("message 6")
        self.main.choose_menu("&File", "E&xit")
        self.assertEqual(self.app.wait_exit(10), 7)

    def test_list_combo_and_check_box(self):
        self.skip_log()
        items = self.main.find(id=201)
        # Line 25 is scrolled out of sight at first.
        items.click_list_item("item 25")
        self.expect("list 25")
        self.assertEqual(items.list_items()["sel"], 25)
        combo = self.main.find(id=202)
        self.assertEqual(combo.combo_items()["items"], ["Tile", "Center", "Strech"])
        combo.click(10, 10)
        self.key("down", "down")
        self.expect("combo 0", "combo 1")
        self.assertEqual(combo.combo_items()["sel"], 1)
        self.assertEqual(combo.combo_items()["text"], "Center")
        check = self.main.find(text="Random")
        self.assertEqual(check.checked(), 0)
        check.click()
        self.expect("check 1")
        self.assertEqual(check.checked(), 1)
        self.key("alt+r")  # the access key toggles it back
        self.expect("check 0")

    def test_tree_by_labels_with_expansion_and_scrolling(self):
        tree = self.main.find(cls="SysTreeView32")
        self.skip_log()
        tree.select_tree_path("Beta", "Beta one")
        self.assertEqual(tree.tree_selected(), ["Beta", "Beta one"])
        self.expect("tree Beta", "tree Beta one")
        tree.select_tree_path("Last")
        self.expect("tree Last")
        self.assertEqual([n["text"] for n in tree.tree_items(depth=0)][:2], ["Alpha", "Beta"])

    def test_pixels_capture_and_screenshot(self):
        hover = self.main.find(cls="E2EHover")
        self.assertEqual(hover.pixel(3, 3), [255, 0, 0])
        self.assertNotEqual(self.main.pixel(2, 2), [255, 0, 0])
        shot = self.main.capture(os.path.join(self.dir, "client.bmp"), client=True)
        left, top, right, bottom = self.main.client_rect()
        self.assertEqual((shot.width, shot.height), (right - left, bottom - top))
        hl, ht, hr, hb = hover.rect()
        self.assertEqual(shot.count((255, 0, 0)), (hr - hl) * (hb - ht))
        self.assertEqual(shot.pixel(hl - left, ht - top), (255, 0, 0))
        self.assertNotEqual(shot.pixel(hl - left - 1, ht - top), (255, 0, 0))
        png = self.screenshot("target")
        with open(png, "rb") as f:
            head = f.read(24)
        self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
        self.assertGreater(struct.unpack(">II", head[16:24])[0], 0)

    def test_registry_reads_match_wine_reg(self):
        key = r"Software\VelmaroE2E\Check"
        self.addCleanup(self.reg_delete, "HKCU", r"Software\VelmaroE2E")
        self.reg_set("HKCU", key, "Text", "sz", "a b\u00e9")
        self.reg_set("HKCU", key, "Number", "dword", 42)
        got = self.reg_get("HKCU", key, "Text")
        self.assertEqual((got["type"], got["size"], got["value"]), (1, 5, "a b\u00e9"))
        self.assertEqual(self.reg_get("HKCU", key, "Number")["value"], 42)
        self.assertEqual(harness.wine_reg_query("HKCU\\" + key, "Number"), ("REG_DWORD", "0x2a"))
        self.assertIsNone(self.reg_get("HKCU", key, "Missing"))
        self.assertTrue(self.reg_delete("HKCU", key, "Text"))
        self.assertIsNone(self.reg_get("HKCU", key, "Text"))
        self.assertTrue(self.reg_delete("HKCU", r"Software\VelmaroE2E"))
        self.assertIsNone(self.reg_get("HKCU", key, "Number"))
        self.assertIsNone(harness.wine_reg_query("HKCU\\" + key, "Number"))
        self.assertFalse(self.reg_delete("HKCU", r"Software\VelmaroE2E"))

    def test_kill_ends_a_running_program(self):
        self.assertTrue(self.app.alive())
        self.assertTrue(self.app.kill())
        self.assertFalse(self.app.alive())
        self.assertEqual(self.app.wait_exit(1), 255)


if __name__ == "__main__":
    harness.main()
