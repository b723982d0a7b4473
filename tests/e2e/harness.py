"""End-to-end harness: drives the real Velmaro.exe under Wine as a person would.

A scenario file (tests/e2e/test_*.py) subclasses Scenario and calls harness.main().
Each scenario file runs one e2e_driver.exe under Wine for all of its tests; the driver
starts the program, finds its windows and gives it real mouse and keyboard input.
Standard library only.
"""

import argparse
import json
import os
import queue
import re
import select
import shutil
import struct
import subprocess
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))

# Class names of the program's windows.
STARTUP_CLASS = "TPocetakDialog"
MAIN_CLASS = "TFormMain"
OPTIONS_CLASS = "TODialog"
ABOUT_CLASS = "TAboutDialog"
# Our own message box, and the system's in case something still uses it.
BOX_CLASSES = ("TMessageForm", "#32770")

# Registry keys the program reads and writes.
SETTINGS_KEY = r"Software\Velmaro"
SETTINGS_SECTION = SETTINGS_KEY + r"\Settings"
DESKTOP_KEY = r"Control Panel\Desktop"

WM_NULL = 0x0000
WM_CLOSE = 0x0010
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
BM_CLICK = 0x00F5
LB_GETCOUNT = 0x018B
LB_GETCURSEL = 0x0188
CB_GETCURSEL = 0x0147
BM_GETCHECK = 0x00F0

# Our message box's text control (gui/message_box_win.h).
BOX_TEXT_ID = 100

# How long Wine may take to answer a command beyond the command's own waiting.
SLACK = 30.0


class Config:
    """Paths given on the command line (CTest passes them)."""

    exe = None  # the built Velmaro.exe
    driver = None  # e2e_driver.exe
    build = None  # the build directory
    testdata = None  # the test pictures made by the testdata fixture
    # "NAME,WxH": run inside a Wine virtual desktop, which manages the windows as a window
    # manager would (a maximized window really fills the screen, frames are drawn) so
    # that what the screen shows and where Wine places windows agree; None: bare X.
    desktop = "velmaro,1024x768"
    scenario = "e2e"  # the scenario file's name without .py: names screenshots and folders

    @classmethod
    def screenshots(cls):
        path = os.path.join(cls.build, "screenshots")
        os.makedirs(path, exist_ok=True)
        return path

    @classmethod
    def work(cls):
        return os.path.join(cls.build, "e2e-work")


class DriverError(Exception):
    """The driver answered "err ..." (a timeout shows as DriverError('timeout'))."""


