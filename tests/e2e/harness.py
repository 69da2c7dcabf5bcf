"""The end-to-end harness of both savers: private X servers, the kaleidoscope check, meters and
the scenarios every saver must pass, run against a platform's adapter (a subclass of Harness).
A failed check prints one FAIL line; exit status 0 passed, 1 failed, 2 could not run."""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from contextlib import contextmanager, suppress
from pathlib import Path

SCREEN = (1024, 768)
QUIET = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}


class CannotRun(Exception):
    """The environment or the inputs are missing."""


class Failed(Exception):
    """A check that later checks depend on failed."""


class Checks(list):  # the messages of the checks that failed
    def expect(self, ok, message):
        if not ok:
            print("  FAIL  " + message, flush=True)
            self.append(message)
        return ok

    def require(self, ok, message):
        if not self.expect(ok, message):
            raise Failed(message)

    def ended(self, ms, what, limit=1000):  # ms None: it did not happen
        return self.expect(ms is not None and ms <= limit, f"{what} within {limit} ms (got {ms})")


def stat(pid):
    text = Path(f"/proc/{pid}/stat").read_text()
    return text[text.rindex(")") + 2:].split()


def alive(pid):
    try:
        return stat(pid)[0] not in "ZX"
    except OSError:
        return False


def wait_gone(pid, seconds):  # milliseconds until the process ends, or None
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if not alive(pid):
            return (time.monotonic() - start) * 1000
        time.sleep(0.002)
    return None


def cpu_percent(pid, seconds):  # user and system time over the next seconds, in % of one core
    def ticks():
        return sum(int(field) for field in stat(pid)[11:13])

    before, start = ticks(), time.monotonic()
    time.sleep(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - start) * 100


def memory(pid):  # resident memory (KiB), open files and attached System V shared-memory segments
    status = Path(f"/proc/{pid}/status").read_text()
    kib = {key: int(re.search(rf"^{name}:\s*(\d+)", status, re.M)[1]) for key, name in
           (("rss_anon", "RssAnon"), ("rss_shmem", "RssShmem"), ("vm_rss", "VmRSS"))}
    return {**kib, "files": len(os.listdir(f"/proc/{pid}/fd")),
            "segments": Path(f"/proc/{pid}/maps").read_text().count("SYSV")}


def crop(image, x, y, width, height):
    stride, _, rgb = image
    rows = (3 * ((y + r) * stride + x) for r in range(height))
    return width, height, b"".join(rgb[start:start + 3 * width] for start in rows)


