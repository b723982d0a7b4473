"""Start and end: the program starts, shows its main window and ends with exit code 0
when the main window is closed, whichever way it is closed."""

import os

import harness


class Startup(harness.Scenario):
    # A list with a bare LF, which the program's own close writes back with CR LF: the
    # file tells that the close went through the program and not round it.
    folder_list = None

    def setUp(self):
        super().setUp()
        self.write_folder_list(None, raw=b"Z:\\one\n")

    def start_to_main(self):
        app = self.start()
        # The start-up picture comes first (about 3 s); the main window only after it.
        main = app.wait_main(timeout=30)
        info = main.info()
        self.assertEqual(info["title"], "Velmaro v1.0")
        self.assertTrue(info["visible"])
        self.assertIsNone(app.window(harness.STARTUP_CLASS), "start-up window still shown beside the main window")
        return app, main

    def test_close_message_ends_with_exit_code_0(self):
        app, main = self.start_to_main()
        self.screenshot("main")
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)
        self.assertEqual(self.read_folder_list(), b"Z:\\one\r\n")

    def test_system_close_command_ends_with_exit_code_0(self):
        # What the caption's close box sends (the box itself lies above the screen while
        # the window is maximized).
        app, main = self.start_to_main()
        main.system_close()
        self.assertEqual(app.wait_exit(timeout=15), 0)
        self.assertEqual(self.read_folder_list(), b"Z:\\one\r\n")


if __name__ == "__main__":
    harness.main()
