#!/usr/bin/env python3
"""End-to-end tests of the X11 program mirelune on a private Xvfb: the shared scenarios and its
own. HOME and XDG_CONFIG_HOME lie in the work folder, so that no user settings leak in."""

import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from harness import Harness, Saver, SCREEN, expect_grid, main, wait_gone  # noqa: E402


class X11(Harness):
    # The settings file's sectors, under a name in another letter case; the rest as options.
    PICTURES = [(4, "file")]
    SOAK_RESOURCES = (("RssAnon", "rss_anon", "KiB"), ("RssShmem", "rss_shmem", "KiB"),
                      ("files", "files", ""), ("segments", "segments", ""))

    def environment(self, display):
        self.config = self.work / "config"
        (self.config / "mirelune").mkdir(parents=True, exist_ok=True)
        env = dict(super().environment(display), HOME=str(self.work),
                   XDG_CONFIG_HOME=str(self.config))
        env.pop("XSCREENSAVER_WINDOW", None)
        return env

    def start(self, *args, env=None):
        process = subprocess.Popen([self.args.program, *map(str, args)], env=env or self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.started.append(process)
        return Saver(process.pid, process)

    def launch(self, sectors=5, speed=69, delay=20000, where=None):
        ini = self.config / "mirelune" / "Mirelune.ini"
        ini.unlink(missing_ok=True)
        if where == "file":
            ini.write_text(f"[Mirelune ScreenSaver]\nSectors= {sectors}\nSpeed=1\n")
            return self.start("--speed", speed, "--delay", delay)
        return self.start("--sectors", sectors, "--speed", speed, "--delay", delay)

    def end(self, saver):
        saver.process.kill()  # nothing if it has ended and been waited for
        saver.process.wait()

    def soak_launch(self, sectors):
        self.watcher, window = self.helper(*SCREEN)
        return self.start("--window-id", window, "--sectors", sectors, "--delay", 0), self.watcher

    def soak_resize(self, saver, width, height):
        self.tell(self.watcher, f"resize {width} {height}")


def status(saver, seconds):  # None if it still runs after these seconds
    return None if wait_gone(saver.pid, seconds) is None else saver.process.wait()


def stopped(checks, saver, what):
    running = saver.process.poll() is None
    saver.process.send_signal(signal.SIGTERM)
    checks.expect(running and status(saver, 1.0) == 0,
                  f"{what}: runs until SIGTERM ends it with status 0")


def scenario_window_id(h, checks):
    """--root draws into $XSCREENSAVER_WINDOW with the defaults, not the file's settings; resizes
    start a fresh picture, a 1 x 1 window is waited out, and the window's end ends it quietly."""
    (h.config / "mirelune" / "mirelune.ini").write_text("[Mirelune ScreenSaver]\nSectors=2\n")
    helper, window = h.helper(400, 300)
    saver = h.start("--root", "--delay", 20000, env=dict(h.env, XSCREENSAVER_WINDOW=hex(window)))
    expect_grid(checks, h.settled(saver, window), 5, "400 x 300 window")
    h.tell(helper, "resize 1 1")
    time.sleep(0.3)
    checks.require(saver.alive(), "a 1 x 1 window leaves it running")
    h.tell(helper, "resize 600 450")
    expect_grid(checks, h.settled(saver, window), 5, "resized to 600 x 450")
    h.tell(helper, "destroy")
    ended, stderr = status(saver, 1.0), saver.process.stderr.read()
    checks.expect(ended == 0 and not stderr, "the window's destruction ends it within 1 s, "
                  f"status 0, nothing on stderr (got {ended}, {stderr!r})")


def refused(h, checks, args, status):
    result = h.run(h.args.program, *args, stderr=subprocess.PIPE, text=True, timeout=10)
    lines = result.stderr.splitlines()
    checks.expect(result.returncode == status and len(lines) == 1
                  and lines[0].startswith("mirelune: "), f"{args} is refused with status "
                  f"{status} and one line (got {result.returncode}, {result.stderr!r})")


def scenario_command_line(h, checks):
    """The description's command lines, each slider at its low, high and default, are read
    without complaint (--help ends the reading after them); a bad command line is status 2, a
    window or display that is not there status 1."""
    root = ElementTree.parse(h.args.xml).getroot()
    fixed = [arg for command in root.iter("command") for arg in command.get("arg").split()]
    for key in ("low", "high", "default"):
        args = fixed + [arg for slider in root.iter("number")
                        for arg in slider.get("arg").replace("%", slider.get(key)).split()]
        result = h.run(h.args.program, *args, "--help", stderr=subprocess.PIPE)
        checks.expect(result.returncode == 0 and not result.stderr,
                      f"{args}: status 0 (got {result.returncode}, {result.stderr!r})")
    refused(h, checks, ["--bogus"], 2)
    refused(h, checks, ["--window-id", "0x1fffff0"], 1)
    refused(h, checks, ["--display", ":99999"], 1)


def scenario_own_window(h, checks):
    saver = h.start("--window", "--delay", 20000)
    found = h.run("xdotool", "search", "--sync", "--name", "^Mirelune$",
                  timeout=10).stdout.decode().split()
    time.sleep(0.5)
    geometry = h.run("xdotool", "getwindowgeometry", *found[:1]).stdout.decode()
    checks.expect(len(found) == 1 and "800x600" in geometry, f"one window named Mirelune, "
                  f"800 x 600 (got {len(found)}, {geometry!r})")
    stopped(checks, saver, "--window")


# Screens as (depth, Xvfb's default visual class or None for TrueColor), the targets the program
# draws there and those it refuses with one line; --root draws into the root window.
SCREENS = ((16, None, (["--root"], []), ()), (30, None, ([],), ()),
           # DirectColor by default: the program's own window takes the TrueColor visual.
           (16, 5, ([],), (["--root"],)),
           # The only TrueColor visual has 256 colours.
           (8, None, (), ([], ["--root"])))


def scenario_depths(h, checks):
    for depth, default_class, drawn, refusals in SCREENS:
        h.start_display(f"{SCREEN[0]}x{SCREEN[1]}x{depth}",
                        ["-cc", str(default_class)] if default_class else [])
        for args in refusals:
            refused(h, checks, args, 1)
        for args in drawn:
            what = f"depth {depth}, class {default_class}, {' '.join(args) or 'full screen'}"
            saver = h.start(*args, "--sectors", 4, "--delay", 20000)
            time.sleep(1.0)
            # The window itself, as the root's pixels read in the root's visual would differ.
            window = "root" if args else h.run("xdotool", "search", "--sync", "--name",
                                               "^Mirelune$").stdout.split()[0].decode()
            expect_grid(checks, h.settled(saver, window), 4, what)
            stopped(checks, saver, what)
    h.start_display()


def scenario_server_gone(h, checks):
    """The X server going away mid-picture: Xlib's report and status 1. Which of reading and
    writing meets the closed connection first is chance; a write must not raise SIGPIPE."""
    saver = h.start("--delay", 0)
    time.sleep(1.0)
    ignored = next(line for line in Path(f"/proc/{saver.pid}/status").read_text().splitlines()
                   if line.startswith("SigIgn:"))
    h.stop_display()
    ended, stderr = status(saver, 5.0), saver.process.stderr.read().decode()
    # "X connection to :N broken", or "XIO: fatal IO error ... on X server" when reset.
    checks.expect(int(ignored.split()[1], 16) & 1 << (signal.SIGPIPE - 1) and ended == 1
                  and ("X connection" in stderr or "X server" in stderr), "SIGPIPE ignored; "
                  f"the server's end gives status 1 and Xlib's report (got {ended}, {stderr!r})")
    h.start_display()


def arguments(parser):
    parser.add_argument("--program", required=True, help="the mirelune program")
    parser.add_argument("--xml", required=True, help="its XScreenSaver settings description")


if __name__ == "__main__":
    sys.exit(main(X11, {name[9:].replace("_", "-"): f for name, f in globals().items()
                        if name.startswith("scenario_")}, add_arguments=arguments))
