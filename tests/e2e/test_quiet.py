"""The quiet switches: /next, /previous, /show and /exclude change or show the wallpaper
with no window of the program and no box, a failure is a line in Velmaro.log and an
exit code; the desktop's menu that the Options box registers runs them."""

import glob
import os
import shlex
import time

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario, bmp24_pixel, read_bytes, solid_bmp, staged_file

COLOURS = {"a": (200, 30, 30), "b": (30, 160, 40), "c": (40, 60, 210), "d": (220, 200, 40)}
MENU_KEY = r"Software\Classes\DesktopBackground\Shell\Velmaro"


def app_data(name):
    found = glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*", "AppData", "Local"))
    return os.path.join(found[0], "Velmaro", name)


class Quiet(WallpaperScenario):
    def setUp(self):
        super().setUp()
        for name in ("History.txt", "Velmaro.log"):
            if os.path.exists(app_data(name)):
                os.remove(app_data(name))
        self.folder = self.make_folder("AtHand")
        for name, colour in COLOURS.items():
            with open(os.path.join(self.folder, name + ".bmp"), "wb") as f:
                f.write(solid_bmp(16, 8, colour))
        self.write_folder_list([harness.winpath(self.folder)])

    def quiet(self, switch, expect=0, args=None):
        """One quiet run to its end, watched all along: no window of it ever visible, no box."""
        app = self.start(args if args is not None else switch)
        seen = set()
        while app.alive():
            seen.update(w["class"] for w in app.windows() if w["visible"])
            time.sleep(0.02)
        log = app_data("Velmaro.log")
        self.assertEqual(app.wait_exit(5), expect, "%s; log: %r" % (
            switch, read_bytes(log) if os.path.exists(log) else None))
        self.assertEqual(seen, set(), "%s showed windows" % switch)

    def shown(self):
        colour = bmp24_pixel(read_bytes(staged_file()), 0, 0)
        return next(n for n, c in COLOURS.items() if c == colour)

    def toggle_desktop_menu(self, app):
        """The Options box by its access key, then OK."""
        options = app.wait_window(harness.OPTIONS_CLASS)
        options.wait_keyboard()
        self.key("alt+u")
        options.find(cls="Button", text="&OK").click()
        options.wait_gone()

    def test_walk_back_and_forward_with_the_focus_left_where_it_was(self):
        target = self.start_program(os.path.join(os.path.dirname(harness.Config.driver), "e2e_target.exe"))
        window = target.wait_window("E2ETarget", timeout=20)
        window.wait_keyboard()
        seen = []
        for switch in ("/next", "/NEXT", "/previous", "/next", "/Next"):
            self.quiet(switch)
            seen.append(self.shown())
        self.assertEqual(seen, list("ababc"))
        self.assertEqual(self.focus()["foreground"], window.hwnd, "a quiet run took the focus")
        wait_until(lambda: tuple(self.driver.call("pixel", 500, 300)) == COLOURS["c"], 5, "the desktop showing c")

    def test_excluded_never_comes_back_until_included_again(self):
        self.quiet("/next")
        self.quiet("/next")
        self.assertEqual(self.shown(), "b")
        self.quiet("/exclude")  # b goes, the desktop gets the next picture
        excluded = os.path.join(self.dir, "Excluded.txt")
        self.assertEqual(read_bytes(excluded).decode("utf-8"), harness.winpath(os.path.join(self.folder, "b.bmp")) + "\r\n")
        seen = [self.shown()]
        for _ in range(4):
            self.quiet("/next")
            seen.append(self.shown())
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "RndFile", "sz", "1")
        for _ in range(6):
            self.quiet("/next")
            seen.append(self.shown())
        self.assertNotIn("b", seen)
        # The main window marks it, and its Actions item includes it again.
        app, main = self.start_main()
        folders, files = self.lists(main)
        folders.click_list_item(0)
        wait_until(lambda: files.list_items(), 10, "the folder's files")
        files.click_list_item("b.bmp")
        mark = lambda: [c for c in main.children() if c["text"] == "Height: 8   Excluded from the rotation"]
        wait_until(mark, 5, "the mark")
        main.choose_menu("Ac&tions", "&Include in the rotation again")
        wait_until(lambda: read_bytes(excluded) == b"", 5, "b included again")
        wait_until(lambda: not mark(), 5, "the mark gone")

    def test_a_failing_next_logs_one_line(self):
        self.write_folder_list([harness.winpath(os.path.join(self.dir, "gone"))])
        self.quiet("/next", expect=1)
        log = read_bytes(app_data("Velmaro.log")).decode("utf-8")
        self.assertRegex(log, r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d /next: Cannot find folder .*gone\r\n$")
        self.assertFalse(os.path.exists(staged_file()))

    def test_show_opens_the_folder(self):
        self.quiet("/next")
        before = set(w["hwnd"] for w in self.driver.call("windows", "all"))
        self.quiet("/show")
        wait_until(lambda: [w for w in self.driver.call("windows", "all")
                            if w["visible"] and w["hwnd"] not in before and "AtHand" in w["title"]], 20,
                   "a window on the folder")

    def test_desktop_menu_registered_run_and_removed(self):
        app, main = self.start_main()
        main.choose_menu("Ac&tions", "&Options")
        self.toggle_desktop_menu(app)
        command_key = MENU_KEY + r"\shell\1\command"
        wait_until(lambda: self.reg_get("HKCU", command_key, ""), 5, "the menu's keys")
        self.assertEqual(self.reg_get("HKCU", MENU_KEY, "MUIVerb")["value"], "Velmaro")
        self.assertEqual(self.reg_get("HKCU", MENU_KEY + r"\shell\4", "MUIVerb")["value"],
                         "Never show this picture again")
        # As the shell runs it: the command line split into the program and its arguments.
        program, switch = shlex.split(self.reg_get("HKCU", command_key, "")["value"].replace("\\", "/"))
        self.assertEqual(program.replace("/", "\\"), harness.winpath(self.exe))
        self.quiet(switch)
        self.assertIn(self.shown(), COLOURS)
        main.choose_menu("Ac&tions", "&Options")
        self.toggle_desktop_menu(app)
        wait_until(lambda: self.reg_get("HKCU", MENU_KEY, "MUIVerb") is None, 5, "the keys gone")


if __name__ == "__main__":
    harness.main()
