"""PNG, GIF and TIFF pictures through the system's own codecs, on request: the Options
dialog's "Also list PNG, GIF, TIFF, WebP and HEIC pictures" decides what the file list, the
"Select folder" question and the rotation see; such pictures are previewed and staged as
ImageMagick decodes them, laid over the desktop's colour; broken ones are invalid
pictures, never a crash."""

import os
import shutil
import subprocess

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario, bmp24_pixel, bmp_header, convert, decode_rgb, read_bytes, staged_file

COLOR_BACKGROUND = 1
DESKTOP_RGB = (40, 90, 160)
RED, BLUE = (200, 30, 30), (30, 40, 210)
# Client-area point of the main window's windowless ">>" button.
SELECT_BUTTON = (220, 80)


class Formats(WallpaperScenario):
    def setUp(self):
        super().setUp()
        self.pictures = self.make_folder("Pictures")
        self.write_folder_list([harness.winpath(self.pictures)])

    def solid(self, folder, name, rgb):
        return convert(["-size", "16x8", "xc:rgb(%d,%d,%d)" % rgb, "-quality", "98"], os.path.join(folder, name))

    def copy_formats(self, *names):
        for name in names:
            shutil.copy2(os.path.join(harness.Config.testdata, "formats", name), os.path.join(self.pictures, name))

    def label_texts(self, main):
        labels = sorted((c for c in main.children() if c["class"] == "Static" and c["text"] != "List of selected folders:"),
                        key=lambda c: c["rect"][1])
        return [c["text"] for c in labels]

    def run_unattended(self):
        if os.path.exists(staged_file()):
            os.remove(staged_file())
        app = self.start("/s")
        self.assertEqual(app.wait_exit(30), 0)
        r, g, b = bmp24_pixel(read_bytes(staged_file()), 0, 0)
        # The JPEG's solid colour comes back within a step or two.
        for name, rgb in (("a.png", RED), ("b.jpg", BLUE)):
            if max(abs(x - y) for x, y in zip((r, g, b), rgb)) <= 3:
                return name
        self.fail("the staged file is neither picture: %r" % ((r, g, b),))

    def rotate(self, runs):
        self.reg_delete("HKCU", harness.SETTINGS_SECTION, "File")
        self.reg_delete("HKCU", harness.SETTINGS_SECTION, "Folder")
        return [self.run_unattended() for _ in range(runs)]

    def set_more_types(self, app, main, on):
        dlg = self.open_options(app, main)
        box = dlg.find(cls="Button", text="Also list PNG, GIF, TIFF, WebP and HEIC pictures")
        if box.checked() != on:
            box.click()
            wait_until(lambda: box.checked() == on, 5, "the box toggled")
        dlg.find(cls="Button", text="&OK").click()
        dlg.wait_gone()

    def test_the_option_decides_the_list_the_question_and_the_rotation(self):
        self.solid(self.pictures, "a.png", RED)
        self.solid(self.pictures, "b.jpg", BLUE)
        only_gif = self.make_folder("OnlyGif")
        self.solid(only_gif, "c.gif", RED)
        # Off (the default): the PNG is never picked.
        self.assertEqual(self.rotate(2), ["b.jpg", "b.jpg"])

        self.write_folder_list([harness.winpath(self.pictures), harness.winpath(only_gif)])
        app, main = self.start_main()
        sel_dir, files = self.lists(main)
        sel_dir.click_list_item(0)
        wait_until(lambda: files.list_items()["items"] == ["b.jpg"], 10, "b.jpg alone listed")
        sel_dir.click_list_item(1)
        wait_until(lambda: files.list_items()["items"] == [], 10, "nothing listed in OnlyGif")
        main.click(*SELECT_BUTTON)
        box = app.wait_box()
        self.assertTrue(box.text.startswith("Selected folder does not contain supported image types."), box.text)
        box.press("&No")

        # On: the folder on view is listed anew when OK confirms, and the question is not asked.
        self.set_more_types(app, main, True)
        self.assertEqual(self.setting("MoreTypes"), "1")
        wait_until(lambda: files.list_items()["items"] == ["c.gif"], 10, "c.gif listed after OK")
        main.click(*SELECT_BUTTON)
        wait_until(lambda: sel_dir.list_items()["count"] == 3, 10, "the folder added without a question")
        self.assertIsNone(app.box())
        sel_dir.click_list_item(0)
        wait_until(lambda: files.list_items()["items"] == ["a.png", "b.jpg"], 10, "both listed")
        files.click_list_item("a.png")
        wait_until(lambda: self.label_texts(main) == ["Width:  16", "Height: 8"], 5, "the PNG's size")
        main.close()
        self.assertEqual(app.wait_exit(), 0)

        self.write_folder_list([harness.winpath(self.pictures)])
        self.assertEqual(self.setting("MoreTypes"), "1")
        # OK stored the dialog's random box too, ticked as it is offered: in turn again.
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "RndFile", "sz", "0")
        self.assertEqual(self.rotate(3), ["a.png", "b.jpg", "a.png"])

    def test_png_gif_and_tiff_staged_as_imagemagick_decodes_them_over_the_desktop_colour(self):
        # The desktop colour set as the Control Panel sets it, for the whole session; a value
        # written to the registry alone is not seen by Wine once it has its colours.
        previous = self.driver.call("sys_color", COLOR_BACKGROUND)
        self.assertEqual(self.driver.call("sys_color", COLOR_BACKGROUND, *DESKTOP_RGB), list(DESKTOP_RGB))
        self.addCleanup(self.driver.call, "sys_color", COLOR_BACKGROUND, *previous)
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "MoreTypes", "sz", "1")
        names = ["png-alpha.png", "gif-animated.gif", "tiff-pages.tif", "tiff-orient6.tif"]
        self.copy_formats(*names)
        app, main = self.start_main()
        for name in names:
            self.reg_delete("HKCU", harness.DESKTOP_KEY, "WallpaperOriginY")
            if os.path.exists(staged_file()):
                os.remove(staged_file())
            self.choose_picture(main, 0, name)
            self.press_set(main)
            data = self.wait_staged(timeout=15)
            self.assertEqual(bmp_header(data)["bits"], 24, name)
            self.assert_desktop("1", "0")
            reference = os.path.join(self.dir, "reference.png")
            subprocess.run(["convert", os.path.join(self.pictures, name) + "[0]", "-auto-orient", "-background",
                            "rgb(%d,%d,%d)" % DESKTOP_RGB, "-alpha", "remove", "-alpha", "off", reference],
                           check=True, timeout=60)
            w, h, expected = decode_rgb(reference)
            self.assertEqual(self.label_texts(main), ["Width:  %d" % w, "Height: %d" % h], name)
            self.assertEqual(decode_rgb(staged_file()), (w, h, expected), name)
        main.close()
        self.assertEqual(app.wait_exit(), 0)

        # Fit renders it at the screen's size, on the same colour.
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", "3")
        app, main = self.start_main()
        self.reg_delete("HKCU", harness.DESKTOP_KEY, "WallpaperOriginY")
        os.remove(staged_file())
        self.choose_picture(main, 0, "png-alpha.png")
        self.press_set(main)
        data = self.wait_staged(timeout=15)
        self.assertEqual((bmp_header(data)["width"], bmp_header(data)["height"]), (1024, 768))
        self.assertEqual(bmp24_pixel(data, 0, 0), DESKTOP_RGB)
        self.assertNotEqual(bmp24_pixel(data, 512, 100), DESKTOP_RGB)  # the opaque top of the picture
        main.close()
        self.assertEqual(app.wait_exit(), 0)

    def test_broken_files_are_invalid_pictures_never_a_crash(self):
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "MoreTypes", "sz", "1")
        names = ["gif-truncated.gif", "png-corrupt.png", "tiff-huge.tif", "webp-lossy.webp"]
        self.copy_formats(*names)
        app, main = self.start_main()
        for name in names:
            self.choose_picture(main, 0, name)
            self.assertEqual(self.label_texts(main), ["Width:  0", "Height: 0"], name)
            self.press_set(main)
            # Refused at the request, or, when only the pixels are bad, at the tick.
            box = app.wait_box(timeout=10)
            self.assertEqual(box.text, "Cannot read picture %s." % harness.winpath(os.path.join(self.pictures, name)))
            box.press("OK")
            wait_until(lambda: app.box() is None, 5, "the box gone")
        self.assertFalse(os.path.exists(staged_file()))
        self.assertIsNone(self.desktop("Wallpaper"))
        main.close()
        self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