def kaleidoscope_problems(image, sectors):
    """What keeps a screen (width, height, RGB) from being the kaleidoscope of `sectors`: tile
    (0, 0)'s top-left quarter mirrored into every tile, black beside them, over two colours."""
    width, height, rgb = image
    tile_w, tile_h = 2 * (width // (2 * sectors)), 2 * (height // (2 * sectors))
    if tile_w == 0 or tile_h == 0:
        return [f"{width} x {height} is too small for {sectors} sectors"]
    rows = [rgb[3 * width * y:3 * width * (y + 1)] for y in range(height)]
    quarter = [[row[x:x + 3] for x in range(0, 3 * (tile_w // 2), 3)] for row in rows[:tile_h // 2]]
    half = [b"".join(pixels + pixels[::-1]) for pixels in quarter]
    black = bytes(3 * width)
    want = [(row * sectors + black)[:3 * width] for row in half + half[::-1]] * sectors
    want += [black] * (height - len(want))
    colours = {pixel for pixels in quarter for pixel in pixels}
    found = {"tile colours, no picture": [] if len(colours) > 2 else [len(colours)],
             "rows unlike the mirrored quarter": [y for y in range(height) if rows[y] != want[y]]}
    return [f"{what}: {len(items)}, first {items[0]}" for what, items in found.items() if items]


def expect_grid(checks, image, sectors, what, shot=None):  # a wrong image is kept in `shot`
    problems = kaleidoscope_problems(image, sectors) if image else ["no finished picture"]
    if problems and image and shot:
        shot.write_bytes(b"P6 %d %d 255\n" % image[:2] + image[2])
    return checks.expect(not problems, f"{what}: a kaleidoscope of {sectors} sectors -- "
                         + "; ".join(problems) + (f" (screen in {shot})" if shot else ""))


# The sizes a soak cycles through, full size first; at 1 x 1 nothing fits and the saver waits.
SOAK_SIZES = [SCREEN, (640, 480), (1, 1), (800, 600), (333, 257)]
# Allocator bookkeeping after the first cycle; a leak costs a picture (333 x 257 x 4) per cycle.
MEMORY_SLACK_KIB = 256
# A resize moves the old picture, then stretches it: two changes of the watched row, no picture.
CHANGES_PER_RESIZE = 2


def resize_interval(pictures):  # a few pictures, and at least a dozen resizes in a run
    return min(max(pictures // 12, 4), 25)


def steady_text(run):  # each resource's first and last value after the first cycle
    return ", ".join(f"{name} {values[0]} -> {values[-1]}" + f" {unit}" * bool(unit)
                     for name, values, unit in run["steady"])


def start_x_server(command, log, env=None):
    """An X server on a free display, with a black root that outlives its clients."""
    read_end, write_end = os.pipe()
    with open(log, "a") as out:
        server = subprocess.Popen([*command, "-displayfd", str(write_end), "-nolisten", "tcp",
                                   "-br", "-noreset"], env=env, pass_fds=(write_end,),
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=out)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        text = pipe.readline()
    if not text.strip().isdigit():
        server.kill()
        server.wait()
        raise CannotRun(f"{command[0]} did not start (see {log})")
    return server, f":{int(text)}"


def stop(process):  # None, to forget it
    process.terminate()
    process.wait()


class Saver:  # a running saver: its Linux process id and its Popen
    def __init__(self, pid, process):
        self.pid, self.process = pid, process

    def alive(self):
        return alive(self.pid)


class Harness:
    """An adapter adds launch(sectors, speed, delay, where) -> Saver, end(saver), soak_launch(
    sectors) -> (saver painting without pause, x11-test-window watching it) and soak_resize."""
    TOOLS = ("Xvfb", "Xephyr", "xdotool", "import")
    APPEARANCE_MOVES = 0  # mouse moves the saver's appearance under a resting pointer counts
    PICTURES = [(4, None)]  # (sectors, where the settings come from) of the picture scenario
    SOAK_RESOURCES = ()  # (name, sample key, unit): memory may grow a little, counts not at all

    def __init__(self, args):
        self.args, self.work = args, Path(args.work).resolve()
        self.work.mkdir(parents=True, exist_ok=True)
        self.xvfb = self.env = None
        self.started, self.figures = [], {}  # Popen objects, ended at close; --figures
        missing = [tool for tool in self.TOOLS if shutil.which(tool) is None]
        if missing:
            raise CannotRun(f"{', '.join(missing)} not installed (scripts/install-deps)")

    def figure(self, name, value, text):  # for --figures and the log
        self.figures.setdefault(name, []).append(value)
        print(f"  figure {text}", flush=True)

    def environment(self, display):
        return dict(os.environ, DISPLAY=display)

    def start_display(self, screen=f"{SCREEN[0]}x{SCREEN[1]}x24", options=()):  # WxHxDEPTH
        self.stop_display()
        self.xvfb, display = start_x_server(["Xvfb", "-screen", "0", screen, *options],
                                            self.work / "xvfb.log")
        self.env = self.environment(display)

    def stop_display(self):
        self.xvfb = self.xvfb and stop(self.xvfb)

    def desk_changed(self):  # an adapter's hook on entering and on leaving a desk
        pass

    @contextmanager
    def on_desk(self, monitors):
        """On a Xephyr in the Xvfb whose Xinerama screens are these (x, y, w, h), first primary."""
        screens = (arg for x, y, w, h in monitors
                   for arg in ("-origin", f"{x},{y}", "-screen", f"{w}x{h}"))
        xephyr, display = start_x_server(["Xephyr", "+xinerama", "-no-host-grab", *screens],
                                         self.work / "xephyr.log", env=self.env)
        host, self.env = self.env, dict(self.env, DISPLAY=display)
        self.desk_changed()
        try:
            yield
        finally:
            self.env = host
            self.desk_changed()
            stop(xephyr)

    def close(self):
        for process in self.started:
            process.kill()
            process.wait()
        self.stop_display()

    def run(self, *command, timeout=60, **options):
        return subprocess.run([str(c) for c in command], env=self.env, timeout=timeout,
                              **{**QUIET, "stdout": subprocess.PIPE, **options})

    def xdotool(self, *args):
        if self.run("xdotool", *args, timeout=20).returncode != 0:
            raise CannotRun(f"xdotool {' '.join(map(str, args))} failed")

    def ended_by(self, saver, *action):  # ms from an xdotool action to the saver's end, or None
        start = time.monotonic()
        self.xdotool(*action)
        return None if wait_gone(saver.pid, 3) is None else (time.monotonic() - start) * 1000

    def capture(self, window="root"):  # (width, height, RGB bytes)
        ppm = self.run("import", "-window", str(window), "-depth", "8", "ppm:-").stdout
        # Exactly one blank ends the header: the pixels may themselves start with blank bytes.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not header:
            raise CannotRun("import could not read the screen")
        return int(header[1]), int(header[2]), ppm[header.end():]

    def settled(self, saver, window="root", seconds=12):
        """The window once three captures 0.4 s apart agree and show more than one colour: the
        first picture is finished and stays still in the pause. None if not in time."""
        time.sleep(1.0)
        images, deadline = [], time.monotonic() + seconds
        while time.monotonic() < deadline and saver.alive():
            images = [*images[-2:], self.capture(window)]
            if len(images) == 3 and images.count(images[0]) == 3 and len(set(images[0][2])) > 2:
                return images[0]
            time.sleep(0.4)
        return None

    def helper(self, *args):  # x11-test-window and the id of the window it watches
        helper = subprocess.Popen([self.args.window_helper, *map(str, args)], env=self.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.started.append(helper)
        line = helper.stdout.readline().strip()
        if not line.startswith("0x"):
            raise CannotRun(f"x11-test-window printed {line!r}")
        return helper, int(line, 16)

    @staticmethod
    def tell(helper, command):  # x11-test-window's answer after "ok"
        helper.stdin.write(command + "\n")
        helper.stdin.flush()
        answer = helper.stdout.readline().split()
        if answer[:1] != ["ok"]:
            raise CannotRun(f"x11-test-window: {command} gave {answer}")
        return answer[1:]


@contextmanager
def launched(h, **options):
    saver = h.launch(**options)
    try:
        yield saver
    finally:
        h.end(saver)


def scenario_picture(h, checks):
    """Each place's settings paint their kaleidoscope, and the pause leaves the processor idle."""
    for sectors, where in h.PICTURES:
        with launched(h, sectors=sectors, where=where) as saver:
            if expect_grid(checks, h.settled(saver), sectors, f"settings from {where}",
                           h.work / f"sectors-{sectors}.ppm") and where == h.PICTURES[0][1]:
                percent = cpu_percent(saver.pid, 3)
                h.figure("idle_cpu_percent", percent, f"idle CPU in the pause {percent:.2f} %")
                checks.expect(saver.alive() and percent < 2, "the pause between pictures uses "
                              f"under 2 % of a core ({percent:.2f} %)")


def scenario_exit(h, checks):
    """A key, a modifier or a click ends the saver at once (mouse moves: see monitors)."""
    for action in (("key", "a"), ("key", "shift"), ("click", "1")):
        what = " ".join(action)
        with launched(h) as saver:
            time.sleep(1.0)
            checks.require(saver.alive(), f"{what}: the saver runs until input")
            if checks.ended(h.ended_by(saver, *action), f"{what} ends it"):
                checks.expect(saver.process.wait() == 0, f"{what}: a clean end")


# Two monitors, the first primary: the other on its right, then on its left (at negative x).
MONITOR_LAYOUTS = (("other-right", ((0, 0, 1024, 768), (1024, 0, 800, 600))),
                   ("primary-right", ((800, 0, 1024, 768), (0, 0, 800, 600))))


def scenario_monitors(h, checks):
    """Each monitor shows a whole grid of its own; the mouse-move allowance counts them all."""
    for what, monitors in MONITOR_LAYOUTS:
        with h.on_desk(monitors):
            h.xdotool("mousemove", monitors[0][0] + 500, 400)
            with launched(h, sectors=3) as saver:
                screen = h.settled(saver)
                checks.require(screen is not None, f"{what}: the pictures finish")
                for number, monitor in enumerate(monitors):
                    expect_grid(checks, crop(screen, *monitor), 3, f"{what}: monitor {number}",
                                h.work / f"{what}-{number}.ppm")
                # Ten moves alternating between the monitors, the appearance's included.
                points = [(monitors[m % 2][0] + 60 + 30 * m, 80) for m in range(11)]
                for x, y in points[:10 - h.APPEARANCE_MOVES]:
                    h.xdotool("mousemove", x, y)
                    time.sleep(0.1)
                time.sleep(0.4)
                if checks.expect(saver.alive(), f"{what}: ten mouse moves leave it running"):
                    checks.ended(h.ended_by(saver, "mousemove", *points[10]),
                                 f"{what}: the eleventh ends it")


def scenario_soak(h, checks):
    """Pictures without pause in a resized window: after the first cycle, resources stay put."""
    pictures, every = h.args.soak_pictures, resize_interval(h.args.soak_pictures)
    for sectors in (1, 5, 10):
        saver, watcher = h.soak_launch(sectors)
        painted, step, samples, started = 0, 0, [], time.monotonic()
        try:
            while painted < pictures and time.monotonic() - started < 600:
                width, height = SOAK_SIZES[step % len(SOAK_SIZES)]
                h.soak_resize(saver, width, height)
                if min(width, height) >= 2 * sectors:
                    changes, _ = map(int, h.tell(watcher, f"watch-row {every + CHANGES_PER_RESIZE}"
                                                 f" 30000 {height // 2} {width}"))
                    painted += max(changes - CHANGES_PER_RESIZE, 0)
                else:
                    time.sleep(0.3)
                checks.require(saver.alive(), f"{sectors} sectors: the saver runs on after "
                               f"{painted} pictures and a resize to {width} x {height}")
                if step % len(SOAK_SIZES) == 0:
                    samples.append(memory(saver.pid))
                step += 1
        finally:
            h.end(saver)
        checks.expect(painted >= pictures and len(samples) >= 3, f"{sectors} sectors: {pictures}"
                      f" pictures in three cycles of sizes (got {painted} in {step} resizes)")
        steady = samples[1:] or samples
        run = {"sectors": sectors, "pictures": painted, "resizes": step,
               "seconds": round(time.monotonic() - started, 1), "steady_cycles": len(steady) - 1,
               "steady": [(name, [sample[key] for sample in steady], unit)
                          for name, key, unit in h.SOAK_RESOURCES]}
        h.figure("soak", run, f"{sectors} sectors steady: {steady_text(run)}")
        for name, values, unit in run["steady"]:
            grown = values[-1] - values[0] if unit else max(values) - values[0]
            checks.expect(grown <= (MEMORY_SLACK_KIB if unit else 0),
                          f"{sectors} sectors: {name} {values} grows too much")


SCENARIOS = {"picture": scenario_picture, "exit": scenario_exit, "monitors": scenario_monitors,
             "soak": scenario_soak}


def main(adapter, own_scenarios, add_arguments):
    scenarios = {**SCENARIOS, **own_scenarios}
    parser = argparse.ArgumentParser(description=adapter.__doc__)
    parser.add_argument("--work", required=True)  # screenshots and logs
    parser.add_argument("--window-helper", required=True)  # the x11-test-window program
    parser.add_argument("--soak-pictures", type=int, default=40)  # per sector count
    parser.add_argument("--figures")  # a JSON file for what was measured
    parser.add_argument("scenarios", nargs="+", choices=scenarios)
    add_arguments(parser)
    args = parser.parse_args()
    # A timeout of the test runner ends the run through the normal clean-up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    failed, harness = [], None
    try:
        harness = adapter(args)
        harness.start_display()
        for name in args.scenarios:
            checks = Checks()
            with suppress(Failed):
                scenarios[name](harness, checks)
            if checks:
                print(f"== {name} FAILED", flush=True)
                failed.append(name)
    except (CannotRun, subprocess.TimeoutExpired) as error:
        print(f"cannot run: {error}", file=sys.stderr)
        return 2
    finally:
        if harness is not None:
            harness.close()
            if args.figures:  # also what a failed run measured before it failed
                Path(args.figures).write_text(json.dumps(harness.figures, indent=2) + "\n")
    return 1 if failed else 0
