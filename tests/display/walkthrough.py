#!/usr/bin/env python3
"""The desktop program on a real X server with a window manager, driven as a
user drives it through the README's walk-through.

Starts Xvfb and openbox, runs the program with fresh settings, switches the
language, opens samples/harbour.bmp with "Ref.from Map" through the file
dialog, picks the lighthouse (column 170, row 430 from the top) and the church
(640, 140) on the map, types their coordinates, saves into a temporary folder
and compares the file with samples/harbour.CAL, the DATE line aside. A second
Save over the same file is answered with Escape and must leave the file as it
was; a message box must be the active window whenever it shows. Close must
end the program.

Positions come from the window system (xdotool, xwininfo) and from the dialog
template in src/resources/dialog_templates.cpp, never from screenshots: the
dialog's base units follow from its size in pixels and its size in dialog
units. The map view shows the bitmap 1:1 from its client origin, which is
found with the keyboard cursor: moved to the map's top-left pixel, the Menu
key opens the context menu there.

--keyboard walks through without any mouse event (Tab, arrow keys, the Menu
key); --screen, --scale (QT_SCALE_FACTOR) and --shots (a screenshot after
each step) serve trials on other screens. Exit status 0 when the walk-through
gave the sample file; on a failure the screen is kept as
walkthrough-failure-<mouse|keyboard>.png in the current folder.
"""

import argparse
import ctypes
import math
import os
import re
import secrets
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

DIALOG_TITLE = "Kartora for Wayloft"
FILE_DIALOG_TITLE = "Kartora File"
MAP_TITLE = "/harbour.bmp"
# The context menu's items, top to bottom; each item has the same height, and
# the separator before the calibration's commands only a few pixels.
CONTEXT_MENU = ["Ref. Point 1", "Ref. Point 2", "Show Dialog", "Hide Dialog", "Hide Map",
                "Check point here…", "Check calibration", "Grid"]

# The README's walk-through: map pixels counted from the top-left, and the
# dec.Minute coordinates typed for them.
POINTS = [
    {"pixel": (170, 430), "long": ("10", "52.35"), "lat": ("54", "3.12")},
    {"pixel": (640, 140), "long": ("10", "55.59"), "lat": ("54", "4.29")},
]

WAIT = 20.0  # seconds for a window to appear or go; a whole run takes 6 to 10


class Failure(Exception):
    pass


def die_with_parent():
    """Run in each child before exec: the child is killed when this driver
    ends, however it ends (also when CTest kills it on a timeout)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def mul_div(a, b, c):
    """a * b / c rounded to the nearest, halves up (a, b, c >= 0): dialog units to pixels."""
    return (a * b + c // 2) // c


class DialogTemplate:
    """The reference dialog's size and control rectangles in dialog units."""

    CONTROL = re.compile(
        r'\b(IDC_\w+|IDOK|IDCANCEL)\s*,\s*(?:[\w:]+\s*,\s*)?"(?:[^"\\]|\\.)*"\s*,'
        r"\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)"
    )

    def __init__(self, source, caption):
        text = Path(source).read_text(encoding="utf-8")
        start = text.index(f'"{caption}"')
        block = text[start : text.index("}};", start)]
        self.size = tuple(int(n) for n in re.match(r'"[^"]*",\s*(\d+),\s*(\d+)', block).groups())
        self.controls = {}
        for match in self.CONTROL.finditer(block):
            self.controls.setdefault(match[1], tuple(int(n) for n in match.groups()[1:]))

    def centre(self, control, client_size):
        """The centre of `control` in pixels from the dialog's client origin.
        The base units follow from the dialog's size: 8 x 15 pixels for
        Arial 10 pt at 96 dpi, twice that at scale factor 2."""
        units_x = round(client_size[0] * 4 / self.size[0])
        units_y = round(client_size[1] * 8 / self.size[1])
        x, y, cx, cy = self.controls[control]
        return (
            mul_div(x, units_x, 4) + mul_div(cx, units_x, 4) // 2,
            mul_div(y, units_y, 8) + mul_div(cy, units_y, 8) // 2,
        )


class Window:
    def __init__(self, wid, name, info):
        self.id = wid
        self.name = name
        self.x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info)[1])
        self.y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info)[1])
        self.width = int(re.search(r"Width:\s+(\d+)", info)[1])
        self.height = int(re.search(r"Height:\s+(\d+)", info)[1])
        self.override = re.search(r"Override Redirect State:\s+yes", info) is not None

    def contains(self, x, y, margin=0):
        return (
            self.x - margin <= x < self.x + self.width + margin
            and self.y - margin <= y < self.y + self.height + margin
        )

    def __repr__(self):
        return f"{self.id} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}"


