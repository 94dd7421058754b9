#!/usr/bin/env bash
# The browser build's CPU (tools/web-cpu.js, with a bare page showing frames
# of the same size in the same canvas as its peer) beside the desktop game's
# (tools/display-cpu.sh, its 1280 x 720 window), measured one after the other
# in the same run. Needs build-web/ (tools/web-build.sh) and puppeteer-core
# (tests/test_web.sh installs it). Run it on a quiet machine.
#   Usage: tools/web-cpu.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
modules="$root/build-web-work/test/node_modules"
[ -d "$modules/puppeteer-core" ] || { echo "web-cpu: run tests/test_web.sh once first" >&2; exit 1; }
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
sleep 1
echo "== the browser (headless Chromium, 1280 x 720 tab)"
NODE_PATH="$modules" node tools/web-cpu.js "http://127.0.0.1:$port/"
echo "== the desktop game (Xvfb)"
tools/display-cpu.sh
