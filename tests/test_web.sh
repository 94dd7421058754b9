#!/usr/bin/env bash
# The browser build in a real browser: serves build-web/ (tools/web-build.sh
# makes it) on 127.0.0.1 and runs tests/web/test_web.js in Debian's headless
# Chromium with puppeteer-core (installed from npm into build-web-work/test/,
# never with a browser of its own). Pictures of the page go to OUT_DIR.
#   Usage: tests/test_web.sh [OUT_DIR]     (build-web-work/test/out unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
site="$root/build-web"
work="$root/build-web-work/test"
out=${1:-$work/out}
[ -f "$site/prismveldt.js" ] || { echo "test_web: no $site; run tools/web-build.sh first" >&2; exit 1; }
tools/install-packages.sh test-web chromium
# Node.js with npm (Debian's, unless a Node.js that brings its own is there).
command -v npm >/dev/null || tools/install-packages.sh test-web nodejs npm
mkdir -p "$work" "$out"
if ! [ -d "$work/node_modules/puppeteer-core" ]; then
  [ -f "$work/package.json" ] || echo '{"private": true}' >"$work/package.json"
  # puppeteer-core never downloads a browser; the test uses /usr/bin/chromium.
  (cd "$work" && npm install --no-audit --no-fund --silent puppeteer-core@24)
fi

# The site plus what the test plays: the stage 1 replay and the pad's script,
# in copies of their own.
served="$work/site"
rm -rf "$served"
mkdir -p "$served"
for file in "$site"/*; do ln -s "$file" "$served/"; done
cp tests/replays/stage1.txt "$served/stage1-script.txt"
cp tests/golden/pad.txt "$served/pad-script.txt"
gunzip -c "$site/prismveldt.data.gz" >/dev/null  # a torn download fails here, not in the browser
cp "$root/build-web-work/stage/game/shipped-txt/scoretime.txt" "$out/shipped-scoretime.txt"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$served" >"$out/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done
NODE_PATH="$work/node_modules" timeout 240 node tests/web/test_web.js "http://127.0.0.1:$port/" "$root" "$out"