class Display:
    """Xvfb with openbox, and the program running on it."""

    def __init__(self, work, screen):
        self.work = work
        self.processes = []
        try:
            self.start_server(work, screen)
        except BaseException:
            self.close()
            raise

    def start_server(self, work, screen):
        auth = work / "Xauthority"
        cookie = secrets.token_hex(16)
        # The server takes every cookie of its file whatever the display
        # number; the clients' entry names the number the server chose.
        run(["xauth", "-f", str(auth), "add", ":0", "MIT-MAGIC-COOKIE-1", cookie])
        read_end, write_end = os.pipe()
        # -noreset: a server that resets when its last client leaves (xprop
        # below, before the window manager is up) drops a client that connects meanwhile.
        xvfb = self.start(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{screen}x24", "-nolisten", "tcp"]
            + ["-noreset", "-auth", str(auth)],
            pass_fds=(write_end,),
        )
        os.close(write_end)
        number = self.read_display_number(read_end, xvfb)
        run(["xauth", "-f", str(auth), "add", f":{number}", "MIT-MAGIC-COOKIE-1", cookie])
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": f":{number}",
            "XAUTHORITY": str(auth),
            "HOME": str(work / "home"),
            "XDG_CONFIG_HOME": str(work / "config"),
            "XDG_CACHE_HOME": str(work / "cache"),
            "XDG_DATA_HOME": str(work / "data"),
            "XDG_RUNTIME_DIR": str(work / "runtime"),
            "LANG": "C.UTF-8",
        }
        for folder in ("home", "config", "cache", "data", "runtime"):
            (work / folder).mkdir(mode=0o700)
        errors = work / "openbox.err"
        with open(errors, "w") as stderr:
            openbox = self.start(["openbox", "--sm-disable"], env=self.env, stderr=stderr)

        def window_manager_up():
            if openbox.poll() is not None:
                raise Failure(f"openbox ended with status {openbox.returncode}: {errors.read_text()}")
            return "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env)

        wait("the window manager", window_manager_up)

    @staticmethod
    def read_display_number(fd, xvfb):
        data = b""
        deadline = time.monotonic() + WAIT
        while not data.endswith(b"\n"):
            if xvfb.poll() is not None or time.monotonic() > deadline:
                raise Failure("Xvfb did not start")
            chunk = os.read(fd, 16)
            if not chunk:
                raise Failure("Xvfb did not start")
            data += chunk
        os.close(fd)
        return int(data)

    def start(self, command, env=None, pass_fds=(), stderr=subprocess.DEVNULL):
        process = subprocess.Popen(
            command, env=env, pass_fds=pass_fds, stdout=subprocess.DEVNULL, stderr=stderr, preexec_fn=die_with_parent
        )
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def xdotool(self, *args):
        return run(["xdotool", *args], self.env).strip()

    def windows(self, pid):
        """The program's visible windows."""
        found = []
        for wid in self.xdotool("search", "--onlyvisible", "--pid", str(pid)).split():
            info = run(["xwininfo", "-id", wid], self.env)
            if "IsViewable" in info:
                found.append(Window(wid, self.xdotool("getwindowname", wid), info))
        return found

    def active(self):
        return self.xdotool("getactivewindow")

    def screenshot(self, path):
        run(["import", "-window", "root", str(path)], self.env)


def run(command, env=None):
    """Runs a tool to its end; its standard output."""
    return subprocess.run(
        command, env=env, capture_output=True, text=True, timeout=WAIT, preexec_fn=die_with_parent
    ).stdout


def wait(what, condition, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout:.0f} s for {what}")
        time.sleep(0.05)


