"""The About box as a person meets it: Help -> About shows it centred over a disabled main
window, with the emblem, the maker's and the program's names and the red link; the
pointer over the link makes it bold and underlined, still red; a click on the link hands
the "http://" address to the shell's "open"; Enter closes the box; opened again it shows
the same."""

import os
import subprocess
import time

import harness
import test_main_window as mw
import x_cursor
from harness import wait_until

WS_SYSMENU = 0x00080000
WS_EX_TOOLWINDOW = 0x00000080

# Client positions from the box's design: (left, top, width, height).
PANEL = (0, 0, 281, 177)
EMBLEM = (8, 8, 65, 57)  # inside the panel, which lies at the client's corner
LINK = (8, 96)
OK_BUTTON = (95, 184, 75, 25)

# The shell's "open" for http addresses. Wine's ShellExecute reads the handler from the
# machine's classes only (HKCU\Software\Classes is not looked at), so the test puts a
# recorder there for the time of the test and puts Wine's own handler back afterwards.
HTTP_OPEN = r"Software\Classes\http\shell\open\command"



RED = (255, 0, 0)
BLACK = (0, 0, 0)


def nearest(rgb, colours):
    """The colour of colours nearest to rgb: smoothed text edges mix the ink with the
    background, and how much depends on the face and the renderer, not on the program."""
    return min(colours, key=lambda c: sum((a - b) ** 2 for a, b in zip(rgb, c)))


def red_ink(shot, area):
    """The pixels of a captured area (left, top, right, bottom) nearer to red than to the
    background (taken at the area's corner) or to black, as a set of points."""
    left, top, right, bottom = area
    colours = (RED, BLACK, shot.pixel(left, top))
    return {(x, y) for y in range(top, bottom) for x in range(left, right)
            if nearest(shot.pixel(x, y), colours) == RED}


