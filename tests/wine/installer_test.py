#!/usr/bin/env python3
"""Installs and uninstalls Mirelune with Mirelune-Setup.exe, silently, in a private Wine prefix.

    installer_test.py --setup Mirelune-Setup.exe [--scr Mirelune.scr] --work DIR [--keep]

The prefix is created afresh in DIR/prefix (DIR is emptied first). The checks:
  1. "/S" installs Mirelune.scr, byte for byte, into the 64-bit system folder, registers the
     uninstaller and makes Mirelune the current screen saver (HKCU SCRNSAVE.EXE).
  2. The quiet uninstall command it registered removes the saver, itself, its folder and its
     key, deselects the saver, and keeps the user's settings file.
  3. "/S /CURRENT=0" installs without touching SCRNSAVE.EXE; "/S /PURGE" then uninstalls,
     leaves another saver's SCRNSAVE.EXE alone and deletes the settings folder.
Exit status: 0 when every check passed, 1 when a check failed, 2 when the test could not run.
"""

import argparse
import os
import pwd
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from harness import CannotRun, Checks  # noqa: E402

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirelune"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SAVER_VALUE = "SCRNSAVE.EXE"
UNINSTALLER = r"C:\Program Files\Mirelune\Uninstall.exe"
OTHER_SAVER = r"C:\windows\system32\other.scr"
QUIET = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}


class Prefix:
    """A private Wine prefix and the commands run in it."""

    def __init__(self, path, log):
        self.path = path
        self.log = log
        self.env = dict(os.environ, WINEPREFIX=str(path), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        user = pwd.getpwuid(os.getuid()).pw_name
        self.drive_c = path / "drive_c"
        self.system32 = self.drive_c / "windows" / "system32"
        self.program_folder = self.drive_c / "Program Files" / "Mirelune"
        self.settings_folder = self.drive_c / "users" / user / "AppData" / "Roaming" / "Mirelune"

    def run(self, *args, timeout=180):
        with open(self.log, "a") as log:
            log.write(f"$ {' '.join(args)}\n")
            log.flush()
            try:
                done = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL,
                                      stdout=subprocess.PIPE, stderr=log, timeout=timeout)
            except subprocess.TimeoutExpired:
                log.write(f"(timed out after {timeout} s)\n")
                return None, ""
            out = done.stdout.decode("utf-8", "replace")
            log.write(out + f"(exit {done.returncode})\n")
            return done.returncode, out

    def create(self):
        code, _ = self.run("wineboot", "-i", timeout=300)
        self.run("wineserver", "-w", timeout=120)
        if code != 0 or not self.system32.is_dir():
            raise CannotRun(f"wineboot -i failed (exit {code}); see {self.log}")

    def stop(self):
        self.run("wineserver", "-k", timeout=60)

    def values(self, key):
        """The values of a registry key as {name: data}, or None when the key is missing."""
        code, out = self.run("wine", "reg", "query", key)
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            match = re.match(r"^\s+(\S.*?)\s{2,}(REG_\w+)\s*(.*?)\s*$", line)
            if match:
                values[match.group(1)] = match.group(3)
        return values

    def saver(self):
        return (self.values(DESKTOP_KEY) or {}).get(SAVER_VALUE)

    def set_saver(self, path):
        code, _ = self.run("wine", "reg", "add", DESKTOP_KEY, "/v", SAVER_VALUE, "/t", "REG_SZ",
                           "/d", path, "/f")
        return code == 0


def names_mirelune(value):
    return value is not None and re.split(r"[\\/]", value)[-1].lower() == "mirelune.scr"


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.25)
    return True


def install(prefix, checks, setup, *options):
    code, _ = prefix.run("wine", str(setup), "/S", *options)
    checks.expect(code == 0, f"{' '.join(['Mirelune-Setup.exe', '/S', *options])} exits with 0 (got {code})")


def uninstall(prefix, checks, *options):
    """Runs the quiet uninstall command the installer registered for Apps, with options."""
    scr = prefix.system32 / "Mirelune.scr"
    registered = (prefix.values(UNINSTALL_KEY) or {}).get("QuietUninstallString", "")
    command = re.fullmatch(r'"([^"]+)"\s*(.*)', registered)
    if not checks.expect(command is not None and command[1] == UNINSTALLER, f"the quiet "
                         f"uninstall command runs {UNINSTALLER} (got {registered!r})"):
        return
    code, _ = prefix.run("wine", command[1], *command[2].split(), *options)
    checks.expect(code == 0, f"{registered} {' '.join(options)} exits with 0 (got {code})")
    # The uninstaller copies itself to the temporary folder, starts the copy and returns at
    # once; the copy does the work. Wait for it to finish: the saver, the uninstaller's
    # folder and the key go in that order.
    started = time.monotonic()
    finished = wait_for(lambda: not scr.exists() and not prefix.program_folder.exists(), 20)
    finished = finished and wait_for(lambda: prefix.values(UNINSTALL_KEY) is None, 10)
    print(f"        (uninstaller finished after {time.monotonic() - started:.1f} s)"
          if finished else "        (uninstaller still not finished after 30 s)", flush=True)
    prefix.run("wineserver", "-w", timeout=60)


