"""Started with "/s" as its first argument the program shows its start-up picture, changes
the wallpaper once and ends by itself about 5.5 s later (3 s to the first tick, 2.5 s more
to the second), without saving the list file; any other first argument gives the
interactive program."""

import os
import time

import harness


class Unattended(harness.Scenario):
    def prepare(self):
        pics = self.make_folder("pics", ["basic-120x80.jpg"])
        self.write_folder_list([harness.winpath(pics)])
        os.utime(self.folder_list_path(), (1_000_000_000, 1_000_000_000))
        return self.read_folder_list()

    def run_unattended(self, args):
        before = self.read_folder_list()
        app = self.start(args)
        startup = app.wait_window(harness.STARTUP_CLASS, timeout=20)
        shown = time.monotonic()
        self.assertEqual(startup.info()["client"][2] - startup.info()["client"][0], 457)
        # No box may stop the run: it has to end by itself.
        boxes = []
        while app.alive() and time.monotonic() - shown < 15:
            box = app.box()
            if box:
                boxes.append(box)
                break
            time.sleep(0.1)
        self.assertEqual(boxes, [])
        self.assertEqual(app.wait_exit(timeout=5), 0)
        elapsed = time.monotonic() - shown
        print("unattended run %r ended %.2f s after the start-up picture (designed: 5.5)" % (args, elapsed))
        self.assertGreater(elapsed, 5.0, "the run ended before the second tick")
        self.assertLess(elapsed, 12.0, "the run took far longer than 5.5 s")
        # The list file is read, never written, in this mode.
        self.assertEqual(self.read_folder_list(), before)
        self.assertEqual(os.stat(self.folder_list_path()).st_mtime, 1_000_000_000)
        # The rotation ran: it stored the next position.
        self.assertEqual((self.setting("Folder"), self.setting("File")), ("1", "0"))

    @harness.timed
    def test_s_ends_by_itself_after_about_5_5_seconds(self):
        self.prepare()
        self.run_unattended("/s")

    @harness.timed
    def test_s_in_double_quotes_is_unattended_too(self):
        self.prepare()
        self.run_unattended('"/s" more')

    def test_other_spellings_give_the_interactive_program(self):
        self.prepare()
        # All three side by side, so that one wait past the time an unattended run would
        # have ended (2.5 s after the main window, 3.5 to be sure) covers them all.
        runs = [(args, self.start(args)) for args in ("/S", "-s x", "x /s")]
        mains = [(args, app, app.wait_main(timeout=20)) for args, app in runs]
        time.sleep(3.5)
        for args, app, main in mains:
            self.assertTrue(app.alive(), args)
            self.assertTrue(main.info()["visible"], args)
        self.assertIsNone(self.setting("Folder"), "the rotation ran for one of them")
        for args, app, main in mains:
            main.close()
            self.assertEqual(app.wait_exit(timeout=15), 0, args)


if __name__ == "__main__":
    harness.main()
