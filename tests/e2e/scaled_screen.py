"""A screen of another scale for scenarios: Wine reports the prefix's LogPixels as the DPI
of every program, so a scale other than 100 % needs a prefix of its own. It is cloned
from the build's template prefix (made once per build) into the lane, gets a wineserver
of its own while a scenario class runs, and goes with the lane; the lane's own prefix,
wineserver and X server are left alone."""

import os
import subprocess

import harness

# Wine 8 takes the DPI of its screen from here (winecfg's "Screen resolution" writes it).
DPI_KEY = r"HKCU\Control Panel\Desktop"


def _wine(*args, timeout=300):
    subprocess.run(list(args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True, timeout=timeout)


class ScaledScreen:
    """Switches this process (and the driver it starts) to a prefix at a DPI: a clone of
    the lane's template with LogPixels set, and a wineserver of its own while a scenario
    class runs (stopped by leave()). The clone lies in the lane and goes with it."""

    def __init__(self, dpi):
        self.dpi = dpi
        self.saved = None

    def enter(self):
        self.saved = os.environ.get("WINEPREFIX")
        os.environ["WINEPREFIX"] = harness.clone_prefix("prefix-dpi-%d" % self.dpi)
        try:
            # Our own persistent server, detached from our output (as the lane does).
            subprocess.run(["wineserver", "-p"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            _wine("wine", "reg", "add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(self.dpi), "/f")
        except BaseException:
            self.leave()
            raise

    def leave(self):
        """Stops the prefix's wineserver (only that one) and goes back to the lane's prefix."""
        subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        if self.saved is None:
            os.environ.pop("WINEPREFIX", None)
        else:
            os.environ["WINEPREFIX"] = self.saved


def scaled(value, dpi):
    """A design length at a DPI, rounded as MulDiv rounds (halves away from zero)."""
    n = abs(value) * dpi
    q = (n + 48) // 96
    return q if value >= 0 else -q


def scaled_box(box, dpi):
    x, y, w, h = box
    return scaled(x, dpi), scaled(y, dpi), scaled(w, dpi), scaled(h, dpi)
