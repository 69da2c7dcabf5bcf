#!/usr/bin/env python3
"""End-to-end tests of the X11 program mirelune on a private Xvfb, one scenario per run.

Each run starts its own Xvfb (1024x768x24) on a free display, with HOME and XDG_CONFIG_HOME
inside the work directory so that no user settings leak in. Pictures are captured with
ImageMagick's `import` and checked here: every tile of the grid identical, each tile mirrored
about both centre lines, the strips beside the grid black. Embedding uses windows made by the
x11-test-window helper; input comes from xdotool.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import soak_rules  # noqa: E402  (shared with the Wine tests, one folder up)
from figures import Figures  # noqa: E402

SCREEN_W, SCREEN_H = 1024, 768
# With the longest delay and no wait between rows, a picture is finished well within this and
# then stays still for twenty seconds.
SETTLE_S = 1.5


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    def __init__(self, args):
        self.args = args
        self.work = Path(args.work)
        shutil.rmtree(self.work, ignore_errors=True)
        (self.work / "config" / "mirelune").mkdir(parents=True)
        self.processes = []
        self.xvfb = None
        self.xephyr = None
        self.env = None
        self.figures = Figures("")

    # --- the display -------------------------------------------------------------------

    def start_display(self):
        for tool in ("Xvfb", "xdotool", "import"):
            check(shutil.which(tool), f"{tool} is not installed (scripts/install-deps x11)")
        read_end, write_end = os.pipe()
        log = open(self.work / "xvfb.log", "w")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=log, stderr=log)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        check(number, "Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=f":{number.decode()}", HOME=str(self.work),
                        XDG_CONFIG_HOME=str(self.work / "config"))
        self.env.pop("XSCREENSAVER_WINDOW", None)

    def start_monitors(self, screens):
        """A Xephyr on the Xvfb whose screens, joined by Xinerama, are these monitors, given
        as (x, y, width, height), the first one primary; returns its environment."""
        check(shutil.which("Xephyr"), "Xephyr is not installed (scripts/install-deps x11)")
        layout = []
        for x, y, width, height in screens:
            layout += ["-origin", f"{x},{y}", "-screen", f"{width}x{height}"]
        if self.xephyr:  # one desk at a time
            self.xephyr.terminate()
            self.xephyr.wait()
        read_end, write_end = os.pipe()
        log = open(self.work / "xephyr.log", "a")
        self.xephyr = subprocess.Popen(
            ["Xephyr", "-displayfd", str(write_end), "+xinerama", *layout, "-br", "-noreset",
             "-no-host-grab",
             "-nolisten", "tcp"], env=self.env, pass_fds=(write_end,), stdout=log, stderr=log)
        self.processes.append(self.xephyr)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        check(number, "Xephyr did not start")
        return dict(self.env, DISPLAY=f":{number.decode()}")

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def run(self, *command, check_status=True, env=None):
        result = subprocess.run(command, env=env or self.env, capture_output=True, timeout=20)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.decode().strip()}")
        return result

    # --- programs ------------------------------------------------------------------------

    def start(self, *options, env=None):
        process = subprocess.Popen([self.args.program, *options], env=env or self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.processes.append(process)
        return process

    def stop(self, process, what):
        """SIGTERM must end the program quickly and with status 0."""
        if process.poll() is not None:
            raise Failure(f"{what}: ended by itself with status {process.returncode}: "
                          + process.stderr.read().decode().strip())
        process.send_signal(signal.SIGTERM)
        status = wait_for(process, 1.0)
        check(status == 0, f"{what}: SIGTERM gave status {status}")

    def test_window(self, width, height):
        helper = subprocess.Popen([self.args.window_helper, str(width), str(height)],
                                  env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True)
        self.processes.append(helper)
        line = helper.stdout.readline().strip()
        check(line.startswith("0x"), f"x11-test-window printed {line!r}")
        return helper, int(line, 16)

    @staticmethod
    def tell(helper, command):
        helper.stdin.write(command + "\n")
        helper.stdin.flush()
        check(helper.stdout.readline().strip() == "ok", f"x11-test-window: {command} failed")

    def capture(self, window="root", env=None):
        """The window's pixels: (width, height, RGB bytes)."""
        data = self.run("import", "-window", str(window), "-depth", "8", "ppm:-", env=env).stdout
        fields = data.split(maxsplit=4)
        check(fields[0] == b"P6" and fields[3] == b"255", "import gave no 8-bit PPM")
        return int(fields[1]), int(fields[2]), fields[4]

    @staticmethod
    def watch_row(helper, changes, ms):
        """How often the helper window's middle row changed, up to changes, within ms."""
        helper.stdin.write(f"watch-row {changes} {ms}\n")
        helper.stdin.flush()
        answer = helper.stdout.readline().split()
        check(len(answer) == 2 and answer[0] == "ok", f"x11-test-window: watch-row gave {answer}")
        return int(answer[1])

    def mouse_to(self, x, y, env=None):
        self.run("xdotool", "mousemove", str(x), str(y), env=env)

    def settled(self, env=None):
        """The screen once the first picture is finished: two captures half a second apart
        agree (a loaded machine may take longer than usual)."""
        first = self.capture(env=env)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            time.sleep(0.5)
            latest = self.capture(env=env)
            if latest == first:
                break
            first = latest
        return first


