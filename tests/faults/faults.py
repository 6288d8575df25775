"""The fault scenarios: bad input and a hostile disk, on the host and under Wine.

Every case runs the installer from a kit folder on drive D: of its own machine
(a host prefix, or a copy of the e2e template Wine prefix), as the ordinary
user USER, and checks the message boxes shown, the exit code and the disk
afterwards: every change on the machine's drives must be one that the
installation may make (the destination folder, the manifest files in it, the
two shortcuts), and a manifest file is either the kit's file, byte for byte,
or what was there before. The user's own files are snapshotted with their
contents, sizes, modes and times, so any change to one fails the case.

A case is one function of a Stage; the Stage hides whether the host installer
(answer lines on standard input, its ZARQUEL_TRACE) or the Windows program
under Wine (the e2e robot and its transcript) runs.
"""

import hashlib
import importlib.machinery
import os
import pwd
import signal
import stat
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

make_kit = importlib.machinery.SourceFileLoader(
    "make_kit", os.path.join(ROOT, "tools", "make-kit")).load_module()
MANIFEST = make_kit.MANIFEST
USER = "zqfault"
PAGE = 4096

SETUP_CAPTION = "Zarquel Software Installation"
PROGRESS_CAPTION = "Zarquel Software Installation Status"
LINKS = (("Zarquel - Win32 Data Plotter.lnk", "Zarquel32.exe", "Zarquel"),
         ("Mirtan - Nonlinear Curve Fitter.lnk", "Mirtan.exe", "Mirtan"))

# A message box as both sides report it: caption, text, icon, buttons, answer.
FINISHED = ("INFORMATION", "Installation of the Zarquel software has finished.\n",
            "information", ["OK"], "OK")
FILES_MISSING = ("WARNING", "Installation of the Zarquel files has finished,\n"
                 "but some files are missing!  Read MS Word file\n"
                 "Zarquel.DOC or text file Zarquel.TXT to see list\n"
                 "of expected files.", "warning", ["OK"], "OK")
START_MENU_FAILED = ("ERROR", "Installation of Zarquel onto the Start Menu failed!\n"
                     "Read MS Word file Zarquel.DOC or text file Zarquel.TXT\n"
                     "for instructions on installing manually.", "error", ["OK"], "OK")
INVALID_SPEC = ("ERROR", "Invalid specification for destination folder.", "error", ["OK"],
                "OK")


def folder_exists(answer):
    return ("PROCEED?", "A folder with that name already exists.\nUse that folder?", "question",
            ["OK", "Cancel"], answer)


def row_box(text, row):
    caption, icon = ("ERROR", "error") if row < 3 else ("WARNING", "warning")
    return (caption, text % MANIFEST[row], icon, ["OK"], "OK")


def missing(row):
    return row_box("File %s is missing!", row)


def copy_failed(row):
    return row_box("Failed to copy file %s!", row)


def row_boxes(box, rows):
    """The per-row boxes of `rows`: row 34 is never reported."""
    return [box(r) for r in rows if r <= 33]


ICONS = {0x40: "information", 0x30: "warning", 0x10: "error", 0x20: "question"}
ANSWERS = {1: "OK", 2: "Cancel"}


# ---- The ordinary user ----------------------------------------------------------


def ensure_user():
    try:
        pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir", "/nonexistent",
                        "--shell", "/usr/sbin/nologin", USER], check=True)
    entry = pwd.getpwnam(USER)
    return entry.pw_uid, entry.pw_gid


def user_ids():
    entry = pwd.getpwnam(USER)
    return entry.pw_uid, entry.pw_gid


def give_to_user(path, skip=()):
    """Makes the user own `path` and everything under it, except the folders
    in `skip` (relative paths) and files with other hard links."""
    uid, gid = user_ids()
    os.lchown(path, uid, gid)
    for folder, folders, files in os.walk(path):
        relative = os.path.relpath(folder, path)
        folders[:] = [f for f in folders
                      if not os.path.normpath(os.path.join(relative, f)).startswith(skip)]
        for name in folders + files:
            entry = os.path.join(folder, name)
            if os.lstat(entry).st_nlink == 1 or name in folders:
                os.lchown(entry, uid, gid)


