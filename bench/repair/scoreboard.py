#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The repair scoreboard: originals made by other programs, damaged the ways files really break, repaired
by quillon-repair and by the open-source tools of each format in the same run, each result scored by how
much of the original's content came back.

    bench/repair/scoreboard.py --tool build/app/quillon-repair [--work DIR] [--png docs/repair-scoreboard.png]

Scores (per cent of the original found in the result):
  zip        members whose bytes are identical to the original's
  docx       body paragraphs found, in order, by python-docx opening the result
  xlsx       rows found, in order, by openpyxl opening the result (every sheet)
  pptx       slide texts found, in order, reading the slides the presentation lists with a strict XML parser
A result that its reader cannot open scores 0.
"""
import argparse
import bisect
import io
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile
import zlib

SEED = 20261210
WORDS = ("repair archive document sector header stream record paragraph table value sheet slide "
         "column window folder recover damaged signature offset block entry central directory local "
         "quarter report invoice budget meeting customer order delivery product summary figure note "
         "the of and to in is that for it as with was on be by at this from or an are which").split()


def sentence(rng, n):
    return " ".join(rng.choice(WORDS) for _ in range(n)).capitalize() + "."


def run(cmd, cwd=None, stdin=None, timeout=600):
    return subprocess.run(cmd, cwd=cwd, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=timeout)


# ----------------------------------------------------------------------------------------------- originals

def make_tree(root, rng):
    os.makedirs(os.path.join(root, "docs", "notes"), exist_ok=True)
    os.makedirs(os.path.join(root, "data"), exist_ok=True)
    files = {}
    for i in range(8):
        text = "\n".join(f"{i}.{k} " + sentence(rng, rng.randint(6, 30)) for k in range(rng.randint(40, 900)))
        files[f"docs/chapter{i}.txt"] = text.encode()
    files["docs/notes/todo.md"] = "\n".join(f"- item {k}: {sentence(rng, 8)}" for k in range(300)).encode()
    files["data/table.csv"] = "\n".join(
        ",".join(str(rng.randint(0, 99999)) for _ in range(8)) for _ in range(3000)).encode()
    files["data/random.bin"] = bytes(rng.getrandbits(8) for _ in range(40000))
    files["data/pattern.bin"] = bytes((k * 7) % 251 for k in range(200000))
    files["data/empty.txt"] = b""
    for name, data in files.items():
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    return files


def make_zips(work, rng):
    tree = os.path.join(work, "tree")
    make_tree(tree, rng)
    made = {}
    out = os.path.join(work, "zip-infozip.zip")
    run(["zip", "-q", "-r", "-X", out, "."], cwd=tree)
    made["zip (zip)"] = out
    out = os.path.join(work, "zip-7z.zip")
    run(["7z", "a", "-tzip", "-bd", out, "."], cwd=tree)
    made["zip (7z)"] = out
    out = os.path.join(work, "zip-bsdtar.zip")
    run(["bsdtar", "--format", "zip", "-cf", out, "."], cwd=tree)
    made["zip (bsdtar)"] = out
    return made


def make_docx(work, rng):
    import docx
    document = docx.Document()
    document.add_heading("Quarterly report", 0)
    for k in range(420):
        if k % 40 == 0:
            document.add_heading(f"Section {k // 40 + 1}", level=1)
        document.add_paragraph(f"P{k}. " + " ".join(sentence(rng, rng.randint(6, 24)) for _ in range(3)))
    table = document.add_table(rows=12, cols=4)
    for r in range(12):
        for c in range(4):
            table.cell(r, c).text = f"r{r}c{c} {rng.choice(WORDS)}"
    for k in range(420, 480):
        document.add_paragraph(f"P{k}. " + sentence(rng, 20))
    out = os.path.join(work, "report.docx")
    document.save(out)
    return {"docx (python-docx)": out}


def make_xlsx(work, rng):
    import openpyxl
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Orders"
    sheet.append(["id", "customer", "product", "quantity", "price", "note"])
    for k in range(2500):
        sheet.append([k, f"customer {rng.randint(1, 400)}", rng.choice(WORDS), rng.randint(1, 50),
                      round(rng.uniform(1, 999), 2), sentence(rng, 5)])
    second = book.create_sheet("Summary")
    for k in range(300):
        second.append([f"row {k}", rng.randint(0, 10 ** 6), sentence(rng, 3)])
    out = os.path.join(work, "orders.xlsx")
    book.save(out)
    return {"xlsx (openpyxl)": out}


FODP_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.presentation">
<office:body><office:presentation>
"""


