# SPDX-License-Identifier: MIT
"""Scoreboard rows for AVI and FLV video: originals made by ffmpeg from its test sources, repaired by us
and by ffmpeg's remuxing (plain and ignoring errors) and, for AVI, mencoder's index rebuilding.

Score: the original's decoded pictures (frame checksums) and non-silent blocks of decoded sound found in
the result, in order, as one list of items.
"""
import hashlib
import os
import subprocess

import scoring
from scoring import in_order, run

FORMATS = ["avi", "flv"]

SOURCES = ["-f", "lavfi", "-i", "testsrc2=size=320x240:duration=10",
           "-f", "lavfi", "-i", "sine=duration=10"]


def make_originals(work, rng):
    made = {}
    for label, name, audio in (("avi mpeg4 + mp3 (ffmpeg)", "mpeg4-mp3.avi", ["-c:a", "libmp3lame"]),
                               ("avi mpeg4 + pcm (ffmpeg)", "mpeg4-pcm.avi", ["-c:a", "pcm_s16le"])):
        out = os.path.join(work, name)
        run(["ffmpeg", "-v", "error", "-y"] + SOURCES + ["-c:v", "mpeg4"] + audio + [out])
        made[label] = out
    out = os.path.join(work, "flv1-mp3.flv")
    run(["ffmpeg", "-v", "error", "-y"] + SOURCES + ["-c:v", "flv", "-c:a", "libmp3lame", "-ar", "44100", out])
    made["flv flv1 + mp3 (ffmpeg)"] = out
    return made


def content(path):
    """Every decoded picture and non-silent block of sound, as 'v:md5' / 'a:md5', in the file's order."""
    done = run(["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "framemd5", "-"])
    items = []
    kinds = {}
    for line in done.stdout.decode(errors="replace").splitlines():
        if line.startswith("#media_type"):
            parts = line.split()
            kinds[int(parts[1].rstrip(":"))] = parts[2]
            continue
        if line.startswith("#") or not line.strip():
            continue
        fields = [f.strip() for f in line.split(",")]
        stream, size, digest = int(fields[0]), int(fields[4]), fields[5]
        kind = kinds.get(stream, "video")
        if kind == "audio" and digest == hashlib.md5(bytes(size)).hexdigest():
            continue  # silence: a stand-in, not the original's sound
        items.append(("a:" if kind == "audio" else "v:") + digest)
    if not items:
        raise ValueError("nothing decodes")
    return items


def score(truth, result_path):
    try:
        return in_order(truth, content(result_path))
    except (ValueError, subprocess.TimeoutExpired):
        return 0


def remux(extra):
    def peer(damaged, work):
        out = os.path.join(work, "remuxed" + os.path.splitext(damaged)[1])
        run(["ffmpeg", "-nostdin", "-v", "error", "-y"] + extra + ["-i", damaged, "-map", "0", "-c", "copy", out],
            timeout=120)
        return out if os.path.exists(out) and os.path.getsize(out) > 0 else None
    return peer


def peer_mencoder(damaged, work):
    if not damaged.endswith(".avi"):
        return None  # it rebuilds AVI indexes only
    out = os.path.join(work, "mencoder.avi")
    run(["mencoder", "-really-quiet", "-forceidx", "-oac", "copy", "-ovc", "copy", damaged, "-o", out],
        timeout=120)
    return out if os.path.exists(out) and os.path.getsize(out) > 0 else None


PEERS = {
    "ffmpeg -c copy": remux([]),
    "ffmpeg ignore_err": remux(["-err_detect", "ignore_err"]),
    "mencoder -forceidx": peer_mencoder,
}


def damages(data, rng):
    made = scoring.damages(data, rng)
    index = data.rfind(b"idx1")
    if data[:4] == b"RIFF":
        made["index lost"] = data[:index] if index > 0 else data[:len(data) - 4096]
    return made
