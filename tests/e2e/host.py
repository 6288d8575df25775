"""Runs the host build of the installer (build/host/Install.EXE) for the
end-to-end tests: a fresh ZARQUEL_PREFIX per scenario, the kit mapped as drive
D:, the answers given as lines on standard input (docs/terminal.md) and what
was shown read back from the ZARQUEL_TRACE file (docs/trace.md).

The trace is turned into the robot's transcript form (tests/e2e/robot), so
that one set of checks reads the runs of both platforms.
"""

import os
import subprocess

import harness

# The host's desktop, docs/terminal.md.
DESKTOP = [0, 0, 640, 480]
# The classic frame of a window with a caption: 3 pixels on each side and a
# title bar of 19 more at the top.
FRAME = (3, 3 + 19, 3, 3)
ANSWERS = {1: "OK", 2: "Cancel", 3: "Abort", 4: "Retry", 5: "Ignore", 6: "Yes", 7: "No",
           10: "Try Again", 11: "Continue"}
ICONS = {0x10: "error", 0x20: "question", 0x30: "warning", 0x40: "information"}


class Prefix:
    """One scenario's host machine: a prefix folder with the kit as drive D:.

    With `programs` the prefix is left for the installer to set up on first
    use (a fresh Windows, C:\\WINDOWS\\Start Menu\\Programs included); without
    it the same layout is made here, less the Start Menu."""

    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        self.path = os.path.join(self.folder, "prefix")
        os.makedirs(os.path.join(self.path, "dosdevices"))

    def map_drive(self, letter, unix_folder):
        link = os.path.join(self.path, "dosdevices", letter.lower() + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.abspath(unix_folder), link)

    def set_up_without_start_menu(self):
        os.makedirs(os.path.join(self.path, "drive_c", "WINDOWS"))
        self.map_drive("c", os.path.join(self.path, "drive_c"))
        self.map_drive("z", "/")

    def drive_c(self, *parts):
        return os.path.join(self.path, "drive_c", *parts)


def replay_lines(transcript):
    """The answer lines that do on the host what the robot did under Wine:
    every text typed, button pressed and message box answered, in order."""
    lines = []
    for event in transcript:
        if event["event"] == "type":
            lines.append("text " + event["text"])
        elif event["event"] == "press":
            lines.append(event["button"].lower())
        elif event["event"] == "messagebox":
            lines.append(event["answer"].lower())
    return lines


def run(prefix, installer, lines, name, timeout=60):
    """Runs `installer` (a host path inside a mapped drive) with `lines` on
    its standard input; returns the run as robot-style events."""
    trace = os.path.join(prefix.folder, name + ".trace")
    log_path = os.path.join(prefix.folder, name + ".log")
    with open(os.path.join(prefix.folder, name + ".input"), "w", encoding="utf-8") as f:
        f.write("".join(line + "\n" for line in lines))
    if os.path.exists(trace):
        os.remove(trace)
    env = dict(os.environ, ZARQUEL_PREFIX=prefix.path, ZARQUEL_TRACE=trace)
    data = "".join(line + "\n" for line in lines).encode("utf-8")
    with open(log_path, "wb") as out:
        try:
            completed = subprocess.run([installer], input=data, stdout=out,
                                       stderr=subprocess.STDOUT, env=env, cwd=prefix.folder,
                                       timeout=timeout)
            code = completed.returncode
        except subprocess.TimeoutExpired:
            code = None
    with open(log_path, "rb") as f:
        output = f.read().decode("utf-8", errors="replace")
    events = translate(harness.read_transcript(trace))
    if code is None:
        events.append({"event": "timeout"})
    else:
        events.append({"event": "exit", "code": code})
    # Every answer line must have been read, and nothing more asked for.
    echoed = [line[2:] for line in output.splitlines() if line.startswith("> ")]
    if echoed != lines:
        events.append({"event": "unused", "verb": "lines", "argument": lines[len(echoed):]})
    for marker in ("(end of input)", "(not an answer"):
        if marker in output:
            events.append({"event": "error", "what": f"{marker} in {log_path}"})
    return events


def translate(trace):
    """The trace as the robot's transcript: window, type, press, messagebox,
    status events with the robot's field names."""
    events = [{"event": "desktop", "rect": DESKTOP}]
    field = {}       # the edit text of each window
    status = {}      # the status text of each open modeless window
    for e in trace:
        kind = e["event"]
        window = e.get("window")
        if kind in ("text", "input") and e.get("control") == 101:
            field[window] = e["text"]
        if kind == "window":
            left, top, right, bottom = e["rect"]
            events.append({
                "event": "window", "caption": e["caption"], "template": e["template"],
                "modal": e["modal"], "rect": e["rect"],
                "client": [left + FRAME[0], top + FRAME[1], right - FRAME[2],
                           bottom - FRAME[3]],
                "controls": [{"id": c["control"], "class": c["class"].capitalize(),
                              "text": c["text"]} for c in e["controls"]]})
            if not e["modal"]:
                status[window] = next((c["text"] for c in e["controls"]
                                       if c["control"] == 201), None)
        elif kind == "status":
            status[window] = e["text"]
            events.append({"event": "status", "text": e["text"]})
        elif kind == "input":
            events.append({"event": "type", "text": e["text"], "field": e["text"]})
        elif kind == "command":
            events.append({"event": "press", "button": ANSWERS.get(e["control"], e["control"]),
                           "found": True, "field": field.get(window)})
        elif kind == "close":
            events.append({"event": "press", "button": "close", "found": True,
                           "field": field.get(window)})
        elif kind == "destroy":
            status.pop(window, None)
        elif kind == "messagebox":
            open_status = [text for text in status.values() if text is not None]
            events.append({
                "event": "messagebox", "caption": e["caption"], "text": e["text"],
                "icon": ICONS.get(e["style"] & 0xF0, "none"), "buttons": e["buttons"],
                "answer": ANSWERS.get(e["answer"], str(e["answer"])), "style": e["style"],
                "status": open_status[-1] if open_status else None})
    return events
