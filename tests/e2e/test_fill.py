"""Wallpapers that look right on the screen: JPEG pictures upright by their Exif
orientation (staged file and preview labels), and the "Fit" and "Fill" display items,
whose staged file the program renders itself at the screen's size (the scenario's Wine
virtual desktop, 1024 x 768) and shows centred."""

import math
import os
import struct
import subprocess
import sys

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario, bmp_header, convert, decode_rgb, read_bytes, staged_file

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
import exif_orientation  # noqa: E402

SCREEN = (1024, 768)
# Root-mean-square difference (0-255 scale) allowed against ImageMagick's own resize: it
# filters gamma-encoded values with its own filter choices, we filter in linear light with
# Catmull-Rom, and its rounding of a fitted size may differ by a pixel at the edges
# (measured: up to about 6 for a JPEG source, whose decodes differ too; each run prints
# its figures).
RMSE_LIMIT = 8.0
ORIENT_NAMES = {1: "TopLeft", 2: "TopRight", 3: "BottomRight", 4: "BottomLeft", 5: "LeftTop", 6: "RightTop",
                7: "RightBottom", 8: "LeftBottom"}


def rmse(a, b):
    assert len(a) == len(b), (len(a), len(b))
    return math.sqrt(sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a))


class Fill(WallpaperScenario):
    def setUp(self):
        super().setUp()
        self.pictures = self.make_folder("Pictures")
        self.write_folder_list([harness.winpath(self.pictures)])

    def path(self, name):
        return os.path.join(self.pictures, name)

    def photo(self, name, w, h, seed=1):
        """A photo-like picture (smooth shapes, a bright corner) written by ImageMagick."""
        return convert(["-seed", str(seed), "-size", "%dx%d" % (w, h), "plasma:fractal", "-fill", "white",
                        "-draw", "rectangle 0,0 %d,%d" % (w // 5, h // 8), "-quality", "92"], self.path(name))

    def set_and_wait(self, main, name):
        for value in ("Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX", "WallpaperOriginY"):
            self.reg_delete("HKCU", harness.DESKTOP_KEY, value)
        if os.path.exists(staged_file()):
            os.remove(staged_file())
        self.choose_picture(main, 0, name)
        self.press_set(main)
        return self.wait_staged(timeout=15)

    def choose_display(self, app, main, item):
        dlg = self.open_options(app, main)
        combo = dlg.find(cls="ComboBox")
        left, top, right, bottom = combo.rect()
        combo.click(right - left - 8, (bottom - top) // 2)
        drop = wait_until(lambda: app.window("ComboLBox"), 5, "the drop-down list")
        drop.click_list_item(item)
        wait_until(lambda: combo.combo_items()["text"] == item, 5, "%s chosen" % item)
        dlg.find(cls="Button", text="&OK").click()
        dlg.wait_gone()

    def label_texts(self, main):
        labels = sorted((c for c in main.children() if c["class"] == "Static" and c["text"] != "List of selected folders:"),
                        key=lambda c: c["rect"][1])
        return [c["text"] for c in labels]

    def staged_rgb(self):
        w, h, rgb = decode_rgb(staged_file())
        return (w, h), rgb

    def reference(self, source, args):
        out = os.path.join(self.dir, "reference.png")
        subprocess.run(["convert", source, "-auto-orient"] + args + ["-depth", "8", out], check=True, timeout=120)
        return decode_rgb(out)[2]

    # ---- upright pictures ----
    def test_exif_orientation_upright_in_the_staged_file_and_the_labels(self):
        # An asymmetric picture: wider than high, a white block at its top left only.
        base = convert(["-size", "90x60", "gradient:red-blue", "-fill", "white", "-draw", "rectangle 0,0 29,14",
                        "-quality", "95"], os.path.join(self.dir, "base.jpg"))
        stored = os.path.join(self.dir, "stored.bmp")
        subprocess.run(["djpeg", "-bmp", "-outfile", stored, base], check=True, timeout=60)
        # One picture of each class through the real program: turned in place (half a
        # turn, Intel order), turned across (a quarter, Motorola order) and a broken tag
        # (as stored). Every value in both byte orders, pixel by pixel through the same
        # converter and preview, is the native Orientation.JpegPicturesComeOutUpright;
        # every broken block, ExifOrientation.AnythingOddGivesThePictureAsStored.
        names = []
        for o, order in ((3, "ii"), (6, "mm")):
            name = "o%d-%s.jpg" % (o, order)
            exif_orientation.main(["", "tag", base, self.path(name), str(o), order])
            names.append((name, o))
        exif_orientation.main(["", "tag", base, self.path("broken-truncated.jpg"), "6", "truncated"])
        names.append(("broken-truncated.jpg", 1))
        app, main = self.start_main()
        for name, o in names:
            self.set_and_wait(main, name)
            self.assertEqual(self.label_texts(main), ["Width:  %d" % (60 if o >= 5 else 90),
                                                      "Height: %d" % (90 if o >= 5 else 60)], name)
            # The same decode (djpeg's), turned by ImageMagick from the tag's value.
            out = os.path.join(self.dir, "expected.png")
            subprocess.run(["convert", stored, "-orient", ORIENT_NAMES[o], "-auto-orient", out], check=True,
                           timeout=60)
            size, rgb = self.staged_rgb()
            ew, eh, expected = decode_rgb(out)
            self.assertEqual(size, (ew, eh), name)
            self.assertEqual(rgb, expected, name)
            self.assert_desktop("1", "0")
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    # ---- Fit and Fill ----
    def test_fit_and_fill_render_at_the_screen_size(self):
        # Per mode one picture wider than the screen and one taller, one a JPEG (decoded
        # at a reduced scale as it streams) and one a bitmap; the square, the placement of
        # every shape and the linear-light scaling are the native ScreenPlacement and
        # ScreenFitRender tests.
        landscape, portrait = self.photo("landscape.jpg", 1600, 900, 2), self.photo("portrait.jpg", 480, 800, 3)
        portrait_bmp = convert([portrait, "-resize", "300x500!", "-type", "TrueColor"],
                               "BMP3:" + self.path("portrait-bmp.bmp"))
        wide_bmp = convert([landscape, "-resize", "2200x1100!", "-type", "TrueColor"], "BMP3:" + self.path("wide.bmp"))
        app, main = self.start_main()
        figures = []
        for item, sources in (("Fill", (landscape, portrait_bmp)), ("Fit", (portrait, wide_bmp))):
            self.choose_display(app, main, item)
            for source in sources:
                name = os.path.basename(source)
                data = self.set_and_wait(main, name)
                h = bmp_header(data)
                self.assertEqual((h["width"], abs(h["height"]), h["bits"]), SCREEN + (24,), name)
                self.assert_desktop("0", "0")
                _, rgb = self.staged_rgb()
                geometry = "%dx%d" % SCREEN
                if item == "Fill":
                    args = ["-resize", geometry + "^", "-gravity", "center", "-extent", geometry]
                else:
                    r, g, b = struct.unpack_from("<BBB", data, 54)[::-1]  # bottom-left corner
                    args = ["-resize", geometry, "-background", "rgb(%d,%d,%d)" % (r, g, b), "-gravity", "center",
                            "-extent", geometry]
                error = rmse(rgb, self.reference(source, args))
                figures.append("%s %s %.2f" % (item, name, error))
                self.assertLess(error, RMSE_LIMIT, "%s of %s" % (item, name))
        print("\nRMSE against ImageMagick: " + "; ".join(figures), file=sys.stderr)
        self.assertEqual(self.setting("Display"), "3")
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    # ---- as a user would ----
    def test_fill_with_a_portrait_phone_photo_upright_on_the_desktop_and_through_s(self):
        # A phone holds the camera upright but stores the picture sideways, with tag 6.
        sideways = convert(["-seed", "7", "-size", "400x300", "plasma:fractal", "-fill", "yellow", "-draw",
                            "rectangle 0,0 399,40", "-quality", "92"],
                           os.path.join(self.dir, "sideways.jpg"))
        exif_orientation.main(["", "tag", sideways, self.path("phone.jpg"), "6", "ii"])
        app, main = self.start_main()
        self.choose_display(app, main, "Fill")
        data = self.set_and_wait(main, "phone.jpg")
        self.assertEqual(self.label_texts(main), ["Width:  300", "Height: 400"])
        main.close()
        self.assertEqual(app.wait_exit(), 0)
        # Upright, the yellow band runs down the right side; filling 1024 x 768 keeps the
        # middle of the picture, so the band is cut away only at top and bottom.
        _, rgb = self.staged_rgb()
        expected = self.reference(self.path("phone.jpg"),
                                  ["-resize", "1024x768^", "-gravity", "center", "-extent", "1024x768"])
        self.assertLess(rmse(rgb, expected), RMSE_LIMIT)
        w = SCREEN[0]
        right = rgb[(384 * w + w - 20) * 3:(384 * w + w - 20) * 3 + 3]
        left = rgb[(384 * w + 20) * 3:(384 * w + 20) * 3 + 3]
        self.assertGreater(right[0], 200, "the band at the right: %r" % (right,))
        self.assertGreater(right[1], 200)
        self.assertLess(right[2], 80)
        self.assertNotEqual(left, right)
        # The desktop repaints with the wallpaper once the program's window has gone.
        points = ((w - 20, 384), (20, 384), (512, 100), (900, 700))
        shot = os.path.join(self.dir, "screen.bmp")

        def desktop():
            self.driver.call("capture", harness.winpath(shot))
            screen = harness.Bitmap(shot)
            return [screen.pixel(x, y) for x, y in points]
        wanted = [tuple(rgb[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x, y in points]
        try:
            wait_until(lambda: desktop() == wanted, 10, "the wallpaper on the desktop")
        except AssertionError:
            self.assertEqual(desktop(), wanted, "desktop pixels at %r" % (points,))
        self.screenshot("desktop-fill")  # a PNG to look at, in <build>/screenshots

        # The same unattended: the stored Display 4 applies.
        first = data
        os.remove(staged_file())
        app = self.start("/s")
        self.assertEqual(app.wait_exit(30), 0)
        self.assertEqual(read_bytes(staged_file()), first)
        self.assert_desktop("0", "0")


if __name__ == "__main__":
    harness.main()
