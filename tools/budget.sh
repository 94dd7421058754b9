#!/usr/bin/env bash
# The performance budget: builds the game (tools/build.sh) and prints a table
# of what a player waits for and what the game costs the machine, each against
# its target (for a 2-core machine), beside the same measures of an earlier
# build made in the same run (BUDGET_BEFORE, by default the last commit that
# held the stage picture flat and the curtains as 24-bit files; built once
# into build-budget-before/; BUDGET_BEFORE=none leaves the column out):
#   data folder (bmp + se + txt + fonts)     < 30 MB
#   start-up to the first title frame        < 0.15 s  (headless, median of 5)
#   entering the title scene                 < 0.5 s   (from the last frame of the
#                                                       curtain before it; median of 5)
#   first LoadStage of a run                 < 10 ms   (nothing loaded before)
#   LoadStage, slowest kind after that       < 30 ms   (the benchmark's next-stage /
#                                                       after-death / fresh loads)
#   play-frame work p50 / p99                < 1 / 2.5 ms (benchmark, 6000 autopiloted frames)
#   peak memory (RSS)                        < 150 MB  (headless game, the whole-game
#                                                       replay tests/replays/fullgame.txt)
#                                            < 180 MB  (the desktop game, title and play)
#   CPU of the desktop game while playing    < 15 %    (under Xvfb, 10 s of play, firing)
# Timings are wall-clock on the machine as it is; run it on a quiet machine.
# BUDGET_NO_BUILD=1 skips the build, BUILD=dir picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$PWD"
build="${BUILD:-build}"
[ -n "${BUDGET_NO_BUILD:-}" ] || tools/build.sh >/dev/null
cmake --build "$build" --target prismveldt-bench >/dev/null
work="$(mktemp -d /tmp/prismveldt-budget-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# The earlier build: its own worktree and build folder, made once per commit.
before_commit="${BUDGET_BEFORE:-f17a070}"
before_build() {
  # The same kind of build as the one measured beside it.
  local type
  type="$(awk -F= '/^CMAKE_BUILD_TYPE:/ {print $2}' "$build/CMakeCache.txt")"
  "$top/tools/build-commit.sh" "$before_commit" "$top/build-budget-before" "${type:-RelWithDebInfo}" \
    prismveldt prismveldt-headless prismveldt-bench gendata gamedata
}

median() { sort -g | awk '{v[NR]=$1} END {print (NR ? v[int((NR+1)/2)] : "nan")}'; }

