#!/usr/bin/env python3
"""Tests of scripts/release on the README's build (build/windows and build/native):

    release_tests.py --source DIR --work DIR package|signing|reproducible

  package       an unsigned release whose SHA256SUMS checks out and whose Debian package puts
                the program, its settings description and man page in place, depends on every
                library the program links, and passes lintian.
  signing       a release signed with a throwaway certificate: the .scr, the installer and the
                uninstaller it installs verify, one changed byte fails; a PKCS#12 file signs the
                same bytes as the PEM certificate and key.
  reproducible  a second build of the same sources elsewhere, with other file times, umask and
                time zone, gives the same bytes (the web edition's package included).
Exit status: 0 passed, 1 failed.
"""

import argparse
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


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(*command, cwd=None, env=None, accept_failure=False):
    done = subprocess.run([str(part) for part in command], cwd=cwd, env=env, text=True,
                          stdin=subprocess.DEVNULL, capture_output=True)
    if done.returncode != 0 and not accept_failure:
        raise Failure(f"{' '.join(map(str, command))} exited with {done.returncode}:\n"
                      f"{done.stdout}{done.stderr}")
    return done


def environment(**extra):
    """This process's environment without a signing certificate, with the extra variables."""
    return {**{k: v for k, v in os.environ.items() if not k.startswith("MIRELUNE_")}, **extra}


def commit_time(source):
    return run("git", "log", "-1", "--format=%ct", cwd=source).stdout.strip()


def release(source, dist, env):
    """Runs scripts/release into dist and returns its output and the files it made by kind,
    each named with the version."""
    out = run(source / "scripts" / "release", "-o", dist, cwd=source, env=env).stdout
    version = re.search(r"project\(\w+ VERSION ([\d.]+)",
                        (source / "CMakeLists.txt").read_text()).group(1)
    files = {}
    for kind, name in (("scr", f"Mirelune-{version}.scr"), ("setup",
                       f"Mirelune-{version}-Setup.exe"), ("deb", f"mirelune_{version}_*.deb")):
        found = list(dist.glob(name))
        check(len(found) == 1, f"expected one {name} in {dist}, found {found}")
        files[kind] = found[0]
    return out, files


# --- package ------------------------------------------------------------------------------


def needed_packages(program):
    """The Debian packages that hold the shared libraries the program links."""
    dynamic = run("readelf", "-d", program).stdout
    sonames = re.findall(r"\(NEEDED\)\s+Shared library: \[(.+?)\]", dynamic)
    check(sonames, f"{program} links no shared library: not a dynamic executable?")
    libraries = run("ldd", program).stdout
    packages = set()
    for soname in sonames:
        match = re.search(rf"^\s*{re.escape(soname)} => (\S+)", libraries, re.M)
        check(match, f"ldd does not resolve {soname}")
        owner = run("dpkg", "-S", os.path.realpath(match.group(1)), accept_failure=True)
        if owner.returncode != 0:  # usrmerge: dpkg knows the /lib path
            owner = run("dpkg", "-S", match.group(1).replace("/usr/lib/", "/lib/", 1))
        packages.add(owner.stdout.split(":")[0])
    return packages


def check_installed_tree(root, deb):
    program = root / "usr/libexec/xscreensaver/mirelune"
    check(os.access(program, os.X_OK), f"{program} is missing or not executable")
    # XScreenSaver's settings program matches the description to the hack by these names.
    try:
        saver = ElementTree.parse(root / "usr/share/xscreensaver/config/mirelune.xml").getroot()
    except (OSError, ElementTree.ParseError) as error:
        raise Failure(f"no well-formed mirelune.xml: {error}")
    command = saver.find("command")
    check(saver.tag == "screensaver" and saver.get("name") == "mirelune" and command is not None
          and command.get("arg") == "--root", "mirelune.xml does not describe the hack mirelune "
          "run with --root")
    page = root / "usr/share/man/man6/mirelune.6.gz"
    check(page.is_file() and gzip.decompress(page.read_bytes()).startswith(b".TH MIRELUNE 6"),
          f"{page} is not the man page")
    depends = run("dpkg-deb", "-f", deb, "Depends").stdout
    named = {re.split(r"[\s(]", entry.strip())[0] for entry in depends.split(",")}
    missing = needed_packages(program) - named
    check(not missing, f"Depends ({depends.strip()}) lacks {sorted(missing)}")


def lintian_complaints(deb):
    """lintian's errors and warnings; scripts/make-deb says why its informational tags stay."""
    out = run("lintian", "--allow-root", "--tag-display-limit", "0", deb,
              accept_failure=True).stdout
    return [line for line in out.splitlines() if re.match(r"^[EW]: ", line)]


def package(args):
    dist = args.work / "dist"
    out, files = release(args.source, dist, environment())
    check("not signed" in out, "an unsigned release does not say that it is unsigned")
    unsigned = run("osslsigncode", "verify", "-in", files["scr"], accept_failure=True)
    check(unsigned.returncode != 0, "the .scr of an unsigned release carries a signature")
    sums = run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=dist).stdout
    listed = {line.split(":")[0] for line in sums.splitlines()}
    made = {path.name for path in dist.iterdir()} - {"SHA256SUMS"}
    check(listed == made, f"SHA256SUMS lists {sorted(listed)}, dist holds {sorted(made)}")

    root = args.work / "root"
    run("dpkg-deb", "-x", files["deb"], root)
    check_installed_tree(root, files["deb"])
    complaints = lintian_complaints(files["deb"])
    check(not complaints, "lintian complains:\n" + "\n".join(complaints))


