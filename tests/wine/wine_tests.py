#!/usr/bin/env python3
"""End-to-end tests of the Windows screen saver Mirelune.scr under Wine on a private Xvfb.

    wine_tests.py [--scr Mirelune.scr --probe mirelune-probe.exe] --work DIR [--prefix DIR] \
                  SCENARIO...

Each run starts its own X server (1024 x 768 x 24) and wineserver on a private Wine prefix, which
"setup" creates once and later runs reuse. The saver is driven with xdotool and with
mirelune-probe.exe, which hosts a preview pane, starts the saver with exact command lines and
reads windows and the screen from inside Wine. Screenshots and evidence stay in the work folder.
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

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import soak_rules  # noqa: E402  (shared with the X11 tests, one folder up)
from figures import Figures  # noqa: E402

SCREEN_W, SCREEN_H = 1024, 768
SECTION = "Mirelune ScreenSaver"
DIALOG_TITLE = "Mirelune Configuration"
PREFIX_MARKER = ".mirelune-prefix-ready"
QUIET = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}


class CannotRun(Exception):
    """The environment or the inputs are missing: the tests could not run at all."""


class ScenarioFailed(Exception):
    """A check that later checks depend on failed."""


class Checks:
    """Records the outcome of each check of a scenario and prints it as it goes."""

    def __init__(self):
        self.failures = []

    def expect(self, ok, message):
        print(("  ok    " if ok else "  FAIL  ") + message)
        if not ok:
            self.failures.append(message)
        return ok

    def require(self, ok, message):
        if not self.expect(ok, message):
            raise ScenarioFailed(message)

    def ended(self, ms, what, limit=1000):
        """Expects `what` to have happened within limit ms; ms is None when it did not."""
        return self.expect(ms is not None and ms <= limit, f"{what} within {limit} ms"
                           + (f" ({ms:.0f} ms)" if ms is not None else " -- still running"))


def pixels_of(row):
    return [row[k:k + 3] for k in range(0, len(row), 3)]


def analyse_kaleidoscope(rgb, width, height, sectors):
    """Checks a screen (RGB bytes, rows top to bottom) against the tile grid that `sectors`
    gives: every tile equal to tile (0, 0), that tile mirror-symmetric both ways, the strips
    outside the grid black, and more than one colour. Returns (problems, summary)."""
    fwidth, fheight = width // (2 * sectors), height // (2 * sectors)
    tile_w, tile_h = 2 * fwidth, 2 * fheight
    grid_w, grid_h = tile_w * sectors, tile_h * sectors
    stride = width * 3
    if fwidth == 0 or fheight == 0:
        return ["the screen is smaller than the grid"], ""

    def tile_row(i, j, y):
        start = (i * tile_h + y) * stride + j * tile_w * 3
        return rgb[start:start + tile_w * 3]

    tile0 = [tile_row(0, 0, y) for y in range(tile_h)]
    problems = []
    unequal = [f"({i},{j})" for i in range(sectors) for j in range(sectors)
               if any(tile_row(i, j, y) != tile0[y] for y in range(tile_h))]
    if unequal:
        problems.append(f"tiles {', '.join(unequal[:6])} ({len(unequal)} of {sectors ** 2}) "
                        "differ from tile (0,0)")
    left_right = [y for y in range(tile_h)
                  if tile0[y] != b"".join(reversed(pixels_of(tile0[y])))]
    if left_right:
        problems.append(f"tile (0,0) is not mirror-symmetric left-right in {len(left_right)} of "
                        f"{tile_h} rows, first row {left_right[0]}")
    top_bottom = [y for y in range(fheight) if tile0[y] != tile0[tile_h - 1 - y]]
    if top_bottom:
        problems.append(f"tile (0,0) is not mirror-symmetric top-bottom in {len(top_bottom)} of "
                        f"{fheight} row pairs, first row {top_bottom[0]}")
    right = sum(any(rgb[y * stride + grid_w * 3:(y + 1) * stride]) for y in range(height))
    bottom = sum(any(rgb[y * stride:(y + 1) * stride]) for y in range(grid_h, height))
    if right or bottom:
        problems.append(f"the strips outside the {grid_w} x {grid_h} grid are not black in "
                        f"{right} rows on the right and {bottom} rows at the bottom")
    colours = {pixel for row in tile0 for pixel in pixels_of(row)}
    if len(colours) < 2:
        problems.append(f"the picture is all one colour (#{tile0[0][:3].hex()})")
    return problems, f"tiles {tile_w} x {tile_h}, grid {grid_w} x {grid_h}, {len(colours)} colours"


def settings_text(sectors, speed, delay):
    return f"[{SECTION}]\r\nSectors={sectors}\r\nSpeed={speed}\r\nDelay={delay}\r\n".encode()


def start_x_server(command, log_path, env=None):
    """Starts an X server (Xvfb, or Xephyr inside another) on a free display with a black
    root that outlives its clients; returns the process and the display's number."""
    read_end, write_end = os.pipe()
    log = open(log_path, "a")
    server = subprocess.Popen([*command, "-displayfd", str(write_end), "-nolisten", "tcp", "-br",
                               "-noreset"], env=env, pass_fds=(write_end,),
                              stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    os.close(write_end)
    text = b""  # the number and its newline may come in two writes
    while not text.endswith(b"\n") and select.select([read_end], [], [], 20)[0]:
        chunk = os.read(read_end, 64)
        if not chunk:
            break
        text += chunk
    os.close(read_end)
    if not text.strip().isdigit():
        server.kill()
        server.wait()
        raise CannotRun(f"{command[0]} did not start (see {log_path})")
    return server, int(text)


class Session:
    """The X server, the Wine prefix and server, the probe, the settings file and the savers."""

    def __init__(self, work, prefix, scr=None, probe=None, soak_pictures=40):
        self.work = Path(work).resolve()
        self.prefix = Path(prefix).resolve() if prefix else self.work / "wine-prefix"
        self.scr = Path(scr).resolve() if scr else None
        self.probe_exe = Path(probe).resolve() if probe else None
        self.win_scr = "Z:" + str(self.scr).replace("/", "\\")  # the saver's path in Wine
        self.xvfb = self.lock = self.env = None
        self.started = []  # Popen objects of savers started directly
        self.prefix_created = False
        self.soak_pictures = soak_pictures  # for each sector count
        self.figures = Figures("  ")

    def __enter__(self):
        self.work.mkdir(parents=True, exist_ok=True)
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self.lock = open(str(self.prefix) + ".lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=f":{self.start_xvfb()}")
        self.env.pop("WAYLAND_DISPLAY", None)
        if self.prefix.exists():
            self.run("wineserver", "-k")
            self.run("wineserver", "-w")
        self.prefix_created = self.ensure_prefix()
        self.run("wineserver", "-p")
        profiles = [p for p in (self.prefix / "drive_c" / "users").iterdir()
                    if p.name.lower() != "public" and (p / "AppData" / "Roaming").is_dir()]
        own = [p for p in profiles if p.name == pwd.getpwuid(os.getuid()).pw_name]
        if len(own or profiles) != 1:
            raise CannotRun(f"cannot tell the prefix's user profile among {profiles}")
        self.user_dir = (own or profiles)[0]
        self.settings_dir = self.user_dir / "AppData" / "Roaming" / "Mirelune"
        self.windows_dir = self.prefix / "drive_c" / "windows"
        return self

    def __exit__(self, *exc):
        for pid in self.saver_pids():
            self.kill(pid)
        if self.env is not None and self.prefix.exists():
            self.run("wineserver", "-k")
            self.run("wineserver", "-w")
        for process in self.started:
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
        tools = ("Xvfb", "xdotool", "import", "wine", "wineboot", "wineserver")
        missing = [tool for tool in tools if shutil.which(tool) is None]
        if missing:
            raise CannotRun(f"{', '.join(missing)} not installed (scripts/install-deps windows)")
        self.xvfb, number = start_x_server(
            ["Xvfb", "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24"], self.work / "xvfb.log")
        return number

    def run(self, *command, timeout=60, **options):
        return subprocess.run(command, env=self.env, timeout=timeout, **{**QUIET, **options})

    def ensure_prefix(self):
        """Creates the private prefix once; later runs reuse it."""
        if (self.prefix / PREFIX_MARKER).exists():
            return False
        if self.prefix.exists():
            shutil.rmtree(self.prefix)  # an earlier setup that did not finish
        # Without a window manager, Wine waits about two seconds for every hide or destroy of a
        # managed window; unmanaged windows do not wait. A crashing saver should just end, not
        # wait behind a crash dialog.
        for command in (["wineboot", "-i"],
                        ["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                         "Managed", "/t", "REG_SZ", "/d", "N", "/f"],
                        ["wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v",
                         "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"]):
            result = self.run(*command, timeout=300, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT)
            if result.returncode != 0:
                raise CannotRun(f"{' '.join(command)} failed: "
                                + result.stdout.decode(errors="replace"))
        self.run("wineserver", "-w")
        (self.prefix / PREFIX_MARKER).write_text("created by tests/wine/wine_tests.py\n")
        return True

    def probe(self, *args, timeout=60):
        """Runs mirelune-probe.exe and returns its JSON lines merged into one dict (later keys
        win) together with the list of lines."""
        with tempfile.TemporaryFile() as out:
            try:
                result = self.run("wine", str(self.probe_exe), *args, timeout=timeout, stdout=out)
            except subprocess.TimeoutExpired:
                raise CannotRun(f"the probe did not finish within {timeout} s: {args}")
            out.seek(0)
            text = out.read().decode("utf-8", errors="replace")
        lines = [json.loads(line) for line in text.splitlines() if line.strip().startswith("{")]
        merged = {key: value for line in lines for key, value in line.items()}
        if result.returncode != 0 or "error" in merged or not lines:
            raise CannotRun(f"the probe failed ({result.returncode}) on {args}: {text.strip()}")
        return merged, lines

    # -- settings: file names are compared without case, as Windows does --

    @staticmethod
    def files_named(directory, name):
        return [p for p in directory.iterdir() if p.name.lower() == name.lower()] \
            if directory.is_dir() else []

    def clear_settings(self):
        for path in self.files_named(self.settings_dir.parent, "Mirelune"):
            shutil.rmtree(path) if path.is_dir() else path.unlink()
        for path in self.files_named(self.windows_dir, "mirelune.ini"):
            path.unlink()

    def write_settings(self, content, in_windows_dir=False):
        directory = self.windows_dir if in_windows_dir else self.settings_dir
        directory.mkdir(parents=True, exist_ok=True)
        (directory / "mirelune.ini").write_bytes(content)

    def settings_files(self):
        return self.files_named(self.settings_dir, "mirelune.ini")

    # -- saver processes (Linux side) --

    def saver_pids(self):
        if self.scr is None:
            return []
        name, wanted = self.scr.name.lower()[:15], f"WINEPREFIX={self.prefix}".encode()
        pids = []
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                if (Path(f"/proc/{entry}/comm").read_text().strip().lower() == name and wanted
                        in Path(f"/proc/{entry}/environ").read_bytes().split(b"\0")
                        and self.alive(int(entry))):
                    pids.append(int(entry))
            except OSError:
                continue
        return pids

    @staticmethod
    def stat(pid):
        text = Path(f"/proc/{pid}/stat").read_text()
        return text[text.rindex(")") + 2:].split()

    def alive(self, pid):
        try:
            return self.stat(pid)[0] not in "ZX"
        except OSError:
            return False

    def wait_gone(self, pid, seconds):
        """Milliseconds until the process ends, or None."""
        start = time.monotonic()
        while time.monotonic() - start < seconds:
            if not self.alive(pid):
                return (time.monotonic() - start) * 1000
            time.sleep(0.002)
        return None

    def ended_by(self, pid, *action):
        """Sends an xdotool action; milliseconds until the process ends, or None after 3 s."""
        start = time.monotonic()
        self.xdotool(*action)
        return None if self.wait_gone(pid, 3) is None else (time.monotonic() - start) * 1000

    def kill(self, pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass
        self.wait_gone(pid, 5)

    def start_saver(self, *args, pointer=(512, 384)):
        """Starts the saver through wine with these arguments, the pointer resting at the given
        place, and returns its Linux pid."""
        for pid in self.saver_pids():
            self.kill(pid)
        self.xdotool("mousemove", *map(str, pointer))
        process = subprocess.Popen(["wine", str(self.scr), *args], env=self.env, **QUIET)
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
                    return (window, *(int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")))
            time.sleep(0.05)
        return None

    def end_saver(self, pid):
        if self.alive(pid):
            self.xdotool("key", "Escape")
            if self.wait_gone(pid, 2) is None:
                self.kill(pid)

    # -- X --

    def xdotool(self, *args, check=True):
        result = self.run("xdotool", *args, timeout=20, stdout=subprocess.PIPE)
        if check and result.returncode != 0:
            raise CannotRun(f"xdotool {' '.join(args)} failed")
        return result.stdout.decode(errors="replace")

    def grab(self):
        result = self.run("import", "-window", "root", "-depth", "8", "rgb:-",
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if len(result.stdout) != SCREEN_W * SCREEN_H * 3:
            raise CannotRun("import could not read the screen: "
                            + result.stderr.decode(errors="replace"))
        return result.stdout

    def save_picture(self, rgb, name):
        (self.work / name).write_bytes(b"P6 %d %d 255\n" % (SCREEN_W, SCREEN_H) + rgb)
        return self.work / name

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


def scenario_setup(session, checks):
    checks.expect((session.prefix / PREFIX_MARKER).exists(), f"Wine prefix "
                  f"{'created' if session.prefix_created else 'reused'} at {session.prefix}")
    checks.expect(session.user_dir.is_dir(), f"user profile at {session.user_dir}")


def scenario_fullscreen_picture(session, checks):
    # (sectors, read from the Windows directory, Sectors of a second file that must be ignored)
    for sectors, in_windows_dir, decoy in ((3, False, 7), (5, False, None), (7, True, None)):
        session.clear_settings()
        session.write_settings(settings_text(sectors, 69, 20000), in_windows_dir)
        if decoy is not None:
            session.write_settings(settings_text(decoy, 69, 20000), True)
        label = (f"sectors {sectors} from "
                 + (r"C:\windows" if in_windows_dir else r"%APPDATA%\Mirelune")
                 + (f" (Sectors={decoy} in C:\\windows ignored)" if decoy else ""))
        pid = session.start_saver("/s")
        try:
            window = session.wait_window(pid)
            checks.require(window is not None, f"{label}: the saver shows a window")
            checks.expect(window[1:] == (0, 0, SCREEN_W, SCREEN_H),
                          f"{label}: the window covers the screen (x, y, w, h = {window[1:]})")
            rgb = session.wait_settled(pid)
            shot = session.save_picture(rgb or session.grab(), f"sectors-{sectors}.ppm")
            if not checks.expect(rgb is not None, f"{label}: the first picture completes and "
                                 f"stays still during the 20 s delay (last screen in {shot})"):
                continue
            problems, summary = analyse_kaleidoscope(rgb, SCREEN_W, SCREEN_H, sectors)
            print(f"  info  {label}: {summary}; screen in {shot}")
            checks.expect(not problems, f"{label}: {sectors} x {sectors} mirrored tiles, black "
                          "strips, several colours" + "".join(" -- " + p for p in problems))
        finally:
            session.end_saver(pid)


def run_until_input(session, checks, args, action, label, run_for=0.5):
    """Starts the saver, lets it run, and expects the action to end it within 1000 ms."""
    pid = session.start_saver(*args)
    try:
        shown = session.wait_window(pid) is not None
        time.sleep(run_for)
        if checks.expect(shown and session.alive(pid),
                         f"{label}: the saver shows its window and runs {run_for} s"):
            checks.ended(session.ended_by(pid, *action), f"{label}: it ends")
    finally:
        session.end_saver(pid)


def scenario_fullscreen_exit(session, checks):
    session.clear_settings()
    for args, action, label in (([], ("key", "a"), "no arguments, key 'a'"),
                                (["/S"], ("key", "shift"), "/S, key Shift"),
                                (["/s"], ("click", "1"), "/s, left click")):
        run_until_input(session, checks, args, action, label)

    # The window's appearance under the resting pointer is the first mouse move; each xdotool
    # move adds one. Ten are absorbed, the eleventh ends the saver. First make sure this X server
    # and Wine give a new full-screen window exactly one move for its appearance.
    session.xdotool("mousemove", "512", "384")
    moves = session.probe("move-counter", "1500")[0].get("moves")
    if moves != 1:
        raise CannotRun(f"a full-screen window appearing under the pointer got {moves} mouse "
                        "moves here, not 1; the mouse-move check cannot count")
    pid = session.start_saver("/s")
    try:
        checks.require(session.wait_window(pid) is not None,
                       "mouse moves: the saver shows its window")
        time.sleep(0.5)
        for move in range(1, 10):
            session.xdotool("mousemove", str(100 + 70 * move), str(80 + 50 * move))
            time.sleep(0.15)
        time.sleep(0.5)
        if checks.expect(session.alive(pid),
                         "mouse moves: the appearance and 9 moves (10 events) leave it running"):
            checks.ended(session.ended_by(pid, "mousemove", "900", "700"),
                         "mouse moves: the 10th move (11th event) ends it")
    finally:
        session.end_saver(pid)


def cpu_percent(session, pid, seconds):
    """The process's processor use over the next seconds, in % of one core."""
    def ticks():  # utime + stime
        return sum(int(field) for field in session.stat(pid)[11:13])

    before, start = ticks(), time.monotonic()
    time.sleep(seconds)
    after, elapsed = ticks(), time.monotonic() - start
    return (after - before) / os.sysconf("SC_CLK_TCK") / elapsed * 100


def scenario_fullscreen_idle_cpu(session, checks):
    session.clear_settings()
    session.write_settings(settings_text(5, 69, 20000))
    pid = session.start_saver("/s")
    try:
        checks.require(session.wait_window(pid) is not None, "the saver shows its window")
        checks.require(session.wait_settled(pid) is not None,
                       "the first picture completes and the screen stays still")
        percent = cpu_percent(session, pid, 3)
        checks.require(session.alive(pid), "the saver keeps running during the measurement")
        session.figures.add("idle_cpu_percent", percent,
                            f"idle CPU during the delay: {percent:.2f} % of one core")
        checks.expect(percent < 2, f"idle CPU during the delay under 2 % ({percent:.2f} %)")
    finally:
        session.end_saver(pid)


def scenario_fullscreen_rest(session, checks):
    # Painting without pause (delay 0) keeps a core busy; a locked session or a monitor switched
    # off must stop it, and their return must start it again.
    session.clear_settings()
    session.write_settings(settings_text(3, 69, 0))
    pid = session.start_saver("/s")
    try:
        checks.require(session.wait_window(pid) is not None, "the saver shows its window")
        busy = cpu_percent(session, pid, 1.5)
        session.figures.add("painting_cpu_percent", busy,
                            f"CPU painting {busy:.1f} % of one core")
        checks.expect(busy > 10, f"the saver paints busily with no delay ({busy:.1f} %)")
        for command, away, back, what in (("session", "lock", "unlock", "session locked"),
                                          ("display", "off", "on", "display off")):
            session.probe(command, away)
            time.sleep(0.3)
            resting = cpu_percent(session, pid, 2)
            session.probe(command, back)
            time.sleep(0.3)
            again = cpu_percent(session, pid, 1.5)
            session.figures.add(f"{command}_{away}_cpu_percent", [resting, again],
                                f"CPU {what} {resting:.2f} %, then {again:.1f} % of one core")
            checks.expect(resting < 2, f"{what}: the painting stops ({resting:.2f} %)")
            checks.expect(again > 10, f"{what} and back: it paints again ({again:.1f} %)")
        checks.expect(session.alive(pid), "the saver keeps running throughout")
    finally:
        session.end_saver(pid)


def linux_view(pid):
    """The process's anonymous resident memory in KiB and its open files, as Linux sees them."""
    rss_anon = next(int(line.split()[1]) for line in
                    Path(f"/proc/{pid}/status").read_text().splitlines()
                    if line.startswith("RssAnon:"))
    return {"rss_anon": rss_anon, "files": len(os.listdir(f"/proc/{pid}/fd"))}


# What the soak watches, as (name, sample key, unit): memory may grow a little, counts not at all.
# GetGuiResources is not among them: under Wine it reports 0 objects for every process.
SOAK_RESOURCES = (("RssAnon", "rss_anon", "KiB"), ("working set", "working_set_kib", "KiB"),
                  ("windows", "windows", ""), ("files", "files", ""))


def soak_one(session, checks, sectors, pictures):
    """Runs the full-screen saver with no pause until it has painted the pictures, resizing its
    window every few; returns the resources sampled each time it is back at full size, and the
    run's pictures, resizes and seconds."""
    session.clear_settings()
    session.write_settings(settings_text(sectors, 69, 0))
    pid = session.start_saver("/s", pointer=(0, 0))
    samples, painted, step = [], 0, 0
    every = soak_rules.resize_interval(pictures)
    started = time.monotonic()
    try:
        checks.require(session.wait_window(pid) is not None, "the saver shows its window")
        while painted < pictures and time.monotonic() - started < 600:
            width, height = soak_rules.SIZES[step % len(soak_rules.SIZES)]
            fits = soak_rules.grid_fits(width, height, sectors)
            wanted = every + soak_rules.CHANGES_PER_RESIZE if fits else 0
            result, _ = session.probe("soak-step", str(wanted), str(width), str(height),
                                      "30000" if fits else "300", timeout=90)
            painted += soak_rules.pictures_seen(result["changes"])
            checks.require(result["alive"] and session.alive(pid),
                           f"{sectors} sectors: the saver runs on after {painted} pictures and "
                           f"a resize to {width} x {height}")
            if step % len(soak_rules.SIZES) == 0:
                samples.append({**result, **linux_view(pid), "pictures": painted,
                                "working_set_kib": result["working_set"] >> 10})
            step += 1
        run = {"sectors": sectors, "pictures": painted, "resizes": step,
               "seconds": round(time.monotonic() - started, 1)}
        print(f"  {sectors} sectors: at least {painted} pictures and {step} resizes in "
              f"{run['seconds']:.0f} s")
        checks.expect(painted >= pictures, f"{sectors} sectors: at least {pictures} pictures "
                      f"painted (counted {painted})")
    finally:
        session.end_saver(pid)
    return samples, run


def scenario_soak(session, checks):
    """Long painting under resizes must not creep: the saver's windows, files and memory after
    the first cycle of sizes stay where they were."""
    for sectors in (1, 5, 10):
        samples, run = soak_one(session, checks, sectors, session.soak_pictures)
        (session.work / f"soak-{sectors}.json").write_text(
            "\n".join(json.dumps(sample) for sample in samples))
        for sample in samples:
            print(f"  sample {sectors} sectors after {sample['pictures']} pictures: windows "
                  f"{sample['windows']}, files {sample['files']}, working set "
                  f"{sample['working_set_kib']} KiB, RssAnon {sample['rss_anon']} KiB")
        checks.require(len(samples) >= 3, f"{sectors} sectors: at least three full cycles of "
                       f"sizes ({len(samples)})")
        run.update(soak_rules.steady(samples, SOAK_RESOURCES))
        session.figures.add("soak", run, f"{sectors} sectors steady over "
                            f"{run['steady_cycles']} cycles: {soak_rules.steady_text(run)}")
        for passed, message in soak_rules.creep(samples, SOAK_RESOURCES):
            checks.expect(passed, f"{sectors} sectors after the first cycle: {message}")


def scenario_fullscreen_timing(session, checks):
    session.clear_settings()  # defaults: 5 sectors, so tile (0,0) is 204 x 152
    for round_ in (1, 2):
        result, _ = session.probe("first-row", session.win_scr, "0", "0", "204", "152")
        checks.require(result.get("black_before"), "the screen is black before the saver starts")
        ms = result.get("ms")
        if ms is not None:
            session.figures.add("first_row_ms", ms, f"launch to first painted row (round "
                                f"{round_}): {ms:.0f} ms (first colour #{result['colour']} at "
                                f"{result['x']},{result['y']})")
        checks.ended(ms, f"round {round_}: the first row shows", 3000)
        pids = session.saver_pids()
        checks.require(len(pids) == 1, f"round {round_}: one saver process runs ({pids})")
        time.sleep(0.3)
        ms = session.ended_by(pids[0], "key", "space")
        if ms is not None:
            session.figures.add("key_exit_ms", ms, f"key press to process end (round {round_}):"
                                f" {ms:.0f} ms")
        checks.ended(ms, f"round {round_}: a key ends the process")
        session.end_saver(pids[0])


def scenario_preview(session, checks):
    # The preview draws with 5 sectors, speed 8 and delay 1 whatever the settings file says.
    # What it paints cannot be seen here: Wine shows nothing of a child window whose parent
    # belongs to another process. Its window is what can be checked.
    session.clear_settings()
    session.write_settings(settings_text(3, 0, 20000))
    _, lines = session.probe("preview", session.win_scr, "152", "112")
    (session.work / "preview.json").write_text("\n".join(json.dumps(line) for line in lines))
    stages = {line.get("stage"): line for line in lines}
    child = stages.get("child", {})
    checks.require(child.get("found"), "a child window of the pane appears within 5 s")
    window = child["window"]
    checks.expect(child["pid_matches"], "the child belongs to the saver's process")
    checks.expect(child["ws_child"] and child["parent_is_pane"],
                  "the child has WS_CHILD and the pane as its parent")
    checks.expect(child["children"] == 1, f"the pane has one child ({child['children']})")
    checks.expect(window["visible"], "the child is visible")
    # The form covers the pane and then, being in the normal window state, trims itself to its
    # tile grid when the first picture starts: with 5 sectors 152 x 112 becomes 150 x 110 (the
    # file's 3 sectors would give 150 x 108).
    got = (window["rect"]["x"], window["rect"]["y"], window["client_w"], window["client_h"])
    checks.expect(got == (0, 0, 150, 110), "the child covers the 152 x 112 pane from its corner, "
                  f"trimmed to a 5-sector grid: x, y, w, h = (0, 0, 150, 110) (got {got})")
    checks.expect(stages.get("input", {}).get("alive"),
                  "keys, clicks and 20 mouse moves sent to the preview leave it running")
    checks.ended(stages.get("destroy", {}).get("ms"), "the saver ends after the pane's end")

    bad, _ = session.probe("preview-bad-handle", session.win_scr)
    checks.require(not bad.get("is_window", True), "999999 names no window here")
    checks.ended(bad.get("ms"), "'/p 999999' ends", 3000)
    checks.expect(not bad.get("windows"), f"'/p 999999' shows no window ({bad.get('windows')})")


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
                 "sldSpeed": (0, 69, 1, 10)}  # min, max, line, page
ALIGNMENT = {0: "left", 1: "centre", 2: "right"}
WS_TABSTOP, WS_THICKFRAME, WS_SYSMENU = 0x00010000, 0x00040000, 0x00080000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW = 0x00020000, 0x00010000, 0x00000080

DEFAULT_FILE = b"[Mirelune ScreenSaver]\r\nSectors= 5\r\nSpeed=69\r\nDelay=1000\r\n"
OTHER = b"[Other Section]\r\nKeep=this line\r\n\r\n[Mirelune ScreenSaver]\r\n"
OTHER_FILE = OTHER + b"Sectors= 7\r\nSpeed=20\r\nDelay=1050\r\n"
MOVED_FILE = OTHER + b"Sectors= 8\r\nSpeed=0\r\nDelay=1050\r\n"
MOVES = ("Right", "Tab", "Home")  # sectors up by one, focus to speed, speed to 0
# (what, file before, keys, sliders and labels then, how it closes, file after, exact bytes)
DIALOG_RUNS = [
    ("OK with defaults", None, (), None, "alt+k", DEFAULT_FILE, True),
    ("existing file, closed from the frame", OTHER_FILE, (),
     ((7, 20, 1050), ("7", "Sorta Slow", "1.1 sec. ")), "close", OTHER_FILE, True),
    ("Cancel after moves", OTHER_FILE, MOVES, None, "alt+c", OTHER_FILE, True),
    ("OK after moves", OTHER_FILE, MOVES, ((8, 0, 1050), ("8", "Slowest", "1.1 sec. ")),
     "alt+k", MOVED_FILE, False),
]


def name_controls(controls):
    """Maps the layout's names to the dialog's controls: captions and buttons by text, sliders
    and value labels by their order from top to bottom."""
    by_text = {"Sectors": "Label1", "Delay": "Label3", "Speed": "Label2", "&Cancel": "cmdCancel",
               "O&K": "cmdExit"}
    named = {by_text[c["text"]]: c for c in controls if c["text"] in by_text}
    top_down = sorted(controls, key=lambda c: c["rect"]["y"])
    named.update(zip(("lblSectors", "lblDelay", "lblSpeed"), [
        c for c in top_down if c["class"].lower() == "static" and c["text"] not in by_text]))
    named.update(zip(("sldSectors", "sldDelay", "sldSpeed"),
                     [c for c in top_down if c["class"].lower() == "msctls_trackbar32"]))
    return named


def inspect_dialog(session):
    result, _ = session.probe("inspect", DIALOG_TITLE)
    return result, (name_controls(result["controls"]) if result.get("found") else {})


def open_dialog(session, checks, what):
    for pid in session.saver_pids():  # a dialog left open by a failed step
        session.kill(pid)
    dialog, _ = session.probe("dialog", session.win_scr)
    checks.require(dialog.get("found"), f"{what}: '/c' shows the window '{DIALOG_TITLE}'")
    rect = dialog["rect"]  # keys go to the window under the pointer (no window manager)
    session.xdotool("mousemove", str(rect["x"] + rect["w"] // 2), str(rect["y"] + 8))
    return dialog, name_controls(dialog["controls"])


def press(session, *keys):
    if keys:
        session.xdotool("key", "--delay", "40", *keys)
        time.sleep(0.15)


def wait_dialog_exit(session, checks, dialog, what):
    result, _ = session.probe("wait-exit", str(dialog["pid"]), "3000")
    checks.ended(result.get("ms"), f"{what}: the dialog's process ends", 3000)


def check_values(checks, named, what, positions, labels):
    got = (tuple(named.get(n, {}).get("pos") for n in ("sldSectors", "sldSpeed", "sldDelay")),
           tuple(named.get(n, {}).get("text") for n in ("lblSectors", "lblSpeed", "lblDelay")))
    checks.expect(got == (positions, labels), f"{what}: sliders at sectors, speed, delay = "
                  f"{positions}, labels {labels} (got {got[0]}, {got[1]})")


def check_dialog_layout(checks, dialog, named):
    dpi = dialog["dpi"]

    def px(*twips):
        return tuple(round(t * dpi / 1440) for t in twips)

    def near(got, want):
        return all(abs(a - b) <= 1 for a, b in zip(got, want))

    want, got = px(4680, 3270), (dialog["client_w"], dialog["client_h"])
    checks.expect(near(got, want), f"at {dpi} DPI the client area of 4680 x 3270 twips is {want}"
                  f" px (got {got})")
    style, exstyle = dialog["style"], dialog["exstyle"]
    frame = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX
    checks.expect(style & frame == frame and not exstyle & WS_EX_TOOLWINDOW,
                  "a sizable window with system menu, minimise and maximise buttons, shown in the "
                  f"task bar (style {style:#x}, exstyle {exstyle:#x})")
    classes = sorted(c["class"].lower() for c in dialog["controls"])
    checks.expect(len(classes) == 11 and len(named) == 11,
                  f"11 controls: 6 labels, 3 sliders, 2 buttons (got {classes})")
    for name, kind, text, left, top, width, height, align in DIALOG_LAYOUT:
        control = named.get(name)
        if not checks.expect(control is not None, f"{name}: present"):
            continue
        r, style = control["rect"], control["style"]
        want, got = px(left, top, width, height), (r["x"], r["y"], r["w"], r["h"])
        ok = (control["class"].lower() == kind and near(got, want)
              and text in (None, control["text"]) and align in (None, ALIGNMENT.get(style & 0x1F))
              and bool(style & WS_TABSTOP) == (kind != "static"))
        checks.expect(ok, f"{name}: {kind}" + (f" '{text}'" if text else "")
                      + (f", {align}-aligned" if align else "") + f" at {want} px"
                      + (", no tab stop" if kind == "static" else ", tab stop")
                      + f" (got {control['class']} '{control['text']}' at {got}, style {style:#x})")
        if kind == "msctls_trackbar32":
            got = tuple(control[k] for k in ("min", "max", "line", "page"))
            checks.expect(got == SLIDER_RANGES[name] and not style & 0x2, f"{name}: horizontal, "
                          f"min, max, line, page = {SLIDER_RANGES[name]} (got {got})")
        if kind == "button":
            checks.expect(style & 0xF == 0, f"{name}: a plain push button, not the default "
                          f"button (style {style:#x})")


def ini_sections(text):
    """The file's sections with their sorted non-blank lines."""
    sections, current = {}, None
    for line in text.decode(errors="replace").split("\r\n"):
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], [])
        elif line and current is not None:
            current.append(line)
    return {name: sorted(lines) for name, lines in sections.items()}


def scenario_dialog(session, checks):
    # No settings file: layout, defaults, Tab order, Esc, a slider moved, Alt+C.
    session.clear_settings()
    dialog, named = open_dialog(session, checks, "no settings file")
    try:
        check_dialog_layout(checks, dialog, named)
        check_values(checks, named, "no settings file", (5, 69, 1000),
                     ("5", "Fastest", "1.0 sec. "))
        names = {c["hwnd"]: n for n, c in named.items()}
        visited = [names.get(dialog["focus"], hex(dialog["focus"]))]
        for _ in range(5):
            press(session, "Tab")
            focus = inspect_dialog(session)[0].get("focus", 0)
            visited.append(names.get(focus, hex(focus)))
        order = ["sldSectors", "sldSpeed", "cmdExit", "cmdCancel", "sldDelay", "sldSectors"]
        checks.expect(visited == order, f"the focus starts on sldSectors and Tab visits "
                      f"{' -> '.join(order[1:])} (got {' -> '.join(visited)})")

        press(session, "Escape")
        checks.expect(inspect_dialog(session)[0].get("found") and not session.settings_files(),
                      "Esc leaves the dialog open and writes no settings file")
        press(session, "Right")  # the focus is back on sldSectors
        moved = inspect_dialog(session)[1]
        got = (moved.get("sldSectors", {}).get("pos"), moved.get("lblSectors", {}).get("text"))
        checks.expect(got == (6, "6"), f"Right arrow on sldSectors: position 6, label '6' "
                      f"(got {got})")
        press(session, "alt+c")
        wait_dialog_exit(session, checks, dialog, "Alt+C")
        checks.expect(not session.settings_files() and not session.settings_dir.exists(),
                      "Alt+C creates neither the settings file nor its folder")
    finally:
        session.probe("close", DIALOG_TITLE)

    for what, before, keys, shown, closing, after, exact in DIALOG_RUNS:
        session.clear_settings()
        if before is not None:
            session.write_settings(before)
        dialog, _ = open_dialog(session, checks, what)
        press(session, *keys)
        if shown is not None:
            check_values(checks, inspect_dialog(session)[1], what, *shown)
        if closing == "close":
            session.probe("close", DIALOG_TITLE)
        else:
            press(session, closing)
        wait_dialog_exit(session, checks, dialog, what)
        files = session.settings_files()
        written = files[0].read_bytes() if len(files) == 1 else None
        if exact:
            ok = written == after
        else:  # the order of the keys and blank lines may change; the CRLF line ends may not
            ok = (written is not None and ini_sections(written) == ini_sections(after)
                  and b"\n" not in written.replace(b"\r\n", b""))
        checks.expect(ok, f"{what}: %APPDATA%\\Mirelune holds {'exactly ' if exact else ''}"
                      f"{after!r} (got {written!r} in {[str(f) for f in files]})")


SPEED_NAMES = ["Slowest", "Slower", "Sorta Slow", "Medium", "Sorta Fast", "Faster", "Fastest"]


def scenario_hostile_settings(session, checks):
    """Settings that cannot be saved: the dialog says so and stays open with the user's values,
    and nothing on disk is lost. As root, Wine ignores permissions, so the folder is made
    unwritable with the immutable flag where the file system has one, and blocked by a file of
    its name; the file is blocked by a directory of its name."""
    folder, ini = session.settings_dir, session.settings_dir / "mirelune.ini"
    fallback_ini = session.windows_dir / "mirelune.ini"
    blocker, fallback, saved = b"not a folder; keep me\r\n", settings_text(3, 40, 5000), \
        settings_text(7, 20, 3000)

    def unwritable_folder():
        session.write_settings(saved)
        if subprocess.run(["chattr", "+i", str(folder)], **QUIET).returncode != 0:
            return None
        return lambda: ini.read_bytes() == saved and os.listdir(folder) == [ini.name]

    def file_for_folder():
        session.write_settings(fallback, in_windows_dir=True)  # read, never written
        folder.parent.mkdir(parents=True, exist_ok=True)
        folder.write_bytes(blocker)
        return lambda: folder.read_bytes() == blocker and fallback_ini.read_bytes() == fallback

    def directory_for_file():
        (ini / "inside.txt").parent.mkdir(parents=True)
        (ini / "inside.txt").write_bytes(b"keep me")
        return lambda: (ini / "inside.txt").read_bytes() == b"keep me"

    for what, setup, pressed, shown in (
            ("an unwritable settings folder", unwritable_folder, "Right", (8, 20, 3000)),
            ("a file where the settings folder belongs", file_for_folder, "Right", (4, 40, 5000)),
            ("a directory where the settings file belongs", directory_for_file, "Left",
             (4, 69, 1000))):
        session.clear_settings()
        try:
            kept = setup()
            if kept is None:
                print(f"  note: {what} cannot be made here (no immutable flag); left out")
                continue
            dialog, _ = open_dialog(session, checks, what)
            try:
                press(session, pressed, "alt+k")
                box, _ = session.probe("press-box", "3000")
                texts = box.get("box", {}).get("texts", [])
                checks.expect(box.get("found") and any(
                    t.startswith("The settings could not be saved to the file") for t in texts),
                    f"{what}: OK shows a message box saying the settings could not be saved "
                    f"(got {texts})")
                time.sleep(0.3)
                still, named = inspect_dialog(session)
                checks.expect(still.get("found") and still.get("pid") == dialog["pid"],
                              f"{what}: after the message the dialog stays open")
                check_values(checks, named, f"{what}, after the failed save", shown,
                             (str(shown[0]), SPEED_NAMES[shown[1] // 10],
                              f"{shown[2] / 1000:.1f} sec. "))
                press(session, "alt+c")
                wait_dialog_exit(session, checks, dialog, f"{what}: Alt+C")
            finally:
                session.probe("close", DIALOG_TITLE)
            checks.expect(kept(), f"{what}: what was on disk is unchanged")
            if setup is directory_for_file:
                run_until_input(session, checks, ["/s"], ("key", "space"), what, 2)
        finally:
            subprocess.run(["chattr", "-i", str(folder)], **QUIET)
    session.clear_settings()


def scenario_bad_input(session, checks):
    session.clear_settings()
    for argument in ("/x", "-s", "s", "/", "/p", "/p abc"):
        result, _ = session.probe("run", "5000", session.win_scr, argument)
        ms, box = result.get("ms"), result.get("box", {})
        windows = [f"{w['class']} '{w['text']}' {w['rect']['w']}x{w['rect']['h']}"
                   for w in result.get("windows", [])]
        if argument.startswith("/p"):
            checks.expect(box.get("texts") == ["preview error"] and len(box["buttons"]) == 1,
                          f"{argument!r} shows a message box with the text 'preview error' and "
                          f"one button (got {box or 'no box'})")
            checks.expect("ms_after_box" in result, f"{argument!r} ends after OK")
        else:
            checks.expect(ms is not None and ms <= 2000 and not windows,
                          f"{argument!r} ends quietly within 2000 ms ("
                          + (f"{ms:.0f} ms" if ms is not None else "still running")
                          + "".join(f", showed {w}" for w in windows) + ")")

    junk = random.Random(7)
    for name, content in [
            ("Sectors=0", settings_text(0, 69, 1000)),
            ("Sectors=999", settings_text(999, 69, 1000)),
            ("Speed=-5", settings_text(5, -5, 1000)),
            ("Delay=-1", settings_text(5, 69, -1)),
            ("Delay=99999999999", settings_text(5, 69, 99999999999)),
            ("junk lines", b"garbage\r\n=\r\n[Mirelune ScreenSaver\r\nSectors\r\n[Mirelune "
                           b"ScreenSaver]\r\nSectors=abc\r\nSpeed=\r\nDelay=1e9\r\n==\r\n"
                           b"\x00\xff\r\nSectors=3junk\r\n[]\r\nSpeed"),
            ("1 MB of random bytes", bytes(junk.randrange(256) for _ in range(1 << 20)))]:
        session.clear_settings()
        session.write_settings(content)
        run_until_input(session, checks, ["/s"], ("key", "space"), f"settings {name}", 2)


# Two monitors of different sizes in X root coordinates, the first one primary: the other to
# its right, then the primary on the right, which puts the other at negative coordinates.
MONITOR_LAYOUTS = (("the other monitor to the right", ((0, 0, 1024, 768), (1024, 0, 800, 600))),
                   ("the primary on the right", ((800, 0, 1024, 768), (0, 0, 800, 600))))


def start_desk(session, monitors):
    """A Xephyr on the session's Xvfb whose screens, joined by Xinerama, are these monitors;
    returns the process and its display name."""
    if shutil.which("Xephyr") is None:
        raise CannotRun("Xephyr is not installed (scripts/install-deps windows)")
    layout = []
    for x, y, width, height in monitors:
        layout += ["-origin", f"{x},{y}", "-screen", f"{width}x{height}"]
    xephyr, number = start_x_server(["Xephyr", "+xinerama", *layout, "-no-host-grab"],
                                    session.work / "xephyr.log", env=session.env)
    return xephyr, f":{number}"


def grab_desk(session):
    """The whole root of a desk: (width, height, RGB bytes)."""
    data = session.run("import", "-window", "root", "-depth", "8", "ppm:-",
                       stdout=subprocess.PIPE).stdout
    fields = data.split(maxsplit=4)
    return int(fields[1]), int(fields[2]), fields[4]


def crop(image, x, y, width, height):
    stride, _, rgb = image
    return b"".join(rgb[3 * ((y + row) * stride + x):3 * ((y + row) * stride + x + width)]
                    for row in range(height))


def saver_windows(session, pid, count, seconds=10):
    """The geometries (x, y, width, height) of the process's visible windows, once there are
    `count` of them."""
    deadline, found = time.monotonic() + seconds, []
    while time.monotonic() < deadline and session.alive(pid):
        found = []
        for window in session.xdotool("search", "--onlyvisible", "--pid", str(pid),
                                      check=False).split():
            geometry = dict(line.split("=", 1) for line in session.xdotool(
                "getwindowgeometry", "--shell", window, check=False).split() if "=" in line)
            if geometry:
                found.append(tuple(int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")))
        if len(found) >= count:
            break
        time.sleep(0.1)
    return sorted(found)


def scenario_monitors(session, checks):
    """Each monitor of a two-monitor desk (Wine reading Xinerama's heads) shows a whole grid of
    its own in a window of its own, and ten mouse moves across both windows are absorbed as
    one allowance, the eleventh ending the saver."""
    session.clear_settings()
    session.write_settings(settings_text(3, 69, 20000))
    host_env = session.env
    try:
        for what, monitors in MONITOR_LAYOUTS:
            xephyr, display = start_desk(session, monitors)
            # Without RandR, Wine lists the monitors Xinerama reports; its desktop process
            # reads them when it starts, so the Wine server starts again on the new desk.
            session.run("wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                        "UseXRandR", "/t", "REG_SZ", "/d", "N", "/f", timeout=300)
            session.run("wineserver", "-k")
            session.run("wineserver", "-w")
            session.env = dict(host_env, DISPLAY=display)
            pid = session.start_saver("/s", pointer=(monitors[0][0] + 500, 400))
            try:
                windows = saver_windows(session, pid, len(monitors))
                checks.require(windows == sorted(monitors), f"{what}: one window on each "
                               f"monitor (monitors {sorted(monitors)}, windows {windows})")
                time.sleep(1.5)
                screen, previous = grab_desk(session), None
                deadline = time.monotonic() + 12
                while screen != previous and time.monotonic() < deadline:
                    time.sleep(0.4)
                    previous, screen = screen, grab_desk(session)
                shot = session.work / (what.replace(" ", "-") + ".ppm")
                shot.write_bytes(b"P6 %d %d 255\n" % screen[:2] + screen[2])
                for number, (x, y, width, height) in enumerate(monitors):
                    problems, summary = analyse_kaleidoscope(crop(screen, x, y, width, height),
                                                             width, height, 3)
                    checks.expect(not problems, f"{what}: monitor {number} ({width} x {height}) "
                                  f"shows a whole grid of its own ({summary}; screen in {shot})"
                                  + "".join(" -- " + p for p in problems))
                # The windows' appearance under the pointer was the first move.
                for move in range(1, 10):
                    x, y, _, _ = monitors[move % 2]
                    session.xdotool("mousemove", str(x + 60 + 30 * move), str(y + 80))
                    time.sleep(0.15)
                time.sleep(0.5)
                if checks.expect(session.alive(pid), f"{what}: the appearance and 9 moves "
                                 "across both monitors leave it running"):
                    x, y, _, _ = monitors[0]
                    checks.ended(session.ended_by(pid, "mousemove", str(x + 700), str(y + 500)),
                                 f"{what}: the 10th move ends it")
            finally:
                session.end_saver(pid)
                session.run("wineserver", "-k")
                session.run("wineserver", "-w")
                session.env = host_env
                xephyr.terminate()
                xephyr.wait()
    finally:
        session.env = host_env
        session.run("wine", "reg", "delete", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                    "UseXRandR", "/f", timeout=300)


SCENARIOS = {name[9:].replace("_", "-"): function for name, function in globals().items()
             if name.startswith("scenario_")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scr", help="Mirelune.scr from the Windows build")
    parser.add_argument("--probe", help="mirelune-probe.exe from the Windows build")
    parser.add_argument("--work", required=True, help="directory for screenshots and logs")
    parser.add_argument("--prefix", help="the private Wine prefix (default WORK/wine-prefix)")
    parser.add_argument("--soak-pictures", type=int, default=40,
                        help="pictures the soak paints for each sector count (default 40)")
    parser.add_argument("--figures", help="write what the scenarios measured to this JSON file")
    parser.add_argument("scenarios", nargs="+", metavar="SCENARIO",
                        help="all, or any of: " + ", ".join(SCENARIOS))
    args = parser.parse_args()
    sys.stdout.reconfigure(line_buffering=True)
    # A timeout of the test runner ends the run through the normal clean-up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    names = list(SCENARIOS) if args.scenarios == ["all"] else args.scenarios
    unknown = [name for name in names if name not in SCENARIOS]
    if unknown:
        parser.error(f"unknown scenario {', '.join(unknown)}")
    failed = []
    session = Session(args.work, args.prefix, args.scr, args.probe, args.soak_pictures)
    try:
        missing = [f"{name} {path}" for name, path in (("saver", session.scr),
                                                        ("probe", session.probe_exe))
                   if path is None or not path.is_file()]
        if missing and names != ["setup"]:
            raise CannotRun(f"missing {' and '.join(missing)}; build the Windows saver and the "
                            "probe first: cmake --preset windows && cmake --build --preset windows")
        with session:
            for name in names:
                print(f"== {name}")
                checks, started = Checks(), time.monotonic()
                try:
                    SCENARIOS[name](session, checks)
                except ScenarioFailed as error:
                    if str(error) not in checks.failures:
                        checks.expect(False, str(error))
                seconds = time.monotonic() - started
                if checks.failures:
                    failed.append(name)
                print(f"== {name}: " + (f"FAILED ({len(checks.failures)} checks, {seconds:.1f} s)"
                                        if checks.failures else f"passed ({seconds:.1f} s)"))
    except CannotRun as error:
        print(f"wine_tests.py: cannot run: {error}", file=sys.stderr)
        return 2
    finally:
        if args.figures:  # also what a failed run measured before it failed
            session.figures.write(args.figures)
    if failed:
        print(f"wine_tests.py: failed: {', '.join(failed)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