def wait_for(process, seconds):
    try:
        return process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        return None


# --- picture checks ----------------------------------------------------------------------


def check_kaleidoscope(image, sectors, what):
    """All tiles equal and mirrored both ways, black outside the grid, not one flat colour."""
    width, height, pixels = image
    d2 = 2 * sectors
    fwidth, fheight = width // d2, height // d2
    tile_w, tile_h = 2 * fwidth, 2 * fheight
    grid_w, grid_h = fwidth * d2, fheight * d2
    check(fwidth > 0 and fheight > 0, f"{what}: {width}x{height} is too small for a grid")

    def row(y, x0=0, x1=width):
        return pixels[3 * (y * width + x0):3 * (y * width + x1)]

    def mirrored(data):
        return b"".join(data[i:i + 3] for i in range(len(data) - 3, -1, -3))

    tile = [row(y, 0, tile_w) for y in range(tile_h)]
    flat = b"".join(tile)
    check(len({flat[i:i + 3] for i in range(0, len(flat), 3)}) > 2,
          f"{what}: the tile is not a picture (two colours or fewer)")
    for y in range(tile_h):
        check(tile[y] == mirrored(tile[y]), f"{what}: tile row {y} is not mirrored left to right")
        check(tile[y] == tile[tile_h - 1 - y], f"{what}: tile rows {y} and {tile_h - 1 - y} differ")
    for ty in range(sectors):
        for tx in range(sectors):
            for y in range(tile_h):
                got = row(ty * tile_h + y, tx * tile_w, (tx + 1) * tile_w)
                check(got == tile[y], f"{what}: tile ({tx}, {ty}) differs from tile (0, 0) "
                      f"in row {y} ({sectors} sectors expected)")
    black_right = bytes(3 * (width - grid_w))
    for y in range(grid_h):
        check(row(y, grid_w) == black_right, f"{what}: the strip right of the grid is not black")
    for y in range(grid_h, height):
        check(row(y) == bytes(3 * width), f"{what}: the strip below the grid is not black")


# --- scenarios -----------------------------------------------------------------------------


def scenario_fullscreen_picture(session):
    # Sectors come from the settings file, found whatever its name's letter case.
    (session.work / "config" / "mirelune" / "Mirelune.ini").write_text(
        "[Mirelune ScreenSaver]\nSectors= 4\nSpeed=1\n")
    program = session.start("--delay", "20000", "--speed", "69")
    time.sleep(SETTLE_S)
    # Once finished, the first picture must stay still for the whole delay.
    first = session.settled()
    width, height, pixels = first
    # Kept beside the test's other files, so that a failed check can be looked at.
    (session.work / "fullscreen.ppm").write_bytes(b"P6 %d %d 255\n" % (width, height) + pixels)
    check(first[:2] == (SCREEN_W, SCREEN_H), f"screen is {first[:2]}")
    check_kaleidoscope(first, 4, "full screen")
    time.sleep(0.5)
    check(session.capture() == first, "the finished picture changed during the delay")
    session.stop(program, "full screen")