def bounds(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


class AboutBox(harness.Scenario):
    def setUp(self):
        super().setUp()
        self.driver.pointer("move", 900, 700)

    def open_about(self, app, main):
        main.choose_menu("&Help", "&About")
        about = app.wait_window(harness.ABOUT_CLASS, timeout=10)
        wait_until(lambda: not main.info()["enabled"], 5, "the main window to be disabled")
        return about

    def capture(self, about, label, client=True):
        path = os.path.join(self.dir, label + ".bmp")
        return about.capture(path, client=client), path

    def record_http_open(self):
        """Points the shell's http "open" at a recorder; returns the file it writes."""
        record = os.path.join(self.dir, "opened.txt")
        old = self.reg_get("HKLM", HTTP_OPEN, "")
        self.reg_set("HKLM", HTTP_OPEN, "", "sz", 'cmd.exe /c echo %%1> "%s"' % harness.winpath(record))
        if old is not None:
            self.addCleanup(self.reg_set, "HKLM", HTTP_OPEN, "", "sz", old["value"])
        else:
            self.addCleanup(self.reg_delete, "HKLM", HTTP_OPEN, "")
        return record

    def test_help_about_shows_the_box_link_hover_and_click_enter_closes(self):
        record = self.record_http_open()
        app = self.start()
        main = app.wait_main(timeout=30)
        about = self.open_about(app, main)

        info = about.info()
        self.assertEqual(info["title"], "About")
        left, top, right, bottom = info["rect"]
        self.assertEqual((right - left, bottom - top), (291, 243))
        sw, sh = mw.screen_size()
        self.assertLessEqual(abs(left - (sw - 291) // 2), 1)
        self.assertLessEqual(abs(top - (sh - 243) // 2), 1)
        self.assertFalse(info["style"] & WS_SYSMENU, "the caption bar has buttons")
        self.assertTrue(info["exstyle"] & WS_EX_TOOLWINDOW)

        cl, ct = info["client"][:2]

        def place(cls, text=None):
            found = about.find(cls=cls, text=text)
            l, t, r, b = found.rect()
            return (l - cl, t - ct, r - l, b - t)

        self.assertEqual(place("TPanel"), PANEL)
        self.assertEqual(place("TImage"), EMBLEM)
        self.assertEqual(place("Static", "Orbenta")[:2], (88, 8))
        self.assertEqual(place("Static", "Velmaro v1.0")[:2], (88, 32))
        self.assertEqual(place("Button", "OK"), OK_BUTTON)

        shot, _ = self.capture(about, "about")
        # The panel: a lowered outer bevel round a raised inner one.
        back = shot.pixel(150, 150)
        light = lambda p: sum(p) > sum(back)
        pw, ph = PANEL[2:]
        for outer, inner, lit in (((100, 0), (100, 1), False), ((0, 100), (1, 100), False),
                                  ((100, ph - 1), (100, ph - 2), True), ((pw - 1, 100), (pw - 2, 100), True)):
            self.assertEqual((light(shot.pixel(*outer)), light(shot.pixel(*inner))), (lit, not lit), (outer, inner))
        # The emblem fills its frame: the 65 x 57 bitmap pixel for pixel.
        emblem = subprocess.run([mw.CONVERT, os.path.join(harness.SOURCE_DIR, "res", "emblem.bmp"), "-depth", "8", "rgb:-"],
                                check=True, stdout=subprocess.PIPE, timeout=60).stdout
        ex, ey, ew, eh = EMBLEM
        wrong = sum(1 for y in range(eh) for x in range(ew)
                    if shot.pixel(ex + x, ey + y) != tuple(emblem[(y * ew + x) * 3:(y * ew + x) * 3 + 3]))
        self.assertEqual(wrong, 0, "the emblem differs from res/emblem.bmp")
        # The link: red text at (8, 96), one line, not underlined. The label takes the
        # width of its caption, so how wide depends on the face Wine finds for it: the
        # designed 98 pixels with the usual metric-compatible faces, up to a quarter more
        # with another; a bigger or bold face is wider still.
        area = (4, 90, 200, 115)
        normal = red_ink(shot, area)
        self.assertGreater(len(normal), 50, "no red link text")
        nl, nt, nr, nb = bounds(normal)
        print("link ink %d x %d pixels" % (nr - nl + 1, nb - nt + 1))
        self.assertTrue(8 <= nl <= 10 and 96 <= nt <= 99 and nb < 96 + 13 and nr < 8 + 98 * 5 // 4, bounds(normal))
        self.assertEqual(red_ink(shot, (0, 0, 281, 90)) | red_ink(shot, (0, 115, 281, 219)), set(),
                         "red outside the link")

        # The pointer over the link: bold (wider, more ink) and underlined, still red,
        # and the pointer a hand instead of the arrow.
        about.move(200, 150)
        time.sleep(0.3)
        arrow = x_cursor.shape()
        about.move(LINK[0] + 20, LINK[1] + 6)
        wait_until(lambda: x_cursor.shape() != arrow, 5, "another cursor over the link")
        wait_until(lambda: len(red_ink(self.capture(about, "hover")[0], area)) > len(normal) * 1.15, 5,
                   "the hover look")
        hover_shot, _ = self.capture(about, "hover")
        hover = red_ink(hover_shot, area)
        hl, ht, hr, hb = bounds(hover)
        self.assertLessEqual(abs(hl - nl), 1, "the bold caption starts elsewhere")
        self.assertGreater(hr, nr, "the caption is not wider: not bold")
        rows = {}
        for x, y in hover:
            rows.setdefault(y, set()).add(x)
        underline = [y for y, xs in rows.items() if len(xs) >= (hr - hl + 1) * 0.9]
        self.assertTrue(underline and max(underline) > nb - 2, "no underline under the caption: %r" % sorted(rows))
        self.assertEqual({p for p in self._dark(hover_shot, area)}, set(), "the hover colour is not red")

        # Leaving gives the normal look back.
        about.move(200, 150)
        wait_until(lambda: red_ink(self.capture(about, "left")[0], area) == normal, 5, "the normal look after leaving")
        wait_until(lambda: x_cursor.shape() == arrow, 5, "the arrow after leaving the link")

        # A click hands the http address to the shell.
        about.click(LINK[0] + 20, LINK[1] + 6)
        def recorded():
            # cmd's echo ends its line: the whole address is there.
            if os.path.exists(record):
                with open(record, "rb") as f:
                    data = f.read()
                return data.decode("cp1252").strip() if data.endswith(b"\n") else None
        opened = wait_until(recorded, 15, "the shell's open")
        self.assertRegex(opened, r"^http://[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+/?$")
        self.assertIn("orbenta", opened.lower())
        self.assertTrue(about.info()["visible"], "the click closed the box")

        # Enter presses OK, the default button.
        about.move(200, 150)
        about.activate()
        self.key("enter")
        about.wait_gone(10)
        wait_until(lambda: main.info()["enabled"], 5, "the main window enabled again")
        self.assertIsNone(app.window(harness.ABOUT_CLASS))

        # Opened again, it shows the same.
        about = self.open_about(app, main)
        self.assertEqual(about.info()["rect"], info["rect"])
        again, _ = self.capture(about, "again")
        differ = [(x, y) for y in range(again.height) for x in range(again.width) if again.pixel(x, y) != shot.pixel(x, y)]
        self.assertEqual(differ[:10], [], "the box shows something else the second time")
        about.activate()
        self.key("enter")
        about.wait_gone(10)
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)

    @staticmethod
    def _dark(shot, area):
        """Ink of the link area nearer to black than to red or to the background."""
        left, top, right, bottom = area
        colours = (RED, BLACK, shot.pixel(left, top))
        return {(x, y) for y in range(top, bottom) for x in range(left, right)
                if nearest(shot.pixel(x, y), colours) == BLACK}


if __name__ == "__main__":
    harness.main()
