#!/usr/bin/env python3
"""Tests of scripts/release on the README's build (build/windows and build/native), one scenario
a run, which fails with a FAIL line: release_tests.py SOURCE WORK package|signing|reproducible"""

import gzip
import hashlib
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "wine"))
from installer_test import Prefix  # noqa: E402


def check(condition, message):
    if not condition:
        sys.exit(f"FAIL {sys.argv[3]}: {message}")


def run(*command, accept_failure=False, **options):
    done = subprocess.run([str(part) for part in command], text=True, stdin=subprocess.DEVNULL,
                          capture_output=True, **options)
    check(done.returncode == 0 or accept_failure, f"{' '.join(map(str, command))} exited with "
          f"{done.returncode}:\n{done.stdout}{done.stderr}")
    return done


def release(source, dist, umask=-1, **extra):
    """The .scr, installer and Debian package that scripts/release made in dist, named with the
    version, with no signing certificate but the extra variables (and umask, if given)."""
    env = {**{k: v for k, v in os.environ.items() if not k.startswith("MIRELUNE_")}, **extra}
    run(source / "scripts" / "release", "-o", dist, cwd=source, env=env, umask=umask)
    version = re.search(r"project\(\w+ VERSION ([\d.]+)",
                        (source / "CMakeLists.txt").read_text()).group(1)
    found = [list(dist.glob(name)) for name in (f"Mirelune-{version}.scr",
             f"Mirelune-{version}-Setup.exe", f"mirelune_{version}_*.deb")]
    check(all(len(files) == 1 for files in found), f"not one of each file in {found}")
    return [files[0] for files in found]


def package(source, work):
    """An unsigned release whose SHA256SUMS checks out, and whose Debian package installs the
    program, its settings description and man page, depends on the packages of every library
    the program links, and passes lintian."""
    dist, root = work / "dist", work / "root"
    _, _, deb = release(source, dist)
    sums = run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=dist).stdout
    listed = {line.split(":")[0] for line in sums.splitlines()}
    made = {path.name for path in dist.iterdir()} - {"SHA256SUMS"}
    check(listed == made, f"SHA256SUMS lists {sorted(listed)}, dist holds {sorted(made)}")

    run("dpkg-deb", "-x", deb, root)
    program = root / "usr/libexec/xscreensaver/mirelune"
    check(os.access(program, os.X_OK), f"{program} is missing or not executable")
    # XScreenSaver's settings program matches the description to the hack by these names.
    xml = root / "usr/share/xscreensaver/config/mirelune.xml"
    saver = ElementTree.parse(xml).getroot() if xml.is_file() else None
    check(saver is not None and saver.get("name") == "mirelune"
          and saver.find("command").get("arg") == "--root", f"{xml} does not run mirelune --root")
    page = root / "usr/share/man/man6/mirelune.6.gz"
    check(page.is_file() and gzip.decompress(page.read_bytes()).startswith(b".TH MIRELUNE 6"),
          f"{page} is not the man page")
    depends = run("dpkg-deb", "-f", deb, "Depends").stdout
    named = {re.split(r"[\s(]", entry.strip())[0] for entry in depends.split(",")}
    for soname in re.findall(r"\(NEEDED\)\s+Shared library: \[(.+?)\]",
                             run("readelf", "-d", program).stdout):
        owners = run("dpkg", "-S", f"*/{soname}").stdout.splitlines()
        check(named & {owner.split(":")[0] for owner in owners},
              f"Depends ({depends.strip()}) names no package of {soname}: {owners}")
    lintian = run("lintian", "--allow-root", "--tag-display-limit", "0", deb,
                  accept_failure=True).stdout
    complaints = [line for line in lintian.splitlines() if re.match(r"^[EW]: ", line)]
    check(not complaints, "lintian complains:\n" + "\n".join(complaints))


def verifies(path, certificate):
    done = run("osslsigncode", "verify", "-CAfile", certificate, "-in", path, accept_failure=True)
    digests = re.findall(r"(?:Current|Calculated) message digest\s*:\s*(\w+)", done.stdout)
    return done.returncode == 0 and len(digests) == 2 and digests[0] == digests[1]