def as_user(args, env):
    """The command that runs `args` as the user with exactly `env`."""
    pairs = [f"{k}={v}" for k, v in sorted(env.items())]
    return ["runuser", "-u", USER, "--", "env", "-i"] + pairs + list(args)


# ---- What a run showed ----------------------------------------------------------


class Result:
    def __init__(self, boxes, windows, exit_code, problems, fields=None):
        self.boxes = boxes          # [(caption, text, icon, buttons, answer)]
        self.windows = windows      # captions of the windows shown, in order
        self.exit_code = exit_code  # None when the run had to be stopped
        self.problems = problems    # what went wrong with the run itself
        self.fields = fields or {}  # the destination dialog's texts: {control id: text}


# ---- Disk snapshots -------------------------------------------------------------


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def describe(path):
    status = os.lstat(path)
    if stat.S_ISLNK(status.st_mode):
        return ("link", os.readlink(path))
    if stat.S_ISDIR(status.st_mode):
        return ("folder", stat.S_IMODE(status.st_mode))
    try:
        content = digest(path)
    except PermissionError:
        content = "unreadable"
    return ("file", stat.S_IMODE(status.st_mode), status.st_size, status.st_mtime_ns, content)


class Stage:
    """One case on one side: its folder, machine, kit and checks."""

    side = None

    def __init__(self, case, work):
        self.case = case
        self.folder = os.path.join(os.path.abspath(work), f"{self.side}.{case}")
        if os.path.lexists(self.folder):
            self.unmount_under(self.folder)
            subprocess.run(["rm", "-rf", self.folder], check=True)
        os.makedirs(self.folder)
        self.media = os.path.join(self.folder, "media")
        os.makedirs(self.media)
        self.kit_parts = ("DISK1",)
        self.mounts = []
        self.runs = 0
        self.checks = 0
        self.failures = []
        self.notes = []

    # ---- Checks -----------------------------------------------------------

    def check(self, condition, what):
        self.checks += 1
        if not condition:
            self.failures.append(what)
            harness.log(f"  FAIL {what}")
        return condition

    def equal(self, actual, expected, what):
        return self.check(actual == expected, f"{what}: expected {expected!r}, got {actual!r}")

    def note(self, text):
        self.notes.append(text)
        harness.log(f"  note: {text}")

    # ---- The machine ------------------------------------------------------

    def drive_folder(self, letter):
        return os.path.realpath(os.path.join(self.prefix, "dosdevices", letter.lower() + ":"))

    def map_drive(self, letter, folder):
        link = os.path.join(self.prefix, "dosdevices", letter.lower() + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.abspath(folder), link)

    def host_path(self, windows):
        """The host path of a Windows path, names found without regard to case."""
        path = self.drive_folder(windows[0])
        for part in [p for p in windows[2:].split("\\") if p]:
            names = {}
            if os.path.isdir(path):
                for n in sorted(os.listdir(path), reverse=True):
                    names[n.lower()] = n
            path = os.path.join(path, names.get(part.lower(), part))
        return path

    def programs_folder(self):
        return self.host_path(self.windows_folder + "\\Start Menu\\Programs")

    def make_programs_folder(self, mode=None):
        folder = os.path.join(self.drive_folder("c"), *self.windows_folder[3:].split("\\"),
                              "Start Menu", "Programs")
        os.makedirs(folder, exist_ok=True)
        give_to_user(os.path.dirname(folder))
        if mode is not None:
            os.chmod(folder, mode)
        return folder

    def kit(self):
        return os.path.join(self.media, *self.kit_parts)

    def kit_windows(self):
        return "D:\\" + "\\".join(self.kit_parts) + "\\"

    def make_kit(self, parts=("DISK1",), sizes=(), installer=None):
        self.kit_parts = parts
        make_kit.make_kit(self.kit(), installer or self.installer, sizes=sizes)
        os.chmod(os.path.join(self.kit(), "Install.EXE"), 0o755)  # the host runs it
        return self.kit()

    def mount_tmpfs(self, letter, size):
        """A small file system of `size` bytes, owned by the user, as drive `letter`."""
        point = os.path.join(self.folder, "disk-" + letter)
        os.makedirs(point)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0755", "tmpfs", point],
                       check=True)
        self.mounts.append(point)
        uid, gid = user_ids()
        os.chown(point, uid, gid)
        self.map_drive(letter, point)
        return point

    @staticmethod
    def unmount_under(folder):
        with open("/proc/mounts") as f:
            points = [line.split()[1] for line in f]
        for point in sorted(points, reverse=True):
            point = point.replace("\\040", " ")
            if point.startswith(folder + "/"):
                subprocess.run(["umount", "-l", point], check=False)

    def user_files(self, folder):
        """Files of the user's own beside the manifest files, some with names
        close to theirs."""
        os.makedirs(os.path.join(folder, "Data"), exist_ok=True)
        files = {"notes.txt": b"my own notes\r\n", "Data/keep.zql": b"my own plot\r\n",
                 "Zarquel32.EXE.bak": b"an older program\r\n", "Zarquel.TXT~": b"edited\r\n"}
        for name, content in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(content)
        give_to_user(folder)

    # ---- Snapshots --------------------------------------------------------

    def snapshot_roots(self):
        roots = {"C:": self.drive_folder("c"), "D:": self.media}
        for point in self.mounts:
            roots[os.path.basename(point)[-1].upper() + ":"] = point
        return roots

    def skipped(self, key):
        return False

    def snapshot(self):
        entries = {}
        for label, root in self.snapshot_roots().items():
            for folder, folders, files in os.walk(root):
                for name in folders + files:
                    path = os.path.join(folder, name)
                    key = label + "/" + os.path.relpath(path, root)
                    if not self.skipped(key):
                        entries[key] = describe(path)
                folders[:] = [f for f in folders
                              if not self.skipped(label + "/" + os.path.relpath(
                                  os.path.join(folder, f), root))]
        return entries

    def key_of(self, windows):
        path = self.host_path(windows)
        for label, root in self.snapshot_roots().items():
            root = os.path.realpath(root)
            if path == root or path.startswith(root + "/"):
                return label + "/" + os.path.relpath(path, root)
        raise ValueError(f"{windows} lies on no drive of the snapshot")

    def expect_disk(self, before, dest=None, installed=(), links=None, partial=(),
                    link_names=None):
        """The disk after a run: only the destination folder, the manifest files
        of `installed` (byte-identical to the kit's) and of `partial` (absent or
        a cut copy), and the shortcuts when `links` names their folder."""
        after = self.snapshot()
        allowed = set()
        if dest is not None:
            dest_key = self.key_of(dest)
            allowed.add(dest_key.lower())
            for row in list(installed) + list(partial):
                allowed.add((dest_key + "/" + MANIFEST[row]).lower())
        names = link_names if link_names is not None else [link for link, _, _ in LINKS]
        if links is not None:
            programs_key = self.key_of(self.windows_folder + "\\Start Menu\\Programs")
            for name in names:
                allowed.add((programs_key + "/" + name).lower())
        for key in sorted(set(before) | set(after)):
            if before.get(key) != after.get(key) and key.lower() not in allowed:
                self.check(False, f"{key} changed: {summary(before.get(key))} -> "
                                  f"{summary(after.get(key))}")
        self.checks += 1
        if dest is not None:
            for row in installed:
                target = self.host_path(dest + MANIFEST[row])
                self.check(os.path.isfile(target) and
                           digest(target) == digest(os.path.join(self.kit(), MANIFEST[row])),
                           f"{dest}{MANIFEST[row]} is the kit's file")
            for row in partial:
                target = self.host_path(dest + MANIFEST[row])
                if os.path.isfile(target):
                    with open(target, "rb") as f, \
                            open(os.path.join(self.kit(), MANIFEST[row]), "rb") as k:
                        content, kit = f.read(), k.read()
                    self.check(len(content) < len(kit) and kit.startswith(content),
                               f"{dest}{MANIFEST[row]}: a cut copy of the kit's file")
        if links is not None:
            self.expect_links(links, names)

    def expect_links(self, folder, names):
        programs = self.programs_folder()
        for link, program, description in LINKS:
            path = os.path.join(programs, link)
            if link not in names:
                continue
            if not self.check(os.path.isfile(path), f"shortcut {link} written"):
                continue
            fields = harness.lnkinfo(path)
            self.equal(fields.get("Local path"), folder + program, f"{link}: target")
            self.equal(fields.get("Working directory"), folder, f"{link}: working folder")
            self.equal(fields.get("Description"), description, f"{link}: description")

    def expect_run(self, result, boxes, windows=None):
        """The boxes in order, the windows shown, exit code 0, a clean run."""
        self.equal(result.problems, [], f"run {self.runs}: the run itself")
        self.equal(result.exit_code, 0, f"run {self.runs}: exit code")
        self.equal(len(result.boxes), len(boxes), f"run {self.runs}: number of message boxes")
        for number, (actual, expected) in enumerate(zip(result.boxes, boxes), 1):
            self.equal(actual, expected, f"run {self.runs}: message box {number}")
        if windows is not None:
            self.equal(result.windows, windows, f"run {self.runs}: windows shown")
        harness.log(f"  run {self.runs}: {len(result.boxes)} boxes: " +
                    "; ".join(f"{b[0]} {b[1].splitlines()[0]!r}" for b in result.boxes[:6]) +
                    (" ..." if len(result.boxes) > 6 else ""))

    def close(self):
        for point in reversed(self.mounts):
            subprocess.run(["umount", point], check=False)
            if os.path.ismount(point):
                subprocess.run(["umount", "-l", point], check=False)


