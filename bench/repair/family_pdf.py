# SPDX-License-Identifier: MIT
"""The scoreboard's PDF rows: each original page's words found in order on a page of the result, as
`pdftotext -layout` reads them (the best page of the result for each page of the original)."""
import difflib
import os
import shutil
import tempfile

from scoring import run, sentence, with_extension_of

FORMATS = ["pdf"]


def make_originals(work, rng):
    from PIL import Image
    src = os.path.join(work, "pdf-src")
    os.makedirs(src, exist_ok=True)
    img = Image.new("RGB", (160, 120))
    img.putdata([(rng.randrange(256), (x * 3) % 256, (y * 2) % 256) for y in range(120) for x in range(160)])
    img.save(os.path.join(src, "pic.png"))
    html = ["<html><body>"]
    for i in range(1, 401):
        html.append(f"<p>Paragraph {i:03d} {sentence(rng, rng.randint(8, 30))}</p>")
        if i % 150 == 0:
            html.append('<p><img src="pic.png" width="320" height="240"></p>')
    html.append("</body></html>")
    with open(os.path.join(src, "text.html"), "w") as f:
        f.write("\n".join(html))
    home = tempfile.mkdtemp(dir=work)
    run(["env", f"HOME={home}", "soffice", "--headless", "--convert-to", "pdf", "--outdir", src,
         os.path.join(src, "text.html")], cwd=src, timeout=300)
    made = {}
    lo = os.path.join(work, "libreoffice.pdf")
    shutil.copy(os.path.join(src, "text.pdf"), lo)
    made["pdf text (LibreOffice)"] = lo
    qp = os.path.join(work, "qpdf-objstm.pdf")
    run(["qpdf", "--object-streams=generate", lo, qp])
    made["pdf object streams (qpdf)"] = qp
    gs = os.path.join(work, "ghostscript.pdf")
    run(["gs", "-q", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite", f"-sOutputFile={gs}", lo], timeout=300)
    made["pdf text (Ghostscript)"] = gs
    return made


def pages(path):
    done = run(["pdftotext", "-layout", path, "-"], timeout=120)
    if done.returncode != 0:
        raise RuntimeError("unreadable")
    return [p.split() for p in done.stdout.decode("utf-8", "replace").split("\f")]


def content(path):
    return [(k, w) for k, words in enumerate(pages(path)) for w in words]


def score(truth, result_path):
    found = [p for p in pages(result_path) if p]
    original = {}
    for k, w in truth:
        original.setdefault(k, []).append(w)
    got = 0
    for words in original.values():
        best = 0
        for page in found:
            blocks = difflib.SequenceMatcher(None, words, page, autojunk=False).get_matching_blocks()
            best = max(best, sum(b.size for b in blocks))
        got += best
    return got


def peer(command):
    def repair(damaged, work):
        out = os.path.join(work, "out.pdf")
        run([part.replace("{in}", damaged).replace("{out}", out) for part in command], cwd=work, timeout=120)
        return with_extension_of(damaged, out) if os.path.exists(out) and os.path.getsize(out) else None
    return repair


PEERS = {
    "qpdf": peer(["qpdf", "{in}", "{out}"]),
    "mutool clean": peer(["mutool", "clean", "{in}", "{out}"]),
    "gs pdfwrite": peer(["gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=pdfwrite", "-sOutputFile={out}",
                         "{in}"]),
}
