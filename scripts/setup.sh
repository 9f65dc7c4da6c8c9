#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building, running and testing need on Debian 12, skipping what is already there.
# Packages named as arguments are installed with them (the benchmarks' peers).
set -euo pipefail

packages=(
  g++ clang clang-format-14 clang-tidy libclang-rt-14-dev cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl1-mesa-dev
  libfontconfig-dev fonts-wine libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  desktop-file-utils appstream dpkg-dev file g++-mingw-w64-i686-posix
  librsvg2-bin lintian man-db
  zlib1g-dev
  zip unzip p7zip-full libarchive-tools python3
  python3-docx python3-openpyxl
  libpng-dev pngcheck libpng-tools imagemagick python3-pil
  libjpeg62-turbo-dev libjpeg-turbo-progs libgif-dev
  ffmpeg sox lame mp3val
  libavformat-dev libavcodec-dev libavutil-dev mencoder
  libqpdf-dev qpdf poppler-utils mupdf-tools ghostscript
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
