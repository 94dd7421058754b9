#!/usr/bin/env bash
# The browser build in a real browser: serves build-web/ (tools/web-build.sh
# makes it) on 127.0.0.1 and runs tests/web/test_web.js in Debian's headless
# Chromium with puppeteer-core (installed from npm into build-web-work/test/,
# never with a browser of its own). Then the records board (the native
# build's prismveldt-board, with a SQLite file of its own) serves the same
# build at /play/, and tests/web/test_board_web.js watches a run sent to it
# against the harness's frames for the same recording, and plays the stage 1
# replay with online records on, sending its run to that board. Pictures of
# the pages go to OUT_DIR.
#   Usage: tests/test_web.sh [OUT_DIR]     (build-web-work/test/out unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
site="$root/build-web"
work="$root/build-web-work/test"
out=${1:-$work/out}
[ -f "$site/prismveldt.js" ] || { echo "test_web: no $site; run tools/web-build.sh first" >&2; exit 1; }
native="${NATIVE_BUILD:-$root/build}"
for program in prismveldt-headless prismveldt-board; do
  [ -x "$native/$program" ] || { echo "test_web: no $native/$program; run tools/build.sh first" >&2; exit 1; }
done
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
board=
trap 'kill $server $board 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done
NODE_PATH="$work/node_modules" timeout 240 node tests/web/test_web.js "http://127.0.0.1:$port/" "$root" "$out"

# ---- the records board's page, watching a run ----
# The stage 1 replay played by the harness in a game folder of its own keeps
# its run's recording there; the harness plays that recording again for the
# frames the browser must show: the run's and a few of its end held.
# A game folder of its own for the harness, with the data's stages and no times.
GameFolder() {
  rm -rf "$1"
  mkdir -p "$1/txt"
  for part in bmp se fonts; do ln -s "$native/data/$part" "$1/$part"; done
  cp "$native"/data/txt/dw_stage*.txt "$1/txt/"
}
game="$work/board-game"
GameFolder "$game"
"$native/prismveldt-headless" --dir "$game" --script tests/replays/stage1.txt --max-frames 40000 \
  >"$out/board-record.log" 2>&1 || true
# The same replay left on its results for 10 s more, so that the board's answer
# is surely in before it ends; its frames offline, from the harness.
sed 's/^1217 close$/1817 close/' tests/replays/stage1.txt >"$served/stage1-long-script.txt"
GameFolder "$work/offline-game"
cp "$native/data/txt/scoretime.txt" "$work/offline-game/txt/"  # the times the browser starts with
"$native/prismveldt-headless" --dir "$work/offline-game" --script "$served/stage1-long-script.txt" \
  --max-frames 40000 --frame-hashes "$out/stage1-long.hashes" >"$out/offline-long.log" 2>&1 || true
recording="$game/txt/stage1-rank1.replay"
[ -f "$recording" ] || { echo "test_web: the stage 1 replay kept no recording" >&2; exit 1; }
frames=$(( $(grep -c '^[pc] ' "$recording") + 20 ))
"$native/prismveldt-headless" --dir "$game" --replay "$recording" --max-frames "$frames" \
  --frame-hashes "$out/board-run.hashes" --trace "$out/board-run.trace" >"$out/board-replay.log" 2>&1 || true
[ "$(wc -l <"$out/board-run.hashes")" -eq "$frames" ] || { echo "test_web: the harness did not replay the run" >&2; exit 1; }
rm -f "$game/board.db"*
"$native/prismveldt-board" --listen 127.0.0.1:0 --database "sqlite:$game/board.db" --data "$native/data" \
  --play "$served" >"$out/board.log" 2>&1 &
board=$!
for _ in $(seq 100); do
  listening=$(sed -n 's/.*listening on \(127\.0\.0\.1:[0-9]*\).*/\1/p' "$out/board.log")
  [ -n "$listening" ] && break
  sleep 0.1
done
[ -n "$listening" ] || { echo "test_web: the board did not start:" >&2; cat "$out/board.log" >&2; exit 1; }
NODE_PATH="$work/node_modules" timeout 240 node tests/web/test_board_web.js "http://$listening" \
  "$recording" "$out/board-run.hashes" "$out"
