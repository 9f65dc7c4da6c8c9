#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Rasterises the drawn pictures (SVG sources) into the PNG files the program ships: the window pictures
# at 1x and 2x (name.png, name@2x.png) and the program icon at the usual icon-theme sizes. Run it after
# editing an SVG and commit the PNGs with it. Needs rsvg-convert (librsvg2-bin, see setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

pictures=app/forms/pictures
for svg in "$pictures"/*.svg; do
  base=${svg%.svg}
  rsvg-convert --zoom 1 "$svg" -o "$base.png"
  rsvg-convert --zoom 2 "$svg" -o "$base@2x.png"
done

icons=packaging/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x$size/apps"
  rsvg-convert --width "$size" --height "$size" "$icons/scalable/apps/quillon.svg" \
    -o "$icons/${size}x$size/apps/quillon.png"
done
