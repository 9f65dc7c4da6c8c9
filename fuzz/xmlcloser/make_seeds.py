#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Seeds for fuzz_xmlcloser: slices of the fixtures' parts, whole and with a hole or unsure piece inside.
import os, zipfile
here = os.path.dirname(os.path.abspath(__file__))
fixtures = os.path.join(here, "..", "..", "tests", "repair", "fixtures", "ooxml")
parts = [("text.docx", "word/document.xml", 1), ("table.xlsx", "xl/worksheets/sheet1.xml", 2),
         ("slides.pptx", "ppt/slides/slide1.xml", 4), ("text.docx", "word/_rels/document.xml.rels", 0)]
def data(b):  # control bytes: data pieces of 248 bytes
    out = b""
    for i in range(0, len(b), 248):
        piece = b[i:i + 248]
        out += bytes([(len(piece) // 8) << 2]) + piece[: (len(piece) // 8) * 8]
    return out
os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for n, (fixture, member, kind) in enumerate(parts):
    xml = zipfile.ZipFile(os.path.join(fixtures, fixture)).read(member)[:3000]
    seeds = {
        "whole": bytes([kind]) + data(xml),
        "hole": bytes([kind | 0x08]) + data(xml[:1000]) + bytes([(10 << 2) | 2]) + data(xml[1500:]),
        "unsure": bytes([kind | 0x10]) + data(xml[:800]) + bytes([(30 << 2) | 3]) + xml[900:1140] + data(xml[1140:]),
    }
    for name, seed in seeds.items():
        with open(os.path.join(here, "corpus", f"{n}_{name}"), "wb") as f:
            f.write(seed)
