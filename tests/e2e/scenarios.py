"""The end-to-end scenarios: what the user does, what must be seen, what must be on disk.

Every scenario runs Install.exe from the kit folder D:\\DISK1\\ of its own Wine
prefix, drives it with the robot and checks the robot's transcript (windows,
message boxes, exit code) and the disk afterwards.

With the host build given, each scenario then runs again on the host
(Install.EXE of the host build, its own ZARQUEL_PREFIX, the kit as drive D:),
answered by the same user actions as the robot performed under Wine, read back
through its trace, and held to the same checks. `compare` then sets the two
runs side by side: the same boxes in the same order, the same windows, the
same files with the same bytes, the same shortcut fields (docs/differential.md).
"""

import filecmp
import importlib.machinery
import os
import subprocess

import harness
import host

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
make_kit = importlib.machinery.SourceFileLoader(
    "make_kit", os.path.join(ROOT, "tools", "make-kit")).load_module()
MANIFEST = make_kit.MANIFEST

KIT_FOLDER = "D:\\DISK1\\"
INSTALLER = KIT_FOLDER + "Install.EXE"
# What GetWindowsDirectoryA gives: a Wine prefix has C:\\windows, the host's
# prefix C:\\WINDOWS, as Windows 9x had. The one difference between the two
# runs of a scenario that the comparison normalises.
WINE_WINDOWS_FOLDER = "C:\\windows"
HOST_WINDOWS_FOLDER = "C:\\WINDOWS"
# A destination with letters of Windows-1252 beyond ASCII.
GROESSE_FOLDER = "C:\\Zarquel Gr\u00f6\u00dfe\\"
SETUP_CAPTION = "Zarquel Software Installation"
PROGRESS_CAPTION = "Zarquel Software Installation Status"
LINKS = (("Zarquel - Win32 Data Plotter.lnk", "Zarquel32.exe", "Zarquel"),
         ("Mirtan - Nonlinear Curve Fitter.lnk", "Mirtan.exe", "Mirtan"))

WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x10000000, 0x00C00000, 0x00080000

# The destination dialog as its template lays it out, in dialog units:
# (id, class, text shown after opening, x, y, width, height).
SETUP_SIZE = (186, 90)
SETUP_CONTROLS = (
    (0, "Static", "The Zarquel files will be installed in the following folder:", 4, 6, 178, 10),
    (101, "Edit", "C:\\Zarquel\\", 4, 18, 178, 12),
    (0, "Static", "Start Menu shortcuts will be installed in the following folder:", 4, 40, 178,
     10),
    (102, "Static", "<programs folder>", 4, 52, 178, 8),
    (1, "Button", "OK", 38, 70, 50, 14),
    (2, "Button", "Cancel", 96, 70, 50, 14),
)
PROGRESS_SIZE = (160, 10)
PROGRESS_CONTROLS = ((201, "Static", None, 4, 1, 172, 10),)

FINISHED = ("INFORMATION", "Installation of the Zarquel software has finished.\n",
            "information", ["OK"], "OK", None)
FILES_MISSING = ("WARNING", "Installation of the Zarquel files has finished,\n"
                 "but some files are missing!  Read MS Word file\n"
                 "Zarquel.DOC or text file Zarquel.TXT to see list\n"
                 "of expected files.", "warning", ["OK"], "OK", None)
START_MENU_FAILED = ("ERROR", "Installation of Zarquel onto the Start Menu failed!\n"
                     "Read MS Word file Zarquel.DOC or text file Zarquel.TXT\n"
                     "for instructions on installing manually.", "error", ["OK"], "OK", None)
INVALID_PATH = ("ERROR", "Invalid path to specified destination folder.", "error", ["OK"], "OK",
                None)
INVALID_SPEC = ("ERROR", "Invalid specification for destination folder.", "error", ["OK"],
                "OK", None)


def folder_exists(answer):
    return ("PROCEED?", "A folder with that name already exists.\nUse that folder?", "question",
            ["OK", "Cancel"], answer, None)