# --- signing ------------------------------------------------------------------------------


def verifies(path, certificate):
    done = run("osslsigncode", "verify", "-CAfile", certificate, "-in", path, accept_failure=True)
    digests = re.findall(r"(?:Current|Calculated) message digest\s*:\s*(\w+)", done.stdout)
    return done.returncode == 0 and len(digests) == 2 and digests[0] == digests[1]


def tampered(path, work):
    """A copy of the file with one byte changed two thirds in: a byte the signature's hash
    covers (in the installers, one of the packed files), not the signature itself."""
    copy = work / f"tampered-{path.name}"
    data = bytearray(path.read_bytes())
    data[len(data) * 2 // 3] ^= 0x01
    copy.write_bytes(data)
    return copy


def installed_uninstaller(setup, work):
    """Installs silently into a fresh Wine prefix and returns the uninstaller it wrote."""
    prefix = Prefix(work / "prefix")
    try:
        for command in (["wineboot", "-i"], ["wine", setup, "/S", "/CURRENT=0"],
                        ["wineserver", "-w"]):
            check(prefix.run(*map(str, command))[0] == 0, f"{command} failed")
    finally:
        prefix.run("wineserver", "-k")
    check((prefix.folder / "Uninstall.exe").is_file(), "the installer wrote no Uninstall.exe")
    return prefix.folder / "Uninstall.exe"


def signing(args):
    keys = args.work / "keys"
    keys.mkdir()
    cert, key, pkcs12 = keys / "cert.pem", keys / "key.pem", keys / "identity.p12"
    run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
        "-days", "2", "-subj", "/CN=Mirelune release test")
    run("openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pkcs12,
        "-passout", "pass:release-test")

    epoch = commit_time(args.source)
    env = environment(MIRELUNE_SIGN_CERT=str(cert), MIRELUNE_SIGN_KEY=str(key),
                      SOURCE_DATE_EPOCH=epoch)
    out, files = release(args.source, args.work / "dist", env)
    check("are signed" in out, "a signed release does not say that it is signed")
    signed = {"scr": files["scr"], "setup": files["setup"],
              "uninstaller": installed_uninstaller(files["setup"], args.work)}
    for kind, path in signed.items():
        check(verifies(path, cert), f"the signature of the {kind} does not verify")
        check(not verifies(tampered(path, args.work), cert),
              f"the {kind} still verifies with one byte changed")

    copy = args.work / "pkcs12.scr"
    shutil.copy(args.source / "build/windows/Mirelune.scr", copy)
    env = environment(MIRELUNE_SIGN_PKCS12=str(pkcs12), MIRELUNE_SIGN_PASSWORD="release-test",
                      SOURCE_DATE_EPOCH=epoch)
    run(args.source / "scripts/sign-authenticode", copy, env=env)
    check(copy.read_bytes() == files["scr"].read_bytes(),
          "signing with the PKCS#12 file gives other bytes than with the PEM files")


# --- reproducible -------------------------------------------------------------------------


def copy_sources(source, target, when):
    listed = run("git", "ls-files", "-z", "--cached", "--others", "--exclude-standard",
                 cwd=source).stdout
    for name in filter(None, listed.split("\0")):
        origin = source / name
        if origin.is_file():
            (target / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(origin, target / name)
    run("find", target, "-exec", "touch", "-h", f"--date={when}", "{}", "+")


def hashes(dist):
    return {path.name: hashlib.sha256(path.read_bytes()).hexdigest()
            for path in sorted(dist.iterdir())}


def reproducible(args):
    # The first release takes SOURCE_DATE_EPOCH from git itself; the copy has no history.
    epoch = commit_time(args.source)
    release(args.source, args.work / "first", environment())
    first = hashes(args.work / "first")

    # Another folder, deeper and with another name, sources dated long ago, another umask and
    # time zone, and later than the README's build.
    second = args.work / "elsewhere" / "second-build"
    copy_sources(args.source, second, "2001-02-03 04:05:06")
    env = environment(SOURCE_DATE_EPOCH=epoch, TZ="Pacific/Auckland")
    old_umask = os.umask(0o002)
    try:
        run("cmake", "--preset", "windows", cwd=second, env=env)
        run("cmake", "--preset", "native", "-DMIRELUNE_TESTS=OFF", "-DMIRELUNE_BENCHMARKS=OFF",
            "-DMIRELUNE_RENDER_TOOL=OFF", "-DMIRELUNE_WINE_TESTS=OFF", cwd=second, env=env)
        if (args.source / "build/web/Mirelune-wallpaper.zip").is_file():
            run("cmake", "--preset", "web", cwd=second, env=env)
            run("cmake", "--build", "--preset", "web", cwd=second, env=env)
        release(second, args.work / "second", env)
    finally:
        os.umask(old_umask)
    again = hashes(args.work / "second")

    different = [name for name in first if first[name] != again.get(name)]
    check(sorted(first) == sorted(again) and not different, f"the releases hold {sorted(first)} "
          f"and {sorted(again)}, differing in {different}")


SCENARIOS = {"package": package, "signing": signing, "reproducible": reproducible}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("scenario", choices=SCENARIOS)
    args = parser.parse_args()
    args.source = args.source.resolve()
    args.work = args.work.resolve()
    shutil.rmtree(args.work, ignore_errors=True)
    args.work.mkdir(parents=True)
    try:
        SCENARIOS[args.scenario](args)
    except Failure as failure:
        print(f"FAIL {args.scenario}: {failure}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
