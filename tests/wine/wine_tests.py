#!/usr/bin/env python3
"""End-to-end tests of the Windows screen saver Mirelune.scr, run under Wine on a private Xvfb.

    wine_tests.py --scr Mirelune.scr --probe mirelune-probe.exe --work DIR [--prefix DIR] \
                  SCENARIO...
    wine_tests.py --work DIR [--prefix DIR] setup

Each run starts its own X server (1024 x 768 x 24) and its own wineserver on a private Wine
prefix, which "setup" creates once and later runs reuse. The saver is driven with xdotool and
with mirelune-probe.exe (built with the Windows build), which hosts a preview pane, starts the
saver with exact command lines and reads windows and the screen from inside Wine. Screenshots
and other evidence are left in the work directory.

Exit status: 0 when every check passed, 1 when a check failed, 2 when the tests could not run.
"""

import argparse
import fcntl
import json
import os
import pwd
import random
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SCREEN_W, SCREEN_H = 1024, 768
SECTION = "Mirelune ScreenSaver"
DIALOG_TITLE = "Mirelune Configuration"
BLACK = b"\0\0\0"
PREFIX_MARKER = ".mirelune-prefix-ready"
BUILD_HINT = ("build the Windows saver and the probe first: "
              "cmake --preset windows && cmake --build --preset windows")


class CannotRun(Exception):
    """The environment or the inputs are missing: the tests could not run at all."""


class ScenarioFailed(Exception):
    """A check that later checks depend on failed."""


class Checks:
    """Records the outcome of each check of a scenario and prints it as it goes."""

    def __init__(self):
        self.failures = []

    def expect(self, ok, message):
        print(("  ok    " if ok else "  FAIL  ") + message, flush=True)
        if not ok:
            self.failures.append(message)
        return ok

    def require(self, ok, message):
        if not self.expect(ok, message):
            raise ScenarioFailed(message)

    @staticmethod
    def info(message):
        print("  info  " + message, flush=True)


# ---------------------------------------------------------------------------------------------
# Pictures


def pixels_of(row):
    return [row[k:k + 3] for k in range(0, len(row), 3)]


def reversed_pixels(row):
    return b"".join(reversed(pixels_of(row)))


def first_difference(a, b):
    for k in range(0, min(len(a), len(b)), 3):
        if a[k:k + 3] != b[k:k + 3]:
            return k // 3
    return None


def non_black_count(data):
    return sum(1 for pixel in pixels_of(data) if pixel != BLACK)


def analyse_kaleidoscope(rgb, width, height, sectors):
    """Checks a screen (RGB bytes, rows top to bottom) against the tile grid that `sectors`
    gives: every tile equal to tile (0, 0), that tile mirror-symmetric both ways, the strips
    outside the grid black, and more than one colour. Returns (problems, facts)."""
    d2 = 2 * sectors
    fwidth, fheight = width // d2, height // d2
    tile_w, tile_h = 2 * fwidth, 2 * fheight
    grid_w, grid_h = fwidth * d2, fheight * d2
    stride = width * 3
    facts = {"picture": (fwidth, fheight), "tile": (tile_w, tile_h), "grid": (grid_w, grid_h)}
    problems = []
    if fwidth == 0 or fheight == 0:
        return ["the screen is smaller than the grid"], facts

    def tile_row(i, j, y):
        start = (i * tile_h + y) * stride + j * tile_w * 3
        return rgb[start:start + tile_w * 3]

    tile0 = [tile_row(0, 0, y) for y in range(tile_h)]
    unequal = []
    for i in range(sectors):
        for j in range(sectors):
            for y in range(tile_h):
                row = tile_row(i, j, y)
                if row != tile0[y]:
                    x = first_difference(row, tile0[y])
                    unequal.append(f"tile ({i},{j}) first differs at ({j * tile_w + x},"
                                   f"{i * tile_h + y})")
                    break
    if unequal:
        problems.append(f"{len(unequal)} of {sectors * sectors} tiles differ from tile (0,0): "
                        + "; ".join(unequal[:4]))

    left_right = [y for y in range(tile_h) if tile0[y] != reversed_pixels(tile0[y])]
    if left_right:
        y = left_right[0]
        x = first_difference(tile0[y], reversed_pixels(tile0[y]))
        problems.append(f"tile (0,0) is not mirror-symmetric left-right in {len(left_right)} of "
                        f"{tile_h} rows (first at ({x},{y}) against ({tile_w - 1 - x},{y}))")
    top_bottom = [y for y in range(fheight) if tile0[y] != tile0[tile_h - 1 - y]]
    if top_bottom:
        problems.append(f"tile (0,0) is not mirror-symmetric top-bottom: row {top_bottom[0]} "
                        f"differs from row {tile_h - 1 - top_bottom[0]} "
                        f"({len(top_bottom)} of {fheight} row pairs)")

    right_strip = sum(non_black_count(rgb[y * stride + grid_w * 3:(y + 1) * stride])
                      for y in range(height))
    bottom_strip = non_black_count(rgb[grid_h * stride:])
    if right_strip or bottom_strip:
        problems.append(f"the strips outside the {grid_w} x {grid_h} grid are not black: "
                        f"{right_strip} pixels on the right, {bottom_strip} at the bottom")

    colours = {pixel for row in tile0 for pixel in pixels_of(row)}
    facts["colours"] = len(colours)
    if len(colours) < 2:
        problems.append(f"the picture is all one colour (#{tile0[0][:3].hex()})")
    return problems, facts