def file_missing(row):
    name = MANIFEST[row]
    caption, icon = ("ERROR", "error") if row < 3 else ("WARNING", "warning")
    return (caption, f"File {name} is missing!", icon, ["OK"], "OK", "  Copying " + name)


class ScenarioStage:
    """What a scenario works with on either platform: its kit, its runs and
    its checks. WineStage and HostStage provide the machine and the runs."""

    platform = ""
    windows_folder = ""

    def __init__(self, name, folder):
        self.name = name
        self.folder = folder
        self.failures = []
        self.checks = 0
        self.runs = 0
        self.transcripts = []
        # Message box texts in which this platform departs from Windows, with
        # the text Windows shows (docs/differential.md).
        self.departures = {}
        self.media = os.path.join(self.folder, "media")
        self.kit = os.path.join(self.media, "DISK1")

    # ---- Setting the scene ------------------------------------------------

    def make_kit(self, omit=(), unreadable=(), sizes=()):
        make_kit.make_kit(self.kit, self.installer, sizes=sizes,
                          omit={make_kit.row_of(str(r)) for r in omit},
                          unreadable={make_kit.row_of(str(r)) for r in unreadable})

    def programs_text(self):
        """The Programs folder as the installer names it."""
        return self.windows_folder + "\\Start Menu\\Programs\\"

    def programs_folder(self):
        return self.drive_c(self.windows_folder[3:], "Start Menu", "Programs")

    def windows_or_wine(self, windows, wine, what):
        """What this platform must show where Wine departs from Windows: the
        host follows Windows. The comparison counts Wine's box text as
        Windows' in this scenario only."""
        return windows

    # ---- Running ------------------------------------------------------------

    def run(self, *actions):
        """Runs the installer once; returns the run's events in the robot's form."""
        self.runs += 1
        name = f"run{self.runs}"
        events = self.run_installer(list(actions), name)
        self.transcripts.append(events)
        self.check_transcript(events, name)
        return events

    # ---- Checks -------------------------------------------------------------

    def check(self, condition, what):
        self.checks += 1
        if not condition:
            self.failures.append(what)
            harness.log(f"  FAIL {self.platform}: {what}")

    def equal(self, actual, expected, what):
        self.check(actual == expected, f"{what}: expected {expected!r}, got {actual!r}")

    def check_transcript(self, events, name):
        """What holds for every run: it ended by itself with 0 and everything
        the user was to do was done; every window is as specified."""
        kinds = [e["event"] for e in events]
        self.check("timeout" not in kinds, f"{name}: the installer ended by itself")
        exits = [e["code"] for e in events if e["event"] == "exit"]
        self.equal(exits, [0], f"{name}: exit code")
        self.equal([e for e in events if e["event"] in ("unused", "error")], [],
                   f"{name}: every scenario step used, no driver error")
        desktop = next((e["rect"] for e in events if e["event"] == "desktop"), None)
        setup_controls = tuple(c[:2] + (self.programs_text(),) + c[3:] if c[0] == 102 else c
                               for c in SETUP_CONTROLS)
        for window in (e for e in events if e["event"] == "window"):
            if window["caption"] == SETUP_CAPTION:
                self.check_window(window, desktop, SETUP_SIZE, setup_controls, True, name)
            elif window["caption"] == PROGRESS_CAPTION:
                self.check_window(window, desktop, PROGRESS_SIZE, PROGRESS_CONTROLS, False, name)
                self.check(window["controls"][0]["text"].startswith("  "),
                           f"{name}: the progress window's status begins with two blanks")
            else:
                self.check(False, f"{name}: unexpected window {window['caption']!r}")
        for press in (e for e in events if e["event"] == "press"):
            self.check(press["found"], f"{name}: button {press['button']!r} found")

    def check_window(self, window, desktop, size, controls, modal, name):
        what = f"{name}: {window['caption']!r}"
        if "style" in window:
            style = window["style"]
            self.check(style & WS_POPUP and style & WS_VISIBLE and style & WS_CAPTION,
                       f"{what}: a visible pop-up window with a caption (style {style:#x})")
            self.equal(bool(style & WS_SYSMENU), modal, f"{what}: has a window menu")
        else:
            self.equal(window["modal"], modal, f"{what}: modal")

        # Centred on the desktop, halves rounded toward zero.
        left, top, right, bottom = window["rect"]
        width, height = right - left, bottom - top
        d_left, d_top, d_right, d_bottom = desktop
        expected = (d_left + int((d_right - d_left - width) / 2),
                    d_top + int((d_bottom - d_top - height) / 2))
        self.equal((left, top), expected, f"{what}: position centred on the desktop {desktop}")

        # Sizes and places in dialog units, within the rounding of one pixel.
        client = window["client"]
        units = dialog_units(client[2] - client[0], client[3] - client[1], size)
        self.check(units is not None,
                   f"{what}: client area {client} is {size[0]} by {size[1]} dialog units")
        if units is None:
            return
        shown = [c for c in window["controls"]]
        self.equal([(c["id"], c["class"]) for c in shown],
                   [(c[0], c[1]) for c in controls], f"{what}: controls in order")
        for control, spec in zip(shown, controls):
            cid, _, text, x, y, w, h = spec
            if text is not None:
                self.equal(control["text"], text, f"{what}: text of control {cid}")
            if "rect" not in control:
                continue  # the host's trace places no controls in pixels
            expected = pixels((x, y, w, h), units)
            rect = control["rect"]
            actual = (rect[0] - client[0], rect[1] - client[1], rect[2] - rect[0],
                      rect[3] - rect[1])
            self.check(all(abs(a - e) <= 1 for a, e in zip(actual, expected)),
                       f"{what}: control {cid} at {actual} pixels, "
                       f"expected {expected} for dialog units {(x, y, w, h)}")

    def boxes(self, events):
        return [(e["caption"], e["text"], e["icon"], e["buttons"], e["answer"], e["status"])
                for e in events if e["event"] == "messagebox"]

    def expect_boxes(self, events, expected):
        actual = self.boxes(events)
        self.equal(len(actual), len(expected), "number of message boxes")
        for number, (a, e) in enumerate(zip(actual, expected), 1):
            self.equal(a, e, f"message box {number}")

    def windows(self, events):
        return [e["caption"] for e in events if e["event"] == "window"]

    def destination(self, windows_folder):
        """The Unix path of a folder given as C:\\... or D:\\..."""
        drive, rest = windows_folder[0].lower(), windows_folder[3:].rstrip("\\")
        base = self.prefix + "/dosdevices/" + drive + ":"
        path = os.path.realpath(base)
        for part in [p for p in rest.split("\\") if p]:
            # Windows finds names in any letter case.
            names = {n.lower(): n for n in os.listdir(path)} if os.path.isdir(path) else {}
            path = os.path.join(path, names.get(part.lower(), part))
        return path

    def expect_installed(self, folder, rows):
        """Exactly the manifest files of `rows` in `folder`, each identical to the kit."""
        path = self.destination(folder)
        present = sorted(os.listdir(path)) if os.path.isdir(path) else []
        self.equal(present, sorted(MANIFEST[r] for r in rows), f"files in {folder}")
        for row in rows:
            name = MANIFEST[row]
            target = os.path.join(path, name)
            self.check(os.path.isfile(target) and
                       filecmp.cmp(os.path.join(self.kit, name), target, shallow=False),
                       f"{folder}{name} is identical to the kit's file")

    def expect_absent(self, folder):
        self.check(not os.path.exists(self.destination(folder)), f"{folder} was not created")

    def expect_links(self, folder):
        """Both shortcut files, read back by lnkinfo, point into `folder`."""
        programs = self.programs_folder()
        present = sorted(os.listdir(programs)) if os.path.isdir(programs) else []
        self.equal(present, sorted(link for link, _, _ in LINKS), "files in the Programs folder")
        for link, program, description in LINKS:
            path = os.path.join(programs, link)
            if not os.path.exists(path):
                continue
            fields = harness.lnkinfo(path)
            self.equal(fields.get("Local path"), folder + program, f"{link}: target")
            self.equal(fields.get("Working directory"), folder, f"{link}: working folder")
            self.equal(fields.get("Description"), description, f"{link}: description")

    def expect_no_links(self):
        programs = self.programs_folder()
        present = sorted(os.listdir(programs)) if os.path.isdir(programs) else []
        self.equal(present, [], "files in the Programs folder")

    def close(self):
        pass


