"""Makes the documentation's pictures of the program (not a test): the start-up window,
the main window with a folder of the sample pictures chosen and one previewed, and the
About box, each cropped to the window, written as PNG files into docs/; and the main
window once more on a screen of 150 % (144 dpi, in a prefix of its own).

    python3 tests/e2e/docs_pictures.py --exe build/win/bin/Velmaro.exe \\
        --driver build/win/bin/e2e_driver.exe --build build/win
"""

import os
import shutil
import subprocess

import harness
import scaled_screen
import test_main_window as mw

DOCS = os.path.join(harness.SOURCE_DIR, "docs")
SAMPLES = os.path.join(harness.SOURCE_DIR, "samples", "pictures")


def save_png(bitmap_path, name, crop=None):
    """A capture as a PNG file in docs/, cropped to (left, top, width, height) when given."""
    args = [mw.CONVERT, bitmap_path]
    if crop:
        args += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
    subprocess.run(args + [os.path.join(DOCS, name)], check=True, timeout=60)


class DocsPictures(mw.MainWindowScenario):
    def test_pictures(self):
        self.make_pictures()

    def make_pictures(self, dpi=96):
        """The pictures at a screen's DPI; at another than 96 the main window's only."""
        suffix = "" if dpi == 96 else "-%d" % dpi
        # The samples in the prefix's public Pictures folder: a short, familiar path.
        pictures = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "Public", "Pictures")
        copied = []
        for name in sorted(os.listdir(SAMPLES)):
            target = os.path.join(pictures, name)
            if not os.path.exists(target):
                shutil.copy2(os.path.join(SAMPLES, name), target)
                copied.append(target)
        for path in copied:
            self.addCleanup(os.remove, path)

        app = self.start()
        startup = app.wait_window(harness.STARTUP_CLASS, timeout=20)
        shot = os.path.join(self.dir, "startup.bmp")
        startup.capture(shot)
        if dpi == 96:
            save_png(shot, "startup-window.png")

        main = app.wait_main(timeout=15)
        self.background = self.window_background(main)

        def box(design):
            return scaled_screen.scaled_box(design, dpi)

        tree = self.control_at(main, "SysTreeView32", box(mw.TREE))
        tree.select_tree_path("Desktop", "My Computer")
        self.key("right")
        drive = harness.wait_until(lambda: [n["text"] for n in (mw._node(tree.tree_items(depth=2), ["Desktop", "My Computer"])["items"] or [])
                                            if n["text"].endswith("(C:)")], 20, "the C: drive")[0]
        tree.select_tree_path("Desktop", "My Computer", drive, "users", "Public", "Pictures")
        files = self.control_at(main, "ListBox", box(mw.FILE_LIST))
        self.wait_items(files, sorted(os.listdir(pictures), key=str.lower))
        self.press(main, box(mw.SELECT_BUTTON))
        files.click_list_item("sunset.jpg")
        harness.wait_until(lambda: self.label_texts(main) == ["Width:  1024", "Height: 768"], 10, "the preview")
        main.move(*mw.centre(box(mw.FILE_LIST)))
        screen = os.path.join(self.dir, "screen.bmp")
        self.driver.call("capture", harness.winpath(screen))
        # The window's designed outer size from the screen's corner (the maximized
        # window's frame lies off the screen).
        save_png(screen, "main-window%s.png" % suffix,
                 (0, 0, scaled_screen.scaled(450, dpi), scaled_screen.scaled(459, dpi)))
        if dpi != 96:
            self.assertTrue(app.kill())
            return

        main.choose_menu("&Help", "&About")
        about = app.wait_window(harness.ABOUT_CLASS, timeout=10)
        shot = os.path.join(self.dir, "about.bmp")
        about.capture(shot)
        save_png(shot, "about-box.png")
        about.activate()
        self.key("enter")
        about.wait_gone(10)
        # The list is not saved: this folder list belongs to no one.
        self.assertTrue(app.kill())


class DocsPicturesAt150Percent(DocsPictures):
    @classmethod
    def setUpClass(cls):
        cls.screen = scaled_screen.ScaledScreen(144)
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

    def test_pictures(self):
        self.make_pictures(144)


if __name__ == "__main__":
    harness.main()
