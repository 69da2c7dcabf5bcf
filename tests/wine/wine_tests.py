#!/usr/bin/env python3
"""Mirelune.scr under Wine through the end-to-end harness, with its own scenarios; the Wine
prefix (--prefix) is made once and reused; mirelune-probe.exe reads its windows from inside."""

import fcntl
import os
import pwd
import random
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from harness import QUIET, CannotRun, Failed, Harness, Saver, cpu_percent, launched, main, \
    wait_gone  # noqa: E402

DIALOG = "Mirelune Configuration"
PREFIX_READY = ".mirelune-prefix-2"  # a prefix made with the settings below


def settings_text(*sectors_speed_delay):
    return b"[Mirelune ScreenSaver]\r\nSectors=%d\r\nSpeed=%d\r\nDelay=%d\r\n" % sectors_speed_delay


class Wine(Harness):
    """Mirelune.scr under Wine."""
    TOOLS = Harness.TOOLS + ("wine", "wineboot", "wineserver")
    APPEARANCE_MOVES = 1  # Wine gives a window appearing under the pointer a mouse move
    # Settings from %APPDATA% beside a file in the Windows folder, then from the latter alone.
    PICTURES = [(3, "both"), (7, "windows")]
    # GetGuiResources is not sampled: under Wine it reports 0 objects for every process.
    SOAK_RESOURCES = (("RssAnon", "rss_anon", "KiB"), ("files", "files", ""))

    def __init__(self, args):
        super().__init__(args)
        self.scr, self.probe_exe = Path(args.scr).resolve(), Path(args.probe).resolve()
        self.win_scr = "Z:" + str(self.scr).replace("/", "\\")
        self.prefix = Path(args.prefix).resolve()
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        self.lock = open(str(self.prefix) + ".lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.windows_dir = self.prefix / "drive_c" / "windows"
        self.settings_dir = (self.prefix / "drive_c" / "users" / pwd.getpwuid(os.getuid()).pw_name
                             / "AppData" / "Roaming" / "Mirelune")
        self.ini = self.settings_dir / "Mirelune.ini"  # as the saver writes it; it reads any case
        self.windows_ini = self.windows_dir / "mirelune.ini"

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

    def restart_wine(self):  # with its desktop process, on the current display
        if self.env is not None and self.prefix.exists():
            self.run("wineserver", "-k")
            self.run("wineserver", "-w")

    # Wine's desktop process reads the monitors when it starts: it starts again on every desk.
    desk_changed = restart_wine

    def close(self):
        self.restart_wine()
        super().close()
        self.lock.close()

    def probe(self, *args):  # mirelune-probe.exe's "key=value" lines as {key: [values]}
        result = self.run("wine", str(self.probe_exe), *args)
        report = {}
        for line in result.stdout.decode(errors="replace").splitlines():
            key, _, value = line.partition("=")
            report.setdefault(key, []).append(value)
        if result.returncode != 0:
            raise CannotRun(f"the probe failed ({result.returncode}) on {args}: {report}")
        return report

    def put_settings(self, files):  # {path: content} in place of every settings file
        folder = self.settings_dir
        folder.unlink() if folder.is_file() else shutil.rmtree(folder, ignore_errors=True)
        self.windows_ini.unlink(missing_ok=True)
        for path, content in files.items():
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)

    def start(self, *args):
        """Starts the saver (wine becomes its process) once it shows a window, ending any other."""
        for process in self.started:
            if process.args[:2] == ["wine", str(self.scr)]:
                process.kill()
                process.wait()
        process = subprocess.Popen(["wine", str(self.scr), *args], env=self.env, **QUIET)
        self.started.append(process)
        try:
            self.run("xdotool", "search", "--sync", "--onlyvisible", "--pid", process.pid,
                     timeout=15)
        except subprocess.TimeoutExpired:
            raise Failed(f"no window for {list(args)} (status {process.poll()})")
        return Saver(process.pid, process)

    def launch(self, sectors=5, speed=69, delay=20000, where=None):
        files = {self.windows_ini if where == "windows" else self.ini:
                 settings_text(sectors, speed, delay)}
        if where == "both":  # a second file that must not count
            files[self.windows_ini] = settings_text(7, speed, delay)
        self.put_settings(files)
        return self.start("/s")

    def end(self, saver):
        if saver.alive() and self.ended_by(saver, "key", "Escape") is None:
            saver.process.kill()
        saver.process.wait()

    def soak_launch(self, sectors):
        # The pointer rests in the corner every size covers: a passing edge would count as moves.
        self.xdotool("mousemove", 0, 0)
        return self.launch(sectors=sectors, delay=0), self.helper("root")[0]

    def soak_resize(self, saver, width, height):
        self.probe("resize", width, height)


def scenario_command_line(h, checks):
    """"/p" without a number shows an error and ends once it is pressed; an unknown mode or a
    pane that is no window ends at once, without a window; a file of random bytes still runs."""
    box = {"window": ["#32770"], "label": ["", "OK", "preview error"]}  # icon, button, text
    for argument, want in (("/x", {}), ("/p 999999", {}), ("/p abc", box)):
        report = h.probe("run", 3000, h.win_scr, argument)
        report.pop("client", None)  # the message box's size
        checks.expect(report == {**want, "ended": ["1"]},
                      f"{argument!r}: {want or 'no window'} and the end (got {report})")
    h.put_settings({h.ini: random.Random(7).randbytes(1 << 20)})
    runs_until_key(h, checks, "a settings file of 1 MB of random bytes")


def runs_until_key(h, checks, what):
    saver = h.start("/s")
    time.sleep(1)
    checks.ended(h.ended_by(saver, "key", "space") if saver.alive() else None,
                 f"{what}: the saver runs, and a key ends it")
    h.end(saver)