class WineStage(ScenarioStage):
    """The Windows program under Wine, driven by the robot."""

    platform = "wine"
    windows_folder = WINE_WINDOWS_FOLDER

    def __init__(self, name, template, work, build):
        super().__init__(name, os.path.join(work, name))
        self.template = template
        self.robot = os.path.join(build, "tests", "e2e", "robot", "Robot.exe")
        self.installer = os.path.join(build, "platform", "windows", "Install.exe")
        if os.path.lexists(self.folder):
            subprocess.run(["rm", "-rf", self.folder], check=True)
        os.makedirs(self.folder)
        self.session = harness.Session(template, self.folder)
        self.prefix = self.session.prefix
        self.session.map_drive("d", self.media)
        self.on_pause = None

    def drive_c(self, *parts):
        return self.session.drive_c(*parts)

    def make_programs_folder(self):
        # Windows 9x had it; a Wine prefix has not.
        os.makedirs(self.programs_folder())

    def run(self, *actions, on_pause=None):
        """With `on_pause`, the robot stops at each window for a screenshot."""
        self.on_pause = on_pause
        return super().run(*actions)

    def run_installer(self, actions, name):
        return harness.run_robot(self.session, self.robot, INSTALLER, actions, name,
                                 on_pause=self.on_pause)

    def windows_or_wine(self, windows, wine, what):
        harness.log(f"  wine: {what}: Wine departs from Windows here")
        self.departures[wine[1]] = windows[1]
        return wine

    def preinstalled(self):
        """The names in C:\\ before any run: the prefix's own."""
        return set(os.listdir(os.path.join(self.template, "drive_c")))

    def close(self):
        self.session.close()