def signing(source, work):
    """A release signed with a throwaway certificate: the .scr, the installer and the
    uninstaller it installs verify, and no longer with one byte changed two thirds in (where the
    signature's hash covers it); a PKCS#12 file signs the same bytes as the PEM files."""
    cert, key, pkcs12 = work / "cert.pem", work / "key.pem", work / "identity.p12"
    run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
        "-days", "2", "-subj", "/CN=Mirelune release test")
    run("openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pkcs12,
        "-passout", "pass:release-test")
    epoch = run("git", "log", "-1", "--format=%ct", cwd=source).stdout.strip()
    scr, setup, _ = release(source, work / "dist", MIRELUNE_SIGN_CERT=str(cert),
                            MIRELUNE_SIGN_KEY=str(key), SOURCE_DATE_EPOCH=epoch)

    prefix = Prefix(work / "prefix")  # the installer writes the uninstaller there
    steps = (["wineboot", "-i"], ["wine", setup, "/S", "/CURRENT=0"], ["wineserver", "-w"])
    statuses = [prefix.run(*map(str, step))[0] for step in steps]
    prefix.run("wineserver", "-k")
    check(statuses == [0, 0, 0], f"{steps} ended with {statuses}")
    for path in (scr, setup, prefix.folder / "Uninstall.exe"):
        check(verifies(path, cert), f"the signature of {path} does not verify")
        data = bytearray(path.read_bytes())
        data[len(data) * 2 // 3] ^= 0x01
        (work / "tampered").write_bytes(data)
        check(not verifies(work / "tampered", cert), f"{path} verifies with a byte changed")

    copy = work / "pkcs12.scr"
    shutil.copy(source / "build/windows/Mirelune.scr", copy)
    run(source / "scripts/sign-authenticode", copy, env=dict(
        os.environ, MIRELUNE_SIGN_PKCS12=str(pkcs12), MIRELUNE_SIGN_PASSWORD="release-test",
        SOURCE_DATE_EPOCH=epoch))
    check(copy.read_bytes() == scr.read_bytes(), "the PKCS#12 file signs other bytes than the PEM")


def reproducible(source, work):
    """A second build of the same sources elsewhere, deeper and with another name, the sources
    dated long ago, with another umask and time zone, gives the same bytes (the web edition's
    package included)."""
    # The first release takes SOURCE_DATE_EPOCH from git itself; the copy has no history.
    epoch = run("git", "log", "-1", "--format=%ct", cwd=source).stdout.strip()
    release(source, work / "first")
    second = work / "elsewhere" / "second-build"
    listed = run("git", "ls-files", "-z", "--cached", "--others", "--exclude-standard",
                 cwd=source).stdout.split("\0")
    second.mkdir(parents=True)
    run("cp", "--parents", *(name for name in listed if name and (source / name).is_file()),
        second, cwd=source)
    run("find", second, "-exec", "touch", "-h", "--date=2001-02-03 04:05:06", "{}", "+")
    elsewhere = {"SOURCE_DATE_EPOCH": epoch, "TZ": "Pacific/Auckland"}
    build = {"cwd": second, "env": dict(os.environ, **elsewhere), "umask": 0o002}
    run("cmake", "--preset", "windows", **build)
    run("cmake", "--preset", "native", "-DMIRELUNE_TESTS=OFF", "-DMIRELUNE_BENCHMARKS=OFF",
        "-DMIRELUNE_RENDER_TOOL=OFF", "-DMIRELUNE_WINE_TESTS=OFF", **build)
    if (source / "build/web/Mirelune-wallpaper.zip").is_file():
        run("cmake", "--preset", "web", **build)
        run("cmake", "--build", "--preset", "web", **build)
    release(second, work / "second", umask=0o002, **elsewhere)
    first, again = ({path.name: hashlib.sha256(path.read_bytes()).hexdigest()
                     for path in (work / name).iterdir()} for name in ("first", "second"))
    check(first == again, f"the releases differ: {sorted(set(first.items()) ^ set(again.items()))}")


if __name__ == "__main__":
    source, work, scenario = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve(), sys.argv[3]
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    {"package": package, "signing": signing, "reproducible": reproducible}[scenario](source, work)