def check_installed(prefix, checks, built_scr):
    scr = prefix.system32 / "Mirelune.scr"
    checks.expect(scr.is_file() and scr.read_bytes() == built_scr.read_bytes(),
                  f"{scr.relative_to(prefix.path)} exists and equals {built_scr.name}")
    checks.expect((prefix.program_folder / "Uninstall.exe").is_file(),
                  "the uninstaller is C:\\Program Files\\Mirelune\\Uninstall.exe")
    checks.expect(prefix.values(UNINSTALL_KEY) is not None,
                  f"the uninstall key {UNINSTALL_KEY} exists")


def check_uninstalled(prefix, checks):
    checks.expect(not (prefix.system32 / "Mirelune.scr").exists(), "Mirelune.scr is gone")
    checks.expect(not prefix.program_folder.exists(),
                  "C:\\Program Files\\Mirelune (the uninstaller's folder) is gone")
    checks.expect(prefix.values(UNINSTALL_KEY) is None, "the uninstall key is gone")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--setup", type=Path, required=True, help="Mirelune-Setup.exe")
    parser.add_argument("--scr", type=Path, help="the Mirelune.scr it holds (default: beside it)")
    parser.add_argument("--work", type=Path, required=True, help="folder for the prefix and log")
    parser.add_argument("--keep", action="store_true", help="keep the prefix afterwards")
    args = parser.parse_args()
    setup = args.setup.resolve()
    built_scr = (args.scr or setup.parent / "Mirelune.scr").resolve()

    started = time.monotonic()
    checks = Checks()
    prefix = None
    try:
        for tool in ("wine", "wineboot", "wineserver"):
            if shutil.which(tool) is None:
                raise CannotRun(f"{tool} is not installed")
        for path in (setup, built_scr):
            if not path.is_file():
                raise CannotRun(f"{path} does not exist")
        work = args.work.resolve()
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        prefix = Prefix(work / "prefix", work / "installer_test.log")
        print(f"creating the Wine prefix {prefix.path}", flush=True)
        prefix.create()

        print("install: /S", flush=True)
        install(prefix, checks, setup)
        check_installed(prefix, checks, built_scr)
        saver = prefix.saver()
        checks.expect(names_mirelune(saver), f"{SAVER_VALUE} names Mirelune.scr (got {saver})")

        settings = prefix.settings_folder / "mirelune.ini"
        settings.parent.mkdir(parents=True, exist_ok=True)
        settings.write_text("[Mirelune ScreenSaver]\r\nSectors=5\r\n")

        print("uninstall: /S", flush=True)
        uninstall(prefix, checks)
        check_uninstalled(prefix, checks)
        saver = prefix.saver()
        checks.expect(not names_mirelune(saver),
                      f"{SAVER_VALUE} no longer names Mirelune.scr (got {saver})")
        checks.expect(settings.is_file(), f"the settings file {settings.name} is kept")

        print("install: /S /CURRENT=0 with another saver selected", flush=True)
        checks.expect(prefix.set_saver(OTHER_SAVER), f"{SAVER_VALUE} set to {OTHER_SAVER}")
        install(prefix, checks, setup, "/CURRENT=0")
        check_installed(prefix, checks, built_scr)
        saver = prefix.saver()
        checks.expect(saver == OTHER_SAVER, f"{SAVER_VALUE} left as {OTHER_SAVER} (got {saver})")

        print("uninstall: /S /PURGE", flush=True)
        uninstall(prefix, checks, "/PURGE")
        check_uninstalled(prefix, checks)
        saver = prefix.saver()
        checks.expect(saver == OTHER_SAVER, f"{SAVER_VALUE} still {OTHER_SAVER} (got {saver})")
        checks.expect(not prefix.settings_folder.exists(), "/PURGE deleted the settings folder")
    except CannotRun as error:
        print(f"installer_test: cannot run: {error}", file=sys.stderr)
        return 2
    finally:
        if prefix is not None:
            prefix.stop()
            if not args.keep and not checks.failures:
                shutil.rmtree(prefix.path, ignore_errors=True)

    elapsed = time.monotonic() - started
    if checks.failures:
        print(f"installer_test: {len(checks.failures)} check(s) failed ({elapsed:.1f} s):")
        for failure in checks.failures:
            print(f"  {failure}")
        return 1
    print(f"installer_test: all checks passed ({elapsed:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