class HostStage(ScenarioStage):
    """The host build in a fresh ZARQUEL_PREFIX, answered through standard
    input with what the robot did in the Wine runs `replay` of the same scenario."""

    platform = "host"
    windows_folder = HOST_WINDOWS_FOLDER

    def __init__(self, name, work, installer, replay):
        super().__init__(name, os.path.join(work, name, "host"))
        self.replay = replay
        self.host_installer = installer
        self.installer = installer
        if os.path.lexists(self.folder):
            subprocess.run(["rm", "-rf", self.folder], check=True)
        os.makedirs(self.folder)
        self.machine = host.Prefix(self.folder)
        self.prefix = self.machine.path
        self.machine.map_drive("d", self.media)
        self.start_menu = False
        self.set_up = False

    def drive_c(self, *parts):
        return self.machine.drive_c(*parts)

    def make_kit(self, omit=(), unreadable=(), sizes=()):
        super().make_kit(omit, unreadable, sizes)
        program = os.path.join(self.kit, MANIFEST[make_kit.INSTALLER_ROW])
        if os.path.isfile(program):
            os.chmod(program, 0o755)  # the kit's copy of the installer is the program that runs

    def make_programs_folder(self):
        # A fresh prefix has it: the installer sets the prefix up on first use.
        self.start_menu = True

    def run_installer(self, actions, name):
        if not self.set_up:
            if not self.start_menu:
                self.machine.set_up_without_start_menu()
            self.set_up = True
        if self.runs > len(self.replay):
            return [{"event": "error", "what": f"no Wine {name} to replay"}]
        lines = host.replay_lines(self.replay[self.runs - 1])
        program = os.path.join(self.kit, MANIFEST[make_kit.INSTALLER_ROW])
        return host.run(self.machine, program, lines, name)

    def preinstalled(self):
        return {self.windows_folder[3:]}


