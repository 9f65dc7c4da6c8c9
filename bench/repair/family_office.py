# SPDX-License-Identifier: MIT
"""The scoreboard's ZIP and Office Open XML rows.

  zip        members whose bytes are identical to the original's
  docx       body paragraphs found, in order, by python-docx opening the result
  xlsx       rows found, in order, by openpyxl opening the result (every sheet)
  pptx       slide texts found, in order, reading the slides the presentation lists with a strict XML parser
"""
import os
import shutil
import xml.etree.ElementTree as ET
import zipfile

import scoring
from scoring import WORDS, in_order, run, sentence, with_extension_of

FORMATS = ["zip", "docx", "xlsx", "pptx"]


def make_originals(work, rng):
    made = {}
    made.update(make_zips(work, rng))
    made.update(make_docx(work, rng))
    made.update(make_xlsx(work, rng))
    made.update(make_pptx(work, rng))
    return made


def central_directory_offset(data):
    at = data.rfind(b"PK\x05\x06")
    return int.from_bytes(data[at + 16:at + 20], "little") if at >= 0 else len(data) // 2


def damages(data, rng):
    return scoring.damages(data, rng, "cut before directory", central_directory_offset(data))


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


def pack_folder(folder, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for base, _, names in os.walk(folder):
            for name in sorted(names):
                path = os.path.join(base, name)
                z.write(path, os.path.relpath(path, folder))
    return out


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
}


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


def content(path):
    kind = os.path.splitext(path)[1].lstrip(".")
    return content_zip(path) if kind == "zip" else READERS[kind](path)


def score(truth, result):
    """zip: members identical to the original's; documents: items found in the original's order."""
    if isinstance(truth, dict):
        found = content_zip(result)
        return sum(1 for name, data in truth.items() if found.get(name) == data)
    return in_order(truth, content(result))