# ---------------------------------------------------------------------------------------------
# The session: X server, Wine prefix and server, probe, settings file, saver processes


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def settings_text(sectors, speed, delay):
    return (f"[{SECTION}]\r\nSectors={sectors}\r\nSpeed={speed}\r\nDelay={delay}\r\n"
            .encode("ascii"))


class Session:
    def __init__(self, work, prefix, scr=None, probe=None):
        self.work = Path(work).resolve()
        self.prefix = Path(prefix).resolve() if prefix else self.work / "wine-prefix"
        self.scr = Path(scr).resolve() if scr else None
        self.probe_exe = Path(probe).resolve() if probe else None
        self.xvfb = None
        self.display = None
        self.lock = None
        self.started = []  # Popen objects of savers started directly
        self.env = None
        self.prefix_created = False

    # -- lifecycle --

    def __enter__(self):
        self.work.mkdir(parents=True, exist_ok=True)
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self.lock = open(str(self.prefix) + ".lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.start_xvfb()
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=f":{self.display}")
        self.env.pop("WAYLAND_DISPLAY", None)
        if self.prefix.exists():
            self.wineserver("-k")
            self.wineserver("-w")
        return self

    def __exit__(self, *exc):
        for pid in self.saver_pids():
            self.kill(pid)
        if self.env is not None and self.prefix.exists():
            self.wineserver("-k")
            self.wineserver("-w")
        for process in self.started:
            if process.poll() is None:
                process.kill()
            process.wait()
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        if self.lock is not None:
            self.lock.close()

    def start_xvfb(self):
        missing = [tool for tool in ("Xvfb", "xdotool", "import", "convert", "wine", "wineboot",
                                     "wineserver") if shutil.which(tool) is None]
        if missing:
            raise CannotRun(f"{', '.join(missing)} not installed (scripts/install-deps windows)")
        read_end, write_end = os.pipe()
        log = open(self.work / "xvfb.log", "w")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp", "-br", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        text = b""
        deadline = time.monotonic() + 20
        while not text.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.2)
            if ready:
                chunk = os.read(read_end, 64)
                if not chunk:
                    break
                text += chunk
        os.close(read_end)
        if not text.strip().isdigit():
            raise CannotRun(f"Xvfb did not start (see {self.work / 'xvfb.log'})")
        self.display = int(text)

    def wineserver(self, *args):
        subprocess.run(["wineserver", *args], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def wine(self, *args, timeout=120):
        result = subprocess.run(["wine", *args], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        if result.returncode != 0:
            output = result.stdout.decode(errors="replace")
            raise CannotRun(f"wine {' '.join(args)} failed: {output}")

    def ensure_prefix(self):
        """Creates the private prefix once; later runs reuse it."""
        if (self.prefix / PREFIX_MARKER).exists():
            return False
        if self.prefix.exists():
            shutil.rmtree(self.prefix)  # an earlier setup that did not finish
        result = subprocess.run(["wineboot", "-i"], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        if result.returncode != 0:
            raise CannotRun("wineboot -i failed: " + result.stdout.decode(errors="replace"))
        # Without a window manager, Wine waits about two seconds for every hide or destroy of a
        # managed window; unmanaged windows do not wait.
        self.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                  "/t", "REG_SZ", "/d", "N", "/f")
        # A crashing saver should just end, not wait behind a crash dialog.
        self.wine("reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                  "/t", "REG_DWORD", "/d", "0", "/f")
        self.wineserver("-w")
        (self.prefix / PREFIX_MARKER).write_text("created by tests/wine/wine_tests.py\n")
        return True

    def start_wineserver(self):
        self.wineserver("-p")

    # -- inputs --

    def require_inputs(self):
        missing = [f"{name} {path}" for name, path in (("saver", self.scr),
                                                        ("probe", self.probe_exe))
                   if path is None or not path.is_file()]
        if missing:
            raise CannotRun("missing " + " and ".join(missing) + "; " + BUILD_HINT)

    # -- probe --

    def probe(self, *args, timeout=60):
        """Runs mirelune-probe.exe and returns its JSON lines merged into one dict (later keys
        win) together with the list of lines."""
        with tempfile.TemporaryFile() as out:
            try:
                result = subprocess.run(["wine", str(self.probe_exe), *args], env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=out,
                                        stderr=subprocess.DEVNULL, timeout=timeout)
            except subprocess.TimeoutExpired:
                raise CannotRun(f"the probe did not finish within {timeout} s: {args}")
            out.seek(0)
            text = out.read().decode("utf-8", errors="replace")
        lines = []
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("{"):
                lines.append(json.loads(line))
        merged = {}
        for line in lines:
            merged.update(line)
        if result.returncode != 0 or "error" in merged or not lines:
            raise CannotRun(f"the probe failed ({result.returncode}) on {args}: {text.strip()}")
        return merged, lines

    # -- settings --

    def user_dir(self):
        users = self.prefix / "drive_c" / "users"
        own = users / pwd.getpwuid(os.getuid()).pw_name
        if (own / "AppData" / "Roaming").is_dir():
            return own
        candidates = [p for p in users.iterdir()
                      if p.name.lower() != "public" and (p / "AppData" / "Roaming").is_dir()]
        if len(candidates) != 1:
            raise CannotRun(f"cannot tell the prefix's user profile among {candidates}")
        return candidates[0]

    def settings_dir(self):
        return self.user_dir() / "AppData" / "Roaming" / "Mirelune"

    def windows_dir(self):
        return self.prefix / "drive_c" / "windows"

    @staticmethod
    def files_named(directory, name):
        if not directory.is_dir():
            return []
        return [p for p in directory.iterdir() if p.name.lower() == name.lower()]

    def clear_settings(self):
        for directory in self.files_named(self.settings_dir().parent, "Mirelune"):
            shutil.rmtree(directory)
        for path in self.files_named(self.windows_dir(), "mirelune.ini"):
            path.unlink()

    def write_settings(self, content, in_windows_dir=False):
        directory = self.windows_dir() if in_windows_dir else self.settings_dir()
        directory.mkdir(parents=True, exist_ok=True)
        (directory / "mirelune.ini").write_bytes(content)

    def settings_files(self):
        return self.files_named(self.settings_dir(), "mirelune.ini")

    # -- saver processes (Linux side) --

    def saver_pids(self):
        if self.scr is None:
            return []
        name = self.scr.name.lower()[:15]
        wanted = f"WINEPREFIX={self.prefix}".encode()
        pids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                if Path(f"/proc/{entry}/comm").read_text().strip().lower() != name:
                    continue
                if wanted not in Path(f"/proc/{entry}/environ").read_bytes().split(b"\0"):
                    continue
            except OSError:
                continue
            if self.alive(int(entry)):
                pids.append(int(entry))
        return pids

    @staticmethod
    def alive(pid):
        try:
            stat = Path(f"/proc/{pid}/stat").read_text()
        except OSError:
            return False
        return stat[stat.rindex(")") + 2] not in "ZX"

    @staticmethod
    def cpu_ticks(pid):
        stat = Path(f"/proc/{pid}/stat").read_text()
        fields = stat[stat.rindex(")") + 2:].split()
        return int(fields[11]) + int(fields[12])  # utime + stime

    def wait_gone(self, pid, seconds):
        """Milliseconds until the process ends, or None."""
        start = time.monotonic()
        while time.monotonic() - start < seconds:
            if not self.alive(pid):
                return (time.monotonic() - start) * 1000
            time.sleep(0.002)
        return None

    def kill(self, pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
        self.wait_gone(pid, 5)

    def start_saver(self, *args):
        """Starts the saver through wine with these arguments and returns its Linux pid."""
        for pid in self.saver_pids():
            self.kill(pid)
        self.xdotool("mousemove", "512", "384")
        process = subprocess.Popen(["wine", str(self.scr), *args], env=self.env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.started.append(process)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            pids = self.saver_pids()
            if pids:
                return pids[0]
            if process.poll() is not None and not self.saver_pids():
                raise ScenarioFailed(f"the saver started with {list(args)} ended at once "
                                     f"(status {process.returncode})")
            time.sleep(0.01)
        raise ScenarioFailed(f"no saver process appeared for {list(args)}")

    def wait_window(self, pid, seconds=10):
        """The X window of the process once it is mapped: (id, x, y, width, height), or None."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and self.alive(pid):
            found = self.xdotool("search", "--onlyvisible", "--pid", str(pid), check=False)
            for window in found.split():
                geometry = dict(line.split("=", 1) for line in self.xdotool(
                    "getwindowgeometry", "--shell", window, check=False).split() if "=" in line)
                if geometry:
                    return (window, int(geometry["X"]), int(geometry["Y"]),
                            int(geometry["WIDTH"]), int(geometry["HEIGHT"]))
            time.sleep(0.05)
        return None

    def end_saver(self, pid):
        if self.alive(pid):
            self.xdotool("key", "Escape")
            if self.wait_gone(pid, 2) is None:
                self.kill(pid)

    # -- X --

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=20)
        if check and result.returncode != 0:
            raise CannotRun(f"xdotool {' '.join(args)} failed")
        return result.stdout.decode(errors="replace")

    def grab(self):
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                                env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=30)
        if len(result.stdout) != SCREEN_W * SCREEN_H * 3:
            raise CannotRun("import could not read the screen: "
                            + result.stderr.decode(errors="replace"))
        return result.stdout

    def save_png(self, rgb, width, height, name):
        path = self.work / name
        subprocess.run(["convert", "-size", f"{width}x{height}", "-depth", "8", "rgb:-",
                        str(path)], input=rgb, env=self.env, capture_output=True, timeout=30,
                       check=True)
        return path

    def wait_settled(self, pid, seconds=12):
        """The screen once two captures 0.4 s apart agree and show something: the first picture
        is complete and the saver is in its pause. None if that does not happen in time."""
        time.sleep(1.0)
        previous = None
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and self.alive(pid):
            current = self.grab()
            if current == previous and current != bytes(len(current)):
                return current
            previous = current
            time.sleep(0.4)
        return None


# ---------------------------------------------------------------------------------------------
# Scenarios


def scenario_setup(session, checks):
    checks.expect((session.prefix / PREFIX_MARKER).exists(),
                  f"Wine prefix {'created' if session.prefix_created else 'reused'} at "
                  f"{session.prefix}")
    checks.expect(session.user_dir().is_dir(), f"user profile at {session.user_dir()}")


def picture_run(session, checks, sectors, in_windows_dir, decoy=None):
    session.clear_settings()
    session.write_settings(settings_text(sectors, 69, 20000), in_windows_dir)
    if decoy is not None:
        session.write_settings(settings_text(decoy, 69, 20000), True)
    where = r"C:\windows\mirelune.ini" if in_windows_dir else r"%APPDATA%\Mirelune\mirelune.ini"
    label = f"sectors {sectors} from {where}" + (f" (Sectors={decoy} in C:\\windows ignored)"
                                                 if decoy is not None else "")
    pid = session.start_saver("/s")
    try:
        window = session.wait_window(pid)
        checks.require(window is not None, f"{label}: the saver shows a window")
        checks.expect(window[1:] == (0, 0, SCREEN_W, SCREEN_H),
                      f"{label}: the window covers the screen (x, y, w, h = {window[1:]})")
        rgb = session.wait_settled(pid)
        if rgb is None:
            last = session.grab()
            png = session.save_png(last, SCREEN_W, SCREEN_H, f"fullscreen-sectors-{sectors}.png")
            checks.expect(False, f"{label}: the first picture completes and then stays still "
                                 f"during the 20 s delay (screen kept changing or stayed black; "
                                 f"last screen in {png})")
            return
        png = session.save_png(rgb, SCREEN_W, SCREEN_H, f"fullscreen-sectors-{sectors}.png")
        problems, facts = analyse_kaleidoscope(rgb, SCREEN_W, SCREEN_H, sectors)
        checks.info(f"{label}: picture {facts['picture']}, tiles {facts['tile']}, grid "
                    f"{facts['grid']}, {facts.get('colours', 0)} colours; screen in {png}")
        checks.expect(not problems, f"{label}: {sectors} x {sectors} mirrored tiles, black "
                                    f"strips, several colours"
                      + ("" if not problems else " -- " + " | ".join(problems)))
    finally:
        session.end_saver(pid)


def scenario_fullscreen_picture(session, checks):
    picture_run(session, checks, 3, in_windows_dir=False, decoy=7)
    picture_run(session, checks, 5, in_windows_dir=False)
    picture_run(session, checks, 7, in_windows_dir=True)


def exit_run(session, checks, args, action, description):
    pid = session.start_saver(*args)
    try:
        window = session.wait_window(pid)
        checks.require(window is not None, f"{description}: the saver shows its window")
        time.sleep(0.5)
        checks.require(session.alive(pid), f"{description}: the saver runs until the input")
        start = time.monotonic()
        session.xdotool(*action)
        gone = session.wait_gone(pid, 3)
        total = (time.monotonic() - start) * 1000 if gone is not None else None
        checks.expect(total is not None and total <= 1000,
                      f"{description}: the saver ends within 1000 ms"
                      + (f" ({total:.0f} ms)" if total is not None
                         else " -- still running after 3 s"))
    finally:
        session.end_saver(pid)


def scenario_fullscreen_exit(session, checks):
    session.clear_settings()
    exit_run(session, checks, [], ("key", "a"), "no arguments, key 'a'")
    exit_run(session, checks, ["/S"], ("key", "shift"), "/S, key Shift")
    exit_run(session, checks, ["/s"], ("click", "1"), "/s, left click")

    # The window's appearance under the resting pointer is the first mouse move; each xdotool
    # move adds one. Ten are absorbed, the eleventh ends the saver. First make sure this X server
    # and Wine give a new full-screen window exactly one move for its appearance.
    session.xdotool("mousemove", "512", "384")
    counted, _ = session.probe("move-counter", "1500")
    if counted.get("moves") != 1:
        raise CannotRun(f"a full-screen window appearing under the pointer got "
                        f"{counted.get('moves')} mouse moves here, not 1; the mouse-move check "
                        f"cannot count")
    pid = session.start_saver("/s")
    try:
        checks.require(session.wait_window(pid) is not None,
                       "mouse moves: the saver shows its window")
        time.sleep(0.5)
        ended_at = None
        for move in range(1, 10):
            session.xdotool("mousemove", str(100 + 70 * move), str(80 + 50 * move))
            time.sleep(0.15)
            if not session.alive(pid):
                ended_at = move
                break
        if ended_at is None:
            time.sleep(0.5)
            if not session.alive(pid):
                ended_at = 9
        checks.expect(ended_at is None,
                      "mouse moves: the appearance and 9 moves (10 events) leave it running"
                      + ("" if ended_at is None else
                         f" -- it ended after move {ended_at} ({ended_at + 1} events)"))
        if ended_at is None:
            start = time.monotonic()
            session.xdotool("mousemove", "900", "700")
            gone = session.wait_gone(pid, 3)
            total = (time.monotonic() - start) * 1000 if gone is not None else None
            checks.expect(total is not None and total <= 1000,
                          "mouse moves: the 10th move (11th event) ends it within 1000 ms"
                          + (f" ({total:.0f} ms)" if total is not None
                             else " -- still running 3 s later"))
    finally:
        session.end_saver(pid)


def scenario_fullscreen_idle_cpu(session, checks):
    session.clear_settings()
    session.write_settings(settings_text(5, 69, 20000))
    pid = session.start_saver("/s")
    try:
        checks.require(session.wait_window(pid) is not None, "the saver shows its window")
        checks.require(session.wait_settled(pid) is not None,
                       "the first picture completes and the screen stays still")
        clock = os.sysconf("SC_CLK_TCK")
        before, start = session.cpu_ticks(pid), time.monotonic()
        time.sleep(3)
        after, elapsed = session.cpu_ticks(pid), time.monotonic() - start
        checks.require(session.alive(pid), "the saver keeps running during the measurement")
        percent = (after - before) / clock / elapsed * 100
        print(f"  figure idle CPU during the delay: {percent:.2f} % of one core "
              f"({after - before} ticks in {elapsed:.2f} s)", flush=True)
        checks.expect(percent < 2, f"idle CPU during the delay under 2 % ({percent:.2f} %)")
    finally:
        session.end_saver(pid)


def scenario_fullscreen_timing(session, checks):
    session.clear_settings()  # defaults: 5 sectors, so tile (0,0) is 204 x 152
    for round_ in (1, 2):
        result, _ = session.probe("first-row", windows_path(session.scr), "0", "0", "204", "152")
        checks.require(result.get("black_before"), "the screen is black before the saver starts")
        found = result.get("found", False)
        ms = result.get("ms")
        if found:
            print(f"  figure launch to first painted row (round {round_}): {ms:.0f} ms "
                  f"(first colour #{result['colour']} at {result['x']},{result['y']})", flush=True)
        checks.expect(found and ms <= 3000, f"round {round_}: the first row shows within 3000 ms"
                      + (f" ({ms:.0f} ms)" if found else " -- nothing painted within 10 s"))
        pids = session.saver_pids()
        checks.require(len(pids) == 1, f"round {round_}: one saver process runs ({pids})")
        pid = pids[0]
        time.sleep(0.3)
        start = time.monotonic()
        session.xdotool("key", "space")
        gone = session.wait_gone(pid, 3)
        total = (time.monotonic() - start) * 1000 if gone is not None else None
        if total is not None:
            print(f"  figure key press to process end (round {round_}): {total:.0f} ms", flush=True)
        checks.expect(total is not None and total <= 1000,
                      f"round {round_}: a key ends the process within 1000 ms"
                      + (f" ({total:.0f} ms)" if total is not None else " -- still running"))
        session.end_saver(pid)


def scenario_preview(session, checks):
    # The preview draws with 5 sectors, speed 8 and delay 1 whatever the settings file says.
    # What it paints cannot be seen here: Wine shows nothing of a child window whose parent
    # belongs to another process. Its window is what can be checked.
    session.clear_settings()
    session.write_settings(settings_text(3, 0, 20000))
    pane_w, pane_h = 152, 112
    result, lines = session.probe("preview", windows_path(session.scr), str(pane_w), str(pane_h))
    stages = {line.get("stage"): line for line in lines}
    (session.work / "preview.json").write_text("\n".join(json.dumps(line) for line in lines))
    child = stages.get("child", {})
    checks.require(child.get("found"), "a child window of the pane appears within 5 s")
    window = child["window"]
    checks.info(f"the child appeared {child['ms']:.0f} ms after the start, first at "
                f"{child['first_client_w']} x {child['first_client_h']}")
    checks.expect(child["pid_matches"], "the child belongs to the saver's process")
    checks.expect(child["ws_child"] and child["parent_is_pane"],
                  "the child has WS_CHILD and the pane as its parent")
    checks.expect(child["children"] == 1, f"the pane has one child ({child['children']})")
    checks.expect(window["visible"], "the child is visible")
    # The form covers the pane and then, being in the normal window state, trims itself to its
    # tile grid when the first picture starts: with 5 sectors 152 x 112 becomes 150 x 110 (the
    # file's 3 sectors would give 150 x 108).
    want = (pane_w - pane_w % 10, pane_h - pane_h % 10)
    got = (window["client_w"], window["client_h"])
    checks.expect(got == want and (window["rect"]["x"], window["rect"]["y"]) == (0, 0),
                  f"the child sits at the pane's corner, covering the {pane_w} x {pane_h} pane "
                  f"trimmed to a 5-sector grid: {want[0]} x {want[1]} despite Sectors=3 in the "
                  f"file (got {got[0]} x {got[1]} at {window['rect']['x']},{window['rect']['y']})")

    checks.expect(stages.get("input", {}).get("alive"),
                  "keys, clicks and 20 mouse moves sent to the preview leave it running")
    resize = stages.get("resize", {})
    checks.info(f"after the pane grew to 200 x 150 the child is {resize.get('child_w')} x "
                f"{resize.get('child_h')} (following it is not required)")
    destroy = stages.get("destroy", {})
    checks.expect(destroy.get("exited") and destroy["ms"] <= 1000,
                  "the saver ends within 1000 ms of the pane's destruction"
                  + (f" ({destroy['ms']:.0f} ms)" if destroy.get("exited") else
                     " -- still running 5 s later"))

    bad, lines = session.probe("preview-bad-handle", windows_path(session.scr))
    handle = next((line for line in lines if line.get("stage") == "handle"), {})
    checks.require(not handle.get("is_window", True), "999999 names no window here")
    checks.expect(bad.get("exited") and bad["ms"] <= 3000,
                  "'/p 999999' ends within 3 s" + (f" ({bad['ms']:.0f} ms)" if bad.get("exited")
                                                   else " -- still running after 5 s"))
    checks.expect(not bad.get("windows"), "'/p 999999' shows no window"
                  + "".join(f" -- saw {w['class']} '{w['text']}'" for w in bad.get("windows", [])))


# The dialog's layout in twips: (name, class, text, left, top, width, height, alignment)
DIALOG_LAYOUT = [
    ("Label1", "static", "Sectors", 0, 360, 975, 375, "right"),
    ("sldSectors", "msctls_trackbar32", None, 1080, 240, 2775, 615, None),
    ("lblSectors", "static", None, 3960, 360, 1215, 255, "left"),
    ("Label3", "static", "Delay", 0, 1080, 975, 375, "right"),
    ("sldDelay", "msctls_trackbar32", None, 1080, 960, 2775, 615, None),
    ("lblDelay", "static", None, 3960, 1200, 615, 375, "left"),
    ("Label2", "static", "Speed", -120, 1800, 1095, 375, "right"),
    ("sldSpeed", "msctls_trackbar32", None, 1080, 1680, 2775, 615, None),
    ("lblSpeed", "static", None, 840, 2280, 3015, 255, "centre"),
    ("cmdCancel", "button", "&Cancel", 240, 2640, 1215, 495, None),
    ("cmdExit", "button", "O&K", 3240, 2640, 1215, 495, None),
]
SLIDER_RANGES = {"sldSectors": (1, 10, 1, 1), "sldDelay": (0, 20000, 100, 1000),
                 "sldSpeed": (0, 69, 1, 10)}
ALIGNMENT = {0: "left", 1: "centre", 2: "right"}
WS_TABSTOP, WS_THICKFRAME, WS_SYSMENU = 0x00010000, 0x00040000, 0x00080000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW = 0x00020000, 0x00010000, 0x00000080


def name_controls(controls):
    """Maps the layout's names to the dialog's controls: captions and buttons by text, sliders
    and value labels by their order from top to bottom."""
    named = {}
    kinds = {}
    for control in controls:
        kinds.setdefault(control["class"].lower(), []).append(control)
    captions = {"Sectors": "Label1", "Delay": "Label3", "Speed": "Label2"}
    values = []
    for control in kinds.get("static", []):
        if control["text"] in captions:
            named[captions[control["text"]]] = control
        else:
            values.append(control)
    for name, control in zip(("lblSectors", "lblDelay", "lblSpeed"),
                             sorted(values, key=lambda c: c["rect"]["y"])):
        named[name] = control
    for name, control in zip(("sldSectors", "sldDelay", "sldSpeed"),
                             sorted(kinds.get("msctls_trackbar32", []),
                                    key=lambda c: c["rect"]["y"])):
        named[name] = control
    for control in kinds.get("button", []):
        name = {"&Cancel": "cmdCancel", "O&K": "cmdExit"}.get(control["text"])
        if name:
            named[name] = control
    return named


def open_dialog(session, checks, what):
    for pid in session.saver_pids():  # a dialog left open by a failed step
        session.kill(pid)
    dialog, _ = session.probe("dialog", windows_path(session.scr))
    checks.require(dialog.get("found"), f"{what}: '/c' shows the window '{DIALOG_TITLE}'")
    rect = dialog["rect"]
    # Keys go to the window under the pointer (no window manager).
    session.xdotool("mousemove", str(rect["x"] + rect["w"] // 2), str(rect["y"] + 8))
    return dialog, name_controls(dialog["controls"])


def press(session, *keys):
    session.xdotool("key", "--delay", "40", *keys)
    time.sleep(0.15)


def wait_dialog_exit(session, checks, dialog, what):
    result, _ = session.probe("wait-exit", str(dialog["pid"]), "3000")
    checks.expect(result.get("exited"), f"{what}: the dialog's process ends"
                  + (f" ({result['ms']:.0f} ms)" if result.get("exited") else ""))


def check_dialog_layout(checks, dialog, named):
    dpi = dialog["dpi"]

    def px(twips):
        return round(twips * dpi / 1440)

    checks.info(f"dialog at {dialog['dpi']} DPI, client {dialog['client_w']} x "
                f"{dialog['client_h']}")
    want = (px(4680), px(3270))
    got = (dialog["client_w"], dialog["client_h"])
    checks.expect(abs(got[0] - want[0]) <= 1 and abs(got[1] - want[1]) <= 1,
                  f"client area 4680 x 3270 twips = {want[0]} x {want[1]} px (got {got[0]} x "
                  f"{got[1]})")
    style, exstyle = dialog["style"], dialog["exstyle"]
    frame = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
    checks.expect(style & frame == frame and not exstyle & WS_EX_TOOLWINDOW,
                  f"a sizable window with system menu, minimise and maximise buttons, shown in the "
                  f"task bar (style {style:#x}, exstyle {exstyle:#x})")
    classes = sorted(c["class"].lower() for c in dialog["controls"])
    checks.expect(len(dialog["controls"]) == 11 and len(named) == 11,
                  f"11 controls: 6 labels, 3 sliders, 2 buttons (got {classes})")
    for name, kind, text, left, top, width, height, align in DIALOG_LAYOUT:
        control = named.get(name)
        if control is None:
            checks.expect(False, f"{name}: present")
            continue
        r = control["rect"]
        want = (px(left), px(top), px(width), px(height))
        got = (r["x"], r["y"], r["w"], r["h"])
        ok = control["class"].lower() == kind and all(abs(a - b) <= 1 for a, b in zip(got, want))
        if text is not None:
            ok = ok and control["text"] == text
        if align is not None:
            ok = ok and ALIGNMENT.get(control["style"] & 0x1F) == align
        tab = bool(control["style"] & WS_TABSTOP)
        ok = ok and tab == (kind != "static")
        detail = kind + (f" '{text}'" if text else "") + (f", {align}-aligned" if align else "")
        checks.expect(ok, f"{name}: {detail} at {want} px"
                      f"{', no tab stop' if kind == 'static' else ', tab stop'} (got "
                      f"{control['class']} '{control['text']}' at {got}, style "
                      f"{control['style']:#x})")
        if kind == "msctls_trackbar32":
            want_range = SLIDER_RANGES[name]
            got_range = (control["min"], control["max"], control["line"], control["page"])
            checks.expect(got_range == want_range and not control["style"] & 0x2,
                          f"{name}: horizontal, range {want_range[0]}..{want_range[1]}, line "
                          f"{want_range[2]}, page {want_range[3]} (got {got_range})")
        if kind == "button":
            checks.expect(control["style"] & 0xF == 0,
                          f"{name}: a plain push button, not the default button "
                          f"(style {control['style']:#x})")


def check_values(checks, named, what, positions, labels):
    got_positions = tuple(named[n].get("pos") for n in ("sldSectors", "sldSpeed", "sldDelay"))
    got_labels = tuple(named[n]["text"] for n in ("lblSectors", "lblSpeed", "lblDelay"))
    checks.expect(got_positions == positions,
                  f"{what}: sliders at sectors, speed, delay = {positions} (got {got_positions})")
    checks.expect(got_labels == labels,
                  f"{what}: labels {labels} (got {got_labels})")


def inspect_dialog(session):
    result, _ = session.probe("inspect", DIALOG_TITLE)
    return result, (name_controls(result["controls"]) if result.get("found") else {})


def scenario_dialog(session, checks):
    expected_file = (b"[Mirelune ScreenSaver]\r\nSectors= 5\r\nSpeed=69\r\nDelay=1000\r\n")

    # 1. No settings file: layout, defaults, Tab order, Esc, a slider moved, Alt+C.
    session.clear_settings()
    dialog, named = open_dialog(session, checks, "no settings file")
    try:
        check_dialog_layout(checks, dialog, named)
        if len(named) == 11:
            check_values(checks, named, "no settings file", (5, 69, 1000),
                         ("5", "Fastest", "1.0 sec. "))
        names = {c["hwnd"]: n for n, c in named.items()}
        focus = dialog["focus"]
        checks.expect(names.get(focus.get("hwnd")) == "sldSectors",
                      f"the focus starts on sldSectors (got {names.get(focus.get('hwnd'), focus)})")
        visited = []
        for _ in range(5):
            press(session, "Tab")
            focus, _ = session.probe("focus", DIALOG_TITLE)
            visited.append(names.get(focus.get("hwnd"),
                                     f"{focus.get('class')} '{focus.get('text')}'"))
        order = ["sldSpeed", "cmdExit", "cmdCancel", "sldDelay", "sldSectors"]
        checks.expect(visited == order,
                      f"Tab visits {' -> '.join(order)} (got {' -> '.join(visited)})")

        press(session, "Escape")
        after, _ = inspect_dialog(session)
        checks.expect(after.get("found"), "Esc leaves the dialog open")
        checks.expect(not session.settings_files(), "Esc writes no settings file")

        press(session, "Right")  # the focus is back on sldSectors
        after, moved = inspect_dialog(session)
        if len(moved) == 11:
            checks.expect((moved["sldSectors"]["pos"], moved["lblSectors"]["text"]) == (6, "6"),
                          "Right arrow on sldSectors: position 6, label '6' (got "
                          f"{moved['sldSectors']['pos']}, '{moved['lblSectors']['text']}')")

        press(session, "alt+c")
        wait_dialog_exit(session, checks, dialog, "Alt+C")
        checks.expect(not session.settings_files() and not session.settings_dir().exists(),
                      "Alt+C creates neither the settings file nor its folder")
    finally:
        session.probe("close", DIALOG_TITLE)

    # 2. No settings file, OK at once: the exact text, folder created.
    session.clear_settings()
    dialog, named = open_dialog(session, checks, "OK with defaults")
    press(session, "alt+k")
    wait_dialog_exit(session, checks, dialog, "Alt+K")
    files = session.settings_files()
    written = files[0].read_bytes() if len(files) == 1 else None
    checks.expect(written == expected_file,
                  f"Alt+K writes exactly {expected_file!r} into %APPDATA%\\Mirelune (got "
                  f"{written!r} in {[str(f) for f in files]})")

    # 3. A file with another section and other values: shown; closing the window keeps it.
    original = (b"[Other Section]\r\nKeep=this line\r\n\r\n[Mirelune ScreenSaver]\r\n"
                b"Sectors= 7\r\nSpeed=20\r\nDelay=1050\r\n")
    session.clear_settings()
    session.write_settings(original)
    dialog, named = open_dialog(session, checks, "existing file")
    if len(named) == 11:
        check_values(checks, named, "existing file", (7, 20, 1050),
                     ("7", "Sorta Slow", "1.1 sec. "))
    session.probe("close", DIALOG_TITLE)
    wait_dialog_exit(session, checks, dialog, "close from the frame")
    files = session.settings_files()
    checks.expect(len(files) == 1 and files[0].read_bytes() == original,
                  "closing the window leaves the file byte for byte unchanged")

    # 4. Same file, Cancel after moving sliders: unchanged. 5. Moved sliders and OK.
    dialog, named = open_dialog(session, checks, "Cancel after moves")
    press(session, "Right", "Tab", "Home")
    press(session, "alt+c")
    wait_dialog_exit(session, checks, dialog, "Cancel")
    files = session.settings_files()
    checks.expect(len(files) == 1 and files[0].read_bytes() == original,
                  "Alt+C after moving sliders leaves the file byte for byte unchanged")

    dialog, named = open_dialog(session, checks, "OK after moves")
    press(session, "Right", "Tab", "Home")  # sectors 7 -> 8, focus to speed, speed -> 0
    after, moved = inspect_dialog(session)
    if len(moved) == 11:
        check_values(checks, moved, "after Right, Tab, Home", (8, 0, 1050),
                     ("8", "Slowest", "1.1 sec. "))
    press(session, "alt+k")
    wait_dialog_exit(session, checks, dialog, "OK")
    files = session.settings_files()
    text = files[0].read_bytes() if len(files) == 1 else b""
    lines = text.split(b"\r\n")
    sections = {}
    current = None
    for line in lines:
        if line.startswith(b"[") and line.endswith(b"]"):
            current = line[1:-1].decode(errors="replace")
            sections[current] = []
        elif line and current is not None:
            sections[current].append(line.decode(errors="replace"))
    checks.expect(sections.get("Other Section") == ["Keep=this line"],
                  f"OK keeps the other section (file {text!r})")
    checks.expect(sorted(sections.get(SECTION, [])) == ["Delay=1050", "Sectors= 8", "Speed=0"],
                  f"OK stores Sectors= 8, Speed=0, Delay=1050 (file {text!r})")
    checks.expect(b"\n" not in text.replace(b"\r\n", b""), "the file keeps CRLF line ends")


def scenario_bad_input(session, checks):
    session.clear_settings()
    for argument in ("/x", "-s", "s", "/"):
        result, _ = session.probe("run", "4000", windows_path(session.scr), argument)
        windows = result.get("windows", [])
        checks.expect(result.get("exited") and result["ms"] <= 2000 and not windows,
                      f"{argument!r} ends quietly within 2000 ms"
                      + (f" ({result['ms']:.0f} ms)" if result.get("exited")
                         else " -- still running after 4 s")
                      + "".join(f" -- showed {w['class']} '{w['text']}' {w['rect']['w']}x"
                                f"{w['rect']['h']}" for w in windows))
    for argument in ("/p", "/p abc"):
        result, _ = session.probe("run-box", "5000", windows_path(session.scr), argument)
        box = result.get("box", {})
        checks.expect(box.get("found") and box.get("texts") == ["preview error"],
                      f"{argument!r} shows a message box with the text 'preview error' (got "
                      f"{box.get('texts') if box.get('found') else 'no box'}, caption "
                      f"'{box.get('caption')}')")
        checks.expect(box.get("found") and len(box.get("buttons", [])) == 1,
                      f"{argument!r}: the box has one button ({box.get('buttons')})")
        checks.expect(box.get("found") and result.get("exited")
                      and not result.get("windows_left", {}).get("windows"),
                      f"{argument!r} ends after OK"
                      + (f" ({result['ms_after_box']:.0f} ms)" if result.get("exited") else ""))

    junk = random.Random(7)
    megabyte = bytes(junk.randrange(256) for _ in range(1 << 20))
    cases = [
        ("Sectors=0", settings_text(0, 69, 1000)),
        ("Sectors=999", settings_text(999, 69, 1000)),
        ("Speed=-5", settings_text(5, -5, 1000)),
        ("Delay=-1", settings_text(5, 69, -1)),
        ("Delay=99999999999", settings_text(5, 69, 99999999999)),
        ("junk lines", b"garbage\r\n=\r\n[Mirelune ScreenSaver\r\nSectors\r\n[Mirelune "
                       b"ScreenSaver]\r\nSectors=abc\r\nSpeed=\r\nDelay=1e9\r\n==\r\n\x00\xff\r\n"
                       b"Sectors=3junk\r\n[]\r\nSpeed"),
        ("1 MB of random bytes", megabyte),
    ]
    for name, content in cases:
        session.clear_settings()
        session.write_settings(content)
        pid = session.start_saver("/s")
        try:
            window = session.wait_window(pid)
            start = time.monotonic()
            while time.monotonic() - start < 2 and session.alive(pid):
                time.sleep(0.05)
            running = window is not None and session.alive(pid)
            checks.expect(running, f"settings {name}: the saver shows its window and runs 2 s")
            if running:
                begin = time.monotonic()
                session.xdotool("key", "space")
                gone = session.wait_gone(pid, 3)
                total = (time.monotonic() - begin) * 1000 if gone is not None else None
                checks.expect(total is not None and total <= 1000,
                              f"settings {name}: a key ends it within 1000 ms"
                              + (f" ({total:.0f} ms)" if total is not None
                                 else " -- still running"))
        finally:
            session.end_saver(pid)


SCENARIOS = {
    "setup": scenario_setup,
    "fullscreen-picture": scenario_fullscreen_picture,
    "fullscreen-exit": scenario_fullscreen_exit,
    "fullscreen-idle-cpu": scenario_fullscreen_idle_cpu,
    "fullscreen-timing": scenario_fullscreen_timing,
    "preview": scenario_preview,
    "dialog": scenario_dialog,
    "bad-input": scenario_bad_input,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scr", help="Mirelune.scr from the Windows build")
    parser.add_argument("--probe", help="mirelune-probe.exe from the Windows build")
    parser.add_argument("--work", required=True, help="directory for screenshots and logs")
    parser.add_argument("--prefix", help="the private Wine prefix (default WORK/wine-prefix)")
    parser.add_argument("scenarios", nargs="+", metavar="SCENARIO",
                        help="all, or any of: " + ", ".join(SCENARIOS))
    args = parser.parse_args()
    # A timeout of the test runner ends the run through the normal clean-up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    names = list(SCENARIOS) if args.scenarios == ["all"] else args.scenarios
    unknown = [name for name in names if name not in SCENARIOS]
    if unknown:
        parser.error(f"unknown scenario {', '.join(unknown)}")

    failed = []
    try:
        session = Session(args.work, args.prefix, args.scr, args.probe)
        if names != ["setup"]:
            session.require_inputs()
        with session:
            session.prefix_created = session.ensure_prefix()
            session.start_wineserver()
            for name in names:
                print(f"== {name}", flush=True)
                checks = Checks()
                started = time.monotonic()
                try:
                    SCENARIOS[name](session, checks)
                except ScenarioFailed as error:
                    if str(error) not in checks.failures:
                        checks.expect(False, str(error))
                seconds = time.monotonic() - started
                if checks.failures:
                    failed.append(name)
                    print(f"== {name}: FAILED ({len(checks.failures)} checks, {seconds:.1f} s)",
                          flush=True)
                else:
                    print(f"== {name}: passed ({seconds:.1f} s)", flush=True)
    except CannotRun as error:
        print(f"wine_tests.py: cannot run: {error}", file=sys.stderr, flush=True)
        return 2
    if failed:
        print(f"wine_tests.py: failed: {', '.join(failed)}", file=sys.stderr, flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