# The Wine stage under the name that tools/take-screenshots uses.
Stage = WineStage


# ---- The two platforms side by side ---------------------------------------------


def normalised(text, stage):
    """A text of a run with the Windows folder written as the host writes it."""
    if isinstance(text, str) and stage.windows_folder != HOST_WINDOWS_FOLDER:
        return text.replace(stage.windows_folder + "\\", HOST_WINDOWS_FOLDER + "\\")
    return text


def seen(stage, events):
    """What a person saw in one run, comparable across the platforms: the
    windows with their control texts, and the message boxes."""
    shown = []
    for e in events:
        if e["event"] == "window":
            controls = [(c["id"], c["class"].lower(), normalised(c["text"], stage))
                        for c in e["controls"]]
            if e["caption"] == PROGRESS_CAPTION:
                # The robot polls: it may first see the window after its first
                # status text has replaced "  Please wait...".
                controls = [c[:2] for c in controls]
            shown.append(("window", e["caption"], controls))
        elif e["event"] == "messagebox":
            text = stage.departures.get(e["text"], e["text"])
            shown.append(("messagebox", e["caption"], normalised(text, stage), e["icon"],
                          e["buttons"], e["answer"], e["status"]))
        elif e["event"] == "exit":
            shown.append(("exit", e["code"]))
    return shown


def tree(folder):
    """Relative path -> bytes (None for a folder) of everything under `folder`."""
    result = {}
    if not os.path.isdir(folder):
        return result
    for base, folders, files in os.walk(folder):
        for name in folders:
            result[os.path.relpath(os.path.join(base, name), folder)] = None
        for name in files:
            path = os.path.join(base, name)
            try:
                with open(path, "rb") as f:
                    result[os.path.relpath(path, folder)] = f.read()
            except OSError as error:
                result[os.path.relpath(path, folder)] = f"unreadable: {error.strerror}"
    return result


def installed(stage):
    """What the runs left on C: (the prefix's own folders left out) and on D:."""
    result = {}
    drive_c = stage.drive_c()
    ignored = stage.preinstalled()
    for name in sorted(os.listdir(drive_c)) if os.path.isdir(drive_c) else []:
        if name not in ignored:
            for path, data in tree(os.path.join(drive_c, name)).items():
                result[windows_name("C:", name, path)] = data
            result[windows_name("C:", name)] = None
    for path, data in tree(stage.media).items():
        result[windows_name("D:", path)] = data
    return result


def windows_name(drive, *parts):
    return drive + "\\" + "\\".join(p.replace("/", "\\") for p in parts)


def links(stage):
    programs = stage.programs_folder()
    if not os.path.isdir(programs):
        return None
    fields = {}
    for name in sorted(os.listdir(programs)):
        info = harness.lnkinfo(os.path.join(programs, name))
        fields[name] = tuple(info.get(key) for key in
                             ("Local path", "Working directory", "Description"))
    return fields


def compare(wine, host_stage, report):
    """The checks that the host run of a scenario agrees with its Wine run;
    `report(condition, what)` counts each."""
    report(len(wine.transcripts) == len(host_stage.transcripts),
           f"runs: {len(wine.transcripts)} under Wine, {len(host_stage.transcripts)} on the host")
    for number, (w, h) in enumerate(zip(wine.transcripts, host_stage.transcripts), 1):
        ws, hs = seen(wine, w), seen(host_stage, h)
        report(ws == hs, f"run{number}: the same windows and boxes in the same order"
               + ("" if ws == hs else f"\n    wine: {ws}\n    host: {hs}"))

    # The same files with the same bytes; the installer itself (row 33) is
    # each platform's own program, identical to its own kit's copy.
    w_files, h_files = installed(wine), installed(host_stage)
    report(sorted(w_files) == sorted(h_files), "the same files and folders on C: and D:"
           + ("" if sorted(w_files) == sorted(h_files) else
              f"\n    only under Wine: {sorted(set(w_files) - set(h_files))}"
              f"\n    only on the host: {sorted(set(h_files) - set(w_files))}"))
    program = MANIFEST[make_kit.INSTALLER_ROW].lower()
    differing = []
    for path in sorted(set(w_files) & set(h_files)):
        if path.rsplit("\\", 1)[-1].lower() == program and isinstance(w_files[path], bytes):
            if (w_files[path] != read_or_none(os.path.join(wine.kit, MANIFEST[33])) or
                    h_files[path] != read_or_none(os.path.join(host_stage.kit, MANIFEST[33]))):
                differing.append(path)
        elif w_files[path] != h_files[path]:
            differing.append(path)
    report(not differing, f"the same bytes in every file (differing: {differing})")

    # The shortcuts as lnkinfo reads them.
    w_links, h_links = links(wine), links(host_stage)
    report(w_links == h_links, "the same shortcut files with the same target, working folder "
           f"and description\n    wine: {w_links}\n    host: {h_links}"
           if w_links != h_links else "the same shortcuts")