def scenario_fullscreen_exit(session):
    for what, action in (("key", ["key", "a"]), ("click", ["click", "1"])):
        program = session.start("--delay", "20000")
        time.sleep(1.0)
        check(program.poll() is None, f"{what}: the saver ended before any input")
        session.run("xdotool", *action)
        check(wait_for(program, 1.0) == 0, f"{what}: the saver did not end with status 0")

    session.mouse_to(500, 400)
    program = session.start("--delay", "20000")
    time.sleep(1.0)
    for move in range(1, 11):
        session.mouse_to(500 + 7 * move, 400 + 3 * move)
        time.sleep(0.05)
    time.sleep(0.5)
    check(program.poll() is None, "the tenth mouse move ended the saver")
    session.mouse_to(100, 100)
    check(wait_for(program, 1.0) == 0, "the eleventh mouse move did not end the saver")


def cpu_percent(process, seconds):
    """The process's processor use over the next seconds, in % of one core."""
    def ticks():  # utime + stime
        fields = Path(f"/proc/{process.pid}/stat").read_text().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    before, start = ticks(), time.monotonic()
    time.sleep(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - start) * 100


def scenario_idle_cpu(session):
    program = session.start("--delay", "20000", "--speed", "69")
    time.sleep(SETTLE_S)
    used = cpu_percent(program, 3.0)
    session.figures.add("idle_cpu_percent", used,
                        f"idle CPU during the delay: {used:.2f} % of one core")
    check(used < 2.0, f"idle CPU {used:.2f} % is not under 2 %")
    session.stop(program, "idle")


def crop(image, x, y, width, height):
    full_width, _, pixels = image
    rows = (pixels[3 * ((y + row) * full_width + x):3 * ((y + row) * full_width + x + width)]
            for row in range(height))
    return width, height, b"".join(rows)


# Two monitors of different sizes, the first one primary: the other to its right, then the
# primary on the right of the other.
MONITOR_LAYOUTS = (("the other monitor to the right", ((0, 0, 1024, 768), (1024, 0, 800, 600))),
                   ("the primary on the right", ((800, 0, 1024, 768), (0, 0, 800, 600))))


def scenario_monitors(session):
    """Each monitor of a Xinerama desk shows a whole grid of its own, moves on either monitor
    count towards one allowance, and the processor use with two monitors is set beside that
    with one. (The root's area on no monitor has no pixels of its own to capture here.)"""
    for what, monitors in MONITOR_LAYOUTS:
        env = session.start_monitors(monitors)
        session.mouse_to(monitors[0][0] + 500, 400, env=env)
        program = session.start("--delay", "20000", "--speed", "69", "--sectors", "3", env=env)
        time.sleep(SETTLE_S)
        screen = session.settled(env=env)
        name = what.replace(" ", "-") + ".ppm"
        (session.work / name).write_bytes(b"P6 %d %d 255\n" % screen[:2] + screen[2])
        for number, (x, y, width, height) in enumerate(monitors):
            check_kaleidoscope(crop(screen, x, y, width, height), 3, f"{what}: monitor {number}")
        for move in range(10):
            x, y, width, height = monitors[move % 2]
            session.mouse_to(x + 100 + 20 * move, y + 100, env=env)
            time.sleep(0.05)
        time.sleep(0.3)
        check(program.poll() is None, f"{what}: ten moves across the monitors ended the saver")
        session.mouse_to(monitors[1][0] + 50, 50, env=env)
        check(wait_for(program, 1.0) == 0, f"{what}: the eleventh move did not end the saver")

    # Painting without pause at speed 40 (a 17 ms wait after each row), one tile each, so that
    # a row is as long as can be: the processor use grows with the monitors' pixels.
    for count in (1, 2):
        env = session.start_monitors(MONITOR_LAYOUTS[0][1][:count])
        program = session.start("--delay", "0", "--speed", "40", "--sectors", "1", env=env)
        time.sleep(1.0)
        used = cpu_percent(program, 6.0)
        session.figures.add(f"painting_cpu_percent_{count}_monitors", used,
                            f"painting at speed 40 on {count} monitor(s): {used:.1f} % of one core")
        session.stop(program, f"{count} monitor(s)")


