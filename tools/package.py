#!/usr/bin/env python3
"""Builds the release zips reproducibly: fixed order, fixed times, fixed permissions.

    package.py OUT.zip FILE [FILE...]    (each file is stored under its base name)
"""
import os
import sys
import zipfile

FIXED_TIME = (2026, 1, 1, 0, 0, 0)


def main(argv):
    out, files = argv[1], argv[2:]
    with zipfile.ZipFile(out, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in sorted(files, key=os.path.basename):
            info = zipfile.ZipInfo(os.path.basename(path), date_time=FIXED_TIME)
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
