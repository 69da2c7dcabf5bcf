#!/usr/bin/env python3
"""End-to-end tests of the Windows saver Mirelune.scr under Wine on a private Xvfb: the shared
scenarios and the saver's own. The Wine prefix (--prefix) is made once and reused;
mirelune-probe.exe hosts the preview pane, starts the saver with exact command lines and reads
windows from inside Wine."""

import fcntl
import os
import pwd
import random
import shutil
import signal
import subprocess
import sys
import time
from contextlib import contextmanager
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from harness import QUIET, CannotRun, Failed, Harness, Saver, alive, cpu_percent, \
    main, wait_gone  # noqa: E402

DIALOG = "Mirelune Configuration"
PREFIX_READY = ".mirelune-prefix-2"  # a prefix made with the settings below
WM_CLOSE = 0x10


def settings_text(sectors, speed, delay):
    return f"[Mirelune ScreenSaver]\r\nSectors={sectors}\r\nSpeed={speed}\r\nDelay={delay}\r\n" \
        .encode()


class Wine(Harness):
    """The Windows saver Mirelune.scr under Wine and the end-to-end harness."""
    TOOLS = Harness.TOOLS + ("wine", "wineboot", "wineserver")
    APPEARANCE_MOVES = 1  # Wine gives a window appearing under the pointer a mouse move
    # Settings from %APPDATA%, from the Windows folder when there is no other, and from %APPDATA%
    # when both are there.
    PICTURES = [(3, "both"), (5, None), (7, "windows")]
    # GetGuiResources is not sampled: under Wine it reports 0 objects for every process.
    SOAK_RESOURCES = (("RssAnon", "rss_anon", "KiB"), ("files", "files", ""))

    def __init__(self, args):
        super().__init__(args)
        self.scr, self.probe_exe = Path(args.scr).resolve(), Path(args.probe).resolve()
        if not self.scr.is_file() or not self.probe_exe.is_file():
            raise CannotRun(f"no {self.scr} or {self.probe_exe}: cmake --build --preset windows")
        self.win_scr = "Z:" + str(self.scr).replace("/", "\\")
        self.prefix = Path(args.prefix).resolve()
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self.lock = open(str(self.prefix) + ".lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.windows_dir = self.prefix / "drive_c" / "windows"
        self.settings_dir = (self.prefix / "drive_c" / "users" / pwd.getpwuid(os.getuid()).pw_name
                             / "AppData" / "Roaming" / "Mirelune")

    def environment(self, display):
        env = dict(super().environment(display), WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def start_display(self, *args):
        super().start_display(*args)
        self.restart_wine()
        if (self.prefix / PREFIX_READY).exists():
            return
        shutil.rmtree(self.prefix, ignore_errors=True)  # an earlier setup that did not end
        # Without a window manager Wine waits about two seconds for every hide or destroy of a
        # managed window; a crashing saver should end, not wait behind a dialog. Without RandR
        # Wine takes its monitors from Xinerama, as the two-monitor desks give them.
        for command in (["wineboot", "-i"],
                        *(["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", name,
                           "/d", "N", "/f"] for name in ("Managed", "UseXRandR")),
                        ["wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v",
                         "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"]):
            if self.run(*command, timeout=300).returncode != 0:
                raise CannotRun(f"{' '.join(command)} failed")
        self.run("wineserver", "-w")
        (self.prefix / PREFIX_READY).write_text("made by wine_tests.py\n")

    def restart_wine(self):
        """The Wine server and its desktop process start again, on the current display."""
        if self.prefix.exists():
            self.run("wineserver", "-k")
            self.run("wineserver", "-w")

    def close(self):
        for pid in self.saver_pids():
            os.kill(pid, signal.SIGKILL)
        if self.env is not None:
            self.restart_wine()
        super().close()
        self.lock.close()

    def probe(self, *args, timeout=60):
        """Runs mirelune-probe.exe: its "key=value" lines as {key: [values]}."""
        try:
            result = self.run("wine", str(self.probe_exe), *args, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise CannotRun(f"the probe did not finish within {timeout} s: {args}")
        report = {}
        for line in result.stdout.decode(errors="replace").splitlines():
            key, _, value = line.partition("=")
            report.setdefault(key, []).append(value)
        if result.returncode != 0 or "error" in report:
            raise CannotRun(f"the probe failed ({result.returncode}) on {args}: {report}")
        return report

    # -- settings; file names are compared without case, as Windows does --

    def settings_files(self, directory=None):
        directory = directory or self.settings_dir
        return [p for p in directory.glob("*") if p.name.lower() == "mirelune.ini"]

    def write_settings(self, content, directory=None):
        self.clear_settings()
        directory = directory or self.settings_dir
        directory.mkdir(parents=True, exist_ok=True)
        (directory / "mirelune.ini").write_bytes(content)

    def clear_settings(self):
        folder = self.settings_dir
        folder.unlink() if folder.is_file() else shutil.rmtree(folder, ignore_errors=True)
        for path in self.settings_files(self.windows_dir):
            path.unlink()

    # -- savers --

    def saver_pids(self):
        def ours(entry):
            try:
                return (Path(entry, "comm").read_text().strip().lower() == "mirelune.scr"
                        and f"WINEPREFIX={self.prefix}".encode() in
                        Path(entry, "environ").read_bytes().split(b"\0") and alive(entry.name))
            except OSError:
                return False
        return [int(entry.name) for entry in Path("/proc").glob("[0-9]*") if ours(entry)]

    def start(self, *args):
        """Starts the saver through wine with these arguments; once it shows a window."""
        for pid in self.saver_pids():
            self.end(Saver(pid))
        process = subprocess.Popen(["wine", str(self.scr), *args], env=self.env, **QUIET)
        self.started.append(process)
        deadline = time.monotonic() + 15
        while not (pids := self.saver_pids()) and time.monotonic() < deadline:
            time.sleep(0.01)
        if not pids:
            raise Failed(f"no saver process for {list(args)} (status {process.poll()})")
        saver = Saver(pids[0])
        self.run("xdotool", "search", "--sync", "--onlyvisible", "--pid", str(saver.pid),
                 timeout=15)
        return saver

    def launch(self, sectors=5, speed=69, delay=20000, where=None):
        self.write_settings(settings_text(sectors, speed, delay),
                            self.windows_dir if where == "windows" else None)
        if where == "both":  # a second file that must not count
            (self.windows_dir / "mirelune.ini").write_bytes(settings_text(7, speed, delay))
        return self.start("/s")

    def end(self, saver):
        if saver.alive():
            self.xdotool("key", "Escape")
            if wait_gone(saver.pid, 2) is None:
                os.kill(saver.pid, signal.SIGKILL)
                wait_gone(saver.pid, 5)

    @contextmanager
    def on_desk(self, monitors):
        # Wine's desktop process reads the monitors when it starts: it starts again on the desk.
        with self.desk(monitors):
            self.restart_wine()
            try:
                yield
            finally:
                self.restart_wine()

    def soak_launch(self, sectors):
        # The pointer rests in the corner that every size of the window covers: moving the
        # window's edge past it would count as mouse moves.
        self.xdotool("mousemove", 0, 0)
        saver = self.launch(sectors=sectors, delay=0)
        return saver, self.helper("root")[0]

    def soak_resize(self, saver, width, height):
        self.probe("resize", width, height)


def scenario_command_line(h, checks):
    """Each mode's effect beyond full screen: "/p" without a number is the preview's error, a
    number that is no window or anything else ends at once without a window; a settings file
    of random bytes still runs."""
    for argument, expected in (("/x", "quiet"), ("/p 999999", "quiet"), ("/p abc", "error")):
        report = h.probe("run", 1500, h.win_scr, argument)
        ok = report["exited"] == ["1"] and "window" not in report if expected == "quiet" else \
            report.get("box_text") == ["preview error"] and report["box_buttons"] == ["1"] \
            and "ms_after_box" in report
        checks.expect(ok, f"{argument!r}: {expected} (got {report})")
    junk = random.Random(7)
    h.write_settings(bytes(junk.randrange(256) for _ in range(1 << 20)))
    saver = h.start("/s")
    time.sleep(1)
    checks.ended(h.ended_by(saver, "key", "space") if saver.alive() else None,
                 "a settings file of 1 MB of random bytes: the saver runs, and a key ends it")
    h.end(saver)


def scenario_rest(h, checks):
    """Painting without pause keeps a core busy; a locked session or a monitor switched off
    stops it, and their return starts it again."""
    saver = h.launch(sectors=3, delay=0)
    try:
        busy = cpu_percent(saver.pid, 1.5)
        h.figure("painting_cpu_percent", busy, f"CPU painting {busy:.1f} %")
        checks.expect(busy > 10, f"it paints busily with no delay ({busy:.1f} %)")
        # WM_WTSSESSION_CHANGE lock and unlock; WM_SYSCOMMAND SC_MONITORPOWER off and on
        for what, message, away, back in (("session lock", 0x2B1, (7, 0), (8, 0)),
                                          ("display off", 0x112, (0xF170, 2), (0xF170, -1))):
            h.probe("post", "saver", message, *away)
            time.sleep(0.3)
            resting = cpu_percent(saver.pid, 2)
            h.probe("post", "saver", message, *back)
            time.sleep(0.3)
            again = cpu_percent(saver.pid, 1.5)
            h.figure(f"{what.replace(' ', '_')}_cpu_percent", [resting, again],
                     f"CPU {what} {resting:.2f} %, back {again:.1f} %")
            checks.expect(resting < 2 and again > 10 and saver.alive(), f"{what}: the painting "
                          f"stops ({resting:.2f} %), and starts again on return ({again:.1f} %)")
    finally:
        h.end(saver)


def scenario_preview(h, checks):
    """The preview draws with 5 sectors whatever the file says, in a child window of the pane,
    ignores input and ends with the pane. What it paints cannot be seen: Wine shows nothing of
    a child window whose parent belongs to another process."""
    h.write_settings(settings_text(3, 0, 20000))
    report = {k: v[0] for k, v in h.probe("preview", h.win_scr, 152, 112).items()}
    # The form covers the pane and, in the normal window state, trims itself to its grid when
    # the first picture starts: 5 sectors make 152 x 112 150 x 110 (3 would give 150 x 108).
    place = report.get("place", "").split()[:2] + report.get("client", "").split()
    checks.expect(report["found"] == report.get("child") == "1"
                  and place == ["0", "0", "150", "110"], "one visible WS_CHILD window of the "
                  f"saver in the pane at 0 0 150 110, a 5-sector grid (got {report})")
    checks.expect(report.get("alive_after_input") == "1", "keys, clicks and moves leave it running")
    checks.ended(int(report["ms_after_destroy"]) if "ms_after_destroy" in report else None,
                 "the pane's end ends it")


SPEED_NAMES = ["Slowest", "Slower", "Sorta Slow", "Medium", "Sorta Fast", "Faster", "Fastest"]
CAPTIONS = ("Sectors", "Delay", "Speed", "&Cancel", "O&K")
# The sliders top to bottom, with their min, max, line and page sizes.
SLIDERS = {"sldSectors": [1, 10, 1, 1], "sldDelay": [0, 20000, 100, 1000],
           "sldSpeed": [0, 69, 1, 10]}


def controls(report):
    """The dialog's controls by name: captions and buttons by their text, sliders and value
    labels by their order from top to bottom; and how many there are."""
    found = sorted(({"hwnd": hwnd, "kind": kind.lower(), "top": int(top), "text": text,
                     "slider": [int(n) for n in numbers]}
                    for hwnd, kind, top, *numbers, text in
                    (line.split(" ", 8) for line in report.get("control", []))),
                   key=lambda c: c["top"])
    named = {c["text"]: c for c in found if c["text"] in CAPTIONS}
    named.update(zip(("lblSectors", "lblDelay", "lblSpeed"), [
        c for c in found if c["kind"] == "static" and c["text"] not in CAPTIONS]))
    named.update(zip(SLIDERS, [c for c in found if c["kind"] == "msctls_trackbar32"]))
    return named, len(found)


def shown(report):
    """The sliders' positions and the labels' texts, sectors, speed and delay."""
    named = controls(report)[0]
    return ([named.get(n, {}).get("slider", [None])[0] for n in ("sldSectors", "sldSpeed",
                                                                  "sldDelay")],
            [named.get(n, {}).get("text") for n in ("lblSectors", "lblSpeed", "lblDelay")])


def showing(sectors, speed, delay):
    return [sectors, speed, delay], [str(sectors), SPEED_NAMES[speed // 10],
                                     f"{delay / 1000:.1f} sec. "]


def open_dialog(h, checks, what):
    for pid in h.saver_pids():  # a dialog left open by a failed step
        os.kill(pid, signal.SIGKILL)
    report = h.probe("run", 10000, h.win_scr, "/c")
    checks.require(report["found"] == ["1"], f"{what}: '/c' shows the window '{DIALOG}'")
    x, y, w, _ = map(int, report["rect"][0].split())
    h.xdotool("mousemove", x + w // 2, y + 8)  # keys go to the window under the pointer
    return report, Saver(h.saver_pids()[0])


def press(h, *keys):
    h.xdotool("key", "--delay", "40", *keys)
    time.sleep(0.15)


def close_dialog(h, checks, dialog, closing, what):
    h.probe("post", DIALOG, WM_CLOSE, 0, 0) if closing == "frame" else press(h, closing)
    checks.ended(wait_gone(dialog.pid, 3), f"{what}: {closing} ends the dialog", 3000)


def check_layout(h, checks, report):
    """The client area of 4680 x 3270 twips at the screen's DPI, a sizable window with system
    menu, minimise and maximise buttons in the task bar, 11 controls and the Tab order."""
    named, count = controls(report)
    dpi = int(report["dpi"][0])
    client = [int(v) for v in report["client"][0].split()]
    want = [round(t * dpi / 1440) for t in (4680, 3270)]
    frame = 0x00040000 | 0x00080000 | 0x00020000 | 0x00010000
    checks.expect(all(abs(a - b) <= 1 for a, b in zip(client, want))
                  and int(report["style"][0]) & frame == frame
                  and not int(report["exstyle"][0]) & 0x80, f"at {dpi} DPI a sizable window "
                  f"in the task bar with a client area of {want} px (got {client})")
    checks.expect(count == len(named) == 11 and all(
        named[n]["slider"][1:] == r for n, r in SLIDERS.items()),
        f"11 controls, the sliders with their ranges (got {report['control']})")
    names = {c["hwnd"]: n for n, c in named.items()}
    visited = [names.get(report["focus"][0])]
    for _ in range(5):
        press(h, "Tab")
        visited.append(names.get(h.probe("inspect", DIALOG)["focus"][0]))
    order = ["sldSectors", "sldSpeed", "O&K", "&Cancel", "sldDelay", "sldSectors"]
    checks.expect(visited == order, f"Tab order {order} (got {visited})")


OTHER = b"[Other Section]\r\nKeep=this line\r\n\r\n[Mirelune ScreenSaver]\r\n"
OTHER_FILE = OTHER + b"Sectors= 7\r\nSpeed=20\r\nDelay=1050\r\n"
# Esc does nothing; then sectors up by one, the focus to speed, speed to 0.
MOVES = ("Escape", "Right", "Tab", "Home")
# (what, file before, keys, settings shown then, how it closes, file after: None for none); the
# layout is checked on the first.
DIALOG_RUNS = [
    ("OK with no file", None, (), showing(5, 69, 1000), "alt+k",
     b"[Mirelune ScreenSaver]\r\nSectors= 5\r\nSpeed=69\r\nDelay=1000\r\n"),
    ("Cancel with no file", None, MOVES, None, "alt+c", None),
    ("a file, closed from the frame", OTHER_FILE, (), showing(7, 20, 1050), "frame", OTHER_FILE),
    ("OK after moves", OTHER_FILE, MOVES, showing(8, 0, 1050), "alt+k",
     OTHER + b"Sectors= 8\r\nSpeed=0\r\nDelay=1050\r\n"),
]


def scenario_dialog(h, checks):
    """The dialog's layout, and what it shows and saves for each way of closing it."""
    for what, before, keys, settings, closing, after in DIALOG_RUNS:
        h.write_settings(before) if before else h.clear_settings()
        report, dialog = open_dialog(h, checks, what)
        if what == DIALOG_RUNS[0][0]:
            check_layout(h, checks, report)
        press(h, *keys) if keys else None
        if settings is not None:
            got = shown(h.probe("inspect", DIALOG))
            checks.expect(got == settings, f"{what}: shows {settings} (got {got})")
        close_dialog(h, checks, dialog, closing, what)
        files = h.settings_files()
        written = files[0].read_bytes() if len(files) == 1 else None
        checks.expect(written == after and (after is not None or not h.settings_dir.exists()),
                      f"{what}: the settings file holds {after!r} (got {written!r})")


def scenario_hostile_settings(h, checks):
    """Settings that cannot be saved: the dialog says so and stays open with the user's values,
    and nothing on disk is lost. As root Wine ignores permissions, so the folder is made
    unwritable with the immutable flag where the file system has one, and blocked by a file of
    its name; the file is blocked by a directory of its name."""
    folder, ini = h.settings_dir, h.settings_dir / "mirelune.ini"
    fallback = h.windows_dir / "mirelune.ini"  # read, never written
    for what, files, key, settings in (
            ("an unwritable settings folder", {ini: settings_text(7, 20, 3000)}, "Right",
             showing(8, 20, 3000)),
            ("a file where the folder belongs", {folder: b"keep me\r\n",
                                                 fallback: settings_text(3, 40, 5000)}, "Right",
             showing(4, 40, 5000)),
            ("a directory where the file belongs", {ini / "inside.txt": b"keep me\r\n"}, "Left",
             showing(4, 69, 1000))):
        h.clear_settings()
        for path, content in files.items():
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)
        try:
            if ini in files and subprocess.run(["chattr", "+i", str(folder)],
                                               **QUIET).returncode != 0:
                print(f"  note: {what} cannot be made here (no immutable flag); left out")
                continue
            _, dialog = open_dialog(h, checks, what)
            try:
                press(h, key, "alt+k")
                texts = h.probe("press-box", 3000).get("box_text", [])
                time.sleep(0.3)
                got = shown(h.probe("inspect", DIALOG))
                checks.expect(any(t.startswith("The settings could not be saved to the file")
                                  for t in texts) and dialog.alive() and got == settings,
                              f"{what}: OK says the settings could not be saved, and the "
                              f"dialog stays open showing {settings} (got {texts}, {got})")
                close_dialog(h, checks, dialog, "alt+c", what)
            finally:
                h.probe("post", DIALOG, WM_CLOSE, 0, 0)
            checks.expect(all(path.read_bytes() == content for path, content in files.items())
                          and (ini not in files or os.listdir(folder) == [ini.name]),
                          f"{what}: what was on disk is unchanged")
        finally:
            subprocess.run(["chattr", "-i", str(folder)], **QUIET)
    saver = h.start("/s")  # the directory in the file's place is still there
    time.sleep(1)
    checks.ended(h.ended_by(saver, "key", "space") if saver.alive() else None,
                 "a directory for the settings file: the saver runs, and a key ends it")
    h.end(saver)
    h.clear_settings()


def arguments(parser):
    parser.add_argument("--scr", required=True, help="Mirelune.scr from the Windows build")
    parser.add_argument("--probe", required=True, help="mirelune-probe.exe from the same build")
    parser.add_argument("--prefix", required=True, help="the private Wine prefix")


if __name__ == "__main__":
    sys.exit(main(Wine, {name[9:].replace("_", "-"): f for name, f in globals().items()
                         if name.startswith("scenario_")}, add_arguments=arguments))
