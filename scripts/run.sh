#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds and starts Quillon.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; starting under xvfb-run (use a desktop session to see the window)." >&2
  exec xvfb-run -a build/app/quillon "$@"
fi
exec build/app/quillon "$@"