class Walkthrough:
    def __init__(self, display, args, work):
        self.display = display
        self.args = args
        self.work = work
        self.template = DialogTemplate(args.template, DIALOG_TITLE)
        self.scale = args.scale
        self.step_number = 0
        env = dict(display.env)
        if args.scale != 1:
            env["QT_SCALE_FACTOR"] = str(args.scale)
        self.env = env
        with open(work / "program.err", "w") as stderr:
            self.program = display.start([args.program], env=env, stderr=stderr)
        self.box_seen = {}
        self.started = time.monotonic()

    # ---- windows ---------------------------------------------------------

    def windows(self):
        if self.program.poll() is not None:
            raise Failure(f"the program ended with status {self.program.returncode}")
        found = self.display.windows(self.program.pid)
        self.check_boxes(found)
        return found

    @staticmethod
    def is_box(window):
        # The message box has no caption of its own: the window system shows the program's name.
        return not window.override and window.name in ("", "kartora")

    def check_boxes(self, found):
        """A message box that shows must be the active window (give the
        window manager a moment to activate it)."""
        active = self.display.active()
        for window in filter(self.is_box, found):
            first_seen = self.box_seen.setdefault(window.id, time.monotonic())
            if window.id != active and time.monotonic() - first_seen > 3:
                raise Failure(f"a message box shows but the active window is {active}, not the box {window.id}")

    def window(self, title):
        return wait(f'the window "{title}"', lambda: next((w for w in self.windows() if w.name == title), None))

    def gone(self, title):
        wait(f'the window "{title}" to go', lambda: all(w.name != title for w in self.windows()))

    def active_window(self, title):
        def check():
            window = next((w for w in self.windows() if w.name == title), None)
            return window if window is not None and window.id == self.display.active() else None

        return wait(f'the window "{title}" to be active', check)

    def stacked_above(self, upper, lower):
        """Whether the window manager stacks `upper` above `lower`."""
        listed = run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], self.display.env)
        bottom_to_top = [int(w, 16) for w in listed.split("#", 1)[-1].replace(",", " ").split()]
        return bottom_to_top.index(int(upper.id)) > bottom_to_top.index(int(lower.id))

    def popup(self):
        return wait("the context menu", lambda: next((w for w in self.windows() if w.override), None))

    def box(self):
        box = wait("a message box", lambda: next((w for w in self.windows() if self.is_box(w)), None))
        wait("the message box to be active", lambda: self.display.active() == box.id)
        return box

    def no_box(self):
        boxes = [w for w in self.windows() if self.is_box(w)]
        if boxes:
            raise Failure(f"an unexpected message box shows: {boxes}")

    def step(self, name):
        self.step_number += 1
        print(f"{self.step_number:2}. {name} ({time.monotonic() - self.started:.1f} s)", flush=True)
        if self.args.shots:
            self.display.screenshot(Path(self.args.shots) / f"{self.step_number:02}-{name.replace(' ', '-')}.png")

    # ---- input -----------------------------------------------------------

    def move(self, x, y):
        # --sync waits for the pointer to move, which it never does when it is there already.
        if self.display.xdotool("getmouselocation").split()[:2] != [f"x:{x}", f"y:{y}"]:
            self.display.xdotool("mousemove", "--sync", str(x), str(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        self.display.xdotool("click", str(button))

    def key(self, *keys):
        self.display.xdotool("key", "--delay", "20", *keys)

    def keys(self, key, count):
        if count > 0:
            self.display.xdotool("key", "--delay", "2", "--repeat", str(count), key)

    def type(self, text):
        self.display.xdotool("type", "--delay", "20", text)

    def press(self, dialog, control, tabs):
        """Presses a button of the dialog: a click, or without the mouse the
        keys `tabs` that take the focus there from where it is, and Space."""
        if self.args.keyboard:
            self.key(*tabs, "space")
            return
        dx, dy = self.template.centre(control, (dialog.width, dialog.height))
        self.click(dialog.x + dx, dialog.y + dy)

    def choose(self, item):
        """Chooses `item` from the context menu that shows."""
        menu = self.popup()
        index = CONTEXT_MENU.index(item)
        if self.args.keyboard:
            self.key(*["Down"] * (index + 1), "Return")
        else:
            slot = menu.height / len(CONTEXT_MENU)
            self.click(menu.x + menu.width // 2, menu.y + int(slot * index + slot / 2))
        wait("the context menu to close", lambda: not any(w.override for w in self.windows()))

    # ---- the walk-through ------------------------------------------------
    #
    # Without the mouse the focus moves along the dialog's tab order: map
    # name, BMP file name, X and Y pixel, the coordinate fields and the
    # hemisphere buttons row by row, format, datum, height difference, the
    # point buttons, "Ref.from Map", "Show Map", Load, Save, Close, Cancel and
    # the language button.

    def run(self):
        dialog = self.active_window(DIALOG_TITLE)
        self.step("started")
        self.press(dialog, "IDC_LANGUAGE", ["shift+Tab"])  # the focus starts in the map name
        self.step("language switched")
        self.press(dialog, "IDC_REF_FROM_MAP", ["shift+Tab"] * 5)  # "Show Map" is still disabled
        self.file_dialog(Path(self.args.samples, "harbour.bmp"))
        self.active_window(MAP_TITLE)
        self.gone(DIALOG_TITLE)
        self.step("map shown")
        origin = self.view_origin()

        for index, point in enumerate(POINTS):
            if index > 0:
                self.back_to_map(dialog, point["pixel"], origin)
            self.pick(index, point["pixel"], origin)
            dialog = self.active_window(DIALOG_TITLE)
            self.no_box()
            self.step(f"point {index + 1} picked")
            self.type_coordinates(dialog, point)
            self.step(f"point {index + 1} typed")

        target = self.work / "out"
        target.mkdir()
        saved = target / "harbour.CAL"
        self.press(dialog, "IDC_SAVE", ["Tab"] * 8)  # from the N button
        self.file_dialog(target / "harbour")  # Save proposes "harbour"; the type is added
        wait("the saved file", saved.exists)
        self.active_window(DIALOG_TITLE)
        self.no_box()
        self.step("saved")
        self.compare(saved)

        # Save again over the same file: Escape answers the question No.
        before = (saved.read_bytes(), saved.stat().st_ino, saved.stat().st_mtime_ns)
        self.press(dialog, "IDC_SAVE", [])  # the focus is back on Save
        self.file_dialog(target / "harbour")
        self.box()
        self.step("asked before replacing the file")
        self.key("Escape")
        wait("the message box to go", lambda: not any(self.is_box(w) for w in self.windows()))
        self.active_window(DIALOG_TITLE)
        after = (saved.read_bytes(), saved.stat().st_ino, saved.stat().st_mtime_ns)
        if after != before:
            raise Failure("Escape on the question replaced the file")
        self.step("question answered with Escape")

        self.press(dialog, "IDOK", ["Tab"])  # Close, after Save
        try:
            status = self.program.wait(WAIT)
        except subprocess.TimeoutExpired:
            raise Failure("Close did not end the program") from None
        if status != 0:
            raise Failure(f"the program ended with status {status}")
        self.check_settings()
        if not self.args.keyboard:
            self.dialog_stays_in_front(saved)

    def dialog_stays_in_front(self, cal):
        """Opened from the file manager, the dialog shows beside the map window
        without being hidden in between; a click on the map then buried the
        dialog once (the window manager had read its owner before the map
        window was first shown)."""
        self.program = self.display.start([self.args.program, str(cal)], env=self.env)
        dialog = self.active_window(DIALOG_TITLE)
        frame = wait("the map window", lambda: next((w for w in self.windows() if w.name.endswith(cal.name + " - Kartora")), None))
        x, y = next(
            (x, y)
            for x in range(frame.x + 20, frame.x + frame.width, 40)
            for y in range(frame.y + frame.height - 20, frame.y, -40)
            if not dialog.contains(x, y, margin=10)
        )
        self.click(x, y)
        time.sleep(0.5)  # the window manager's answer to the click, before it is looked at
        wait("the dialog in front of the map window after a click on the map",
             lambda: self.stacked_above(self.window(DIALOG_TITLE), frame))
        self.step("dialog in front after a click on the map")

    def file_dialog(self, path):
        self.active_window(FILE_DIALOG_TITLE)
        self.key("ctrl+a")
        self.type(str(path))
        self.key("Return")
        self.gone(FILE_DIALOG_TITLE)

    def view_origin(self):
        """The screen position of the map's top-left pixel: the keyboard
        cursor stops there, and the Menu key opens the context menu at it."""
        self.keys("shift+Left", 100)
        self.keys("shift+Up", 100)
        self.key("Menu")
        menu = self.popup()
        self.key("Escape")
        wait("the context menu to close", lambda: not any(w.override for w in self.windows()))
        # Scaled, Qt places the menu in its own pixels from the frame's
        # position in them, which it rounds from the window system's: the
        # offset within the frame is a whole number of Qt's pixels.
        frame = self.window(MAP_TITLE)
        return tuple(
            f + self.scale * (m // self.scale - math.floor(f / self.scale + 0.5))
            for f, m in ((frame.x, menu.x), (frame.y, menu.y))
        )

    def screen_point(self, pixel, origin):
        # A bitmap pixel covers scale x scale screen pixels: aim at its middle.
        return tuple(origin[i] + pixel[i] * self.scale + self.scale // 2 for i in (0, 1))

    def pick(self, index, pixel, origin):
        if self.args.keyboard:
            # From the top-left pixel, where the cursor stops, ten pixels a step with Shift.
            self.keys("shift+Left", 100)
            self.keys("shift+Up", 100)
            for axis, (big, small) in enumerate((("shift+Right", "Right"), ("shift+Down", "Down"))):
                self.keys(big, pixel[axis] // 10)
                self.keys(small, pixel[axis] % 10)
            self.key("Menu")
        else:
            self.click(*self.screen_point(pixel, origin), button=3)
        self.step(f"menu for point {index + 1}")
        self.choose(CONTEXT_MENU[index])

    def back_to_map(self, dialog, pixel, origin):
        """Makes the next point reachable: the dialog stands in front of the
        map, and on a small screen it covers the point."""
        x, y = self.screen_point(pixel, origin)
        covered = dialog.contains(x, y, margin=40)
        if self.args.keyboard:
            self.press(dialog, "IDC_SHOW_MAP", ["Tab"] * 6)  # from the N button
            self.active_window(MAP_TITLE)
            if covered:
                self.key("Menu")
                self.choose("Hide Dialog")
                self.gone(DIALOG_TITLE)
        elif covered:
            # Dragged down by its title bar until the point shows above it.
            title = (dialog.x + dialog.width // 2, dialog.y - 8)
            self.move(*title)
            self.display.xdotool("mousedown", "1")
            for step in range(1, 11):  # the window manager starts a move after a few pixels
                self.move(title[0], title[1] + (y + 60 - title[1]) * step // 10)
            self.display.xdotool("mouseup", "1")
            wait("the dialog to move", lambda: not self.window(DIALOG_TITLE).contains(x, y, margin=40))
        self.step("map reachable for point 2")

    def type_coordinates(self, dialog, point):
        # The dialog comes back with the focus in the longitude degrees, their text selected.
        if not self.args.keyboard:
            self.press(dialog, "IDC_LONG_DEGREE", [])
            self.key("ctrl+a")
        # Tab selects the next field's text; after the minutes comes the hemisphere button.
        self.type(point["long"][0])
        self.key("Tab")
        self.type(point["long"][1])
        self.key("Tab", "Tab")
        self.type(point["lat"][0])
        self.key("Tab")
        self.type(point["lat"][1])
        self.key("Tab")

    def compare(self, saved):
        written = saved.read_bytes().split(b"\r\n")
        sample = Path(self.args.samples, "harbour.CAL").read_bytes().split(b"\r\n")
        if not written[2].startswith(b"DATE:"):
            raise Failure(f"line 3 of the file is not its date: {written[2]!r}")
        if written[:2] + written[3:] != sample[:2] + sample[3:]:
            raise Failure(f"the file differs from the sample:\n{saved.read_bytes()!r}")

    def check_settings(self):
        # Read once the program has ended: it writes its settings to the disk
        # later than the file, when its settings object syncs.
        settings = (self.work / "config" / "Quarnby Applications" / "Kartora.conf").read_text()
        if "HelpFile=1" not in settings.splitlines():
            raise Failure("the language was not switched to English")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--template", required=True, help="src/resources/dialog_templates.cpp")
    parser.add_argument("--keyboard", action="store_true", help="no mouse event at all")
    parser.add_argument("--screen", default="1280x1024")
    parser.add_argument("--scale", type=int, default=1, help="QT_SCALE_FACTOR")
    parser.add_argument("--shots", help="a folder for a screenshot after each step")
    args = parser.parse_args()
    args.samples = Path(args.samples).resolve()
    if not os.access(args.program, os.X_OK):
        print(f"walkthrough: {args.program} is missing; build it with: cmake --build --preset release --target kartora")
        return 1

    with tempfile.TemporaryDirectory(prefix="kartora-display-") as folder:
        work = Path(folder)
        display = None
        started = time.monotonic()
        try:
            display = Display(work, args.screen)
            Walkthrough(display, args, work).run()
        except Failure as failure:
            print(f"walkthrough: {failure}")
            if display is not None:
                shot = Path.cwd() / f"walkthrough-failure-{'keyboard' if args.keyboard else 'mouse'}.png"
                display.screenshot(shot)
                print(f"walkthrough: the screen at the failure: {shot}")
            program_err = work / "program.err"
            if program_err.exists() and program_err.read_text().strip():
                print("walkthrough: the program's error output:\n" + program_err.read_text())
            return 1
        finally:
            if display is not None:
                display.close()
        print(f"walkthrough: the sample file, in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