def summary(entry):
    if entry is None:
        return "absent"
    if entry[0] == "file":
        return f"file mode {entry[1]:o} size {entry[2]}"
    if entry[0] == "folder":
        return f"folder mode {entry[1]:o}"
    return f"link to {entry[1]}"


class HostStage(Stage):
    """The host installer in a prefix of its own: C: its drive_c, D: the media."""

    side = "host"
    windows_folder = "C:\\WINDOWS"

    def __init__(self, case, work, installer, windows_directory_installer):
        super().__init__(case, work)
        self.installer = installer
        self.windows_directory_installer = windows_directory_installer
        self.prefix = os.path.join(self.folder, "prefix")
        drive_c = os.path.join(self.prefix, "drive_c")
        os.makedirs(os.path.join(drive_c, "WINDOWS", "Start Menu"))
        os.makedirs(os.path.join(self.prefix, "dosdevices"))
        os.symlink("../drive_c", os.path.join(self.prefix, "dosdevices", "c:"))
        self.map_drive("d", self.media)
        self.windows_directory = None

    def run(self, *actions, timeout=60):
        """Runs the kit's Install.EXE with the actions as answer lines."""
        self.runs += 1
        give_to_user(self.prefix)
        uid, gid = user_ids()
        os.chown(self.folder, uid, gid)
        lines = []
        for action in actions:
            verb, _, rest = action.partition(" ")
            if verb == "type":
                lines.append("text " + rest)
            else:
                lines.append(rest.lower())  # "press OK", "answer Cancel"
        trace = os.path.join(self.folder, f"run{self.runs}.trace")
        output = os.path.join(self.folder, f"run{self.runs}.out")
        env = {"ZARQUEL_PREFIX": self.prefix, "ZARQUEL_TRACE": trace, "HOME": self.folder,
               "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}
        if self.windows_directory:
            env["ZARQUEL_FAULT_WINDOWS_DIRECTORY"] = self.windows_directory
        command = as_user([os.path.join(self.kit(), "Install.EXE")], env)
        problems = []
        with open(output, "wb") as out:
            process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=out,
                                       stderr=subprocess.STDOUT, cwd=self.folder,
                                       start_new_session=True)
            try:
                process.communicate("".join(line + "\n" for line in lines).encode(), timeout)
                code = process.returncode
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
                code = None
                problems.append(f"stopped after {timeout} s")
        with open(output, "rb") as f:
            shown = f.read().decode("utf-8", errors="replace")
        if "(not an answer" in shown:
            problems.append("an answer line was not taken")
        events = harness.read_transcript(trace)
        boxes = [(e["caption"], e["text"], ICONS.get(e["style"] & 0xF0), e["buttons"],
                  ANSWERS.get(e["answer"], str(e["answer"])))
                 for e in events if e["event"] == "messagebox"]
        windows = [e["caption"] for e in events if e["event"] == "window"]
        fields = {}
        for e in events:
            if e["event"] == "window" and e["template"] == "SETUPBOX":
                fields = {c["control"]: c["text"] for c in e["controls"]}
                break
        return Result(boxes, windows, code, problems, fields)


