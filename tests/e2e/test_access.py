"""The main window without the mouse: Tab through the lists, Home and Delete unselect a
folder, Enter in the tree selects one, the Actions menu unselects; and as a screen reader
sees it through Active Accessibility: the hover buttons named push buttons whose "Press"
sets the wallpaper, the lists and the preview named."""

import harness
from test_main_window import MainWindowScenario, TREE
from wallpaper_common import WallpaperScenario, STAGED_WIN

ROLE_PUSHBUTTON, ROLE_LIST, ROLE_GRAPHIC = 0x2B, 0x21, 0x28


class Keyboard(MainWindowScenario):
    def test_tab_home_delete_enter_and_the_menu(self):
        first, second, third = (self.make_folder(n, [p]) for n, p in
                                (("first", "basic-100x50.bmp"), ("second", "basic-120x80.jpg"),
                                 ("third", "basic-120x80.jpg")))
        self.write_folder_list([harness.winpath(first), harness.winpath(second)])
        app, main = self.start_main()
        selected, files = self.lists(main)
        tree = self.control_at(main, "SysTreeView32", TREE)
        tree.click(90, 150)  # below the nodes: the focus, not another folder
        harness.wait_until(lambda: self.focus()["focus"] == tree.hwnd, 5, "the tree to take the focus")

        self.assertEqual(self.tab_order(1, tree), [selected.hwnd])
        self.key("home")
        self.wait_items(files, ["basic-100x50.bmp"])
        self.screenshot("focus-on-the-list")
        self.key("delete")
        self.wait_items(selected, [harness.winpath(second)])

        # Enter in the tree adds the tree's folder, as ">>" does.
        self.choose_folder(main, third)
        self.wait_items(files, ["basic-120x80.jpg"])
        self.key("enter")
        self.wait_items(selected, [harness.winpath(second), harness.winpath(third)])

        selected.click_list_item(0)
        main.choose_menu("Ac&tions", "&Unselect directory")
        self.wait_items(selected, [harness.winpath(third)])
        self.close_by_button(app, main)
        self.assertEqual(self.read_folder_list(), harness.winpath(third).encode("cp1252") + b"\r\n")


class ScreenReader(WallpaperScenario):
    def test_named_controls_and_press_sets_the_wallpaper(self):
        pics = self.make_folder("pics", ["basic-120x80.jpg"])
        self.write_folder_list([harness.winpath(pics)])
        app, main = self.start_main()
        self.choose_picture(main, 0, "basic-120x80.jpg")

        seen = self.driver.call("acc", main)
        buttons = {c["name"]: c for c in seen["children"] if c and c["id"]}
        self.assertEqual(sorted(buttons), ["Close", "Select folder", "Set as wallpaper", "Unselect folder"])
        for name, c in buttons.items():
            self.assertEqual((c["role"], c["state"], c["action"]), (ROLE_PUSHBUTTON, 0, "Press"), name)
        self.assertEqual(buttons["Set as wallpaper"]["description"], "Sets selected image as wallpaper")

        named = [self.driver.call("acc", w) for w in self.lists(main) + (main.find(cls="TImage"),)]
        self.assertEqual([(a["name"], a["role"], a["description"]) for a in named],
                         [("Selected folders", ROLE_LIST, None), ("Pictures", ROLE_LIST, None),
                          ("Preview", ROLE_GRAPHIC, "120 by 80 pixels")])

        self.driver.call("acc_do", main, "Set as wallpaper")
        self.wait_staged()
        self.assertEqual(self.desktop("Wallpaper"), STAGED_WIN)


if __name__ == "__main__":
    harness.main()
