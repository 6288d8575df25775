"""Runs Windows programs under Wine on a private X server, for the end-to-end tests.

A test run makes one template Wine prefix (wineboot is slow); every scenario
gets its own copy of it, its own Xvfb display and its own product kit on drive
D:, and ends every Wine process of its prefix when it is done.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SCREEN = "1024x768x24"
READY_MARK = "template-ready"

# Parts of a prefix that no scenario writes: shared with the template by hard
# links, which saves copying some 700 MB per scenario.
SHARED_FOLDERS = ("drive_c/windows/system32", "drive_c/windows/syswow64",
                  "drive_c/windows/winsxs", "drive_c/windows/globalization")


def log(text):
    print(text, flush=True)


class Display:
    """An Xvfb server on a display number that it picks itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip().isdigit():
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def wine_environment(prefix, display):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               DISPLAY=display, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    env.pop("WINEARCH", None)
    return env


def end_wine(prefix, timeout=20):
    """Ends every process of the prefix's Wine and waits for its server to go."""
    env = dict(os.environ, WINEPREFIX=prefix)
    subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=timeout)
    try:
        subprocess.run([WINESERVER, "-w"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    except subprocess.TimeoutExpired:
        subprocess.run([WINESERVER, "-k9"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)


def make_template(path):
    """A fresh Wine prefix made by wineboot, shut down and marked as ready."""
    if os.path.lexists(path):
        shutil.rmtree(path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    display = Display()
    try:
        env = wine_environment(path, display.name)
        started = time.monotonic()
        result = subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, timeout=300)
        # There is no window manager on the private display: Wine draws the
        # captions and frames itself, as Windows does.
        subprocess.run([WINE, "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                        "/d", "N", "/f"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)
        subprocess.run([WINESERVER, "-w"], env=env, timeout=120)
        if result.returncode != 0 or not os.path.isdir(os.path.join(path, "drive_c", "windows")):
            sys.stdout.write(result.stdout.decode(errors="replace"))
            raise RuntimeError("wineboot failed")
        log(f"template prefix made in {time.monotonic() - started:.1f} s: {path}")
    finally:
        end_wine(path)
        display.close()
    with open(os.path.join(path, READY_MARK), "w") as f:
        f.write("made by wineboot\n")


def clone_prefix(template, destination):
    """A private copy of the template prefix; its system files are hard links."""
    if not os.path.exists(os.path.join(template, READY_MARK)):
        raise RuntimeError(f"no template prefix in {template}: run the e2e.prefix test first")
    if os.path.lexists(destination):
        shutil.rmtree(destination)

    def copy(source, target):
        relative = os.path.relpath(source, template)
        if relative.startswith(SHARED_FOLDERS):
            os.link(source, target)
        else:
            shutil.copy2(source, target)

    shutil.copytree(template, destination, symlinks=True, copy_function=copy,
                    ignore=shutil.ignore_patterns(READY_MARK, "wineserver"))


def windows_path(unix_path):
    """The path as Wine's drive Z: shows it."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Session:
    """One scenario's Wine: a private prefix and display, with drive D: mapped."""

    def __init__(self, template, folder):
        self.folder = os.path.abspath(folder)
        self.prefix = os.path.join(self.folder, "prefix")
        clone_prefix(template, self.prefix)
        self.display = Display()
        self.env = wine_environment(self.prefix, self.display.name)

    def map_drive(self, letter, unix_folder):
        link = os.path.join(self.prefix, "dosdevices", letter.lower() + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.abspath(unix_folder), link)

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def start(self, program, args, log_path):
        with open(log_path, "ab") as out:
            return subprocess.Popen([WINE, program] + list(args), env=self.env,
                                    stdout=out, stderr=subprocess.STDOUT,
                                    start_new_session=True)

    def run(self, program, args, log_path, timeout):
        process = self.start(program, args, log_path)
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return None

    def close(self):
        try:
            end_wine(self.prefix)
        finally:
            self.display.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def read_transcript(path):
    """The events of a transcript or trace: one JSON object a line."""
    events = []
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.strip():
                    events.append(json.loads(line))
    return events


def lnkinfo(path):
    """The fields of a shell link file as Debian's lnkinfo reads them (ANSI
    strings as Windows-1252)."""
    out = subprocess.run(["lnkinfo", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         timeout=30).stdout.decode(errors="replace")
    fields = {}
    for line in out.splitlines():
        key, sep, value = line.strip().partition(":")
        if sep and key.strip() not in fields:
            fields[key.strip()] = value.strip()
    return fields


def run_robot(session, robot, installer, actions, name, timeout=60, on_pause=None):
    """Runs the robot on `installer` (a Windows path) with the scenario `actions`
    and returns its transcript as a list of events.

    With `on_pause`, the robot stops at each window; on_pause(event) is called
    (for a screenshot) and the robot goes on afterwards.
    """
    scenario = os.path.join(session.folder, name + ".scenario")
    transcript = os.path.join(session.folder, name + ".transcript")
    log_path = os.path.join(session.folder, name + ".log")
    with open(scenario, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(f"timeout {timeout}\n")
        for action in actions:
            f.write(action + "\n")
    if os.path.exists(transcript):
        os.remove(transcript)
    args = [installer, windows_path(scenario), windows_path(transcript)]
    pause_folder = None
    if on_pause:
        pause_folder = os.path.join(session.folder, name + ".pause")
        os.makedirs(pause_folder, exist_ok=True)
        args.append(windows_path(pause_folder))
    process = session.start(robot, args, log_path)
    deadline = time.monotonic() + timeout + 30
    handled = 0
    while process.poll() is None and time.monotonic() < deadline:
        if on_pause:
            pauses = [e for e in read_transcript_safely(transcript) if e["event"] == "pause"]
            for event in pauses[handled:]:
                on_pause(event)
                open(os.path.join(pause_folder, event["name"] + ".done"), "w").close()
            handled = len(pauses)
        time.sleep(0.1)
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        log(f"robot did not finish within {timeout + 30} s")
    return read_transcript(transcript)


def read_transcript_safely(path):
    """The complete lines of a transcript that is still being written."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        return []
    return [json.loads(line) for line in text.split("\n")[:-1] if line.strip()]
