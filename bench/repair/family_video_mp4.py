# SPDX-License-Identifier: MIT
"""The scoreboard's MP4 and QuickTime rows.

  mp4, mov   video frames (checksums of the decoded frames) and non-silent blocks of decoded audio found in
             the result, in order, as one list: ffmpeg decodes the original and the result
"""
import hashlib
import os

from scoring import in_order, run, with_extension_of

FORMATS = ["mp4", "mov"]

# ffmpeg's test picture and a beeping tone; a key picture every two seconds. The audio is encoded without
# noise substitution, whose random state would make every decoded block after a gap differ.
SOURCES = ["-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=10",
           "-f", "lavfi", "-i", "sine=frequency=523:beep_factor=3:sample_rate=44100:duration=10"]
CODECS = ["-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt", "yuv420p",
          "-c:a", "aac", "-aac_pns", "0", "-b:a", "96k"]


def make_originals(work, rng):
    made = {}
    for label, name, flags in (("mp4 movie header first (ffmpeg, H.264 + AAC)", "front.mp4", ["-movflags", "+faststart"]),
                               ("mp4 movie header last (ffmpeg, H.264 + AAC)", "end.mp4", []),
                               ("mov (ffmpeg, H.264 + AAC)", "movie.mov", [])):
        out = os.path.join(work, name)
        done = run(["ffmpeg", "-v", "error", "-y", *SOURCES, *CODECS, *flags, out])
        if done.returncode != 0:
            raise RuntimeError(done.stderr.decode(errors="replace"))
        made[label] = out
    return made


def items(path):
    """Video frame checksums, then the checksums of the audio blocks that are not silent; each numbered by
    its occurrence, so that a repeated frame stays a separate item."""
    done = run(["ffmpeg", "-v", "quiet", "-i", path, "-f", "framemd5", "-"], timeout=300)
    video, audio, seen = [], [], {}
    for line in done.stdout.decode(errors="replace").splitlines():
        if line.startswith("#"):
            continue
        fields = [f.strip() for f in line.split(",")]
        if len(fields) < 6:
            continue
        if fields[0] != "0" and fields[5] == hashlib.md5(bytes(int(fields[4]))).hexdigest():
            continue  # silence: any tool can make that
        key = (fields[0], fields[5])
        seen[key] = seen.get(key, 0) + 1
        item = f"{fields[0]}:{fields[5]}#{seen[key]}"
        (video if fields[0] == "0" else audio).append(item)
    return video, audio


def content(path):
    video, audio = items(path)
    if not video:
        raise RuntimeError(f"ffmpeg decodes no frame of {path}")
    return video + audio


def score(truth, result_path):
    video, audio = items(result_path)
    cut = next((k for k, item in enumerate(truth) if not item.startswith("0:")), len(truth))
    return in_order(truth[:cut], video) + in_order(truth[cut:], audio)


def ffmpeg_copy(extra):
    def repair(damaged, work):
        out = os.path.join(work, "fixed" + os.path.splitext(damaged)[1])
        run(["ffmpeg", "-v", "error", "-y", *extra, "-i", damaged, "-map", "0", "-c", "copy", out], timeout=300)
        return with_extension_of(damaged, out) if os.path.exists(out) and os.path.getsize(out) > 0 else None
    return repair


PEERS = {
    "ffmpeg -c copy": ffmpeg_copy([]),
    "ffmpeg ignore_err": ffmpeg_copy(["-err_detect", "ignore_err"]),
}
