#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Seeds for the archive targets, made by the archivers and office libraries users' files come from:
# small archives for fuzz_zipwalk, their raw deflate streams for fuzz_deflate, and the document and
# sheet parts of freshly written office files for fuzz_xmlcloser. Run from anywhere; overwrites the
# seeds it owns (named made-*), keeps every other corpus file.
import os, struct, subprocess, sys, tempfile, zipfile

here = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(here, target, "corpus")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "made-" + name), "wb") as f:
        f.write(data)


def run(*args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def raw_streams(path):
    """Yields (member name, raw compressed bytes) of each deflated member."""
    with open(path, "rb") as f:
        blob = f.read()
    for info in zipfile.ZipFile(path).infolist():
        if info.compress_type != zipfile.ZIP_DEFLATED or info.compress_size == 0:
            continue
        at = info.header_offset
        name_len, extra_len = struct.unpack_from("<HH", blob, at + 26)
        start = at + 30 + name_len + extra_len
        yield info.filename, blob[start:start + info.compress_size]


def pieces(xml):
    """The closer target's framing: one control byte per data piece of up to 248 bytes."""
    out = b""
    for i in range(0, len(xml) - len(xml) % 8, 248):
        piece = xml[i:i + 248]
        piece = piece[: len(piece) // 8 * 8]
        out += bytes([(len(piece) // 8) << 2]) + piece
    return out


def main():
    with tempfile.TemporaryDirectory() as work:
        src = os.path.join(work, "src")
        os.makedirs(os.path.join(src, "docs"))
        words = "damaged archive member header record central directory salvage repair byte".split()
        text = "\n".join(" ".join(words[(i * 7 + j) % len(words)] for j in range(i % 9 + 3)) for i in range(60))
        with open(os.path.join(src, "docs", "notes.txt"), "w") as f:
            f.write(text + "\n")
        with open(os.path.join(src, "table.csv"), "w") as f:
            f.write("".join(f"{i},{i * i},{i % 7}\r\n" for i in range(80)))
        with open(os.path.join(src, "pattern.bin"), "wb") as f:
            f.write(bytes((i * 37) & 0xFF for i in range(300)))

        made = {
            "infozip-deflate.zip": ("zip", "-q", "-r", "-9", "-X", "{out}", "docs", "table.csv", "pattern.bin"),
            "infozip-stored.zip": ("zip", "-q", "-0", "-X", "{out}", "table.csv", "pattern.bin"),
            "7z-deflate.zip": ("7z", "a", "-tzip", "-mx=9", "{out}", "docs", "table.csv"),
            "7z-deflate64.zip": ("7z", "a", "-tzip", "-mm=Deflate64", "{out}", "docs"),
            "bsdtar-deflate.zip": ("bsdtar", "--format", "zip", "-cf", "{out}", "docs", "pattern.bin"),
        }
        for name, args in made.items():
            out = os.path.join(work, name)
            run(*[a.replace("{out}", out) for a in args], cwd=src)
            with open(out, "rb") as f:
                write("zipwalk", name, f.read())
            for n, (member, stream) in enumerate(raw_streams(out)):
                # Even control byte: the rest is salvaged as a raw stream.
                write("deflate", f"{name}-{n}", b"\x00" + stream)

        sys.path.insert(0, "/usr/lib/python3/dist-packages")
        import docx
        import openpyxl

        document = docx.Document()
        document.add_heading("Salvage report", 1)
        document.add_paragraph(text[:400])
        table = document.add_table(rows=2, cols=2)
        table.cell(0, 0).text = "member"
        table.cell(1, 1).text = "kept"
        docx_path = os.path.join(work, "python-docx.docx")
        document.save(docx_path)
        book = openpyxl.Workbook()
        sheet = book.active
        for row in range(1, 12):
            sheet.append([row, f"name {row}", row * 1.5, f"=A{row}*2"])
        xlsx_path = os.path.join(work, "openpyxl.xlsx")
        book.save(xlsx_path)

        # The word processor file is left out of the archive seeds: its template makes it 36 KB, and an
        # input that size slows the walk's fuzzing tenfold for little new; its parts seed the closer.
        with open(xlsx_path, "rb") as f:
            write("zipwalk", os.path.basename(xlsx_path), f.read())
        parts = [(docx_path, "word/document.xml", 1), (docx_path, "word/_rels/document.xml.rels", 0),
                 (xlsx_path, "xl/worksheets/sheet1.xml", 2), (xlsx_path, "xl/workbook.xml", 0)]
        for path, member, kind in parts:
            xml = zipfile.ZipFile(path).read(member)[:4000]
            stem = os.path.basename(path) + "-" + member.replace("/", "_")
            write("xmlcloser", stem, bytes([kind]) + pieces(xml))
            # A hole in the middle, then the rest: the closer must still end well-formed.
            cut = len(xml) // 2 // 8 * 8
            write("xmlcloser", stem + "-hole", bytes([kind | 0x08]) + pieces(xml[:cut]) + bytes([(12 << 2) | 2])
                  + pieces(xml[cut + 96:]))


main()