def read_or_none(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def dialog_units(width, height, size):
    """The horizontal and vertical base units that make a client area of
    width x height pixels out of `size` dialog units, or None."""
    for bx in range(1, 64):
        for by in range(1, 64):
            if (abs(mul_div(size[0], bx, 4) - width) <= 1 and
                    abs(mul_div(size[1], by, 8) - height) <= 1):
                return bx, by
    return None


def mul_div(value, numerator, denominator):
    return (value * numerator * 2 + denominator) // (denominator * 2)


def pixels(units_rect, units):
    bx, by = units
    x, y, w, h = units_rect
    return (mul_div(x, bx, 4), mul_div(y, by, 8), mul_div(w, bx, 4), mul_div(h, by, 8))


# ---- The scenarios ------------------------------------------------------------


def main_program_missing(s):
    s.make_kit(omit=[0])
    s.make_programs_folder()
    events = s.run()
    s.expect_boxes(events, [("ERROR", "Zarquel software is not in Setup's folder:\n" + KIT_FOLDER,
                             "error", ["OK"], "OK", None)])
    s.equal(s.windows(events), [], "windows shown")
    s.expect_absent("C:\\Zarquel\\")
    s.expect_no_links()


def cancel(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("press Cancel")
    s.expect_boxes(events, [])
    s.equal(s.windows(events), [SETUP_CAPTION], "windows shown")
    s.expect_absent("C:\\Zarquel\\")
    s.expect_no_links()


def clean_install(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("press OK")
    s.expect_boxes(events, [FINISHED])
    s.equal(s.windows(events), [SETUP_CAPTION, PROGRESS_CAPTION], "windows shown")
    s.expect_installed("C:\\Zarquel\\", range(35))
    s.expect_links("C:\\Zarquel\\")


def default_twice(s):
    s.make_kit()
    s.make_programs_folder()
    s.run("press OK")
    s.expect_installed("C:\\Zarquel\\", range(35))
    # Spoil every installed file, so that the second run must replace each one.
    target = s.destination("C:\\Zarquel\\")
    for name in MANIFEST:
        with open(os.path.join(target, name), "wb") as f:
            f.write(b"left over from the first installation\r\n")
    for link, _, _ in LINKS:
        os.remove(os.path.join(s.programs_folder(), link))
    # First declined, which keeps the dialog open, then accepted.
    events = s.run("press OK", "answer Cancel", "press OK", "answer OK")
    s.expect_boxes(events, [folder_exists("Cancel"), folder_exists("OK"), FINISHED])
    s.expect_installed("C:\\Zarquel\\", range(35))
    s.expect_links("C:\\Zarquel\\")


def missing_rows_1_3_34(s):
    s.make_kit(omit=[1, 3, 34])
    s.make_programs_folder()
    events = s.run("press OK")
    s.expect_boxes(events, [file_missing(1), file_missing(3), FILES_MISSING])
    s.expect_installed("C:\\Zarquel\\", [r for r in range(35) if r not in (1, 3, 34)])
    s.expect_links("C:\\Zarquel\\")


def missing_row_34(s):
    s.make_kit(omit=[34])
    s.make_programs_folder()
    events = s.run("press OK")
    s.expect_boxes(events, [FINISHED])
    s.expect_installed("C:\\Zarquel\\", range(34))
    s.expect_links("C:\\Zarquel\\")


def unreadable_file(s):
    s.make_kit(unreadable=[5])
    s.make_programs_folder()
    events = s.run("press OK")
    s.expect_boxes(events, [file_missing(5), FILES_MISSING])
    s.expect_installed("C:\\Zarquel\\", [r for r in range(35) if r != 5])
    s.expect_links("C:\\Zarquel\\")


def programs_folder_missing(s):
    s.make_kit()
    events = s.run("press OK")
    s.expect_boxes(events, [START_MENU_FAILED])
    s.expect_installed("C:\\Zarquel\\", range(35))
    s.check(not os.path.exists(s.programs_folder()), "the Programs folder was not created")


def own_folder(s):
    s.make_kit()
    s.make_programs_folder()
    before = snapshot(s.kit)
    events = s.run("type d:\\disk1", "press OK", "answer OK")
    s.expect_boxes(events, [folder_exists("OK"), FINISHED])
    s.equal(snapshot(s.kit), before, "the kit folder after installing into itself")
    s.expect_absent("C:\\Zarquel\\")
    s.expect_links("d:\\disk1\\")


def missing_parent(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("type C:\\No\\Such\\Place", "press OK", "press Cancel")
    s.expect_boxes(events, [INVALID_PATH])
    presses = [e for e in events if e["event"] == "press"]
    s.equal([p.get("field") for p in presses], ["C:\\No\\Such\\Place"] * 2,
            "the entry as typed, when each button is pressed")
    s.expect_absent("C:\\No\\")
    s.expect_absent("C:\\Zarquel\\")
    s.expect_no_links()


def leading_blank(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("type  C:\\Zarquel", "press OK", "press Cancel")
    s.expect_boxes(events, [INVALID_SPEC])
    s.expect_absent("C:\\Zarquel\\")
    s.check(not any(n.lower() == " c:" for n in os.listdir(s.drive_c())),
            "nothing created for the blank entry")
    s.expect_no_links()


def missing_drive(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("type Q:\\Zarquel", "press OK", "press Cancel")
    # Windows answers 3 for a folder on a drive that does not exist, Wine 2.
    s.expect_boxes(events, [s.windows_or_wine(INVALID_PATH, INVALID_SPEC,
                                              "CreateDirectoryA on a missing drive gives 2")])
    s.expect_absent("C:\\Zarquel\\")
    s.expect_no_links()


def windows_1252_folder(s):
    s.make_kit()
    s.make_programs_folder()
    events = s.run("type " + GROESSE_FOLDER, "press OK")
    s.expect_boxes(events, [FINISHED])
    # Windows-1252 inside the installer, UTF-8 in the host's file names.
    name = GROESSE_FOLDER[3:-1]
    s.check(name.encode("utf-8") in os.listdir(os.fsencode(s.drive_c())),
            f"C:\\{name} is the UTF-8 name {name.encode('utf-8')!r} on disk")
    s.expect_installed(GROESSE_FOLDER, range(35))
    s.expect_links(GROESSE_FOLDER)


def snapshot(folder):
    """Names, sizes, modification times and contents of a folder's files."""
    result = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            result[name] = (os.path.getsize(path), os.path.getmtime(path), f.read())
    return result


SCENARIOS = {
    "main_program_missing": main_program_missing,
    "cancel": cancel,
    "clean_install": clean_install,
    "default_twice": default_twice,
    "missing_rows_1_3_34": missing_rows_1_3_34,
    "missing_row_34": missing_row_34,
    "unreadable_file": unreadable_file,
    "programs_folder_missing": programs_folder_missing,
    "own_folder": own_folder,
    "missing_parent": missing_parent,
    "leading_blank": leading_blank,
    "missing_drive": missing_drive,
    "windows_1252_folder": windows_1252_folder,
}
