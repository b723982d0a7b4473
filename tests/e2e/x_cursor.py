"""The pointer's shape as the X server shows it (XFixes), for scenarios that check which
cursor the program sets: Wine hands each Windows cursor to the X server as an image, and
another process cannot read a Windows cursor of the program under Wine."""

import ctypes
import ctypes.util
import os


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class Shape:
    """A cursor image: size, hot spot and ARGB pixels (comparable with ==)."""

    def __init__(self, width, height, xhot, yhot, pixels):
        self.width, self.height, self.xhot, self.yhot, self.pixels = width, height, xhot, yhot, pixels

    def __eq__(self, other):
        return isinstance(other, Shape) and (self.width, self.height, self.xhot, self.yhot, self.pixels) == (
            other.width, other.height, other.xhot, other.yhot, other.pixels)

    def __repr__(self):
        return "<cursor %dx%d hot spot %d,%d>" % (self.width, self.height, self.xhot, self.yhot)


_libs = None


def _load():
    global _libs
    if _libs is None:
        x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        _libs = (x11, xfixes)
    return _libs


def shape():
    """The cursor shown now on the X display of $DISPLAY."""
    x11, xfixes = _load()
    display = x11.XOpenDisplay(os.environ.get("DISPLAY", "").encode() or None)
    if not display:
        raise RuntimeError("cannot open the X display %r" % os.environ.get("DISPLAY"))
    try:
        image = xfixes.XFixesGetCursorImage(display)
        if not image:
            raise RuntimeError("the X server gives no cursor image")
        c = image.contents
        pixels = tuple(c.pixels[i] & 0xFFFFFFFF for i in range(c.width * c.height))
        result = Shape(c.width, c.height, c.xhot, c.yhot, pixels)
        x11.XFree(image)
        return result
    finally:
        x11.XCloseDisplay(display)