class WineStage(Stage):
    """Install.exe under Wine as the user, driven by the robot, in a copy of the
    template prefix that the user owns (its shared system folders stay links
    to the template's files, which the user only reads)."""

    side = "wine"
    windows_folder = "C:\\windows"

    def __init__(self, case, work, build, template):
        super().__init__(case, work)
        self.installer = os.path.join(build, "platform", "windows", "Install.exe")
        self.robot = os.path.join(build, "tests", "e2e", "robot", "Robot.exe")
        self.prefix = os.path.join(self.folder, "prefix")
        harness.clone_prefix(template, self.prefix)
        self.map_drive("d", self.media)
        self.display = harness.Display()
        env = harness.wine_environment(self.prefix, self.display.name)
        self.env = {k: env[k] for k in ("WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "DISPLAY",
                                        "LANG", "LC_ALL")}
        self.env.update(HOME=self.folder, USER=USER, LOGNAME=USER, PATH="/usr/bin:/bin")

    def skipped(self, key):
        # Wine's own files on drive C: are not the installation's business,
        # but the Start Menu is.
        parts = key.lower().split("/")
        if parts[0] != "c:" or len(parts) < 2:
            return False
        if parts[1] == "windows":
            return len(parts) > 2 and parts[2] != "start menu"
        return parts[1] in ("users", "programdata", "program files", "program files (x86)")

    # What harness.run_robot needs of a session.
    def start(self, program, args, log_path):
        with open(log_path, "ab") as out:
            return subprocess.Popen(as_user([harness.WINE, program] + list(args), self.env),
                                    stdout=out, stderr=subprocess.STDOUT,
                                    start_new_session=True)

    def end_wine(self):
        env = dict(self.env)
        for argument in ("-k", "-w"):
            try:
                subprocess.run(as_user([harness.WINESERVER, argument], env), timeout=20,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                subprocess.run(as_user([harness.WINESERVER, "-k9"], env), timeout=20,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, *actions, timeout=60):
        self.runs += 1
        give_to_user(self.folder, skip=tuple("prefix/" + s for s in harness.SHARED_FOLDERS))
        events = harness.run_robot(self, self.robot, self.kit_windows() + "Install.EXE",
                                   list(actions), f"run{self.runs}", timeout=timeout)
        self.end_wine()
        problems = [e for e in events if e["event"] in ("timeout", "unused", "error")]
        exits = [e["code"] for e in events if e["event"] == "exit"]
        boxes = [(e["caption"], e["text"], e["icon"], e["buttons"], e["answer"])
                 for e in events if e["event"] == "messagebox"]
        windows = [e["caption"] for e in events if e["event"] == "window"]
        fields = {}
        for e in events:
            if e["event"] == "window" and e["caption"] == SETUP_CAPTION:
                fields = {c["id"]: c["text"] for c in e["controls"] if c["id"]}
                break
        return Result(boxes, windows, exits[0] if len(exits) == 1 else None, problems, fields)

    def close(self):
        try:
            self.end_wine()
        finally:
            self.display.close()
            super().close()


# ---- The cases --------------------------------------------------------------------


def prepare(s, programs=True):
    s.make_kit()
    if programs:
        s.make_programs_folder()


def disk_full(s):
    """The destination on a small file system that fills up part-way."""
    doc_size = 16 * PAGE
    s.make_kit(sizes=[(4, doc_size)])
    s.make_programs_folder()
    disk = s.mount_tmpfs("e", 18 * PAGE)
    dest = os.path.join(disk, "Zarquel")
    os.makedirs(dest)
    s.user_files(dest)
    free = os.statvfs(disk).f_bavail * os.statvfs(disk).f_frsize // PAGE
    # As Windows copies: a file that does not fit fails and takes no room.
    copied, failed, left = [], [], free
    for row, name in enumerate(MANIFEST):
        pages = -(-os.path.getsize(os.path.join(s.kit(), name)) // PAGE)
        if pages <= left:
            copied.append(row)
            left -= pages
        else:
            failed.append(row)
    s.check(4 in failed and failed[-1] == 34 and 5 in copied and failed[1] > 5,
            f"the disk of {free} pages fills part-way: copied {copied}, failed {failed}")
    before = s.snapshot()
    result = s.run("type E:\\Zarquel", "press OK", "answer OK")
    if s.side == "host":
        s.expect_run(result, [folder_exists("OK")] + row_boxes(copy_failed, failed) +
                     [FILES_MISSING])
        s.expect_disk(before, "E:\\Zarquel\\", copied, links="E:\\Zarquel\\")
        return
    # Wine's CopyFile leaves what it wrote of a file that did not fit under
    # the file's name: the rest of the disk. Every later file fails too.
    folder = s.host_path("E:\\Zarquel\\")
    complete = [r for r in range(35) if os.path.isfile(os.path.join(folder, MANIFEST[r])) and
                digest(os.path.join(folder, MANIFEST[r])) ==
                digest(os.path.join(s.kit(), MANIFEST[r]))]
    cut = [r for r in range(35) if r not in complete]
    s.equal(complete, [r for r in copied if r < failed[0]],
            "complete files: those before the first that did not fit")
    s.expect_run(result, [folder_exists("OK")] + row_boxes(copy_failed, cut) + [FILES_MISSING])
    s.expect_disk(before, "E:\\Zarquel\\", complete, links="E:\\Zarquel\\", partial=cut)
    left_behind = {MANIFEST[r]: os.path.getsize(os.path.join(folder, MANIFEST[r]))
                   for r in cut if os.path.exists(os.path.join(folder, MANIFEST[r]))}
    s.note(f"Wine left cut files under manifest names: {left_behind}")


def read_only_target(s):
    """A read-only file of the same name already in the destination."""
    prepare(s)
    dest = os.path.join(s.drive_folder("c"), "Zarquel")
    os.makedirs(dest)
    s.user_files(dest)
    old = os.path.join(dest, "Zarquel.TXT")
    with open(old, "wb") as f:
        f.write(b"the user's own Zarquel.TXT, kept read-only\r\n")
    give_to_user(dest)
    os.chmod(old, 0o444)
    before = s.snapshot()
    result = s.run("press OK", "answer OK")
    s.expect_run(result, [folder_exists("OK"), copy_failed(3), FILES_MISSING])
    s.expect_disk(before, "C:\\Zarquel\\", [r for r in range(35) if r != 3], links="C:\\Zarquel\\")


def destination_is_file(s):
    """The destination's name taken by a file."""
    prepare(s)
    with open(os.path.join(s.drive_folder("c"), "Zarquel"), "wb") as f:
        f.write(b"a file of the user's, not a folder\r\n")
    before = s.snapshot()
    result = s.run("press OK", "answer OK")
    s.expect_run(result, [folder_exists("OK")] + row_boxes(copy_failed, range(35)) +
                 [FILES_MISSING])
    s.expect_disk(before, None, links="C:\\Zarquel\\")


def parent_not_writable(s):
    """A parent folder without write permission."""
    prepare(s)
    locked = os.path.join(s.drive_folder("c"), "Locked")
    os.makedirs(locked)
    s.user_files(locked)
    os.chmod(locked, 0o555)
    before = s.snapshot()
    result = s.run("type C:\\Locked\\Zarquel", "press OK", "answer OK", "press Cancel")
    s.expect_run(result, [INVALID_SPEC], [SETUP_CAPTION])
    s.expect_disk(before)


def source_unreadable(s):
    """A kit file that cannot be opened (no read permission)."""
    prepare(s)
    os.chmod(os.path.join(s.kit(), MANIFEST[5]), 0o000)
    before = s.snapshot()
    result = s.run("press OK")
    s.expect_run(result, [missing(5), FILES_MISSING])
    s.expect_disk(before, "C:\\Zarquel\\", [r for r in range(35) if r != 5], links="C:\\Zarquel\\")


def source_is_folder(s):
    """A kit name that is a folder."""
    prepare(s)
    path = os.path.join(s.kit(), MANIFEST[1])
    os.remove(path)
    os.makedirs(path)
    with open(os.path.join(path, "inside.txt"), "wb") as f:
        f.write(b"not the help file\r\n")
    before = s.snapshot()
    result = s.run("press OK")
    s.expect_run(result, [missing(1), FILES_MISSING])
    s.expect_disk(before, "C:\\Zarquel\\", [r for r in range(35) if r != 1], links="C:\\Zarquel\\")


def programs_missing(s):
    """No Start Menu Programs folder."""
    prepare(s, programs=False)
    before = s.snapshot()
    result = s.run("press OK")
    s.expect_run(result, [START_MENU_FAILED])
    s.expect_disk(before, "C:\\Zarquel\\", range(35))
    s.check(not os.path.exists(s.programs_folder()), "the Programs folder was not created")


def programs_read_only(s):
    """A Programs folder without write permission."""
    prepare(s, programs=False)
    s.make_programs_folder(mode=0o555)
    before = s.snapshot()
    result = s.run("press OK")
    s.expect_run(result, [START_MENU_FAILED])
    s.expect_disk(before, "C:\\Zarquel\\", range(35))


def second_install(s):
    """A second installation over the first, with the user's files beside."""
    prepare(s)
    result = s.run("press OK")
    s.expect_run(result, [FINISHED])
    dest = s.host_path("C:\\Zarquel\\")
    s.user_files(dest)
    for name in MANIFEST:
        with open(os.path.join(dest, name), "wb") as f:
            f.write(b"left over from the first installation\r\n")
    give_to_user(dest)
    before = s.snapshot()
    result = s.run("press OK", "answer OK")
    s.expect_run(result, [folder_exists("OK"), FINISHED])
    s.expect_disk(before, "C:\\Zarquel\\", range(35), links="C:\\Zarquel\\")


def own_folder(s):
    """The installer's own folder, typed in other letter case."""
    prepare(s)
    s.user_files(s.kit())
    before = s.snapshot()
    result = s.run("type d:\\disk1", "press OK", "answer OK")
    s.expect_run(result, [folder_exists("OK"), FINISHED])
    s.expect_disk(before, links="d:\\disk1\\")


def deep_folder(s, length):
    """An existing folder C:\\aaa...\\bbb... whose path has `length` characters."""
    parts, used = [], 2  # "C:"
    while used < length:
        take = min(60, length - used - 1)
        if take <= 0:
            raise ValueError("no room for a name")
        parts.append(chr(ord("a") + len(parts)) * take)
        used += take + 1
    windows = "C:\\" + "\\".join(parts)
    os.makedirs(os.path.join(s.drive_folder("c"), *parts))
    give_to_user(s.drive_folder("c"))
    assert len(windows) == length
    return windows


def long_entries(s):
    """Entries of 258, 259 and 260 characters, with and without a final backslash,
    each under an existing folder."""
    prepare(s)
    parent = deep_folder(s, 240)

    def entry(length, backslash, letter):
        leaf = letter * (length - len(parent) - 1 - (1 if backslash else 0))
        return parent + "\\" + leaf + ("\\" if backslash else "")

    # No room in the 260 bytes of the field for the final backslash (the field
    # reads 259 characters of a 260-character entry): refused before any
    # folder is made, on both sides. One run, one entry after the other.
    actions = []
    for length, backslash, letter in ((259, False, "p"), (260, False, "q"), (260, True, "r")):
        actions += ["type " + entry(length, backslash, letter), "press OK", "answer OK"]
    before = s.snapshot()
    result = s.run(*actions, "press Cancel")
    s.expect_run(result, [INVALID_SPEC] * 3, [SETUP_CAPTION])
    s.expect_disk(before)

    # Folders of 258 and 259 characters: Windows creates no folder of 248 or
    # more (room is kept for an 8.3 name), and neither does the host. Wine
    # does, and the installation goes on with a destination beside which no
    # manifest name fits: every copy and the first shortcut fail.
    for number, (length, backslash, letter) in enumerate(((258, False, "s"), (258, True, "t"),
                                                          (259, True, "u"))):
        typed = entry(length, backslash, letter)
        before = s.snapshot()
        if s.side == "host":
            result = s.run("type " + typed, "press OK", "answer OK", "press Cancel")
            s.expect_run(result, [INVALID_SPEC], [SETUP_CAPTION])
            s.expect_disk(before)
            continue
        dest = typed if backslash else typed + "\\"
        if number == 0:
            result = s.run("type " + typed, "press OK")
            s.expect_run(result, row_boxes(copy_failed, range(35)) +
                         [FILES_MISSING, START_MENU_FAILED], [SETUP_CAPTION, PROGRESS_CAPTION])
        else:
            # The same course; the robot stops it at the first box.
            result = s.run("type " + typed, "press OK", timeout=10)
            s.equal(result.windows, [SETUP_CAPTION, PROGRESS_CAPTION],
                    f"run {s.runs}: windows shown")
            s.equal(result.boxes[:1], [copy_failed(0)], f"run {s.runs}: the first box")
        s.expect_disk(before, dest)
        s.note(f"Wine created the folder of {len(dest)} characters for the entry of {length}")


def long_destination(s):
    """A destination of 247 characters: the manifest names longer than 12
    characters do not fit beside it in a path of 259, nor the first shortcut's target."""
    prepare(s)
    parent = deep_folder(s, 240)
    dest = parent + "\\" + "z" * 5 + "\\"
    assert len(dest) == 247
    too_long = [r for r, name in enumerate(MANIFEST) if len(dest) + len(name) > 259]
    before = s.snapshot()
    result = s.run("type " + dest, "press OK")
    s.expect_run(result, row_boxes(copy_failed, too_long) + [FILES_MISSING, START_MENU_FAILED])
    s.expect_disk(before, dest, [r for r in range(35) if r not in too_long], links=dest,
                  link_names=[LINKS[1][0]])


def long_windows_directory(s):
    """Windows directories of 206, 207 and 239 characters: Start Menu link paths
    at and beyond 260 UTF-16 units. The host only: Wine's is always C:\\windows."""
    s.installer = s.windows_directory_installer
    prepare(s)
    for length, boxes, written in ((206, [FINISHED], [LINKS[0][0]]),
                                   (207, [START_MENU_FAILED], []),
                                   (239, [START_MENU_FAILED], [])):
        windows = deep_folder(s, length)
        s.windows_folder = windows
        s.windows_directory = windows
        s.make_programs_folder()
        dest = f"C:\\Z{length}\\"
        before = s.snapshot()
        result = s.run("type " + dest, "press OK")
        programs = windows + "\\Start Menu\\Programs\\"
        s.expect_run(result, boxes)
        s.equal(result.fields.get(102), programs, "the Programs folder shown in the dialog")
        s.expect_disk(before, dest, range(35), links=dest if written else None,
                      link_names=written)
        s.equal(sorted(os.listdir(s.programs_folder())), written, "files in the Programs folder")


ANSI_FOLDER = "Zarquel Gr\u00f6\u00dfe \u20ac\u00c6"  # Größe, the euro sign (0x80), Æ
ANSI_KIT = ("\u00dcbung \u20ac", "DISK1")           # Übung €


def ansi_destination(s):
    """Windows-1252 letters in the destination."""
    prepare(s)
    dest = "C:\\" + ANSI_FOLDER + "\\"
    before = s.snapshot()
    result = s.run("type C:\\" + ANSI_FOLDER, "press OK")
    s.expect_run(result, [FINISHED])
    s.expect_disk(before, dest, range(35), links=dest)
    s.check(os.path.isdir(os.path.join(s.drive_folder("c"), ANSI_FOLDER)),
            f"the folder is named {ANSI_FOLDER!r} on the host (UTF-8)")


def ansi_kit_path(s):
    """Windows-1252 letters in the kit's path."""
    s.make_kit(parts=ANSI_KIT)
    s.make_programs_folder()
    before = s.snapshot()
    result = s.run("press OK")
    s.expect_run(result, [FINISHED])
    s.expect_disk(before, "C:\\Zarquel\\", range(35), links="C:\\Zarquel\\")


def ansi_own_folder(s):
    """The kit's own folder with its Windows-1252 capital typed as a small
    letter: the installer folds only A to Z, so it copies onto the kit itself."""
    s.make_kit(parts=ANSI_KIT)
    s.make_programs_folder()
    s.user_files(s.kit())
    typed = "d:\\\u00fcbung \u20ac\\disk1"
    before = s.snapshot()
    result = s.run("type " + typed, "press OK", "answer OK")
    s.expect_run(result, [folder_exists("OK")] + row_boxes(copy_failed, range(35)) +
                 [FILES_MISSING])
    s.expect_disk(before, links=typed + "\\")


CASES = {f.__name__: f for f in (
    disk_full, read_only_target, destination_is_file, parent_not_writable, source_unreadable,
    source_is_folder, programs_missing, programs_read_only, second_install, own_folder,
    long_entries, long_destination, long_windows_directory,
    ansi_destination, ansi_kit_path, ansi_own_folder)}
HOST_ONLY = {"long_windows_directory"}


def cases_of(side):
    return [name for name in CASES if side == "host" or name not in HOST_ONLY]
