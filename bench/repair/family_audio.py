# SPDX-License-Identifier: MIT
"""The scoreboard's WAV and MP3 rows.

  wav        4096-byte stretches of the original's samples found, in order, in the result's samples
  mp3        1152-sample stretches (a frame's worth) of the original's decoded sound found, in order, in
             the result's decoded sound
Both are decoded to 16-bit samples by ffmpeg; silent stretches are not counted; a stretch is found at any
sample offset of the result (a lost frame shifts what follows by whole frames, garbage by any amount).
"""
import os
import shutil
import struct

import scoring
from scoring import in_order, run, with_extension_of

FORMATS = ["wav", "mp3"]

MOD = (1 << 61) - 1
BASE = 1_000_003


def sox(out, seconds, rate, channels, bits, *effects):
    run(["sox", "-n", "-r", str(rate), "-c", str(channels), "-b", str(bits), out, "synth", str(seconds),
         *effects])
    return out


def make_originals(work, rng):
    made = {}
    made["wav 16-bit stereo (sox)"] = sox(os.path.join(work, "stereo16.wav"), 4, 22050, 2, 16,
                                          "sine", "100-3000", "sine", "150-4200", "vol", "0.5")
    made["wav 24-bit mono (sox)"] = sox(os.path.join(work, "mono24.wav"), 4, 22050, 1, 24,
                                        "sine", "300-5000", "vol", "0.6")
    plain = sox(os.path.join(work, "plain.wav"), 4, 16000, 1, 16, "sine", "200-2000", "vol", "0.7")
    data = open(plain, "rb").read()
    info = b"INFO"
    for key, text in ((b"INAM", b"Scoreboard sweep\0"), (b"IART", b"Quillon\0")):
        info += key + struct.pack("<I", len(text)) + text + b"\0" * (len(text) % 2)
    data += b"LIST" + struct.pack("<I", len(info)) + info
    listed = os.path.join(work, "listed.wav")
    with open(listed, "wb") as f:
        f.write(data[:4] + struct.pack("<I", len(data) - 8) + data[8:])
    made["wav with a LIST chunk after the samples (sox)"] = listed

    tone = sox(os.path.join(work, "tone.wav"), 8, 44100, 2, 16, "sine", "120-3500", "sine", "180-5000",
               "vol", "0.5")
    for label, name, options in (
            ("mp3 CBR 128k with CRC (lame)", "cbr.mp3", ["-b", "128", "-p"]),
            ("mp3 VBR with a Xing header (lame)", "vbr.mp3", ["-V", "4"]),
            ("mp3 with ID3v2 and ID3v1 tags (lame)", "tagged.mp3",
             ["-b", "96", "--tt", "Scoreboard", "--ta", "Quillon", "--add-id3v2"])):
        out = os.path.join(work, name)
        run(["lame", "--quiet", *options, tone, out])
        made[label] = out
    return made


def decode(path):
    """The file's sound as 16-bit samples, and the bytes of one sample frame."""
    probe = run(["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", "stream=channels",
                 "-of", "csv=p=0", path], timeout=60)
    channels = int(probe.stdout.decode().strip().split(",")[0] or 0)
    if channels <= 0:
        raise ValueError("no audio stream")
    done = run(["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "s16le", "-"], timeout=120)
    if not done.stdout:
        raise ValueError("nothing decoded")
    return done.stdout, 2 * channels


def window_hash(symbols):
    h = 0
    for s in symbols:
        h = (h * BASE + s) % MOD
    return h


def content(path):
    pcm, frame = decode(path)
    block = 1152 * frame if path.endswith(".mp3") else 4096
    block -= block % frame
    symbols = [int.from_bytes(pcm[i:i + frame], "little") for i in range(0, len(pcm) - frame + 1, frame)]
    width = block // frame
    items = []
    for k in range(0, len(symbols) - width + 1, width):
        stretch = symbols[k:k + width]
        if any(stretch):
            items.append((window_hash(stretch), width, frame))
    return items


def score(truth, result):
    if not truth:
        return 0
    _, width, frame = truth[0]
    pcm, got_frame = decode(result)
    if got_frame != frame:
        return 0
    where = {}
    for k, (h, _, _) in enumerate(truth):
        where.setdefault(h, k)
    symbols = [int.from_bytes(pcm[i:i + frame], "little") for i in range(0, len(pcm) - frame + 1, frame)]
    if len(symbols) < width:
        return 0
    top = pow(BASE, width - 1, MOD)
    h = window_hash(symbols[:width])
    found = []
    i = 0
    while True:
        k = where.get(h)
        if k is not None:
            found.append(k)
            # Stretches do not overlap: start afresh after this one.
            i += width
            if i + width > len(symbols):
                break
            h = window_hash(symbols[i:i + width])
            continue
        if i + width >= len(symbols):
            break
        h = ((h - symbols[i] * top) * BASE + symbols[i + width]) % MOD
        i += 1
    return in_order(list(range(len(truth))), found)


def peer_ffmpeg(*options):
    def peer(damaged, work):
        out = os.path.join(work, "out" + os.path.splitext(damaged)[1])
        run(["ffmpeg", "-nostdin", "-v", "error", "-y", *options, "-i", damaged, "-c", "copy", out], timeout=120)
        return out if os.path.exists(out) and os.path.getsize(out) > 0 else None
    return peer


def peer_mp3val(damaged, work):
    if not damaged.endswith(".mp3"):
        return None
    out = os.path.join(work, "in.mp3")
    shutil.copy(damaged, out)
    run(["mp3val", "-f", "-nb", out], cwd=work, timeout=120)
    return out


def peer_sox(damaged, work):
    if not damaged.endswith(".wav"):
        return None
    out = os.path.join(work, "out.wav")
    run(["sox", damaged, out], timeout=120)
    return with_extension_of(damaged, out) if os.path.exists(out) else None


PEERS = {
    "ffmpeg -c copy": peer_ffmpeg(),
    "ffmpeg -c copy (ignore_err)": peer_ffmpeg("-err_detect", "ignore_err"),
    "mp3val -f": peer_mp3val,
    "sox": peer_sox,
}


def damages(data, rng):
    made = scoring.damages(data, rng)
    # Text transfers do not happen to sound files; the common list keeps it for documents.
    made.pop("LF turned CR LF", None)
    return made
