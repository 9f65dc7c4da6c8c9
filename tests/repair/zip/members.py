#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Lists an archive's members as Python's zipfile reads them, after it has checked every one:
# "OK" or "BAD name" first, then one line per member: CRC-32 (hex), size, time, name.
import sys
import zipfile

with zipfile.ZipFile(sys.argv[1]) as z:
    if len(sys.argv) > 2:
        z.setpassword(sys.argv[2].encode())
    bad = z.testzip()
    print("OK" if bad is None else "BAD " + bad)
    for info in z.infolist():
        stamp = "%04d%02d%02d%02d%02d%02d" % info.date_time
        print(f"{info.CRC:08x} {info.file_size} {stamp} {info.filename}")
