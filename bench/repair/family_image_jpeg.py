# SPDX-License-Identifier: MIT
"""The scoreboard's JPEG and GIF rows.

  jpeg       decoded pixel rows identical to the original's decoded rows, row for row (python3-PIL; a file
             cut short is decoded as far as it goes, as viewers do)
  gif        the same, over every frame in turn
"""
import os
import random

from scoring import run, with_extension_of

FORMATS = ["jpeg", "gif"]


def picture(path, rng, width=640, height=480):
    """A photo-like picture: smooth shading, shapes and a little noise, so the data is not trivial."""
    from PIL import Image, ImageDraw, ImageFilter
    im = Image.new("RGB", (width, height))
    px = im.load()
    for y in range(height):
        for x in range(width):
            px[x, y] = ((x * 255 // width + y // 3) % 256, (y * 255 // height) % 256, ((x + y) // 5) % 256)
    draw = ImageDraw.Draw(im)
    for _ in range(40):
        x, y = rng.randrange(width), rng.randrange(height)
        r = rng.randrange(8, 80)
        colour = tuple(rng.randrange(256) for _ in range(3))
        (draw.ellipse if rng.random() < 0.5 else draw.rectangle)((x - r, y - r, x + r, y + r), fill=colour)
    im = im.filter(ImageFilter.GaussianBlur(1.5))
    noise = Image.effect_noise((width, height), 24).convert("RGB")
    im = Image.blend(im, noise, 0.12)
    im.save(path)


def make_originals(work, rng):
    from PIL import Image
    ppm = os.path.join(work, "picture.ppm")
    picture(ppm, random.Random(rng.random()))
    made = {}
    restart = os.path.join(work, "restart.jpg")
    with open(restart, "wb") as f:
        f.write(run(["cjpeg", "-quality", "85", "-restart", "1", ppm]).stdout)
    made["jpeg baseline, restart markers (cjpeg)"] = restart
    progressive = os.path.join(work, "progressive.jpg")
    Image.open(ppm).save(progressive, quality=85, progressive=True)
    made["jpeg progressive (PIL)"] = progressive
    plain = os.path.join(work, "plain.jpg")
    run(["/usr/bin/convert", ppm, "-quality", "85", plain])
    made["jpeg baseline (ImageMagick)"] = plain
    animation = os.path.join(work, "animation.gif")
    frames = []
    for i in range(8):
        frame = os.path.join(work, f"frame{i}.ppm")
        picture(frame, random.Random(rng.random()), 320, 240)
        frames.append(Image.open(frame).convert("P", palette=Image.ADAPTIVE, colors=128))
    frames[0].save(animation, save_all=True, append_images=frames[1:], duration=80, loop=0)
    made["gif animation, 8 frames (PIL)"] = animation
    still = os.path.join(work, "still.gif")
    run(["/usr/bin/convert", ppm, "-colors", "256", still])
    made["gif still (ImageMagick)"] = still
    return made


def content(path):
    from PIL import Image, ImageFile, ImageSequence
    ImageFile.LOAD_TRUNCATED_IMAGES = True
    rows = []
    with Image.open(path) as im:
        for frame in ImageSequence.Iterator(im):
            rgba = frame.convert("RGBA")
            width, height = rgba.size
            data = rgba.tobytes()
            rows += [data[y * width * 4:(y + 1) * width * 4] for y in range(height)]
    return rows


def score(truth, result_path):
    got = content(result_path)
    return sum(1 for a, b in zip(truth, got) if a == b)


def peer_jpegtran(damaged, work):
    if not damaged.endswith(".jpg"):
        return None
    out = os.path.join(work, "jpegtran.jpg")
    run(["jpegtran", "-copy", "all", "-outfile", out, damaged], timeout=300)
    return out if os.path.exists(out) and os.path.getsize(out) else None


def peer_imagemagick(damaged, work):
    out = os.path.join(work, "magick" + os.path.splitext(damaged)[1])
    run(["/usr/bin/convert", damaged, out], timeout=300)
    return with_extension_of(damaged, out) if os.path.exists(out) else None


PEERS = {"jpegtran -copy all": peer_jpegtran, "ImageMagick": peer_imagemagick}
