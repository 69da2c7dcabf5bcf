#!/usr/bin/env python3
"""Installs and uninstalls Mirelune with Mirelune-Setup.exe, silently, in a fresh Wine prefix in
DIR/prefix: installer_test.py --setup Mirelune-Setup.exe --scr Mirelune.scr --work DIR.
Exit status: 0 passed, 1 a check failed, 2 the test could not run."""

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
UNINSTALLER = r"C:\Program Files\Mirelune\Uninstall.exe"
OTHER_SAVER = r"C:\windows\system32\other.scr"


class Prefix:
    def __init__(self, path):
        self.path, self.drive_c = path, path / "drive_c"
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(WINEPREFIX=str(path), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.scr = self.drive_c / "windows" / "system32" / "Mirelune.scr"
        self.folder = self.drive_c / "Program Files" / "Mirelune"
        self.settings = (self.drive_c / "users" / pwd.getpwuid(os.getuid()).pw_name / "AppData"
                         / "Roaming" / "Mirelune")

    def run(self, *args, timeout=180):  # the exit status and output, or None and ""
        try:
            done = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, timeout=timeout,
                                  capture_output=True)
        except subprocess.TimeoutExpired:
            return None, ""
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def values(self, key):  # a registry key's values as {name: data}, or None without the key
        code, out = self.run("wine", "reg", "query", key)
        return None if code != 0 else dict(
            m.groups() for m in re.finditer(r"^\s+(\S.*?)\s{2,}REG_\w+\s*(.*?)\s*$", out, re.M))

    def saver(self):
        return (self.values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE") or ""


def install(prefix, checks, setup, built, *options):
    code, _ = prefix.run("wine", str(setup), "/S", *options)
    checks.expect(code == 0 and prefix.scr.is_file()
                  and prefix.scr.read_bytes() == built.read_bytes()
                  and (prefix.folder / "Uninstall.exe").is_file()
                  and prefix.values(UNINSTALL_KEY) is not None,
                  f"/S {' '.join(options)}: Mirelune.scr equals the build, the uninstaller and "
                  f"its key are there (exit {code})")


def uninstall(prefix, checks, *options):
    """Runs the quiet uninstall command the installer registered. The uninstaller starts a copy
    of itself and returns at once; the copy removes the saver, its folder and then the key."""
    registered = (prefix.values(UNINSTALL_KEY) or {}).get("QuietUninstallString", "")
    command = re.fullmatch(r'"([^"]+)"\s*(.*)', registered)
    if not checks.expect(command is not None and command[1] == UNINSTALLER,
                         f"the quiet uninstall command runs {UNINSTALLER} (got {registered!r})"):
        return
    code, _ = prefix.run("wine", command[1], *command[2].split(), *options)
    deadline = time.monotonic() + 30
    while (prefix.scr.exists() or prefix.folder.exists() or prefix.values(UNINSTALL_KEY)) \
            and time.monotonic() < deadline:
        time.sleep(0.25)
    prefix.run("wineserver", "-w", timeout=60)
    checks.expect(code == 0 and not prefix.scr.exists() and not prefix.folder.exists()
                  and prefix.values(UNINSTALL_KEY) is None, f"{registered} {' '.join(options)}: "
                  f"the saver, the uninstaller's folder and the key are gone (exit {code})")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--setup", "--scr", "--work"):
        parser.add_argument(option, type=Path, required=True)
    args = parser.parse_args()
    setup, built = args.setup.resolve(), args.scr.resolve()
    checks, prefix = Checks(), None
    try:
        missing = [t for t in ("wine", "wineboot", "wineserver") if shutil.which(t) is None]
        missing += [str(p) for p in (setup, built) if not p.is_file()]
        if missing:
            raise CannotRun(f"missing: {', '.join(missing)}")
        shutil.rmtree(args.work, ignore_errors=True)
        args.work.mkdir(parents=True)
        prefix = Prefix(args.work.resolve() / "prefix")
        code, _ = prefix.run("wineboot", "-i", timeout=300)
        prefix.run("wineserver", "-w", timeout=120)
        if code != 0:
            raise CannotRun(f"wineboot -i failed (exit {code})")

        install(prefix, checks, setup, built)
        checks.expect(re.split(r"[\\/]", prefix.saver())[-1].lower() == "mirelune.scr",
                      f"/S selects Mirelune.scr (got {prefix.saver()})")
        ini = prefix.settings / "mirelune.ini"
        ini.parent.mkdir(parents=True, exist_ok=True)
        ini.write_text("[Mirelune ScreenSaver]\r\nSectors=5\r\n")
        uninstall(prefix, checks)
        checks.expect("mirelune" not in prefix.saver().lower() and ini.is_file(),
                      f"the uninstall deselects the saver ({prefix.saver()}) and keeps the "
                      "settings file")

        prefix.run("wine", "reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d",
                   OTHER_SAVER, "/f")
        install(prefix, checks, setup, built, "/CURRENT=0")
        checks.expect(prefix.saver() == OTHER_SAVER, f"/CURRENT=0 leaves {OTHER_SAVER} selected")
        uninstall(prefix, checks, "/PURGE")
        checks.expect(prefix.saver() == OTHER_SAVER and not prefix.settings.exists(),
                      f"/PURGE leaves {OTHER_SAVER} selected and deletes the settings folder")
    except CannotRun as error:
        print(f"cannot run: {error}", file=sys.stderr)
        return 2
    finally:
        if prefix is not None:
            prefix.run("wineserver", "-k", timeout=60)
            if not checks.failures:
                shutil.rmtree(prefix.path, ignore_errors=True)
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
