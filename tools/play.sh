#!/usr/bin/env bash
# Set-up, build, then start the game in its data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "prismveldt: no display; start it from a desktop session, or try: xvfb-run -s '-screen 0 1920x1080x24' tools/play.sh" >&2
  exit 1
fi
cd build/data
exec ../prismveldt "$@"
