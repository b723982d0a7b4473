"""A different picture on each monitor, on two monitors under Wine (harness.MonitorRig):
the unattended rotation gives each monitor the next picture in turn, "Set as wallpaper"
changes only the monitor that shows the window, monitors gone are forgotten, and with the
option off (or on one monitor) the desktop gets one picture as before. The staged file is
checked region by region against ImageMagick's own Fill of each source."""

import math
import os
import subprocess

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario, bmp24_pixel, bmp_header, convert, read_bytes, remove_staged, staged_file

MONITORS_SECTION = harness.SETTINGS_KEY + r"\Monitors"
# The rig's layout: the primary at the left, the second monitor beside it, top-aligned.
PRIMARY = (0, 0, 1280, 1024)
SECOND = (1280, 0, 1024, 768)
VIRTUAL = (2304, 1024)
# As in the Fill scenarios: our linear-light Catmull-Rom against ImageMagick's resize.
RMSE_LIMIT = 8.0
FILL = "4"


def rmse(a, b):
    assert len(a) == len(b), (len(a), len(b))
    return math.sqrt(sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a))


def rgb_of(args):
    return subprocess.run(["convert"] + args + ["-depth", "8", "rgb:-"], stdout=subprocess.PIPE, check=True,
                          timeout=120).stdout


