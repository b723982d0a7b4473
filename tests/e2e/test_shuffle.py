"""Random order without repeats: with "Randomize file list" and "None again until all are
shown", successive Velmaro.exe /s runs show every picture of all the selected folders once
before any comes again, the round remembered from run to run."""

import glob
import os

import harness
import test_rotation
from wallpaper_common import WallpaperScenario, solid_bmp

COLOURS = test_rotation.COLOURS + [(120, 220, 120), (240, 240, 240)]


def remove_round():
    prefix = os.environ["WINEPREFIX"]
    for path in glob.glob(os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local", "Velmaro", "Round.dat")):
        os.remove(path)


class Shuffle(WallpaperScenario):
    run_unattended = test_rotation.Rotation.run_unattended
    applied = test_rotation.Rotation.applied

    def setUp(self):
        super().setUp()
        remove_round()
        self.addCleanup(remove_round)

    def test_folders_of_one_two_and_seven_every_picture_once_in_each_ten_runs(self):
        which, folders, colours = {}, [], iter(COLOURS)
        for f, n in enumerate((1, 2, 7)):
            path = self.make_folder("F%d" % f)
            folders.append(harness.winpath(path))
            for i in range(n):
                colour = next(colours)
                with open(os.path.join(path, "%c-pic.bmp" % "abcdefg"[i]), "wb") as out:
                    out.write(solid_bmp(16, 8, colour))
                which[colour] = (f, i)
        self.write_folder_list(folders)
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "RndFile", "sz", "1")
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "NoRepeat", "sz", "1")
        rounds = []
        for _ in range(2):
            shown = []
            for _ in range(10):
                self.run_unattended()
                shown.append(self.applied(which))
            rounds.append(shown)
        for shown in rounds:
            self.assertEqual(sorted(shown), sorted(which.values()), "a picture twice in ten runs")
        self.assertNotEqual(rounds[0][-1], rounds[1][0], "the second round began with the first's last")
        # The plain random order's place is left as it was.
        self.assertEqual((self.setting("File"), self.setting("Folder")), (None, None))


if __name__ == "__main__":
    harness.main()
