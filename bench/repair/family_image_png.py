# SPDX-License-Identifier: MIT
"""The scoreboard's PNG and BMP rows.

  png, bmp   pixel rows identical to the original's (same row, same place), the result decoded by
             python3-PIL with truncated images allowed
"""
import os

from scoring import run, with_extension_of

FORMATS = ["png", "bmp"]


def make_originals(work, rng):
    from PIL import Image
    folder = os.path.join(work, "image-png")
    os.makedirs(folder, exist_ok=True)
    seed = str(rng.randint(1, 10**6))
    made = {}

    def convert(label, name, args, prefix=""):
        path = os.path.join(folder, name)
        run(["convert", "-seed", seed, *args, prefix + path], timeout=300)
        made[label] = path

    plasma = ["plasma:fractal", "-depth", "8"]
    convert("png photo RGB (ImageMagick)", "photo.png", ["-size", "640x480", *plasma, "-strip"])
    convert("png palette (ImageMagick)", "palette.png",
            ["-size", "480x360", *plasma, "+dither", "-colors", "64", "-strip"], "PNG8:")
    convert("png RGBA interlaced (ImageMagick)", "rgba-interlaced.png",
            ["-size", "400x300", *plasma, "-alpha", "set", "-channel", "A", "-fx", "0.3+0.7*i/w",
             "-interlace", "PNG", "-strip"])
    convert("bmp 24-bit (ImageMagick)", "rgb24.bmp",
            ["-size", "400x300", *plasma, "-type", "TrueColor", "-compress", "None"], "BMP3:")
    # An 8-bit palette image written by PIL.
    im = Image.open(made["png photo RGB (ImageMagick)"]).convert("RGB").resize((360, 270))
    path = os.path.join(folder, "palette8.bmp")
    im.quantize(colors=200).save(path)
    made["bmp 8-bit (python3-PIL)"] = path
    return made


def content(path):
    from PIL import Image, ImageFile
    ImageFile.LOAD_TRUNCATED_IMAGES = True
    with Image.open(path) as im:
        im.load()
        rgba = im.convert("RGBA")
        width, height = rgba.size
        data = rgba.tobytes()
    stride = width * 4
    return [data[y * stride:(y + 1) * stride] for y in range(height)]


def score(truth, result):
    rows = content(result)
    return sum(1 for y, row in enumerate(truth) if y < len(rows) and rows[y] == row)


def peer_pngfix(damaged, work):
    if not damaged.endswith(".png"):
        return None
    out = os.path.join(work, "pngfix.png")
    run(["pngfix", "--quiet", "--out=" + out, damaged], cwd=work, timeout=120)
    return out if os.path.exists(out) else None


def peer_imagemagick(damaged, work):
    out = os.path.join(work, "resaved" + os.path.splitext(damaged)[1])
    run(["convert", damaged, out], cwd=work, timeout=120)
    return with_extension_of(damaged, out) if os.path.exists(out) else None


PEERS = {"pngfix": peer_pngfix, "ImageMagick": peer_imagemagick}
