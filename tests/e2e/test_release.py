"""The release as a Windows user gets it, made by tools/release.sh from the built program:
the zip holds the stripped program, the help and a README and nothing else; the help file
holds every page and a table of contents naming them; Help -> Contents opens it in the
HTML Help viewer when no WinHelp file is there; the installer, run silently, installs for
the user alone with a Start-menu shortcut, an optional log-on shortcut "Velmaro.exe /s"
and an installed-programs entry; the installed program changes the wallpaper unattended
and saves its list in the install folder; the uninstaller removes what the installer made
and keeps the user's settings and list unless asked."""

import os
import re
import shutil
import struct
import subprocess
import zipfile

import harness
import wallpaper_common as wc
from harness import wait_until

SHELL_FOLDERS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro"
HELP_DIR = os.path.join(harness.SOURCE_DIR, "help")
OBJDUMP = "x86_64-w64-mingw32-objdump"
# DLLs of a MinGW tool chain's run time, which a statically linked program must not need.
RUNTIME_DLLS = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread|api-ms-win-crt|vcruntime|msvcp)", re.I)


def project_version():
    """The version of project() in CMakeLists.txt: the one place it is written."""
    with open(os.path.join(harness.SOURCE_DIR, "CMakeLists.txt")) as f:
        found = re.search(r"^project\(Velmaro VERSION (\d+)\.(\d+)\.(\d+)", f.read(), re.M)
    return tuple(int(n) for n in found.groups())


