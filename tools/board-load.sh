#!/usr/bin/env bash
# Load on the board server, on the loopback address only: 2,000 submissions
# of true runs (made from the committed whole-game replay's recordings) from
# 50 clients at once, bounded to 5 minutes each. Prints the p50 and p95 of
# submit-to-ranked, the runs verified per second per core, and the server's
# peak memory, for SQLite and then for PostgreSQL (a private cluster, as
# tools/test-postgres.sh starts it). Builds nothing: run after a build.
#   tools/board-load.sh [BUILD_DIR] [sqlite|postgres|both]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${1:-build}" && pwd)
which=${2:-both}
count=2000 clients=50 seconds=300
cores=$(nproc)
work=$(mktemp -d /tmp/prismveldt-load-XXXXXX)
chmod 755 "$work"
pg_bin="" server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
  if [ -n "$pg_bin" ]; then as "$pg_bin/pg_ctl" -D "$work/pg" -m immediate stop >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
if [ "$(id -u)" -eq 0 ]; then
  as() { setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"; }
else
  as() { "$@"; }
fi

# The four stages' true runs, from the replay.
game=$work/game
mkdir -p "$game/txt"
for d in bmp se fonts; do [ -e "$build/data/$d" ] && ln -s "$build/data/$d" "$game/$d"; done
cp "$build"/data/txt/dw_stage?.txt "$game/txt/"
timeout 120 "$build/prismveldt-headless" --dir "$game" --script "$root/tests/replays/fullgame.txt" \
  --max-frames 40000 >"$work/game.log" 2>&1 || true
runs=("$game"/txt/stage?-rank1.replay)
[ ${#runs[@]} -eq 4 ] || { echo "board-load: the replay left no recordings" >&2; exit 1; }

# One load on a fresh server with database $1.
load() {
  local label=$1 database=$2
  "$build/prismveldt-board" --listen 127.0.0.1:0 --database "$database" --data "$build/data" \
    --key-rate 0 --address-rate 0 --queue 256 >"$work/server.out" 2>"$work/server.log" &
  server=$!
  for _ in $(seq 100); do grep -q listening "$work/server.out" 2>/dev/null && break; sleep 0.1; done
  local port
  port=$(grep -o '[0-9]*$' "$work/server.out")
  local start_cpu
  start_cpu=$(awk '{print $14 + $15}' "/proc/$server/stat")
  echo "== $label: $count submissions from $clients clients, $cores cores"
  timeout $((seconds + 30)) "$build/prismveldt-board-load" "$port" "$count" "$clients" "$seconds" "${runs[@]}" \
    | tee "$work/load.out" || true
  local ticks hwm ranked wall
  ticks=$(( $(awk '{print $14 + $15}' "/proc/$server/stat") - start_cpu ))
  hwm=$(awk '/VmHWM/ {print $2 " " $3}' "/proc/$server/status")
  ranked=$(awk '/^submissions/ {print $4}' "$work/load.out")
  wall=$(awk '/^submissions/ {print $(NF-1)}' "$work/load.out")
  awk -v r="$ranked" -v w="$wall" -v c="$cores" -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN {
    printf "verified per second per core %.1f (server CPU %.1f s for %d runs)\n", r / w / c, t / hz, r }'
  echo "server peak memory $hwm"
  kill "$server"; wait "$server" 2>/dev/null || true
  server=""
}

if [ "$which" != postgres ]; then load sqlite "sqlite:$work/board.db"; fi
if [ "$which" != sqlite ]; then
  tools/install-packages.sh board-load postgresql
  pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
  [ "$(id -u)" -eq 0 ] && chown nobody "$work"
  as "$pg_bin/initdb" -D "$work/pg" -U board --auth=trust -E UTF8 >"$work/initdb.log"
  port=$((20000 + RANDOM % 20000))
  as "$pg_bin/pg_ctl" -D "$work/pg" -l "$work/pg.log" -w -o "-k $work -p $port -c listen_addresses=" start >/dev/null
  load postgresql "postgresql://board@/postgres?host=$work&port=$port"
fi
