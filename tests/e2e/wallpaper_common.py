"""Pieces shared by the Options, wallpaper and rotation scenarios: the desktop values, the
staged file in the Wine prefix's Windows directory, BMP headers, pictures made on the
host, and the main window's controls as a person finds them."""

import os
import shutil
import struct
import subprocess
import time

import harness
from harness import wait_until

DESKTOP_VALUES = ("Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX", "WallpaperOriginY")
# GetWindowsDirectoryA in the test prefix, and the staged file the program names there.
STAGED_WIN = r"C:\windows\VMImage.bmp"
MISSING_LIST_TEXT = 'File "Directory.drl" not found. Cannot load Selected direcotories list!'

# Where the main window's windowless "Set as wallpaper" button lies (client coordinates).
SET_BUTTON = (8, 344, 185, 17)


def windows_dir():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows")


def staged_file():
    """The host path of the staged wallpaper file."""
    return os.path.join(windows_dir(), "VMImage.bmp")


def remove_staged():
    """Removes the staged file (or a folder a test put in its place)."""
    path = staged_file()
    if os.path.isdir(path):
        shutil.rmtree(path)
    elif os.path.exists(path):
        os.remove(path)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def bmp_header(data):
    """The fields of a BMP file's headers that the staged-file checks look at."""
    if data[:2] != b"BM":
        raise AssertionError("not a BMP file (starts with %r)" % data[:2])
    size, offset, header = struct.unpack_from("<I4xII", data, 2)
    if header == 12:
        width, height, _, bits = struct.unpack_from("<HHHH", data, 18)
        compression = colours = 0
    else:
        width, height, _, bits, compression, _, _, _, colours = struct.unpack_from("<iiHHIIiiI", data, 18)
    return {"file_size": size, "offset": offset, "header": header, "width": width, "height": height,
            "bits": bits, "compression": compression, "colours": colours}


def solid_bmp(width, height, rgb):
    """A 24-bit bottom-up BMP of one colour (written here, byte by byte, so that
    thousands of them cost nothing)."""
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    return (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0) + pixels)


def bmp24_pixel(data, x, y):
    """(r, g, b) of a 24-bit BMP file at (x, y) from the top-left corner."""
    h = bmp_header(data)
    if h["bits"] != 24:
        raise AssertionError("expected a 24-bit bitmap, got %d bits" % h["bits"])
    stride = (h["width"] * 3 + 3) & ~3
    row = h["height"] - 1 - y if h["height"] > 0 else y
    i = h["offset"] + row * stride + x * 3
    b, g, r = data[i:i + 3]
    return (r, g, b)


def decode_rgb(path):
    """(width, height, RGB bytes) of any picture, decoded by ImageMagick on the host: an
    independent decoder of both the sources and the staged file."""
    size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], stdout=subprocess.PIPE, check=True,
                          timeout=60).stdout.split()
    rgb = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgb:-"], stdout=subprocess.PIPE, check=True,
                         timeout=60).stdout
    return int(size[0]), int(size[1]), rgb


def convert(args, out):
    """Runs ImageMagick's convert to make a test picture; returns its path."""
    subprocess.run(["convert"] + list(args) + [out], check=True, timeout=60)
    return out.split(":", 1)[-1]


class WallpaperScenario(harness.Scenario):
    """A scenario that starts without the program's settings, without the desktop values
    the program writes and without a staged file (the lane's prefix is shared by the file's tests)."""

    def setUp(self):
        super().setUp()
        for name in DESKTOP_VALUES:
            self.reg_delete("HKCU", harness.DESKTOP_KEY, name)
        remove_staged()
        self.addCleanup(remove_staged)

    # ---- reading what was applied ----
    def desktop(self, name):
        v = self.reg_get("HKCU", harness.DESKTOP_KEY, name)
        if v is not None:
            self.assertEqual(v["type"], 1, "%s is not REG_SZ: %r" % (name, v))
        return None if v is None else v["value"]

    def desktop_values(self):
        return tuple(self.desktop(n) for n in DESKTOP_VALUES)

    def assert_desktop(self, tile, style, path=STAGED_WIN):
        self.assertEqual(self.desktop_values(), (path, tile, style, "0", "0"))

    def wait_staged(self, timeout=10.0):
        """Waits for a tick's whole work: the staged file and the last desktop value."""
        wait_until(lambda: os.path.exists(staged_file()) and self.desktop("WallpaperOriginY") is not None,
                   timeout, "the staged file and the desktop values")
        return read_bytes(staged_file())

    def settings_values(self):
        return {n: self.setting(n) for n in ("File", "Folder", "RndFile", "ChangeWP", "Display", "Date")}

    # ---- the main window, as a person uses it ----
    def start_main(self, args=""):
        app = self.start(args)
        main = app.wait_main(timeout=30)
        # Keys pressed before Wine has taken the keyboard over to the new window lose
        # their Alt or Ctrl.
        main.wait_keyboard()
        return app, main

    def lists(self, main):
        """(SelDirLB, FileLB): the selected-folder list lies right of the file list's
        column, above the preview; both are list boxes."""
        boxes = sorted(main.find_all(cls="ListBox", visible=True), key=lambda w: w.rect()[0])
        self.assertEqual(len(boxes), 2, "expected two list boxes on the main window")
        return boxes[1], boxes[0]

    def choose_picture(self, main, folder_index, name):
        """Clicks a folder in the selected-folder list, then a picture in the file list."""
        sel_dir, files = self.lists(main)
        sel_dir.click_list_item(folder_index)
        wait_until(lambda: name in files.list_items()["items"], 10, "%s in the file list" % name)
        files.click_list_item(name)
        wait_until(lambda: files.list_items()["sel"] == files.list_items()["items"].index(name), 5,
                   "%s chosen" % name)

    def press_set(self, main):
        left, top, width, height = SET_BUTTON
        main.click(left + width // 2, top + height // 2)
        return time.time()

    def open_options(self, app, main):
        main.choose_menu("Ac&tions", "&Options")
        return app.wait_window(harness.OPTIONS_CLASS, "Options", timeout=10)

    def key_exists(self, key):
        """Whether a key exists, asked through Wine's own reg tool."""
        return subprocess.run(["wine", "reg", "query", key], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=120).returncode == 0