def scenario_window_id(session):
    helper, window = session.test_window(400, 300)
    program = session.start("--window-id", str(window), "--sectors", "3", "--delay", "20000",
                            "--speed", "69")
    time.sleep(SETTLE_S)
    image = session.capture(window)
    check(image[:2] == (400, 300), f"window is {image[:2]}")
    check_kaleidoscope(image, 3, "400x300 window")

    session.tell(helper, "resize 1 1")
    time.sleep(0.3)
    check(program.poll() is None, "a 1x1 window ended the program")
    session.tell(helper, "resize 600 450")
    time.sleep(SETTLE_S)
    image = session.capture(window)
    check(image[:2] == (600, 450), f"window is {image[:2]} after the resize")
    check_kaleidoscope(image, 3, "600x450 window after the resize")

    session.tell(helper, "destroy")
    status = wait_for(program, 1.0)
    check(status == 0, f"the program did not end with 0 within 1 s of its window's "
          f"destruction (status {status})")
    check(program.stderr.read() == b"", "the program complained about its window's end")


def memory_view(pid):
    """Anonymous and shared resident memory in KiB, open files and attached shared-memory
    segments of a process, as Linux sees them."""
    status = dict(line.split(":", 1) for line in
                  Path(f"/proc/{pid}/status").read_text().splitlines() if ":" in line)
    maps = Path(f"/proc/{pid}/maps").read_text()
    return {"rss_anon": int(status["RssAnon"].split()[0]),
            "rss_shmem": int(status["RssShmem"].split()[0]),
            "files": len(os.listdir(f"/proc/{pid}/fd")),
            "segments": maps.count("SYSV")}


# What the soak watches, as (name, sample key, unit): memory may grow a little, counts not at all.
SOAK_RESOURCES = (("RssAnon", "rss_anon", "KiB"), ("RssShmem", "rss_shmem", "KiB"),
                  ("files", "files", ""), ("segments", "segments", ""))


def scenario_soak(session):
    """Pictures without pause in a window resized every few pictures: the program's memory,
    files and shared-memory segments after the first cycle of sizes stay where they were."""
    for sectors in (1, 5, 10):
        helper, window = session.test_window(SCREEN_W, SCREEN_H)
        program = session.start("--window-id", str(window), "--sectors", str(sectors),
                                "--speed", "69", "--delay", "0")
        every = soak_rules.resize_interval(session.args.soak_pictures)
        painted, step, samples, started = 0, 0, [], time.monotonic()
        while painted < session.args.soak_pictures and time.monotonic() - started < 600:
            width, height = soak_rules.SIZES[step % len(soak_rules.SIZES)]
            session.tell(helper, f"resize {width} {height}")
            if soak_rules.grid_fits(width, height, sectors):
                changes = session.watch_row(helper, every + soak_rules.CHANGES_PER_RESIZE, 30000)
                painted += soak_rules.pictures_seen(changes)
            else:
                time.sleep(0.3)
            check(program.poll() is None, f"{sectors} sectors: the program ended after "
                  f"{painted} pictures and a resize to {width} x {height}")
            if step % len(soak_rules.SIZES) == 0:
                samples.append({**memory_view(program.pid), "pictures": painted})
            step += 1
        run = {"sectors": sectors, "pictures": painted, "resizes": step,
               "seconds": round(time.monotonic() - started, 1)}
        print(f"{sectors} sectors: at least {painted} pictures and {step} resizes in "
              f"{run['seconds']:.0f} s")
        for sample in samples:
            print(f"sample {sectors} sectors: {sample}")
        check(painted >= session.args.soak_pictures,
              f"{sectors} sectors: only {painted} pictures counted")
        check(len(samples) >= 3, f"{sectors} sectors: fewer than three cycles of sizes")
        run.update(soak_rules.steady(samples, SOAK_RESOURCES))
        session.figures.add("soak", run, f"{sectors} sectors steady over "
                            f"{run['steady_cycles']} cycles: {soak_rules.steady_text(run)}")
        for passed, message in soak_rules.creep(samples, SOAK_RESOURCES):
            check(passed, f"{sectors} sectors after the first cycle: {message}")
        session.tell(helper, "destroy")
        check(wait_for(program, 1.0) == 0, f"{sectors} sectors: no clean end with the window")


