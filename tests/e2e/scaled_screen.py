"""A screen of another scale for scenarios: Wine reports the prefix's LogPixels as the DPI
of every program, so a scale other than 100 % needs a prefix of its own. This one lies in
the build tree beside the session's (never the user's ~/.wine), gets a wineserver of its
own while a scenario class runs, and is removed when the scenario file ends; the session's
prefix, wineserver and X server are left alone."""

import os
import shutil
import subprocess

import harness

# Wine 8 takes the DPI of its screen from here (winecfg's "Screen resolution" writes it).
DPI_KEY = r"HKCU\Control Panel\Desktop"


def prefix_path():
    return os.path.join(harness.Config.build, "wineprefix-dpi")


def _wine(*args, timeout=300):
    subprocess.run(list(args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True, timeout=timeout)


class ScaledScreen:
    """Switches this process (and the driver it starts) to the scaled prefix at a DPI."""

    def __init__(self, dpi):
        self.dpi = dpi
        self.saved = None

    def enter(self):
        self.saved = os.environ.get("WINEPREFIX")
        prefix = prefix_path()
        os.environ["WINEPREFIX"] = prefix
        try:
            os.makedirs(prefix, exist_ok=True)
            # Our own persistent server, detached from our output (as the session does).
            subprocess.run(["wineserver", "-p"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            if not os.path.exists(os.path.join(prefix, ".velmaro-ready")):
                _wine("wineboot", "-i", timeout=600)
                _wine("wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t",
                      "REG_DWORD", "/d", "0", "/f")
                open(os.path.join(prefix, ".velmaro-ready"), "w").close()
            _wine("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
            _wine("wine", "reg", "add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(self.dpi), "/f")
        except BaseException:
            self.leave()
            raise

    def leave(self):
        """Stops the prefix's wineserver (only that one) and goes back to the session's prefix."""
        subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        if self.saved is None:
            os.environ.pop("WINEPREFIX", None)
        else:
            os.environ["WINEPREFIX"] = self.saved


def remove_prefix():
    shutil.rmtree(prefix_path(), ignore_errors=True)


def scaled(value, dpi):
    """A design length at a DPI, rounded as MulDiv rounds (halves away from zero)."""
    n = abs(value) * dpi
    q = (n + 48) // 96
    return q if value >= 0 else -q


def scaled_box(box, dpi):
    x, y, w, h = box
    return scaled(x, dpi), scaled(y, dpi), scaled(w, dpi), scaled(h, dpi)