def pe_facts(data):
    """What a PE file's headers say: the COFF symbol table, section names, and the file
    version of its version resource (VS_FIXEDFILEINFO)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise AssertionError("not a PE file")
    sections, symtab, nsyms, opt_size = struct.unpack_from("<2xH4xIIH", data, pe + 4)
    table = pe + 24 + opt_size
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("ascii", "replace") for i in range(sections)]
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", data, fixed + 8)
    return {"symtab": symtab, "symbols": nsyms, "sections": names,
            "file_version": (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)}


def read_lnk(path):
    """A shell link (.lnk) read by its documented layout: the header, the target's ID list
    (skipped), the link info with the target's local path, then the string data: name,
    relative path, working directory, arguments, icon location."""
    with open(path, "rb") as f:
        data = f.read()
    size, flags = struct.unpack_from("<I16xI", data, 0)
    if size != 0x4C:
        raise AssertionError("%s is not a shell link" % path)
    pos = size
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x2:  # HasLinkInfo
        info_size, _, info_flags, _, base_offset, _, suffix_offset = struct.unpack_from("<7I", data, pos)
        if info_flags & 0x1:  # VolumeIDAndLocalBasePath
            def ansi_at(off):
                end = data.index(b"\0", pos + off)
                return data[pos + off:end].decode("cp1252")
            target = ansi_at(base_offset) + ansi_at(suffix_offset)
        pos += info_size
    strings = {}
    unicode = bool(flags & 0x80)
    for bit, name in ((0x4, "name"), (0x8, "relative_path"), (0x10, "working_dir"), (0x20, "arguments"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            width = 2 if unicode else 1
            raw = data[pos + 2:pos + 2 + count * width]
            # Wine counts the terminating NUL of an empty string.
            strings[name] = raw.decode("utf-16-le" if unicode else "cp1252").rstrip("\0")
            pos += 2 + count * width
    strings["target"] = target
    strings["arguments"] = strings.get("arguments", "")
    return strings


def wine_env(*texts):
    """Texts with their environment references expanded as Windows programs in the prefix
    see them."""
    out = subprocess.run(["wine", "cmd", "/c", "echo " + "#".join(texts)], stdin=subprocess.DEVNULL,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120,
                         check=True).stdout.decode("utf-8", "replace").strip()
    return out.split("#")


def host_path(win):
    """The host path of a path on the prefix's C: drive, each part found as Windows would,
    without regard to case (Wine names the Startup folder "StartUp")."""
    drive, _, rest = win.partition(":\\")
    if drive.upper() != "C":
        raise AssertionError("not on C: %s" % win)
    path = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for part in rest.split("\\"):
        names = os.listdir(path) if os.path.isdir(path) else []
        path = os.path.join(path, next((n for n in names if n.lower() == part.lower()), part))
    return path


DESKTOP_MENU_KEY = r"Software\Classes\DesktopBackground\Shell\Velmaro"


class Release(wc.WallpaperScenario):
    folder_list = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        major, minor, patch = project_version()
        cls.version = "%d.%d" % (major, minor)
        cls.out = os.path.join(harness.Config.work(), harness.Config.scenario, "release")
        shutil.rmtree(cls.out, ignore_errors=True)
        subprocess.run(["bash", os.path.join(harness.SOURCE_DIR, "tools", "release.sh"), "--exe", harness.Config.exe,
                        "--out", cls.out], check=True, stdin=subprocess.DEVNULL, timeout=300)
        cls.zip = os.path.join(cls.out, "Velmaro-%s-x64.zip" % cls.version)
        cls.setup_exe = os.path.join(cls.out, "Velmaro-%s-setup.exe" % cls.version)
        cls.unpacked = os.path.join(cls.out, "unpacked")
        with zipfile.ZipFile(cls.zip) as z:
            z.extractall(cls.unpacked)
        # The user's folders as the shell names them, expanded by the prefix's own cmd.
        folders = [cls.driver.call("reg_get", "HKCU", SHELL_FOLDERS, name)["value"] for name in ("Programs", "Startup")]
        local, programs, startup = wine_env("%LOCALAPPDATA%", *folders)
        cls.install_win = local + r"\Programs\Velmaro"
        cls.staged_dir = host_path(local + r"\Velmaro")
        cls.install_dir = host_path(cls.install_win)
        cls.start_menu_lnk = os.path.join(host_path(programs), "Velmaro.lnk")
        cls.startup_lnk = os.path.join(host_path(startup), "Velmaro.lnk")
        # The quiet switches' shortcuts: (file, arguments, Ctrl+Alt with Page Down / Page Up).
        cls.quiet_lnks = [(os.path.join(host_path(programs), name), args, hotkey) for name, args, hotkey in
                          (("Next wallpaper.lnk", "/next", 0x0622), ("Previous wallpaper.lnk", "/previous", 0x0621))]

    # ---- the zip ----
    def test_zip_holds_the_stripped_program_the_help_and_a_readme(self):
        with zipfile.ZipFile(self.zip) as z:
            self.assertEqual(sorted(z.namelist()),
                             ["LICENSE.txt", "README.txt", "THIRD-PARTY-NOTICES.txt", "Velmaro.chm", "Velmaro.exe"])
        exe = wc.read_bytes(os.path.join(self.unpacked, "Velmaro.exe"))
        # A size budget: about 1.7 MiB of our own and libjpeg-turbo, and 0.9 MiB of the resampler's
        # vector kernels (zimg, one set for each instruction set).
        self.assertLess(len(exe), 3 * 1024 * 1024)
        self.assertLess(len(exe), os.path.getsize(harness.Config.exe), "not smaller than the built program")
        facts = pe_facts(exe)
        self.assertEqual((facts["symtab"], facts["symbols"]), (0, 0), "the program keeps its symbol table")
        self.assertEqual([s for s in facts["sections"] if s.startswith((".debug", "/"))], [], "debugging sections")
        # The version resource and the file names say the same version.
        self.assertEqual(facts["file_version"], project_version() + (0,))
        self.assertEqual(pe_facts(wc.read_bytes(self.setup_exe))["file_version"], project_version() + (0,))

        dump = subprocess.run([OBJDUMP, "-p", os.path.join(self.unpacked, "Velmaro.exe")], check=True,
                              stdout=subprocess.PIPE, timeout=60).stdout.decode()
        dlls = re.findall(r"DLL Name: (\S+)", dump)
        self.assertIn("KERNEL32.dll", dlls)
        system32 = {n.lower() for n in os.listdir(os.path.join(wc.windows_dir(), "system32"))}
        for dll in dlls:
            self.assertIsNone(RUNTIME_DLLS.match(dll), dll)
            self.assertIn(dll.lower(), system32, "%s is not a DLL of the system" % dll)
        self.assertNotIn("hhctrl.ocx", [d.lower() for d in dlls], "the help control is loaded at run time only")

        with open(os.path.join(self.unpacked, "README.txt"), "rb") as f:
            readme = f.read()
        self.assertNotIn(b"@", readme)
        self.assertIn(("Velmaro %s" % self.version).encode(), readme)
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"), "README.txt without CR LF line ends")

    # ---- the help file ----
    def help_files(self):
        """The [FILES] of the help project: the pages and what they use."""
        with open(os.path.join(HELP_DIR, "Velmaro.hhp")) as f:
            text = f.read()
        files = text.split("[FILES]", 1)[1].split("[", 1)[0]
        return [line.strip() for line in files.splitlines() if line.strip()]

    def test_chm_holds_every_page_and_a_table_of_contents_naming_them(self):
        chm = os.path.join(self.unpacked, "Velmaro.chm")
        listing = subprocess.run(["enum_chmLib", chm], check=True, stdout=subprocess.PIPE,
                                 timeout=60).stdout.decode("utf-8", "replace")
        stored = {line.split()[-1] for line in listing.splitlines() if "normal file" in line}
        sources = sorted(f for f in os.listdir(HELP_DIR) if f.endswith(".html"))
        self.assertGreaterEqual(len(sources), 6)
        self.assertEqual(sorted(f for f in self.help_files() if f.endswith(".html")), sources,
                         "the help project leaves out a page")
        for name in self.help_files() + ["toc.hhc"]:
            self.assertIn("/" + name, stored)

        # Each page as written, and the table of contents.
        extracted = os.path.join(self.dir, "chm")
        subprocess.run(["extract_chmLib", chm, extracted], check=True, stdout=subprocess.DEVNULL, timeout=60)
        for name in self.help_files():
            if name == "licences.html":
                # Filled in by the release with the licence files.
                page = wc.read_bytes(os.path.join(extracted, name))
                for text in (b"Permission is hereby granted, free of charge", b"GCC RUNTIME LIBRARY EXCEPTION"):
                    self.assertIn(text, page)
                continue
            self.assertEqual(wc.read_bytes(os.path.join(extracted, name)), wc.read_bytes(os.path.join(HELP_DIR, name)),
                             name)
        with open(os.path.join(extracted, "toc.hhc"), encoding="cp1252") as f:
            toc = f.read()
        entries = re.findall(r'<param name="Name" value="([^"]+)">\s*<param name="Local" value="([^"]+)">', toc)
        self.assertEqual(sorted(local for _, local in entries), sources, "the contents do not list every page")
        for title, local in entries:
            with open(os.path.join(extracted, local), encoding="cp1252") as f:
                page = f.read()
            self.assertIn("<title>%s</title>" % title, page, local)
            for link in re.findall(r'href="([^"#:]+)', page):
                self.assertIn("/" + link, stored, "%s links to %s" % (local, link))
        # The Options page names every choice by the dialog's own caption.
        with open(os.path.join(harness.SOURCE_DIR, "ui", "OptionsD.cpp")) as f:
            dialog = f.read()
        with open(os.path.join(extracted, "options.html"), encoding="cp1252") as f:
            options = f.read()
        literals = re.findall(r'"((?:[^"\\\n]|\\.)*)"', dialog)
        captions = [c.replace("&", "") for c in literals if "&" in c]
        captions += [c for c in literals if c in ("Tile", "Center", "Strech")]
        self.assertGreaterEqual(len(captions), 7)
        for caption in captions:
            self.assertIn(caption, options)

    def test_help_contents_opens_the_chm_in_the_html_help_viewer(self):
        shutil.copy2(os.path.join(self.unpacked, "Velmaro.chm"), self.dir)
        self.write_folder_list([])
        app, main = self.start_main()
        main.choose_menu("&Help", "&Contents")
        viewer = app.wait_window("HH Parent", timeout=20)
        # The title comes from the help file itself: the viewer has opened Velmaro.chm.
        self.assertEqual(viewer.info()["title"], "Velmaro Help")
        self.assertEqual(viewer.info()["owner"], main.hwnd)
        self.screenshot("viewer")
        # Its Contents pane lists the help's table of contents, in order.
        with open(os.path.join(HELP_DIR, "toc.hhc"), encoding="cp1252") as f:
            titles = re.findall(r'<param name="Name" value="([^"]+)">', f.read())
        contents = viewer.find(cls="SysTreeView32")
        wait_until(lambda: contents.tree_items(), 10, "the contents pane's entries")
        self.assertEqual([node["text"] for node in contents.tree_items()], titles)
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)

    def help_viewer_box(self, app):
        """The message box of the system's WinHelp viewer, another process than ours."""
        def found():
            for w in self.driver.call("windows", "all"):
                if w["visible"] and w["class"] == "#32770" and w["pid"] != app.pid:
                    return harness.read_box(harness.Window(self.driver, w["hwnd"], w["class"], w["title"])), w["pid"]
            return None
        return wait_until(found, 20, "the WinHelp viewer's message")

    def assert_viewer_ends(self, pid):
        wait_until(lambda: not [w for w in self.driver.call("windows", "all") if w["pid"] == pid], 10,
                   "the WinHelp viewer's end")

    def test_help_contents_asks_winhelp_for_a_winhelp_file_and_when_there_is_no_help_file(self):
        self.write_folder_list([])
        # A WinHelp file beside the program goes to WinHelp, even with the HTML Help file
        # there too. (The viewer finds it is no real help file and says so: it has read it.)
        shutil.copy2(os.path.join(self.unpacked, "Velmaro.chm"), self.dir)
        with open(os.path.join(self.dir, "Velmaro.HLP"), "wb") as f:
            f.write(b"?_\x03\x00 not a help file")
        app, main = self.start_main()
        main.choose_menu("&Help", "&Contents")
        box, viewer = self.help_viewer_box(app)
        self.assertTrue(box.text.startswith("Error while reading the help file"), box.text)
        self.assertIn(harness.winpath(os.path.join(self.dir, "Velmaro.HLP")), box.text)
        self.assertIsNone(app.window("HH Parent"), "the HTML Help viewer opened as well")
        box.press("OK")
        self.assert_viewer_ends(viewer)
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)

        # Neither file: WinHelp is asked as designed, and the viewer reports the missing file.
        os.remove(os.path.join(self.dir, "Velmaro.HLP"))
        os.remove(os.path.join(self.dir, "Velmaro.chm"))
        app, main = self.start_main()
        main.choose_menu("&Help", "&Contents")
        box, viewer = self.help_viewer_box(app)
        self.assertIn("Cannot find '%s'" % harness.winpath(os.path.join(self.dir, "Velmaro.HLP")), box.text)
        self.assertIsNone(app.window("HH Parent"))
        box.press("&No")
        self.assert_viewer_ends(viewer)
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)

    # ---- the installer ----
    def setUp(self):
        super().setUp()
        self.remove_installation()
        self.addCleanup(self.remove_installation)

    def remove_installation(self):
        shutil.rmtree(self.install_dir, ignore_errors=True)
        for lnk in [self.start_menu_lnk, self.startup_lnk] + [q[0] for q in self.quiet_lnks]:
            if os.path.exists(lnk):
                os.remove(lnk)
        self.reg_delete("HKCU", DESKTOP_MENU_KEY)
        self.reg_delete("HKCU", UNINSTALL_KEY)
        self.reg_delete("HKCU", harness.SETTINGS_KEY)

    def run_setup(self, *options):
        app = self.start_program(self.setup_exe, " ".join(("/S",) + options), self.dir)
        self.assertEqual(app.wait_exit(timeout=120), 0)

    def uninstall(self, *options):
        """The uninstaller copies itself away and runs from there: done when it has
        removed the Uninstall key, its last step."""
        app = self.start_program(os.path.join(self.install_dir, "Uninstall.exe"), " ".join(("/S",) + options))
        self.assertEqual(app.wait_exit(timeout=60), 0)
        wait_until(lambda: self.reg_get("HKCU", UNINSTALL_KEY, "DisplayName") is None, 60, "the uninstaller's end")

    def uninstall_value(self, name):
        v = self.reg_get("HKCU", UNINSTALL_KEY, name)
        return None if v is None else v["value"]

    def assert_installed(self, logon):
        self.assertEqual(sorted(os.listdir(self.install_dir)),
                         ["LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "Uninstall.exe", "Velmaro.chm", "Velmaro.exe"])
        for name in ("Velmaro.exe", "Velmaro.chm", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"):
            self.assertEqual(wc.read_bytes(os.path.join(self.install_dir, name)),
                             wc.read_bytes(os.path.join(self.unpacked, name)), name)
        exe_win = self.install_win + r"\Velmaro.exe"
        link = read_lnk(self.start_menu_lnk)
        self.assertEqual((link["target"].lower(), link["arguments"]), (exe_win.lower(), ""))
        if logon:
            link = read_lnk(self.startup_lnk)
            self.assertEqual((link["target"].lower(), link["arguments"]), (exe_win.lower(), "/s"))
            self.assertEqual(link.get("working_dir", "").lower(), self.install_win.lower())
        else:
            self.assertFalse(os.path.exists(self.startup_lnk), "a log-on shortcut nobody asked for")
        for path, args, hotkey in self.quiet_lnks:
            link = self.driver.call("link", harness.winpath(path))
            self.assertEqual((link["target"].lower(), link["arguments"], link["hotkey"]),
                             (exe_win.lower(), args, hotkey), path)
        command = self.reg_get("HKCU", DESKTOP_MENU_KEY + r"\shell\1\command", "")
        self.assertEqual(command and command["value"], '"%s" /next' % exe_win)
        values = {n: self.uninstall_value(n) for n in ("DisplayName", "DisplayVersion", "Publisher",
                                                         "UninstallString", "QuietUninstallString",
                                                         "InstallLocation")}
        uninstaller = '"%s\\Uninstall.exe"' % self.install_win
        self.assertEqual(values, {"DisplayName": "Velmaro", "DisplayVersion": self.version, "Publisher": "Orbenta",
                                  "UninstallString": uninstaller, "QuietUninstallString": uninstaller + " /S",
                                  "InstallLocation": self.install_win})
        size = self.reg_get("HKCU", UNINSTALL_KEY, "EstimatedSize")
        installed_kb = sum(os.path.getsize(os.path.join(self.install_dir, n)) for n in os.listdir(self.install_dir))
        self.assertAlmostEqual(int(size["value"]), installed_kb / 1024, delta=8)

    def assert_uninstalled(self):
        for path in [self.start_menu_lnk, self.startup_lnk] + [q[0] for q in self.quiet_lnks]:
            self.assertFalse(os.path.exists(path), path)
        self.assertIsNone(self.reg_get("HKCU", DESKTOP_MENU_KEY, "MUIVerb"))
        self.assertIsNone(self.reg_get("HKCU", UNINSTALL_KEY, "UninstallString"))

    def test_install_with_the_logon_option_runs_unattended_and_saves_there_uninstall_keeps_settings(self):
        self.run_setup("/LOGON")
        self.assert_installed(logon=True)

        # The log-on entry's command: an unattended change from the install folder.
        pictures = os.path.join(self.dir, "pictures")
        os.makedirs(pictures)
        with open(os.path.join(pictures, "red.bmp"), "wb") as f:
            f.write(wc.solid_bmp(64, 48, (200, 30, 30)))
        drl = os.path.join(self.install_dir, "Directory.drl")
        with open(drl, "wb") as f:
            f.write(harness.winpath(pictures).encode("cp1252") + b"\r\n")
        link = read_lnk(self.startup_lnk)
        app = self.start_program(os.path.join(self.install_dir, "Velmaro.exe"), link["arguments"], self.install_dir)
        self.assertEqual(app.wait_exit(timeout=30), 0)
        staged = self.wait_staged()
        self.assertEqual(staged[54:], wc.solid_bmp(64, 48, (200, 30, 30))[54:])
        self.assert_desktop("1", "0")
        settings = self.settings_values()
        self.assertIsNotNone(settings["Folder"], "the rotation stored no next position")

        # Interactive: closing saves the list beside the installed program.
        app = self.start_program(os.path.join(self.install_dir, "Velmaro.exe"), "", self.install_dir)
        main = app.wait_main(timeout=30)
        os.remove(drl)
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)
        self.assertEqual(wc.read_bytes(drl), harness.winpath(pictures).encode("cp1252") + b"\r\n")

        self.uninstall()
        self.assert_uninstalled()
        # The user's list and settings stay, and so does the folder that holds the list.
        self.assertEqual(os.listdir(self.install_dir), ["Directory.drl"])
        self.assertEqual(self.settings_values(), settings)

    def test_install_without_the_logon_option_and_uninstall_removing_the_settings(self):
        # An earlier installation's log-on entry goes when the option is not chosen again.
        self.run_setup("/LOGON")
        self.assertTrue(os.path.exists(self.startup_lnk))
        self.run_setup()
        self.assert_installed(logon=False)
        with open(os.path.join(self.install_dir, "Directory.drl"), "wb") as f:
            f.write(b"C:\\\r\n")
        self.reg_set("HKCU", harness.SETTINGS_SECTION, "Display", "sz", "2")
        os.makedirs(self.staged_dir, exist_ok=True)
        for folder, name in ((self.install_dir, "Excluded.txt"), (self.staged_dir, "History.txt"),
                             (self.staged_dir, "Round.dat"), (self.staged_dir, "Velmaro.log")):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"x\r\n")

        self.uninstall("/REMOVESETTINGS")
        self.assert_uninstalled()
        self.assertFalse(os.path.exists(self.install_dir), "the install folder stays")
        self.assertFalse(os.path.exists(self.staged_dir), "the user's history and round stay")
        self.assertIsNone(self.setting("Display"))
        self.assertFalse(self.key_exists("HKCU\\" + harness.SETTINGS_KEY), "Software\\Velmaro stays")

    def test_uninstall_while_velmaro_runs_removes_nothing_and_later_removes_the_staged_files(self):
        self.run_setup()
        os.makedirs(self.staged_dir, exist_ok=True)
        for name in ("VMImage.bmp", "vel1A2B.tmp"):
            with open(os.path.join(self.staged_dir, name), "wb") as f:
                f.write(wc.solid_bmp(4, 4, (1, 2, 3)))
        with open(os.path.join(self.install_dir, "Directory.drl"), "wb") as f:
            f.write(b"C:\\\r\n")
        # Started by its own path, as the Start menu starts it (a path through Z: would
        # make it name itself so in the desktop's menu).
        app = harness.App(self.driver, self.driver.call("start", self.install_win + r"\Velmaro.exe", "",
                                                         self.install_win)["pid"])
        self.apps.append(app)
        main = app.wait_main(timeout=30)
        # Run in place (_?=) so that the exit code is the uninstaller's own: silent, it
        # takes Cancel, and stops with nothing removed.
        un = self.start_program(os.path.join(self.install_dir, "Uninstall.exe"), "/S _?=" + self.install_win)
        self.assertEqual(un.wait_exit(timeout=60), 2)
        os.remove(os.path.join(self.install_dir, "Directory.drl"))
        self.assert_installed(logon=False)
        self.assertLessEqual({"VMImage.bmp", "vel1A2B.tmp"}, set(os.listdir(self.staged_dir)))
        main.close()
        self.assertEqual(app.wait_exit(timeout=15), 0)
        # The program's history of wallpapers beside them is no staged file: without it
        # the folder is left empty, and goes too.
        history = os.path.join(self.staged_dir, "History.txt")
        if os.path.exists(history):
            os.remove(history)
        self.uninstall()
        self.assert_uninstalled()
        self.assertFalse(os.path.exists(self.staged_dir), "the staged files of the user stay")


if __name__ == "__main__":
    harness.main()