def scenario_xml_arguments(session):
    root = ElementTree.parse(session.args.xml).getroot()
    check(root.tag == "screensaver" and root.get("name") == "mirelune", "not mirelune's XML")
    fixed = [arg for command in root.iter("command") for arg in command.get("arg").split()]
    sliders = {n.get("id"): n for n in root.iter("number")}
    ranges = {id: (int(n.get("low")), int(n.get("high")), int(n.get("default")))
              for id, n in sliders.items()}
    check(ranges == {"sectors": (1, 10, 5), "speed": (0, 69, 69), "delay": (0, 20000, 1000)},
          f"slider ranges {ranges}")

    _, window = session.test_window(320, 240)
    env = dict(session.env, XSCREENSAVER_WINDOW=hex(window))
    runs = []
    for id, slider in sliders.items():
        for value in ranges[id]:
            args = fixed + slider.get("arg").replace("%", str(value)).split()
            runs.append((" ".join(args), session.start(*args, env=env)))
    time.sleep(1.0)
    for what, program in runs:
        session.stop(program, what)


def scenario_own_window(session):
    program = session.start("--window", "--delay", "20000")
    time.sleep(1.0)
    found = session.run("xdotool", "search", "--name", "^Mirelune$").stdout.split()
    check(len(found) == 1, f"expected one window named Mirelune, found {len(found)}")
    geometry = session.run("xdotool", "getwindowgeometry", found[0]).stdout.decode()
    check("800x600" in geometry, f"the window is not 800x600: {geometry.strip()}")
    session.mouse_to(400, 300)
    session.run("xdotool", "click", "1")
    session.run("xdotool", "key", "a")
    for move in range(12):
        session.mouse_to(300 + 10 * move, 300)
    time.sleep(0.3)
    session.stop(program, "--window after input")


def scenario_command_line(session):
    def one_line_error(args, status, env=None):
        result = subprocess.run([session.args.program, *args], env=env or session.env,
                                capture_output=True, text=True, timeout=10)
        lines = result.stderr.splitlines()
        check(result.returncode == status and len(lines) == 1 and
              lines[0].startswith("mirelune: "),
              f"{args}: status {result.returncode}, stderr {result.stderr!r}")

    for args in (["--bogus"], ["--sectors"], ["--speed", "fast"], ["--window-id", "0xzz"],
                 ["--window-id", "0"], ["--root", "--window"], ["extra"]):
        one_line_error(args, 2)
    one_line_error(["--root"], 2, dict(session.env, XSCREENSAVER_WINDOW="junk"))
    # A well-formed id that names no window, and a display that is not there.
    one_line_error(["--window-id", "0x1fffff0"], 1)
    one_line_error(["--display", ":99999"], 1)

    result = subprocess.run([session.args.program, "--help"], env=session.env,
                            capture_output=True, text=True, timeout=10)
    check(result.returncode == 0, f"--help gave status {result.returncode}")
    for option in ("--root", "--window-id", "--window", "--sectors", "--speed", "--delay"):
        check(option in result.stdout, f"--help does not mention {option}")


SCENARIOS = {
    "fullscreen-picture": scenario_fullscreen_picture,
    "fullscreen-exit": scenario_fullscreen_exit,
    "idle-cpu": scenario_idle_cpu,
    "window-id": scenario_window_id,
    "monitors": scenario_monitors,
    "xml-arguments": scenario_xml_arguments,
    "own-window": scenario_own_window,
    "command-line": scenario_command_line,
    "soak": scenario_soak,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--window-helper", required=True)
    parser.add_argument("--xml", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--soak-pictures", type=int, default=40,
                        help="pictures the soak paints for each sector count (default 40)")
    parser.add_argument("--figures", help="write what the scenario measured to this JSON file")
    parser.add_argument("scenario", choices=SCENARIOS)
    args = parser.parse_args()

    session = Session(args)
    try:
        session.start_display()
        SCENARIOS[args.scenario](session)
    except Failure as failure:
        print(f"FAIL {args.scenario}: {failure}", file=sys.stderr)
        return 1
    finally:
        session.close()
        if args.figures:  # also what a failed run measured before it failed
            session.figures.write(args.figures)
    print(f"PASS {args.scenario}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
