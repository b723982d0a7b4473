"""Names in every script, as a user meets them: a folder named in Cyrillic, Greek and
Chinese is reached through the folder tree, its pictures are listed, previewed and
hinted, the folder is added with ">>" and kept in Directory.drl in UTF-8 across a restart,
and an unattended start stages one of its pictures; a list file an older version wrote in
the system's 8-bit code page still loads its folder and is saved back in UTF-8; a
message box shows such a path as it is."""

import os

import harness
from harness import wait_until
from test_main_window import CLOSE_BUTTON, PREVIEW, SELECT_BUTTON, MainWindowScenario, centre
from wallpaper_common import bmp_header, bmp24_pixel, read_bytes, remove_staged, solid_bmp, staged_file

FOLDER = "\u0424\u043e\u0442\u043e \u0395\u03bb\u03bb\u03ac\u03b4\u03b1 \u5199\u771f"  # Фото Ελλάδα 写真
CAFE = "caf\u00e9 \u65e5\u672c.jpg"  # café 日本.jpg
SNOW = "\u0441\u043d\u0435\u0433.bmp"  # снег.bmp
SNOW_COLOUR = (40, 60, 210)


class Unicode(MainWindowScenario):
    def setUp(self):
        super().setUp()
        remove_staged()
        self.addCleanup(remove_staged)

    def unicode_folder(self):
        path = self.make_folder(FOLDER, [("basic-120x80.jpg", CAFE)])
        with open(os.path.join(path, SNOW), "wb") as out:
            out.write(solid_bmp(100, 50, SNOW_COLOUR))
        return path

    def test_folder_chosen_previewed_kept_and_rotated(self):
        pics = self.unicode_folder()
        app, main = self.start_main()
        selected, files = self.lists(main)
        tree = self.choose_folder(main, pics)
        self.assertEqual(tree.tree_selected()[-1], FOLDER)
        self.wait_items(files, [CAFE, SNOW])

        files.click_list_item(SNOW)
        wait_until(lambda: self.label_texts(main) == ["Width:  100", "Height: 50"], 10, "the size labels")
        shot, _ = self.capture_client(main, "preview")
        px, py, pw, ph = PREVIEW
        # The picture fits the preview, so it is shown whole at its own size.
        self.assertEqual(shot.count(SNOW_COLOUR, (px, py, px + pw, py + ph)), 100 * 50, "the picture is not in the preview")
        self.assertEqual(self.hint_over(main, PREVIEW), "Picture: " + harness.winpath(os.path.join(pics, SNOW)))

        main.click(*centre(SELECT_BUTTON))
        self.wait_items(selected, [harness.winpath(pics)])
        main.move(700, 500)
        self.screenshot("main")
        self.close_by_button(app, main)
        self.assertEqual(self.read_folder_list(), harness.winpath(pics).encode("utf-8") + b"\r\n")

        # Started again, the list shows the folder, and choosing it lists its pictures.
        app, main = self.start_main()
        selected, files = self.lists(main)
        self.wait_items(selected, [harness.winpath(pics)])
        selected.click_list_item(0)
        self.wait_items(files, [CAFE, SNOW])
        self.press(main, CLOSE_BUTTON)
        self.assertEqual(app.wait_exit(timeout=15), 0)
        self.assertEqual(self.read_folder_list(), harness.winpath(pics).encode("utf-8") + b"\r\n")

        # Unattended, the first folder's next picture is staged: one of the two.
        app = self.start("/s")
        self.assertEqual(app.wait_exit(30), 0)
        self.assertTrue(os.path.exists(staged_file()), "no staged file after the run")
        staged = read_bytes(staged_file())
        header = bmp_header(staged)
        self.assertIn((header["width"], abs(header["height"])), [(120, 80), (100, 50)])
        if header["width"] == 100:
            self.assertEqual(bmp24_pixel(staged, 0, 0), SNOW_COLOUR)
        self.assertEqual(self.reg_get("HKCU", harness.DESKTOP_KEY, "Wallpaper")["value"], r"C:\windows\VMImage.bmp")

    def test_list_in_the_legacy_code_page_loads_and_is_saved_as_utf8(self):
        pics = self.make_folder("Bilder \u00e9t\u00e9 \u00c4rger")  # été, Ä
        with open(os.path.join(pics, "\u00fcber.bmp"), "wb") as out:
            out.write(solid_bmp(16, 8, SNOW_COLOUR))
        legacy = harness.winpath(pics).encode("cp1252") + b"\r\n"
        self.write_folder_list(None, raw=legacy)
        app, main = self.start_main()
        selected, files = self.lists(main)
        self.wait_items(selected, [harness.winpath(pics)])
        selected.click_list_item(0)
        self.wait_items(files, ["\u00fcber.bmp"])
        self.close_by_button(app, main)
        self.assertEqual(self.read_folder_list(), harness.winpath(pics).encode("utf-8") + b"\r\n")

    def test_message_box_shows_the_path(self):
        pics = self.make_folder(FOLDER)
        with open(os.path.join(pics, "\u043e\u0448\u0438\u0431\u043a\u0430.jpg"), "wb") as out:  # ошибка.jpg
            out.write(b"not a picture\r\n")
        self.write_folder_list(None, raw=harness.winpath(pics).encode("utf-8") + b"\r\n")
        app = self.start("/s")
        box = app.wait_box(timeout=20)
        self.assertIn(harness.winpath(os.path.join(pics, "\u043e\u0448\u0438\u0431\u043a\u0430.jpg")), box.text)
        self.screenshot("box")
        box.press("OK")
        self.assertEqual(app.wait_exit(15), 0)


if __name__ == "__main__":
    harness.main()