# measure BUILD OUT: every measure of one build, as "name value" lines in OUT.
measure() {
  local build=$1 out=$2 data="$1/data" harness="$1/prismveldt-headless" w
  w="$(mktemp -d "$work/m-XXXXXX")"
  : >"$out"
  put() { echo "$1 $2" >>"$out"; }

  # A game folder of our own: the built pictures and sounds, the first score
  # file of a fresh install.
  local game="$w/game"
  mkdir -p "$game/txt"
  for d in bmp se fonts; do [ -e "$data/$d" ] && ln -s "$(realpath "$data/$d")" "$game/$d"; done
  cp "$data"/txt/dw_stage*.txt "$game/txt/"
  "$build/gendata" "$w/fresh" scores >/dev/null
  cp "$w/fresh/txt/scoretime.txt" "$game/txt/"

  put data_mb "$(du -sbL "$data/bmp" "$data/se" "$data/txt" "$data/fonts" 2>/dev/null |
    awk '{s += $1} END {printf "%.1f", s / 1048576}')"

  # Runs the harness with a script, writing each trace line with the
  # wall-clock time (seconds) at which it arrived; the first line is the start.
  stamped() {  # script-file frames out-file
    local start=$EPOCHREALTIME
    { echo "$start start"
      "$harness" --dir "$game" --script "$1" --trace - --max-frames "$2" 2>/dev/null |
        while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done
    } >"$3" || true
  }

  # Start-up: process start to the first title frame.
  printf '' >"$w/none.txt"
  put startup_s "$(for i in 1 2 3 4 5; do
    stamped "$w/none.txt" 1 "$w/start.$i"
    awk 'NR==1 {t0=$1} /"ev":"frame"/ {printf "%.3f\n", $1 - t0; exit}' "$w/start.$i"
  done | median)"

  # Title entry: START, then Escape on the first play frame; the leaving
  # curtain ends and the title scene loads its pictures and shows its first frame.
  printf '0 mouse 300 580\n3 down lmb\n4 up lmb\n279 down esc\n280 up esc\n' >"$w/back.txt"
  put title_s "$(for i in 1 2 3 4 5; do
    stamped "$w/back.txt" 340 "$w/back.$i"
    awk '/"scene":"leave-curtain"/ {last=$1; seen=1} seen && /"scene":"title"/ {printf "%.3f\n", $1 - last; exit}' "$w/back.$i"
  done | median)"

  # LoadStage and the play frame: the play benchmark.
  PRISMVELDT_DATA="$(realpath "$data")" "$build/prismveldt-bench" \
    --benchmark_filter='BM_PlayFrame|BM_LoadStage(AfterDeath|NextStage|FromScratch)$|BM_LoadStageFirstEver' \
    --benchmark_format=json 2>/dev/null >"$w/bench.json" || true
  bench() {  # benchmark field -> value (times in the benchmark's unit, ms)
    awk -v name="\"$1" -v field="\"$2\":" '
      index($0, "\"name\": " name) {inside = 1}
      inside && index($0, field) {v = $2; gsub(/[",]/, "", v); printf "%.3f\n", v; exit}' "$w/bench.json"
  }
  put loadstage_first_ms "$(bench BM_LoadStageFirstEver real_time)"
  put loadstage_ms "$(for b in BM_LoadStageAfterDeath BM_LoadStageNextStage BM_LoadStageFromScratch; do
    bench "$b" real_time; done | sort -g | tail -1)"
  put p50_ms "$(bench BM_PlayFrame p50_ms)"
  put p99_ms "$(bench BM_PlayFrame p99_ms)"
  put cpu50_ms "$(bench BM_PlayFrame cpu_p50_ms)"
  put cpu99_ms "$(bench BM_PlayFrame cpu_p99_ms)"

  # Peak memory of the headless game (KiB): the whole-game replay, and a
  # scripted visit of every scene.
  /usr/bin/time -f %M -o "$w/rss.full" "$harness" --dir "$game" \
    --script "$top/tests/replays/fullgame.txt" --max-frames 40000 >/dev/null 2>&1 || true
  put rss_fullgame_kb "$(tail -1 "$w/rss.full")"
  cat >"$w/all.txt" <<'SCRIPT'
0 mouse 300 580
3 down lmb
290 down e
291 up e
590 up lmb
900 down esc
SCRIPT
  /usr/bin/time -f %M -o "$w/rss.all" "$harness" --dir "$game" --script "$w/all.txt" --max-frames 1100 >/dev/null 2>&1 || true
  put rss_scenes_kb "$(tail -1 "$w/rss.all")"

  # The desktop game under Xvfb: answer No, click START, wait out the
  # countdown, then 10 s of play with the button held; CPU from /proc. The
  # window stands at the screen's top-left corner (no window manager).
  if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    cat >"$w/desktop.sh" <<'SCRIPT'
cd "$GAMEDIR"
"$GAME" >/dev/null 2>&1 &
pid=$!
find_window() {
  for c in $(xdotool search --name . 2>/dev/null); do
    [ "$(xdotool getwindowname "$c" 2>/dev/null)" = "$1" ] && { echo "$c"; return; }
  done
}
for i in $(seq 100); do w=$(find_window 確認); [ -n "$w" ] && break; sleep 0.1; done
xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key n 2>/dev/null
for i in $(seq 100); do w=$(find_window Prismveldt); [ -n "$w" ] && break; sleep 0.1; done
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
percent() { awk -v a="$1" -v b="$2" -v hz="$hz" -v s0="$3" -v s1="$4" 'BEGIN {printf "%.1f\n", 100 * (b - a) / hz / (s1 - s0)}'; }
# 5 s on the title first, for comparison.
sleep 1
t0=$(ticks); s0=$EPOCHREALTIME
sleep 5
percent "$t0" "$(ticks)" "$s0" "$EPOCHREALTIME" >"$OUT.title"
# Input is polled once a frame, so the button stays down for several frames.
xdotool mousemove 300 580 mousedown 1 2>/dev/null
sleep 0.3
xdotool mouseup 1 2>/dev/null
sleep 5.5
xdotool mousemove 200 650 mousedown 1 2>/dev/null
t0=$(ticks); s0=$EPOCHREALTIME
sleep 10
t1=$(ticks); s1=$EPOCHREALTIME
xdotool mouseup 1 2>/dev/null
import -window root -resize 50% "$SHOT" 2>/dev/null || true
awk '/VmHWM/ {print $2}' /proc/$pid/status >"$OUT.rss"
percent "$t0" "$t1" "$s0" "$s1" >"$OUT.cpu"
kill $pid
SCRIPT
    GAMEDIR="$game" GAME="$(realpath "$build/prismveldt")" OUT="$w/desktop" SHOT="$3" \
      timeout 90 xvfb-run -a -s '-screen 0 1920x1080x24' bash "$w/desktop.sh" >/dev/null 2>&1 || true
    [ -s "$w/desktop.cpu" ] && put cpu_play "$(cat "$w/desktop.cpu")"
    [ -s "$w/desktop.title" ] && put cpu_title "$(cat "$w/desktop.title")"
    [ -s "$w/desktop.rss" ] && put rss_desktop_kb "$(cat "$w/desktop.rss")"
  fi
  return 0
}

measure "$build" "$work/now" /tmp/prismveldt-budget-play.png
before=""
if [ "$before_commit" != "none" ]; then
  before="$(before_build)"
  measure "$before" "$work/before" /tmp/prismveldt-budget-play-before.png
fi

get() {  # file name [kb->mb]
  local v
  v="$(awk -v n="$2" '$1 == n {print $2}' "$1" 2>/dev/null)"
  [ -n "$v" ] || { echo "n/a"; return; }
  if [ "${3:-}" = mb ]; then awk -v k="$v" 'BEGIN {printf "%.0f\n", k / 1024}'; else echo "$v"; fi
}
verdict() {  # value limit -> ok / MISSED
  awk -v v="$1" -v l="$2" 'BEGIN {if (v == "" || v == "n/a" || v == "nan") print "n/a"; else print (v + 0 < l + 0 ? "ok" : "MISSED")}'
}
row() {  # label name limit-text limit [mb]
  local now was
  now="$(get "$work/now" "$2" "${5:-}")"
  was="$( [ -n "$before" ] && get "$work/before" "$2" "${5:-}" || echo "-")"
  printf '%-46s %10s %10s %10s  %s\n' "$1" "$was" "$now" "$3" "$(verdict "$now" "$4")"
}
echo
[ -n "$before" ] && echo "before: $before_commit ($(git -C "$top" log -1 --format=%h "$before_commit")), now: $(git -C "$top" log -1 --format=%h HEAD)"
printf '%-46s %10s %10s %10s  %s\n' "measure" "before" "now" "target" "verdict"
row "data folder (MB)" data_mb "< 30" 30
row "start-up to the first title frame (s)" startup_s "< 0.15" 0.15
row "entering the title scene (s)" title_s "< 0.5" 0.5
row "first LoadStage of a run (ms)" loadstage_first_ms "< 10" 10
row "LoadStage, slowest other kind (ms)" loadstage_ms "< 30" 30
row "play-frame work p50 (ms)" p50_ms "< 1.0" 1.0
row "play-frame work p99 (ms)" p99_ms "< 2.5" 2.5
row "  the same in CPU time, p50 (ms)" cpu50_ms "(< 1.0)" 1.0
row "  the same in CPU time, p99 (ms)" cpu99_ms "(< 2.5)" 2.5
row "peak RSS, headless, whole-game replay (MB)" rss_fullgame_kb "< 150" 150 mb
row "peak RSS, headless, every scene (MB)" rss_scenes_kb "(< 150)" 150 mb
row "peak RSS, desktop game (MB)" rss_desktop_kb "< 180" 180 mb
row "CPU of the desktop game while playing (%)" cpu_play "< 15" 15
row "  the same on the title screen (%)" cpu_title "(< 15)" 15
echo "(the desktop game's last play frame: /tmp/prismveldt-budget-play.png)"
