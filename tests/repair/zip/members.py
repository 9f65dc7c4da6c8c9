#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Lists an archive's members as Python's zipfile reads them, after it has checked every one:
# "OK" or "BAD name" first, then one line per member: CRC-32 (hex), size, name.
import sys
import zipfile

with zipfile.ZipFile(sys.argv[1]) as z:
    if len(sys.argv) > 2:
        z.setpassword(sys.argv[2].encode())
    bad = z.testzip()
    print("OK" if bad is None else "BAD " + bad)
    for info in z.infolist():
        print(f"{info.CRC:08x} {info.file_size} {info.filename}")