def scenario_rest(h, checks):
    """A locked session or a monitor switched off stops the painting; their return restarts it."""
    with launched(h, sectors=3, delay=0) as saver:
        busy = cpu_percent(saver.pid, 1.5)
        h.figure("painting_cpu_percent", busy, f"CPU painting {busy:.1f} %")
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
            checks.expect(resting < 2 and again > 5 and saver.alive(), f"{what}: the painting "
                          f"stops ({resting:.2f} %), and starts again on return ({again:.1f} %)")


def scenario_preview(h, checks):
    """The preview draws with 5 sectors whatever the file says, in a child window of the pane,
    ignores input and ends with the pane (Wine shows nothing it paints: see the probe)."""
    h.put_settings({h.ini: settings_text(3, 0, 20000)})
    report = h.probe("preview", h.win_scr, 152, 112)
    ended = report.pop("ms_after_destroy", [None])[0]
    # The form covers the pane and, in the normal window state, trims itself to its grid when
    # the first picture starts: 5 sectors make 152 x 112 150 x 110 (3 would give 150 x 108).
    checks.expect(report == {"child": ["1 0 0 150 110"], "alive_after_input": ["1"]},
                  f"one child window of the saver at 0 0 150 110, input ignored (got {report})")
    checks.ended(ended and int(ended), "the pane's end ends it")


SPEED_NAMES = ["Slowest", "Slower", "Sorta Slow", "Medium", "Sorta Fast", "Faster", "Fastest"]


OTHER = b"[Other Section]\r\nKeep=this line\r\n\r\n[Mirelune ScreenSaver]\r\n"
OTHER_FILE = OTHER + b"Sectors= 7\r\nSpeed=20\r\nDelay=1050\r\n"
MOVED = OTHER + b"Sectors= 8\r\nSpeed=0\r\nDelay=1050\r\n"
DEFAULTS = b"[Mirelune ScreenSaver]\r\nSectors= 5\r\nSpeed=69\r\nDelay=1000\r\n"
# Esc does nothing; then sectors up by one, the focus to speed, speed to 0.
MOVES = ("Escape", "Right", "Tab", "Home")


def dialog_runs(h):
    """(what, files before, keys, (sectors, speed, delay) shown then, how it closes, the files
    after: None for none). Where the keys end with OK the save is refused: the folder is blocked
    by a file of its name, or the file by a directory."""
    blocked_folder = {h.settings_dir: b"keep me", h.windows_ini: settings_text(3, 40, 5000)}
    blocked_file = {h.ini / "inside.txt": b"keep me"}
    return [("OK with no file", {}, (), (5, 69, 1000), "alt+k", {h.ini: DEFAULTS}),
            ("Cancel with no file", {}, MOVES, (6, 0, 1000), "alt+c", {h.settings_dir: None}),
            ("Alt+F4", {h.ini: OTHER_FILE}, (), (7, 20, 1050), "alt+F4", {h.ini: OTHER_FILE}),
            ("OK after moves", {h.ini: OTHER_FILE}, MOVES, (8, 0, 1050), "alt+k", {h.ini: MOVED}),
            ("a blocked folder", blocked_folder, ("Right", "alt+k"), (4, 40, 5000), "alt+c",
             blocked_folder),
            ("a blocked file", blocked_file, ("Left", "alt+k"), (4, 69, 1000), "alt+c",
             blocked_file)]


def scenario_dialog(h, checks):
    """What the dialog shows and saves or refuses to save, for each way of closing it; the saver
    runs with a directory in the settings file's place."""
    for what, before, keys, (sectors, speed, delay), closing, after in dialog_runs(h):
        h.put_settings(before)
        dialog = h.start("/c")  # a dialog left open ends with the next start
        # Keys go to the window under the pointer.
        h.xdotool("search", "--name", f"^{DIALOG}$", "mousemove", "--window", "%1", 100, 8)
        time.sleep(0.3)
        if keys:
            h.xdotool("key", "--delay", "40", *keys)
            time.sleep(0.15)
        if keys[-1:] == ("alt+k",):
            texts = h.probe("press-box", 3000).get("label", [])
            time.sleep(0.3)
            checks.expect(any(t.startswith("The settings could not be saved to the file")
                              for t in texts) and dialog.alive(), f"{what}: OK says the "
                          f"settings could not be saved, and the dialog stays (got {texts})")
        # 4680 x 3270 twips at Wine's 96 DPI; the sliders, then the other controls, as made.
        want = {"client": ["96 312 218"], "slider": [str(sectors), str(speed), str(delay)],
                "label": ["Sectors", "Speed", "O&K", "&Cancel", str(sectors),
                          SPEED_NAMES[speed // 10], "Delay", f"{delay / 1000:.1f} sec. "]}
        shown = h.probe("inspect", DIALOG)
        checks.expect(shown == want, f"{what}: shows {want} (got {shown})")
        h.xdotool("key", closing)
        checks.ended(wait_gone(dialog.pid, 3), f"{what}: {closing} ends the dialog", 3000)
        written = {path: path.read_bytes() if path.is_file() else path.exists() or None
                   for path in after}
        checks.expect(written == after, f"{what}: on disk {after!r} (got {written!r})")
    runs_until_key(h, checks, "a directory for the settings file")
    h.put_settings({})


def arguments(parser):  # Mirelune.scr and mirelune-probe.exe of one build, a private prefix
    for option in ("--scr", "--probe", "--prefix"):
        parser.add_argument(option, required=True)


if __name__ == "__main__":
    sys.exit(main(Wine, {name[9:].replace("_", "-"): f for name, f in globals().items()
                         if name.startswith("scenario_")}, add_arguments=arguments))