class Monitors(WallpaperScenario):
    rig = None

    @classmethod
    def setUpClass(cls):
        cls.rig = harness.MonitorRig()
        cls.rig.start()
        try:
            # Bare X: a Wine virtual desktop would be one monitor.
            cls.driver = harness.Driver(harness.Config.driver, None)
        except BaseException:
            cls.rig.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.rig.stop()

    def setUp(self):
        super().setUp()
        self.reg_delete("HKCU", MONITORS_SECTION)
        self.pictures = self.make_folder("Pictures")
        self.write_folder_list([harness.winpath(self.pictures)])
        # Three pictures of distinct colours and shapes, each with a white block at its
        # top left, so that what Fill cuts away shows.
        self.sources = []
        for name, size, colour in (("1-red.bmp", "400x300", "rgb(200,30,40)"),
                                   ("2-green.bmp", "300x400", "rgb(30,170,60)"),
                                   ("3-blue.bmp", "500x500", "rgb(40,60,190)")):
            self.sources.append(convert(["-size", size, "xc:" + colour, "-fill", "white", "-draw",
                                         "rectangle 0,0 79,59", "-type", "TrueColor"],
                                        "BMP3:" + os.path.join(self.pictures, name)))

    # ---- helpers ----
    def monitor_keys(self):
        """The names the program keeps each monitor's picture under, primary first."""
        found = self.driver.call("monitors")
        self.assertEqual([(m["rect"], m["primary"]) for m in found],
                         [([0, 0, 1280, 1024], True), ([1280, 0, 2304, 768], False)], "the rig's monitors")
        return ["%s %d,%d,%d,%d" % ((m["device"],) + tuple(r)) for m, r in zip(found, (PRIMARY, SECOND))]

    def options(self, per_monitor, display=FILL):
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "PerMonitor", "sz", per_monitor)
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", display)

    def run_unattended(self):
        for name in ("Wallpaper", "WallpaperOriginY"):
            self.reg_delete("HKCU", harness.DESKTOP_KEY, name)
        remove_staged()
        app = self.start("/s")
        self.assertEqual(app.wait_exit(30), 0)
        return read_bytes(staged_file())

    def assert_filled(self, region, source_index, what):
        """The staged file's region (x, y, w, h) holds the source filled to its size."""
        x, y, w, h = region
        shown = rgb_of([staged_file(), "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"])
        geometry = "%dx%d" % (w, h)
        expected = rgb_of([self.sources[source_index], "-resize", geometry + "^", "-gravity", "center", "-extent",
                           geometry])
        self.assertLess(rmse(shown, expected), RMSE_LIMIT, what)

    def stored_pictures(self):
        return {key: (self.reg_get("HKCU", MONITORS_SECTION, key) or {}).get("value") for key in self.monitor_keys()}

    # ---- scenarios ----
    def test_each_run_gives_each_monitor_the_next_picture_in_turn(self):
        keys = self.monitor_keys()
        self.options("1")
        # A monitor seen before and gone since, and the primary when it was smaller.
        gone = (r"\\.\DISPLAY3 2304,0,800,600", keys[0].rsplit(" ", 1)[0] + " 0,0,1024,768")
        for key in gone:
            self.reg_set("HKCU", MONITORS_SECTION, key, "sz", r"C:\old.jpg")
        data = self.run_unattended()
        h = bmp_header(data)
        self.assertEqual((h["width"], abs(h["height"]), h["bits"]), VIRTUAL + (24,))
        self.assert_desktop("1", "0")
        self.assert_filled(PRIMARY, 0, "the first picture on the primary")
        self.assert_filled(SECOND, 1, "the second picture on the second monitor")
        # Below the lower monitor, outside both, the desktop's own colour.
        below = {bmp24_pixel(data, x, y) for x, y in ((1280, 768), (2303, 1023), (1800, 900))}
        self.assertEqual(len(below), 1, below)
        self.assertEqual(self.setting("File"), "2")
        self.assertEqual(self.setting("Folder"), "0")
        win = [harness.winpath(s) for s in self.sources]
        self.assertEqual(self.stored_pictures(), {keys[0]: win[0], keys[1]: win[1]})
        for key in gone:
            self.assertIsNone(self.reg_get("HKCU", MONITORS_SECTION, key), "%s is remembered still" % key)

        self.run_unattended()
        self.assert_filled(PRIMARY, 2, "the third picture on the primary")
        self.assert_filled(SECOND, 0, "then the first again")
        self.assert_desktop("1", "0")
        self.assertEqual((self.setting("File"), self.setting("Folder")), ("1", "0"))
        self.assertEqual(self.stored_pictures(), {keys[0]: win[2], keys[1]: win[0]})

    def test_quiet_switches_exclude_the_picture_under_the_pointer_and_go_back_on_both(self):
        keys = self.monitor_keys()
        self.options("1")
        red, green, blue = [harness.winpath(s) for s in self.sources]

        def quiet(switch):
            self.assertEqual(self.start(switch).wait_exit(30), 0, switch)
            return [self.stored_pictures()[k] for k in keys]

        self.assertEqual(quiet("/next"), [red, green])
        self.driver.call("move", 1800, 300)  # on the second monitor
        self.assertEqual(quiet("/exclude"), [red, red], "only the second monitor changes, never to green")
        self.assertEqual(read_bytes(os.path.join(self.dir, "Excluded.txt")), green.encode() + b"\r\n")
        self.assertEqual(quiet("/previous"), [red, green], "both monitors as before the last change")
        self.assertEqual(quiet("/next"), [red, red], "forward again along the history")
        self.assertEqual(quiet("/next"), [blue, red], "then the rotation, passing over green")

    def test_set_as_wallpaper_changes_only_the_monitor_that_shows_the_window(self):
        keys = self.monitor_keys()
        self.options("1")
        before = self.run_unattended()
        app, main = self.start_main()
        # The window moved onto the second monitor, as a user would drag it there.
        self.driver.call("place", main, 1400, 40, 450, 459)
        self.choose_picture(main, 0, "3-blue.bmp")
        for name in ("Wallpaper", "WallpaperOriginY"):
            self.reg_delete("HKCU", harness.DESKTOP_KEY, name)
        remove_staged()
        self.press_set(main)
        after = self.wait_staged(timeout=15)
        self.assert_desktop("1", "0")
        self.assert_filled(SECOND, 2, "the chosen picture on the window's monitor")
        # The primary's part is the very same bytes as before.
        stride = (VIRTUAL[0] * 3 + 3) & ~3
        offset = bmp_header(before)["offset"]
        for y in range(0, 1024, 7):
            row = offset + (1023 - y) * stride
            self.assertEqual(after[row:row + 1280 * 3], before[row:row + 1280 * 3], "primary row %d" % y)
        self.assertEqual(self.stored_pictures()[keys[0]], harness.winpath(self.sources[0]))
        self.assertEqual(self.stored_pictures()[keys[1]], harness.winpath(self.sources[2]))
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_tile_center_and_strech_laid_out_on_each_monitor_as_if_alone(self):
        self.options("1")
        red, green, white = (200, 30, 40), (30, 170, 60), (255, 255, 255)
        # (display index, [(desktop point, colour)]): the 400 x 300 red picture with its
        # white 80 x 60 corner on the primary, the 300 x 400 green one on the second.
        cases = (
            ("0", [((400, 300), white), ((480, 300), red), ((1279, 1023), red),
                   ((1280 + 300, 400), white), ((1280 + 380, 460), green), ((1280, 0), white)]),
            ("1", [((440, 362), white), ((439, 362), None), ((440 + 399, 362 + 299), red), ((840, 362), None),
                   ((1280 + 362, 184), white), ((1280 + 361, 184), None), ((1280 + 462, 244), green)]),
            ("2", [((0, 0), white), ((240, 190), white), ((600, 600), red), ((1279, 1023), red),
                   ((1280, 0), white), ((1280 + 260, 100), white), ((1280 + 600, 500), green)]),
        )
        for display, points in cases:
            self.options("1", display)
            self.reg_set("HKCU", harness.SETTINGS_SECTION, "File", "sz", "0")
            data = self.run_unattended()
            self.assert_desktop("1", "0")
            background = bmp24_pixel(data, 2000, 1000)  # below the second monitor
            for (x, y), colour in points:
                got = bmp24_pixel(data, x, y)
                expected = background if colour is None else colour
                self.assertTrue(all(abs(a - b) <= 2 for a, b in zip(got, expected)),
                                "Display %s at (%d, %d): %r, expected %r" % (display, x, y, got, expected))

    def test_with_the_option_off_one_picture_fitted_or_filled_on_each_monitor(self):
        self.options("0")
        data = self.run_unattended()
        h = bmp_header(data)
        self.assertEqual((h["width"], abs(h["height"])), VIRTUAL)
        self.assert_desktop("1", "0")
        self.assert_filled(PRIMARY, 0, "the first picture filled on the primary")
        self.assert_filled(SECOND, 0, "the same picture filled at the second monitor's size")
        self.assertEqual(self.setting("File"), "1")
        self.assertFalse(self.key_exists("HKCU\\" + MONITORS_SECTION), "per-monitor pictures kept with the option off")
        # Tiled, the one picture is staged as it is, for the system to tile.
        self.options("0", "0")
        self.assertEqual(self.run_unattended(), read_bytes(self.sources[1]))
        self.assert_desktop("1", "0")

    def test_an_empty_folder_leaves_its_monitor_and_a_value_of_another_type_is_replaced(self):
        keys = self.monitor_keys()
        self.options("1")
        self.write_folder_list([harness.winpath(self.pictures), harness.winpath(self.make_folder("Empty"))])
        self.reg_set("HKCU", MONITORS_SECTION, keys[1], "dword", "7")
        self.run_unattended()
        self.assert_filled(SECOND, 1, "the second picture, over a value of another type")
        # The primary takes the folder's last picture; the empty folder's turn comes to the
        # second monitor, which keeps its picture. No box stops the run.
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "File", "sz", "2")
        self.run_unattended()
        self.assert_filled(PRIMARY, 2, "the last picture on the primary")
        self.assert_filled(SECOND, 1, "the second monitor as it was")
        self.assertEqual((self.setting("File"), self.setting("Folder")), ("0", "2"))
        win = [harness.winpath(p) for p in self.sources]
        self.assertEqual(self.stored_pictures(), {keys[0]: win[2], keys[1]: win[1]})