def make_pptx(work, rng):
    soffice = shutil.which("soffice")
    if not soffice:
        return {}
    slides = []
    for k in range(24):
        lines = [f"Slide {k} title {rng.choice(WORDS)}"] + [f"S{k}.{j} {sentence(rng, 7)}" for j in range(4)]
        boxes = "".join(
            f'<draw:frame svg:x="1cm" svg:y="{1 + 2.5 * j}cm" svg:width="24cm" svg:height="2cm">'
            f'<draw:text-box><text:p>{line}</text:p></draw:text-box></draw:frame>' for j, line in enumerate(lines))
        slides.append(f'<draw:page draw:name="page{k}">{boxes}</draw:page>')
    src = os.path.join(work, "deck.fodp")
    with open(src, "w") as f:
        f.write(FODP_HEAD + "".join(slides) + "</office:presentation></office:body></office:document>\n")
    profile = "file://" + os.path.join(work, "lo-profile")
    run([soffice, f"-env:UserInstallation={profile}", "--headless", "--convert-to", "pptx", "--outdir", work, src],
        timeout=300)
    out = os.path.join(work, "deck.pptx")
    return {"pptx (LibreOffice)": out} if os.path.exists(out) else {}


# ----------------------------------------------------------------------------------------------- damage

def central_directory_offset(data):
    at = data.rfind(b"PK\x05\x06")
    return int.from_bytes(data[at + 16:at + 20], "little") if at >= 0 else len(data) // 2


