# SPDX-License-Identifier: MIT
"""What every family module of the scoreboard shares: running a tool, the common damages, counting items
found in order, and naming a peer's result as the damaged file is named."""
import bisect
import os
import subprocess

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


def damages(data, rng, cut_label="cut at 80 %", cut_at=None):
    """The ways files really break. `cut_at`: where a family's file is cut first (the default: at 80 %)."""
    n = len(data)
    sector = (n * 2 // 5) // 4096 * 4096
    flipped = bytearray(data)
    for at in rng.sample(range(n // 5, n * 4 // 5), 3):
        flipped[at] ^= rng.randint(1, 255)
    garbage_at = n * 7 // 20
    return {
        cut_label: data[:n * 4 // 5 if cut_at is None else cut_at],
        "cut in half": data[:n // 2],
        "zeroed 4 KB sector": data[:sector] + bytes(4096) + data[sector + 4096:],
        "3 flipped bytes": bytes(flipped),
        "head lost (4 KB)": data[4096:],
        "1 KB garbage inserted": data[:garbage_at] + bytes(rng.getrandbits(8) for _ in range(1024)) + data[garbage_at:],
        "LF turned CR LF": data.replace(b"\n", b"\r\n"),
        "end lost (8 KB zeroed)": data[:max(0, n - 8192)] + bytes(min(n, 8192)),
    }


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


def with_extension_of(damaged, path):
    """Readers go by the extension: a peer's result is named as the damaged file is."""
    named = os.path.splitext(path)[0] + os.path.splitext(damaged)[1]
    if named != path:
        os.replace(path, named)
    return named
