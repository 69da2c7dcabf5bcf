#!/usr/bin/env python3
"""Installs and uninstalls Mirelune silently with Mirelune-Setup.exe in a fresh Wine prefix in
the --work folder. Exit status: 0 passed, 1 a check failed, 2 the test could not run."""

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


def installed(prefix, built):
    """(the installed saver is the build, the uninstaller, its key, the selected saver's file
    name, the files in the settings folder or None without one)"""
    settings = prefix.settings.exists() and sorted(p.name for p in prefix.settings.iterdir())
    selected = (prefix.values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE", "")
    return (prefix.scr.is_file() and prefix.scr.read_bytes() == built,
            (prefix.folder / "Uninstall.exe").is_file(), prefix.values(UNINSTALL_KEY) is not None,
            re.split(r"[\\/]", selected)[-1].lower(), settings or None)


def uninstall(prefix, *options):
    """The exit status of the quiet uninstall command registered, or what is wrong with it. The
    uninstaller starts a copy of itself and returns; the copy removes the files, then the key."""
    registered = (prefix.values(UNINSTALL_KEY) or {}).get("QuietUninstallString", "")
    command = re.fullmatch(r'"([^"]+)"\s*(.*)', registered)
    if command is None or command[1] != UNINSTALLER:
        return f"a quiet uninstall command {registered!r}, not running {UNINSTALLER}"
    code, _ = prefix.run("wine", command[1], *command[2].split(), *options)
    deadline = time.monotonic() + 30
    while (prefix.scr.exists() or prefix.folder.exists() or prefix.values(UNINSTALL_KEY)) \
            and time.monotonic() < deadline:
        time.sleep(0.25)
    prefix.run("wineserver", "-w", timeout=60)
    return code


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--setup", "--scr", "--work"):
        parser.add_argument(option, type=Path, required=True)
    args = parser.parse_args()
    setup, built = args.setup.resolve(), args.scr.resolve()
    checks, prefix = Checks(), None

    def expect(what, status, *want):
        got = installed(prefix, built.read_bytes())
        checks.expect(status == 0 and got == want, f"{what}: exit 0, {want} (got {status}, {got})")

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
        installer = ("wine", str(setup), "/S")
        expect("/S", prefix.run(*installer)[0], True, True, True, "mirelune.scr", None)
        prefix.settings.mkdir(parents=True)
        (prefix.settings / "mirelune.ini").write_text("[Mirelune ScreenSaver]\r\nSectors=5\r\n")
        expect("the uninstall deselects the saver and keeps the settings", uninstall(prefix),
               False, False, False, "", ["mirelune.ini"])
        prefix.run("wine", "reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d",
                   OTHER_SAVER, "/f")
        expect("/S /CURRENT=0 keeps the other saver", prefix.run(*installer, "/CURRENT=0")[0],
               True, True, True, "other.scr", ["mirelune.ini"])
        expect("the uninstall /PURGE deletes the settings", uninstall(prefix, "/PURGE"), False,
               False, False, "other.scr", None)
    except CannotRun as error:
        print(f"cannot run: {error}", file=sys.stderr)
        return 2
    finally:
        if prefix is not None:
            prefix.run("wineserver", "-k", timeout=60)
            if not checks:
                shutil.rmtree(prefix.path, ignore_errors=True)
    return 1 if checks else 0


if __name__ == "__main__":
    sys.exit(main())
