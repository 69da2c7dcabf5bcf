#!/usr/bin/env python3
"""Packs the wallpaper's files into a zip whose bytes depend on their contents alone.

    pack_zip.py OUT.zip FILE...   (names relative to the working folder)

Every entry gets the same date (the earliest a zip can hold), the same permissions and no
owner, in the order given, so two builds of one commit give one zip whenever they are made.
"""
import os
import sys
import zipfile

out, names = sys.argv[1], sys.argv[2:]
stamp = (1980, 1, 1, 0, 0, 0)
with zipfile.ZipFile(out + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in names:
        entry = zipfile.ZipInfo(name, date_time=stamp)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(name, "rb") as source:
            archive.writestr(entry, source.read())
os.replace(out + ".part", out)
