"""Options' "Change the wallpaper every": OK registers the user's task in the Task Scheduler
(asked for through ITaskService by the driver), a refusal shows its box and stores nothing,
unticking deletes the task. Wine runs no task: its content is tested natively."""

import glob
import os
import subprocess

import harness
from harness import wait_until
from wallpaper_common import WallpaperScenario

EVERY_TEXT = "Change the wallpaper every"


def schedule_service(action):
    subprocess.run(["wine", "net", action, "schedule"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)


class Schedule(WallpaperScenario):
    folder_list = []

    def group(self, dlg):
        """(the box, the number, the unit list)."""
        rightmost = lambda cls: max(dlg.find_all(cls=cls), key=lambda w: w.rect()[0])
        return dlg.find(cls="Button", text=EVERY_TEXT), rightmost("Edit"), rightmost("ComboBox")

    def tick_and_ok(self, app, main, expect_ticked=0):
        dlg = self.open_options(app, main)
        every, number, unit = self.group(dlg)
        self.assertEqual((every.checked(), number.info()["enabled"], unit.info()["enabled"]), (expect_ticked,) * 3)
        self.assertEqual((number.text(), unit.combo_items()["text"]), ("30", "minutes"))
        every.click()
        wait_until(lambda: number.info()["enabled"] != expect_ticked, 5, "the number's box following the tick")
        self.assertEqual(unit.info()["enabled"], not expect_ticked)
        dlg.find(cls="Button", text="&OK").click()
        return dlg

    def test_ok_registers_a_refusal_stores_nothing_unticking_deletes(self):
        schedule_service("start")
        app, main = self.start_main()
        self.tick_and_ok(app, main).wait_gone()
        # Wine keeps a task in a file of the task's name.
        stored = glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c/windows/system32/tasks/Velmaro-S-1-5-*"))[0]
        self.assertTrue(self.driver.call("has_task", os.path.basename(stored)), stored)
        self.assertEqual((self.setting("ChangeEvery"), self.setting("BatteryPause")), ("30", "1"))

        # Wine's service takes no stop request: the scheduler is made to refuse by a
        # folder where it keeps the task's file. 45 minutes are refused, the box says why,
        # the dialog stays open and the stored interval stays 30.
        os.remove(stored)
        os.mkdir(stored)
        self.addCleanup(lambda: os.path.isdir(stored) and os.rmdir(stored))
        dlg = self.open_options(app, main)
        every, number, unit = self.group(dlg)
        number.click()
        self.key("end", "backspace", "backspace")
        self.type("45")
        dlg.find(cls="Button", text="&OK").click()
        box = app.wait_box(timeout=20)
        self.assertEqual((box.caption, box.text),
                         ("Error", "The Task Scheduler refused the change: access is denied (0x80070005)."))
        box.press("OK")
        self.assertTrue(dlg.exists(), "the dialog closed after the refusal")
        self.assertEqual(self.setting("ChangeEvery"), "30")
        self.key("esc")
        dlg.wait_gone()
        os.rmdir(stored)

        self.tick_and_ok(app, main, expect_ticked=1).wait_gone()
        self.assertFalse(self.driver.call("has_task", os.path.basename(stored)))
        self.assertEqual(self.setting("ChangeEvery"), "0")
        main.close()
        self.assertEqual(app.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