class OneMonitor(WallpaperScenario):
    """The scenarios' usual screen: one monitor, where the option changes nothing."""

    def test_with_one_monitor_the_option_changes_not_a_byte(self):
        pictures = self.make_folder("Pictures")
        self.write_folder_list([harness.winpath(pictures)])
        source = convert(["-size", "300x200", "gradient:red-blue", "-type", "TrueColor"],
                         "BMP3:" + os.path.join(pictures, "a.bmp"))
        for display, tile, style in (("0", "1", "0"), (FILL, "0", "0")):
            staged = {}
            for per_monitor in ("0", "1"):
                self.reg_set("HKCU", harness.SETTINGS_SECTION, "PerMonitor", "sz", per_monitor)
                self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", display)
                self.reg_set("HKCU", harness.SETTINGS_SECTION, "File", "sz", "0")
                for name in ("Wallpaper", "WallpaperOriginY"):
                    self.reg_delete("HKCU", harness.DESKTOP_KEY, name)
                remove_staged()
                app = self.start("/s")
                self.assertEqual(app.wait_exit(30), 0)
                staged[per_monitor] = read_bytes(staged_file())
                self.assert_desktop(tile, style)
            self.assertEqual(staged["1"], staged["0"], "Display %s" % display)
            if display == "0":
                self.assertEqual(staged["1"], read_bytes(source), "a tiled bitmap is staged as it is")
        self.assertFalse(self.key_exists("HKCU\\" + MONITORS_SECTION))


if __name__ == "__main__":
    harness.main()