def winpath(path):
    """A host path as Wine's Z: drive shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def quote(value):
    """One argument of a driver command."""
    if isinstance(value, Window):
        return str(value.hwnd)
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, int):
        return str(value)
    text = str(value)
    out = ['"']
    for ch in text:
        if ch in '"\\':
            out.append("\\" + ch)
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif ord(ch) < 0x20:
            out.append("\\x%02x" % ord(ch))
        else:
            out.append(ch)
    out.append('"')
    return "".join(out)


class Driver:
    """One e2e_driver.exe under Wine, spoken to line by line."""

    def __init__(self, driver_exe, desktop=None):
        self.x_pointer = bool(desktop)
        self.desktop_name = desktop.split(",")[0] if desktop else None
        self.x_offset = None  # where the desktop's X window lies on the X screen
        if self.x_pointer and not shutil.which("xdotool"):
            raise DriverError("a virtual desktop run needs xdotool (apt-get install xdotool)")
        if desktop:
            # A Wine virtual desktop that manages the windows and shows a wallpaper; the
            # driver works inside it and starts the program there.
            name = desktop.split(",")[0]
            args = ["wine", "explorer", "/desktop=" + desktop, driver_exe, "--desktop", name]
        else:
            args = ["wine", driver_exe]
        # Wine's helper processes (the desktop's explorer, services) start on demand and
        # inherit the driver's output; were that our own output, CTest would wait for
        # them forever. So both go through private pipes, and stderr is passed on here
        # (that is where Wine reports a crash: "Unhandled page fault").
        self.proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, bufsize=0)
        self.lines = queue.Queue()
        self.late = 0  # answers still to come to commands given up on
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.errors = threading.Thread(target=self._pass_on_errors, daemon=True)
        self.errors.start()
        # In a lane beside busy ones, Wine's first start of its services and desktop has
        # once taken longer than a minute.
        ready = self._reply(120.0, "start-up")
        if not isinstance(ready, dict) or not ready.get("ready"):
            raise DriverError("the driver did not start: %r" % (ready,))

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
        self.lines.put(None)

    def _pass_on_errors(self):
        for raw in self.proc.stderr:
            sys.stderr.write("wine: " + raw.decode("utf-8", "replace"))
            sys.stderr.flush()

    def _reply(self, timeout, what):
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                self.late += 1
                raise DriverError("no answer from the driver within %.0f s to: %s" % (timeout, what))
            if line is None:
                raise DriverError("the driver ended (while waiting for: %s)" % what)
            if self.late and (line.startswith("ok") or line.startswith("err")):
                self.late -= 1  # the answer to a command given up on: not this one's
                continue
            if line.startswith("ok"):
                rest = line[2:].strip()
                return json.loads(rest) if rest else None
            if line.startswith("err"):
                raise DriverError(line[3:].strip())
            # Anything else is chatter on the driver's output (Wine's): pass it on.
            sys.stderr.write("driver: %s\n" % line)

    def call(self, command, *args, wait=0.0):
        """Runs one command; wait is how long the command itself may take (seconds)."""
        line = " ".join([command] + [quote(a) for a in args])
        if self.proc.poll() is not None:
            raise DriverError("the driver is gone (exit %s)" % self.proc.returncode)
        self.proc.stdin.write((line + "\n").encode("utf-8"))
        self.proc.stdin.flush()
        return self._reply(wait + SLACK, line)

    def pointer(self, action, x, y):
        """Moves the pointer to screen (x, y) and does one of: move, click, double_click,
        right_click, down, up. Inside a virtual desktop Wine replays its own pointer
        moves late, which can land clicks where the pointer was before; there the pointer
        is moved by the X server itself (xdotool), as a real mouse would move it."""
        if not self.x_pointer:
            return self.call(action, x, y)
        buttons = {"move": [], "click": ["click", "1"], "right_click": ["click", "3"],
                   "double_click": ["click", "--repeat", "2", "--delay", "60", "1"],
                   "down": ["mousedown", "1"], "up": ["mouseup", "1"]}
        if action not in buttons:
            raise ValueError(action)
        if self.x_offset is None:
            self.x_offset = _desktop_origin(self.desktop_name)
        here = self.call("cursor")
        # Two steps on the way, as the driver's own moves do, so that hover is seen; each
        # waits until Wine has taken the pointer there, so that no click lands where the
        # pointer was before.
        for step in (1, 2, 3):
            mid = [here[0] + (x - here[0]) * step // 3, here[1] + (y - here[1]) * step // 3]
            subprocess.run(["xdotool", "mousemove", str(mid[0] + self.x_offset[0]), str(mid[1] + self.x_offset[1])],
                           check=True)
            self._wait_cursor(mid)
        if buttons[action]:
            subprocess.run(["xdotool"] + buttons[action], check=True)
        return [x + self.x_offset[0], y + self.x_offset[1]]

    def _wait_cursor(self, point, timeout=5.0):
        """Waits until Wine reports the pointer at a screen point."""
        deadline = time.monotonic() + timeout
        while list(self.call("cursor")) != list(point):
            if time.monotonic() > deadline:
                raise DriverError("Wine did not see the pointer at %r within %.0f s (it is at %r)" % (
                    point, timeout, self.call("cursor")))
            time.sleep(0.01)

    def close(self):
        if self.proc.poll() is None:
            try:
                self.call("quit")
            except (DriverError, OSError):
                pass
        try:
            self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            # The driver's job ends whatever it started when the driver goes.
            self.proc.kill()
            self.proc.wait()
        self.proc.stdin.close()


def _desktop_origin(name):
    """The X screen position of a Wine virtual desktop's window (0, 0 on a bare Xvfb;
    elsewhere where a window manager put it)."""
    out = subprocess.run(["xdotool", "search", "--name", "^%s - Wine desktop$" % re.escape(name),
                          "getwindowgeometry", "--shell"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True, timeout=30).stdout
    found = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    if "X" not in found:
        raise DriverError("cannot find the X window of the Wine desktop %r" % name)
    return int(found["X"]), int(found["Y"])


class Window:
    """A window of the program under test (a top-level window or a control)."""

    def __init__(self, driver, hwnd, cls=None, title=None):
        self.driver = driver
        self.hwnd = int(hwnd)
        self.cls = cls
        self.title = title

    def __repr__(self):
        return "<Window %#x %s %r>" % (self.hwnd, self.cls, self.title)

    def __eq__(self, other):
        return isinstance(other, Window) and other.hwnd == self.hwnd

    def __hash__(self):
        return self.hwnd

    def call(self, command, *args, **kw):
        return self.driver.call(command, self, *args, **kw)

    # ---- reading ----
    def info(self):
        """class, title, text, visible, enabled, zoomed, iconic, style, exstyle, id, pid,
        parent, owner, rect and client (screen [l, t, r, b]), normal (restored bounds)."""
        return self.call("info")

    def exists(self):
        try:
            self.call("info")
            return True
        except DriverError:
            return False

    def rect(self):
        return self.info()["rect"]

    def client_rect(self):
        return self.info()["client"]

    def text(self):
        return self.call("text")

    def children(self):
        """Every descendant: hwnd, parent, class, text, id, visible, enabled, style, rect."""
        return self.call("children")

    def find_all(self, cls=None, text=None, id=None, visible=None):
        """Descendants matching all given criteria. text matches with or without "&"."""
        found = []
        for c in self.children():
            if cls is not None and c["class"] != cls:
                continue
            if text is not None and c["text"] != text and c["text"].replace("&", "") != text:
                continue
            if id is not None and c["id"] != id:
                continue
            if visible is not None and c["visible"] != visible:
                continue
            found.append(c)
        return [Window(self.driver, c["hwnd"], c["class"], c["text"]) for c in found]

    def find(self, cls=None, text=None, id=None, visible=None):
        found = self.find_all(cls, text, id, visible)
        if not found:
            raise AssertionError("no child %s in %r; children: %s" % (
                dict(cls=cls, text=text, id=id), self, [(c["class"], c["text"]) for c in self.children()]))
        return found[0]

    def list_items(self):
        """A list box: {count, sel, top, items}."""
        return self.call("lb_items")

    def combo_items(self):
        """A combo box: {count, sel, dropped, text, items}."""
        return self.call("cb_items")

    def checked(self):
        """A check box: 0 unchecked, 1 checked, 2 indeterminate."""
        return self.call("check")

    def capture(self, path, client=False):
        """Writes what the screen shows of this window into a BMP file; returns a Bitmap."""
        args = [winpath(path), self] + (["client"] if client else [])
        self.driver.call("capture", *args)
        return Bitmap(path)

    def pixel(self, x, y):
        """[r, g, b] of the screen at client coordinates (x, y)."""
        return self.call_point("pixel", x, y)

    def call_point(self, command, x, y, **kw):
        return self.driver.call(command, x, y, self, **kw)

    def screen_point(self, x, y):
        left, top, _, _ = self.client_rect()
        return left + x, top + y

    def pointer(self, action, x, y):
        return self.driver.pointer(action, *self.screen_point(x, y))

    # ---- acting ----
    def click(self, x=None, y=None):
        """A real left click at client coordinates (the centre when none are given)."""
        x, y = self._point(x, y)
        return self.pointer("click", x, y)

    def double_click(self, x=None, y=None):
        x, y = self._point(x, y)
        return self.pointer("double_click", x, y)

    def right_click(self, x=None, y=None):
        x, y = self._point(x, y)
        return self.pointer("right_click", x, y)

    def move(self, x=None, y=None):
        x, y = self._point(x, y)
        return self.pointer("move", x, y)

    def _point(self, x, y):
        if x is None or y is None:
            left, top, right, bottom = self.client_rect()
            return (right - left) // 2, (bottom - top) // 2
        return x, y

    def activate(self):
        return self.call("activate")

    def wait_keyboard(self, timeout=10.0):
        """Brings the window's top-level window to the front and waits until keys sent to
        it arrive whole. When Wine moves the X server's keyboard focus to a window, the
        owning thread takes the key state from the X server once more; an Alt pressed
        through SendInput before that is dropped, and its letter reaches the focused
        control. So: wait for the X focus to be on the window's X window, then for one
        round trip through the window's thread, which reads the pending X events first."""
        self.activate()
        x_window = self.call("x_window")
        if self.driver.x_pointer and x_window:
            def focused():
                out = subprocess.run(["xdotool", "getwindowfocus"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, timeout=30).stdout.strip()
                return out == str(x_window)
            wait_until(focused, timeout, "the X keyboard focus on %r" % self)
        self.driver.call("send", self, WM_NULL)

    def choose_menu(self, *path, timeout=10.0):
        """Chooses a menu item with the keyboard, as a person would: Alt with the access
        key of the menu ("&" marks it), then each item's access key; an item given as a
        number is reached with that many Down presses from the first item and Enter
        (separators are skipped, as the keyboard skips them). Wine keeps menus in the
        owning process, so they cannot be read from outside; the keyboard needs nothing."""
        pid = self.info()["pid"]
        self.wait_keyboard()
        self.driver.call("key", "alt+" + access_key(path[0]))
        self.driver.call("wait_window", "#32768", "*", int(timeout * 1000), pid, wait=timeout)
        for entry in path[1:]:
            if isinstance(entry, int):
                self.driver.call("key", *(["down"] * entry + ["enter"]))
            else:
                self.driver.call("key", access_key(entry))

    def close(self):
        """Asks the window to close (WM_CLOSE), as the close box does."""
        self.call("close")

    def click_close_box(self):
        """A real click on the caption bar's close box. Without a window manager Wine
        draws the caption of tool windows only; for other windows run in a virtual
        desktop (--desktop), or use system_close()."""
        x, y = self.call("close_box")
        self.driver.pointer("click", x, y)

    def system_close(self):
        """The system's close command (what the close box and Alt+F4 send)."""
        self.post(WM_SYSCOMMAND, SC_CLOSE)

    def send(self, msg, wparam=0, lparam=0):
        return self.driver.call("send", self, msg, wparam, lparam)

    def post(self, msg, wparam=0, lparam=0):
        self.driver.call("post", self, msg, wparam, lparam)

    def wait_gone(self, timeout=10.0):
        """Waits until the window is destroyed or hidden."""
        self.driver.call("wait_gone", self, int(timeout * 1000), wait=timeout)

    # ---- list boxes and trees, by real clicks ----
    def click_list_item(self, text_or_index):
        """Clicks a list box line (scrolled into sight first); returns its index."""
        items = self.list_items()["items"]
        index = text_or_index if isinstance(text_or_index, int) else items.index(text_or_index)
        left, top, right, bottom = self.driver.call("lb_item_rect", self, index)
        self.driver.pointer("click", (left + right) // 2, (top + bottom) // 2)
        return index

    def tree_items(self, depth=64):
        """The tree's loaded nodes: {handle, text, selected, expanded, has_children, rect, items}."""
        return self.call("tv_items", depth)

    def tree_selected(self):
        """The labels from the root to the selected node."""
        return self.call("tv_selected")

    def select_tree_path(self, *labels, timeout=20.0):
        """Clicks down a folder tree by the node labels, as a person would: each node is
        clicked, and expanded with the Right key when its children are needed."""
        nodes = self.tree_items(depth=0)
        node = None
        for i, label in enumerate(labels):
            node = _find_node(nodes, label)
            self.click_tree_node(node)
            if i + 1 == len(labels):
                break
            if not node["expanded"]:
                self.driver.call("key", "right")
            nodes = self._wait_children(node["handle"], timeout)
        deadline = time.monotonic() + timeout
        while self.tree_selected() != list(_path_to(self.tree_items(), node["handle"])):
            if time.monotonic() > deadline:
                raise AssertionError("tree selection stayed at %r" % (self.tree_selected(),))
            time.sleep(0.1)
        return node

    def click_tree_node(self, node):
        left, top, right, bottom = self.driver.call("tv_item_rect", self, node["handle"])
        # A long label reaches past the tree's edge: click the part of it in sight.
        cl, _, cr, _ = self.client_rect()
        left, right = max(left, cl), min(right, cr)
        self.driver.pointer("click", (left + right) // 2, (top + bottom) // 2)

    def _wait_children(self, handle, timeout):
        deadline = time.monotonic() + timeout
        while True:
            found = _find_handle(self.tree_items(), handle)
            if found and found["expanded"] and found["items"]:
                return found["items"]
            if time.monotonic() > deadline:
                raise AssertionError("tree node %r did not expand" % (found and found["text"]))
            time.sleep(0.1)


def access_key(caption):
    """The access key of a menu caption or button text: the character after "&"."""
    i = 0
    while i < len(caption) - 1:
        if caption[i] == "&":
            if caption[i + 1] != "&":
                return caption[i + 1].lower()
            i += 1
        i += 1
    raise ValueError("%r has no access key: give the item's position instead" % caption)


def _find_node(nodes, label):
    for n in nodes:
        if n["text"] == label:
            return n
    raise AssertionError("no tree node %r among %r" % (label, [n["text"] for n in nodes]))


def _find_handle(nodes, handle):
    for n in nodes or []:
        if n["handle"] == handle:
            return n
        found = _find_handle(n["items"], handle)
        if found:
            return found
    return None


def _path_to(nodes, handle, prefix=()):
    for n in nodes or []:
        here = prefix + (n["text"],)
        if n["handle"] == handle:
            return here
        found = _path_to(n["items"], handle, here)
        if found:
            return found
    return None


class MessageBox:
    """A message box of the program: its caption, its text and its buttons."""

    def __init__(self, window, caption, text, buttons):
        self.window = window
        self.caption = caption
        self.text = text
        self.buttons = buttons  # [Window] in their order on the box

    def __repr__(self):
        return "<MessageBox %r %r %r>" % (self.caption, self.text, self.button_texts())

    def button_texts(self):
        return [b.title for b in self.buttons]

    def button(self, label):
        for b in self.buttons:
            if b.title == label or b.title.replace("&", "") == label.replace("&", ""):
                return b
        raise AssertionError("no button %r on %r" % (label, self))

    def press(self, label, timeout=10.0):
        """Clicks the button for real and waits until the box has gone."""
        self.button(label).click()
        self.window.wait_gone(timeout)

    def key(self, *chords, timeout=10.0):
        """Presses keys with the box in front (Enter, Esc...) and waits until it has gone."""
        self.window.activate()
        self.window.driver.call("key", *chords)
        self.window.wait_gone(timeout)


class Bitmap:
    """A 24- or 32-bit BMP file, for pixel checks (what the driver's capture writes)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:2] != b"BM":
            raise ValueError("%s is not a BMP file" % path)
        offset = struct.unpack_from("<I", data, 10)[0]
        width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
        if bits not in (24, 32):
            raise ValueError("%s: %d bits per pixel not handled" % (path, bits))
        self.width = width
        self.height = abs(height)
        self._bottom_up = height > 0
        self._bpp = bits // 8
        self._stride = (width * self._bpp + 3) & ~3
        self._data = data
        self._offset = offset

    def pixel(self, x, y):
        """(r, g, b) at (x, y), counted from the top-left corner."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError((x, y))
        row = self.height - 1 - y if self._bottom_up else y
        i = self._offset + row * self._stride + x * self._bpp
        b, g, r = self._data[i:i + 3]
        return (r, g, b)

    def count(self, rgb, area=None):
        """How many pixels of one colour, in (left, top, right, bottom) or everywhere."""
        left, top, right, bottom = area or (0, 0, self.width, self.height)
        return sum(1 for y in range(top, bottom) for x in range(left, right) if self.pixel(x, y) == rgb)


class App:
    """One run of a program started by the driver."""

    def __init__(self, driver, pid):
        self.driver = driver
        self.pid = pid

    def alive(self):
        return self.driver.call("alive", self.pid)

    def windows(self):
        """The process's top-level windows: hwnd, class, title, visible, pid, rect."""
        return self.driver.call("windows", self.pid)

    def visible_windows(self):
        return [(w["class"], w["title"]) for w in self.windows() if w["visible"]]

    def wait_window(self, cls="*", title="*", timeout=15.0):
        """A visible top-level window of this run; "*" and "?" work as wildcards."""
        try:
            w = self.driver.call("wait_window", cls, title, int(timeout * 1000), self.pid, wait=timeout)
        except DriverError as e:
            if str(e) != "timeout":
                raise
            raise AssertionError("no visible %s window %r within %.0f s; visible: %s; running: %s" % (
                cls, title, timeout, self.visible_windows(), self.alive()))
        return Window(self.driver, w["hwnd"], w["class"], w["title"])

    def window(self, cls, title="*"):
        """A visible top-level window that is there now, or None."""
        for w in self.windows():
            if w["visible"] and _glob(cls, w["class"]) and _glob(title, w["title"]):
                return Window(self.driver, w["hwnd"], w["class"], w["title"])
        return None

    def wait_main(self, timeout=30.0):
        """The main window, after the start-up window if there is one."""
        return self.wait_window(MAIN_CLASS, timeout=timeout)

    def wait_box(self, timeout=15.0):
        """The next visible message box of this run, read into a MessageBox."""
        deadline = time.monotonic() + timeout
        while True:
            for w in self.windows():
                if w["visible"] and w["class"] in BOX_CLASSES:
                    return read_box(Window(self.driver, w["hwnd"], w["class"], w["title"]))
            if time.monotonic() > deadline:
                raise AssertionError("no message box within %.0f s; visible: %s; running: %s" % (
                    timeout, self.visible_windows(), self.alive()))
            time.sleep(0.05)

    def box(self):
        """The message box shown now, or None."""
        for w in self.windows():
            if w["visible"] and w["class"] in BOX_CLASSES:
                return read_box(Window(self.driver, w["hwnd"], w["class"], w["title"]))
        return None

    def wait_exit(self, timeout=15.0):
        """The exit code; fails the test if the program is still running after timeout."""
        try:
            return self.driver.call("wait_exit", int(timeout * 1000), self.pid, wait=timeout)
        except DriverError as e:
            if str(e) != "timeout":
                raise
            raise AssertionError("the program did not end within %.0f s; visible: %s" % (
                timeout, self.visible_windows()))

    def kill(self):
        """Ends the program at once; True when it was still running."""
        return self.driver.call("kill", self.pid)


def read_box(window):
    """Caption, text and buttons of a message box: the text is that of its text control
    (our box's has id BOX_TEXT_ID; for other boxes every static text with text, the
    icon's having none), the buttons in left-to-right order."""
    kids = [c for c in window.children() if c["visible"]]
    statics = [c for c in kids if c["class"].lower() == "static"]
    own = [c for c in statics if c["id"] == BOX_TEXT_ID]
    texts = [c["text"] for c in (own or statics) if c["text"] or own]
    buttons = sorted((c for c in kids if c["class"].lower() == "button"), key=lambda c: (c["rect"][0], c["rect"][1]))
    return MessageBox(window, window.info()["title"], "\n".join(texts),
                      [Window(window.driver, c["hwnd"], c["class"], c["text"]) for c in buttons])


def wait_until(predicate, timeout=10.0, what="the condition", interval=0.05):
    """Polls until predicate() gives a true value and returns it; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("%s did not come within %.0f s" % (what, timeout))
        time.sleep(interval)


def _glob(pattern, text):
    regex = "".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in pattern)
    return re.fullmatch(regex, text, re.S) is not None


def screenshot(name):
    """A PNG of the whole screen (the X display Wine draws on) in <build>/screenshots."""
    path = os.path.join(Config.screenshots(), name + ".png")
    tool = "/usr/bin/import" if os.path.exists("/usr/bin/import") else "import"
    subprocess.run([tool, "-window", "root", path], check=True, timeout=60,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    return path


def wine_reg_query(key, name):
    """A registry value read by Wine's own reg tool (independent of the driver):
    (type name, data as printed) or None when it is missing."""
    # A reg process that fails to start under load also ends non-zero; only its own
    # "Unable to find" means that the value is missing.
    for _ in range(3):
        out = subprocess.run(["wine", "reg", "query", key, "/v", name], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        if out.returncode == 0 or b"Unable to find" in out.stdout:
            break
    if out.returncode != 0:
        return None
    for line in out.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
            return parts[1], parts[2] if len(parts) > 2 else ""
    return None


def _start_x_server(args, env=None):
    """Starts an X server on a display it picks itself (-displayfd) and waits until it
    accepts clients; returns (process, display number)."""
    read, write = os.pipe()
    try:
        proc = subprocess.Popen(args + ["-displayfd", str(write)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=env, pass_fds=(write,))
    finally:
        os.close(write)
    try:
        line = ""
        deadline = time.monotonic() + 20
        while not line.endswith("\n") and time.monotonic() < deadline:
            if select.select([read], [], [], 0.5)[0]:
                chunk = os.read(read, 16).decode("ascii", "replace")
                if not chunk:
                    break
                line += chunk
    finally:
        os.close(read)
    line = line.strip()
    if not line.isdigit():
        proc.kill()
        proc.wait()
        raise DriverError("the X server %s did not start" % args[0])
    return proc, int(line)


class MonitorRig:
    """Two monitors for Wine: Xephyr with two screens joined by Xinerama, inside an Xvfb
    of its own, and Wine told not to ask XRandR (which sees one screen). Wine then reports
    DISPLAY1 at (0, 0), 1280 x 1024, primary, and DISPLAY2 at (1280, 0), 1024 x 768.

    The X11 Driver setting would change the lane's other scenarios' screen, so the rig has
    a Wine prefix of its own (a clone of the lane's template) and its own wineserver.
    Everything it starts is stopped by its own process id (the servers) or through its own
    prefix (wineserver -k)."""

    SCREENS = ((1280, 1024), (1024, 768))

    def __init__(self):
        self.prefix = None
        self.servers = []
        self.saved = {}

    def start(self):
        self.saved = {k: os.environ.get(k) for k in ("DISPLAY", "WINEPREFIX")}
        try:
            outer_proc, outer = _start_x_server(["Xvfb", "-screen", "0", "2400x1100x24", "-nolisten", "tcp"])
            self.servers.append(outer_proc)
            env = dict(os.environ, DISPLAY=":%d" % outer)
            args = ["Xephyr"]
            for w, h in self.SCREENS:
                args += ["-screen", "%dx%d" % (w, h)]
            inner_proc, inner = _start_x_server(args + ["+xinerama", "-nolisten", "tcp"], env)
            self.servers.append(inner_proc)
            self.prefix = clone_prefix("prefix-monitors")
            os.environ["DISPLAY"] = ":%d" % inner
            os.environ["WINEPREFIX"] = self.prefix
            self._prepare_prefix()
        except BaseException:
            self.stop()
            raise

    def _wine(self, *args):
        subprocess.run(list(args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=300)

    def _prepare_prefix(self):
        self._wine("wineserver", "-p")
        self._wine("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N", "/f")
        # Wine's desktop process, started by the first program, takes the monitors once:
        # a fresh start makes it find them with the setting above.
        self._wine("wineserver", "-k")
        self._wine("wineserver", "-w")
        self._wine("wineserver", "-p")

    def stop(self):
        if self.prefix and os.environ.get("WINEPREFIX") == self.prefix:
            self._wine("wineserver", "-k")
        for proc in reversed(self.servers):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self.servers = []
        for k, v in self.saved.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v
        self.saved = {}


class Scenario(unittest.TestCase):
    """Base of the scenarios: one driver per file, a scratch folder per test with its own
    copy of Velmaro.exe (so each has its own Directory.drl), fresh program settings, and
    every started program ended at the end of the test."""

    driver = None
    # None: no Directory.drl (the program reports it missing); a list: its lines.
    folder_list = []
    # Start each test with no Software\Velmaro key (the program's first run).
    fresh_settings = True

    @classmethod
    def setUpClass(cls):
        cls.driver = Driver(Config.driver, Config.desktop)

    @classmethod
    def tearDownClass(cls):
        if cls.driver:
            cls.driver.close()
            cls.driver = None

    def setUp(self):
        self.apps = []
        self.dir = os.path.join(Config.work(), Config.scenario, self._testMethodName)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        # A screenshot of an earlier failure would tell of a fault that may be gone.
        stale = os.path.join(Config.screenshots(), "%s.%s-failed.png" % (Config.scenario, self._testMethodName))
        if os.path.exists(stale):
            os.remove(stale)
        self.exe = os.path.join(self.dir, "Velmaro.exe")
        shutil.copy2(Config.exe, self.exe)
        if self.folder_list is not None:
            self.write_folder_list(self.folder_list)
        if self.fresh_settings:
            self.reg_delete("HKCU", SETTINGS_KEY)
        self.addCleanup(self._end_programs)

    def _end_programs(self):
        failed = self._outcome_failed()
        if failed:
            try:
                screenshot("%s.%s-failed" % (Config.scenario, self._testMethodName))
            except Exception as e:  # a missing screenshot must not hide the failure
                sys.stderr.write("screenshot failed: %s\n" % e)
        for app in self.apps:
            try:
                app.kill()
            except DriverError:
                pass

    def _outcome_failed(self):
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        if result is None:
            return False
        mine = [t for t, _ in result.failures + result.errors if t is self]
        return bool(mine) or not getattr(outcome, "success", True)

    # ---- preparing ----
    def write_folder_list(self, lines, raw=None):
        """Writes Directory.drl beside the copy of the program (CR LF after every line),
        or raw bytes when given."""
        data = raw if raw is not None else b"".join(l.encode("cp1252") + b"\r\n" for l in lines)
        with open(self.folder_list_path(), "wb") as f:
            f.write(data)

    def folder_list_path(self):
        return os.path.join(self.dir, "Directory.drl")

    def read_folder_list(self):
        with open(self.folder_list_path(), "rb") as f:
            return f.read()

    def make_folder(self, name, pictures=()):
        """A folder in the scratch folder with copies of test pictures (names in testdata,
        or (source, new name) pairs); returns its host path."""
        path = os.path.join(self.dir, name)
        os.makedirs(path, exist_ok=True)
        for p in pictures:
            src, dst = p if isinstance(p, tuple) else (p, os.path.basename(p))
            shutil.copy2(os.path.join(Config.testdata, src), os.path.join(path, dst))
        return path

    # ---- running ----
    def start(self, args="", cwd=None):
        """Starts this test's copy of Velmaro.exe with a command line after its name."""
        return self.start_program(self.exe, args, cwd or self.dir)

    def start_program(self, path, args="", cwd=None):
        """Starts any program (a host path) as the shell would; it is ended at the end
        of the test if it is still running."""
        reply = self.driver.call("start", winpath(path), args, winpath(cwd or os.path.dirname(path)))
        app = App(self.driver, reply["pid"])
        self.apps.append(app)
        return app

    def screenshot(self, label):
        return screenshot("%s.%s-%s" % (Config.scenario, self._testMethodName, label))

    def key(self, *chords):
        """Real key presses to whatever window has the keyboard."""
        self.driver.call("key", *chords)

    def type(self, text):
        self.driver.call("type", text)

    def focus(self):
        return self.driver.call("focus")

    def tab_order(self, count, start, timeout=5.0):
        """The windows that take the keyboard focus at each of count Tab presses, starting
        from the window start has it in. Each press waits until the focus has moved on, so
        that a key still on its way is not read as a focus that stayed."""
        order, here = [], start.hwnd
        for _ in range(count):
            self.key("tab")
            try:
                here = wait_until(lambda: (lambda f: f if f != here else None)(self.focus()["focus"]), timeout,
                                  "the focus to move on from %#x" % here)
            except AssertionError:
                pass  # stayed: the order compared shows where
            order.append(here)
        return order

    # ---- registry ----
    def reg_get(self, root, key, name):
        """{type, size, value, hex} or None."""
        return self.driver.call("reg_get", root, key, name)

    def reg_set(self, root, key, name, kind, value):
        self.driver.call("reg_set", root, key, name, kind, value)

    def reg_delete(self, root, key, name=None):
        args = [root, key] + ([name] if name is not None else [])
        return self.driver.call("reg_delete", *args)

    def setting(self, name):
        """A value of the program's Settings section as text, None when missing."""
        v = self.reg_get("HKCU", SETTINGS_SECTION, name)
        return None if v is None else v["value"]


def timed(test):
    """Marks a test whose assertions are about time: CTest runs such tests in a lane of
    their own that never runs beside another (e2e_<name>_timed), the others in parallel."""
    test.velmaro_timed = True
    return test


class _Loader(unittest.TestLoader):
    """Loads the timed tests only, all but them, or all (--timed only|skip|all), and of
    those every count-th from the index-th on (--shard index/count), so that a long file
    can run in several lanes."""

    def __init__(self, timed_filter, shard=(0, 1)):
        super().__init__()
        self.timed_filter = timed_filter
        self.shard = shard

    def getTestCaseNames(self, testCaseClass):
        names = super().getTestCaseNames(testCaseClass)
        if self.timed_filter != "all":
            want = self.timed_filter == "only"
            names = [n for n in names if bool(getattr(getattr(testCaseClass, n), "velmaro_timed", False)) == want]
        index, count = self.shard
        return names[index::count]


def clone_prefix(name):
    """A Wine prefix of its own for a part of a scenario (another screen, another DPI):
    a copy of the lane's template prefix inside the lane's folder, removed with the lane."""
    template, lane = os.environ.get("VELMARO_WINE_TEMPLATE"), os.environ.get("VELMARO_LANE")
    if not template or not lane:
        raise DriverError("not inside a Wine lane (tools/wine-lane.sh)")
    path = os.path.join(lane, name)
    if not os.path.exists(path):
        subprocess.run(["bash", os.path.join(SOURCE_DIR, "tools", "wine-clone.sh"), template, path], check=True,
                       timeout=300)
    return path


def _in_wine_lane():
    return bool(os.environ.get("VELMARO_LANE")) and bool(os.environ.get("WINEPREFIX"))


def main():
    """Entry of a scenario file: python3 test_x.py --exe ... --driver ... --build ...
    [--testdata ...] [--desktop NAME,WxH] [--timed only|skip|all] [unittest arguments
    such as -k pattern]."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--testdata")
    parser.add_argument("--desktop", default=os.environ.get("VELMARO_E2E_DESKTOP", Config.desktop),
                        help='NAME,WxH for a Wine virtual desktop (the default), or "none"')
    parser.add_argument("--timed", choices=("all", "skip", "only"), default="all",
                        help="run the tests marked @harness.timed only, all but them, or all")
    parser.add_argument("--shard", default="0/1", help="index/count: every count-th test from the index-th")
    opts, rest = parser.parse_known_args()
    if not _in_wine_lane():
        # Run on our own: inside a Wine lane of the build tree, like CTest does.
        lane = os.path.join(SOURCE_DIR, "tools", "wine-lane.sh")
        os.execv("/bin/bash", ["bash", lane, opts.build, "--", sys.executable] + sys.argv)
    Config.exe = os.path.abspath(opts.exe)
    Config.driver = os.path.abspath(opts.driver)
    Config.build = os.path.abspath(opts.build)
    Config.testdata = os.path.abspath(opts.testdata or os.path.join(opts.build, "testdata"))
    Config.desktop = None if opts.desktop in ("", "none") else opts.desktop
    Config.scenario = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    program = unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + rest, exit=False,
                            testLoader=_Loader(opts.timed, tuple(int(n) for n in opts.shard.split("/"))))
    result = program.result
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    print("%d passed, %d failed, %d skipped" % (result.testsRun - failed - len(result.skipped), failed,
                                                 len(result.skipped)))
    # A file whose tests are all timed leaves nothing for its parallel part.
    ran_enough = result.testsRun > 0 or (opts.timed == "skip" and not rest)
    sys.exit(0 if result.wasSuccessful() and ran_enough else 1)