def damages(data, rng):
    n = len(data)
    sector = (n * 2 // 5) // 4096 * 4096
    flipped = bytearray(data)
    for at in rng.sample(range(n // 5, n * 4 // 5), 3):
        flipped[at] ^= rng.randint(1, 255)
    garbage_at = n * 7 // 20
    return {
        "cut before directory": data[:central_directory_offset(data)],
        "cut in half": data[:n // 2],
        "zeroed 4 KB sector": data[:sector] + bytes(4096) + data[sector + 4096:],
        "3 flipped bytes": bytes(flipped),
        "head lost (4 KB)": data[4096:],
        "1 KB garbage inserted": data[:garbage_at] + bytes(rng.getrandbits(8) for _ in range(1024)) + data[garbage_at:],
        "LF turned CR LF": data.replace(b"\n", b"\r\n"),
        "end lost (8 KB zeroed)": data[:max(0, n - 8192)] + bytes(min(n, 8192)),
    }


# ----------------------------------------------------------------------------------------------- the tools

def pack_folder(folder, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for base, _, names in os.walk(folder):
            for name in sorted(names):
                path = os.path.join(base, name)
                z.write(path, os.path.relpath(path, folder))
    return out


def peer_nothing(damaged, work):
    return damaged


def with_extension_of(damaged, path):
    """Readers go by the extension: a peer's archive is named as the damaged file is."""
    named = os.path.splitext(path)[0] + os.path.splitext(damaged)[1]
    if named != path:
        os.replace(path, named)
    return named


def peer_zip_ff(damaged, work):
    src = os.path.join(work, "in.zip")
    shutil.copy(damaged, src)
    out = os.path.join(work, "out.zip")
    run(["zip", "-FF", src, "--out", out], cwd=work, stdin=b"y\n" * 20, timeout=120)
    return with_extension_of(damaged, out) if os.path.exists(out) else None


def peer_extract_and_pack(cmd):
    def peer(damaged, work):
        folder = os.path.join(work, "x")
        os.makedirs(folder)
        run([part.replace("{in}", damaged).replace("{dir}", folder) for part in cmd], cwd=work, timeout=120)
        return with_extension_of(damaged, pack_folder(folder, os.path.join(work, "out.zip")))
    return peer


PEERS = {
    "zip -FF": peer_zip_ff,
    "bsdtar": peer_extract_and_pack(["bsdtar", "-xf", "{in}", "-C", "{dir}"]),
    "7z": peer_extract_and_pack(["7z", "x", "-y", "-bd", "-o{dir}", "{in}"]),
    "nothing": peer_nothing,
}


def ours(tool):
    def repair(damaged, work):
        out = os.path.join(work, "fixed" + os.path.splitext(damaged)[1])
        if os.path.exists(out):
            os.remove(out)
        done = run([tool, "--json", "--output", out, damaged], timeout=600)
        return out if done.returncode in (0, 1) and os.path.exists(out) else None
    return repair


# ----------------------------------------------------------------------------------------------- scoring

def in_order(original, found):
    """How many of the (distinct) original items appear in `found` in the original's order."""
    where = {item: k for k, item in enumerate(original)}
    tails = []
    for item in found:
        k = where.get(item)
        if k is not None:
            at = bisect.bisect_left(tails, k)
            tails[at:at + 1] = [k]
    return len(tails)


def zip_members(path):
    members = {}
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            try:
                members[info.filename] = z.read(info)
            except Exception:
                pass
    return members


def content_zip(path):
    return {name: data for name, data in zip_members(path).items() if not name.endswith("/")}


def score_zip(original, result):
    found = content_zip(result)
    return sum(1 for name, data in original.items() if found.get(name) == data), len(original)


def content_docx(path):
    import docx
    return [p.text for p in docx.Document(path).paragraphs if p.text.strip()]


def content_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    return [(sheet.title,) + tuple(row) for sheet in book.worksheets for row in sheet.iter_rows(values_only=True)
            if any(v is not None for v in row)]


A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
P_REL = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"


def content_pptx(path):
    with zipfile.ZipFile(path) as z:
        z.read("[Content_Types].xml")
        presentation = ET.fromstring(z.read("ppt/presentation.xml"))
        rels = ET.fromstring(z.read("ppt/_rels/presentation.xml.rels"))
        targets = {r.get("Id"): r.get("Target") for r in rels}
        texts = []
        for sld in presentation.iter("{http://schemas.openxmlformats.org/presentationml/2006/main}sldId"):
            target = targets.get(sld.get(P_REL + "id"))
            if not target:
                continue
            try:
                slide = ET.fromstring(z.read("ppt/" + target.lstrip("/").removeprefix("ppt/")))
            except Exception:
                continue
            for para in slide.iter(A + "p"):
                text = "".join(t.text or "" for t in para.iter(A + "t"))
                if text.strip():
                    texts.append(text)
        return texts


READERS = {"docx": content_docx, "xlsx": content_xlsx, "pptx": content_pptx}


def score_document(kind, original, result):
    try:
        found = READERS[kind](result)
    except Exception:
        return 0, len(original)
    return in_order(original, found), len(original)


# ----------------------------------------------------------------------------------------------- the run

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True)
    parser.add_argument("--work")
    parser.add_argument("--png")
    parser.add_argument("--json")
    args = parser.parse_args()
    tool = os.path.abspath(args.tool)
    work = args.work or tempfile.mkdtemp(prefix="quillon-scoreboard-")
    os.makedirs(work, exist_ok=True)
    rng = random.Random(SEED)

    originals = {}
    originals.update(make_zips(work, rng))
    originals.update(make_docx(work, rng))
    originals.update(make_xlsx(work, rng))
    originals.update(make_pptx(work, rng))

    tools = {"quillon-repair": ours(tool)}
    tools.update(PEERS)
    rows = []
    intact = []
    for label, path in originals.items():
        kind = label.split()[0]
        data = open(path, "rb").read()
        truth = content_zip(path) if kind == "zip" else READERS[kind](path)
        # An intact file: answered 2, nothing written.
        out = os.path.join(work, "intact-out" + os.path.splitext(path)[1])
        if os.path.exists(out):
            os.remove(out)
        answer = run([tool, "--json", "--output", out, path]).returncode
        intact.append((label, answer, os.path.exists(out)))
        for damage, damaged_bytes in damages(data, random.Random(f"{SEED}{label}")).items():
            case = os.path.join(work, re.sub(r"\W+", "-", f"{label}-{damage}"))
            os.makedirs(case, exist_ok=True)
            damaged = os.path.join(case, "damaged" + os.path.splitext(path)[1])
            with open(damaged, "wb") as f:
                f.write(damaged_bytes)
            scores = {}
            for name, repair in tools.items():
                room = os.path.join(case, re.sub(r"\W+", "-", name))
                os.makedirs(room, exist_ok=True)
                try:
                    result = repair(damaged, room)
                except Exception:
                    result = None
                if result is None:
                    got, total = 0, len(truth)
                elif kind == "zip":
                    try:
                        got, total = score_zip(truth, result)
                    except Exception:
                        got, total = 0, len(truth)
                else:
                    got, total = score_document(kind, truth, result)
                scores[name] = (got, total)
            rows.append((label, damage, scores))
            shutil.rmtree(case, ignore_errors=True)

    names = list(tools)
    print_table(rows, names, intact)
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"rows": [[l, d, s] for l, d, s in rows], "intact": intact}, f, indent=1)
    if args.png:
        draw(rows, names, intact, args.png)
    beaten = [(l, d) for l, d, s in rows if s["quillon-repair"][0] < max(v[0] for v in s.values())]
    print(f"\nfiles where a peer recovered more: {len(beaten)}")
    for l, d in beaten:
        print(f"  {l}: {d}")
    return 0


def pct(got, total):
    return 100.0 * got / total if total else 100.0


def print_table(rows, names, intact):
    family = None
    for label, damage, scores in rows:
        if label != family:
            family = label
            print(f"\n{label}: per cent of the original recovered")
            print(f"  {'damage':26}" + "".join(f"{n:>16}" for n in names))
        best = max(v[0] for v in scores.values())
        cells = "".join(f"{pct(*scores[n]):15.1f}{'*' if scores[n][0] == best and best else ' '}" for n in names)
        print(f"  {damage:26}{cells}")
    print("\ntotals per file (sum of the original's items recovered over every damage)")
    for label in dict.fromkeys(l for l, _, _ in rows):
        sums = {n: sum(s[n][0] for l, _, s in rows if l == label) for n in names}
        total = sum(next(iter(s.values()))[1] for l, _, s in rows if l == label)
        print(f"  {label:26}" + "".join(f"{pct(sums[n], total):16.1f}" for n in names))
    print("\nintact originals (answer 2, nothing written)")
    for label, answer, written in intact:
        print(f"  {label:26} exit {answer}{', a file was written' if written else ''}")


def draw(rows, names, intact, png):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    labels = [f"{l}: {d}" for l, d, _ in rows]
    values = [[pct(*s[n]) for n in names] for _, _, s in rows]
    fig, ax = plt.subplots(figsize=(11, 0.26 * len(rows) + 1.6))
    ax.imshow(values, cmap="RdYlGn", vmin=0, vmax=100, aspect="auto")
    ax.set_xticks(range(len(names)), names)
    ax.xaxis.tick_top()
    ax.set_yticks(range(len(labels)), labels, fontsize=7)
    for r, row in enumerate(values):
        best = max(row)
        for c, v in enumerate(row):
            ax.text(c, r, f"{v:.0f}", ha="center", va="center", fontsize=7,
                    fontweight="bold" if v == best and best > 0 else "normal")
    ok = sum(1 for _, a, w in intact if a == 2 and not w)
    ax.set_title(f"Per cent of the original recovered (intact originals answered 'no damage': {ok} of {len(intact)})",
                 fontsize=9, pad=24)
    fig.tight_layout()
    fig.savefig(png, dpi=110)


if __name__ == "__main__":
    sys.exit(main())
