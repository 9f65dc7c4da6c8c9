#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The repair scoreboard: originals made by other programs, damaged the ways files really break, repaired
by quillon-repair and by the open-source tools of each format in the same run, each result scored by how
much of the original's content came back.

    bench/repair/scoreboard.py --tool build/app/quillon-repair [--family zip,pdf] [--work DIR] [--png FILE]

Each family is a module `family_<name>.py` beside this file:
  FORMATS                      the names --family selects it by (the first word of its originals' labels)
  make_originals(work, rng)    {label: path} of originals made by other programs
  content(path)                the original's content as comparable items (raises when unreadable)
  score(truth, result)         how many of truth's items the result holds; out of len(truth)
  PEERS                        {name: fn(damaged, work) -> result path or None}
  damages(data, rng)           optional: the damages, when the common ones do not fit the format
A result that its reader cannot open scores 0. The table says, per damaged file, the per cent of the
original each tool recovered; a star marks the best.
"""
import argparse
import glob
import importlib
import json
import os
import random
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scoring  # noqa: E402
from scoring import SEED, run  # noqa: E402

OURS = "quillon-repair"


def family_modules(wanted):
    here = os.path.dirname(os.path.abspath(__file__))
    modules = []
    for path in sorted(glob.glob(os.path.join(here, "family_*.py"))):
        module = importlib.import_module(os.path.splitext(os.path.basename(path))[0])
        if not wanted or wanted & set(module.FORMATS):
            modules.append(module)
    return modules


def ours(tool):
    def repair(damaged, work):
        out = os.path.join(work, "fixed" + os.path.splitext(damaged)[1])
        if os.path.exists(out):
            os.remove(out)
        done = run([tool, "--json", "--output", out, damaged], timeout=600)
        return out if done.returncode in (0, 1) and os.path.exists(out) else None
    return repair


def peer_nothing(damaged, work):
    return damaged


def score_one(module, truth, result):
    if result is None:
        return 0
    try:
        return module.score(truth, result)
    except Exception:
        return 0


def run_family(module, tool, work, wanted, rows, intact):
    rng = random.Random(f"{SEED}{module.__name__}")
    tools = {OURS: ours(tool)}
    tools.update(module.PEERS)
    tools["nothing"] = peer_nothing
    damage = getattr(module, "damages", scoring.damages)
    for label, path in module.make_originals(work, rng).items():
        if wanted and label.split()[0] not in wanted:
            continue
        data = open(path, "rb").read()
        truth = module.content(path)
        # An intact file: answered 2, nothing written.
        out = os.path.join(work, "intact-out" + os.path.splitext(path)[1])
        if os.path.exists(out):
            os.remove(out)
        answer = run([tool, "--json", "--output", out, path]).returncode
        intact.append((label, answer, os.path.exists(out)))
        for name, damaged_bytes in damage(data, random.Random(f"{SEED}{label}")).items():
            case = os.path.join(work, re.sub(r"\W+", "-", f"{label}-{name}"))
            os.makedirs(case, exist_ok=True)
            damaged = os.path.join(case, "damaged" + os.path.splitext(path)[1])
            with open(damaged, "wb") as f:
                f.write(damaged_bytes)
            scores = {}
            for tool_name, repair in tools.items():
                room = os.path.join(case, re.sub(r"\W+", "-", tool_name))
                os.makedirs(room, exist_ok=True)
                try:
                    result = repair(damaged, room)
                except Exception:
                    result = None
                scores[tool_name] = (score_one(module, truth, result), len(truth))
            rows.append((label, name, scores))
            shutil.rmtree(case, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", required=True)
    parser.add_argument("--family", help="formats to run, comma-separated (default: all)")
    parser.add_argument("--work")
    parser.add_argument("--png")
    parser.add_argument("--json")
    args = parser.parse_args()
    tool = os.path.abspath(args.tool)
    work = args.work or tempfile.mkdtemp(prefix="quillon-scoreboard-")
    os.makedirs(work, exist_ok=True)
    wanted = set(args.family.split(",")) if args.family else set()

    rows, intact = [], []
    for module in family_modules(wanted):
        run_family(module, tool, work, wanted, rows, intact)

    print_table(rows, intact)
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"rows": [[l, d, s] for l, d, s in rows], "intact": intact}, f, indent=1)
    if args.png:
        draw(rows, intact, args.png)
    beaten = [(l, d) for l, d, s in rows if s[OURS][0] < max(v[0] for v in s.values())]
    print(f"\nfiles where a peer recovered more: {len(beaten)}")
    for l, d in beaten:
        print(f"  {l}: {d}")
    return 0


def pct(got, total):
    return 100.0 * got / total if total else 100.0


def print_table(rows, intact):
    family = None
    for label, damage, scores in rows:
        names = list(scores)
        if label != family:
            family = label
            print(f"\n{label}: per cent of the original recovered")
            print(f"  {'damage':26}" + "".join(f"{n:>16}" for n in names))
        best = max(v[0] for v in scores.values())
        cells = "".join(f"{pct(*scores[n]):15.1f}{'*' if scores[n][0] == best and best else ' '}" for n in names)
        print(f"  {damage:26}{cells}")
    print("\ntotals per file (sum of the original's items recovered over every damage)")
    for label in dict.fromkeys(l for l, _, _ in rows):
        mine = [s for l, _, s in rows if l == label]
        names = list(mine[0])
        sums = {n: sum(s[n][0] for s in mine) for n in names}
        total = sum(next(iter(s.values()))[1] for s in mine)
        print(f"  {label:26}" + "".join(f"{n}={pct(sums[n], total):.1f}  " for n in names))
    print("\nintact originals (answer 2, nothing written)")
    for label, answer, written in intact:
        print(f"  {label:26} exit {answer}{', a file was written' if written else ''}")


def draw(rows, intact, png):
    """One column for ours, one for the best peer and one for doing nothing: the peers differ by family."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    columns = [OURS, "best peer", "nothing"]
    labels, values, peers = [], [], []
    for label, damage, scores in rows:
        others = {n: v for n, v in scores.items() if n not in (OURS, "nothing")}
        best = max(others, key=lambda n: others[n][0]) if others else None
        labels.append(f"{label}: {damage}")
        values.append([pct(*scores[OURS]), pct(*others[best]) if best else 0.0, pct(*scores["nothing"])])
        peers.append(best if best and others[best][0] else "")
    fig, ax = plt.subplots(figsize=(9, 0.26 * len(rows) + 1.6))
    ax.imshow(values, cmap="RdYlGn", vmin=0, vmax=100, aspect="auto")
    ax.set_xticks(range(len(columns)), columns)
    ax.xaxis.tick_top()
    ax.set_yticks(range(len(labels)), labels, fontsize=7)
    for r, row in enumerate(values):
        best = max(row)
        for c, v in enumerate(row):
            text = f"{v:.0f}" + (f" ({peers[r]})" if c == 1 and peers[r] else "")
            ax.text(c, r, text, ha="center", va="center", fontsize=6.5,
                    fontweight="bold" if v == best and best > 0 else "normal")
    ok = sum(1 for _, a, w in intact if a == 2 and not w)
    ax.set_title(f"Per cent of the original recovered (intact originals answered 'no damage': {ok} of {len(intact)})",
                 fontsize=9, pad=24)
    fig.tight_layout()
    fig.savefig(png, dpi=110)


if __name__ == "__main__":
    sys.exit(main())
