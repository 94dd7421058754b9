#!/usr/bin/env bash
# The performance budget: builds the game (tools/build.sh) and prints a table
# of what a player waits for and what the game costs the machine, each against
# its target (for a 2-core machine):
#   start-up to the first title frame        < 1.0 s   (headless, median of 5)
#   entering the title scene                 < 0.5 s   (from the last frame of the
#                                                       curtain before it; median of 5)
#   LoadStage                                < 30 ms   (slowest of the benchmark's
#                                                       next-stage / after-death / fresh loads)
#   play-frame work p50 / p99                < 1 / 2.5 ms (benchmark, 6000 autopiloted frames)
#   peak memory (RSS)                        < 1 GB    (headless game through every scene,
#                                                       and the desktop game)
#   CPU of the desktop game while playing    < 15 %    (under Xvfb, 10 s of play, firing)
# Timings are wall-clock on the machine as it is; run it on a quiet machine.
# BUDGET_NO_BUILD=1 skips the build, BUILD=dir picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
[ -n "${BUDGET_NO_BUILD:-}" ] || tools/build.sh >/dev/null
cmake --build "$build" --target prismveldt-bench >/dev/null
data="$build/data"
harness="$build/prismveldt-headless"
work="$(mktemp -d /tmp/prismveldt-budget-XXXXXX)"
trap 'rm -rf "$work"' EXIT

# A game folder of our own: the built pictures and sounds, our own score file.
game="$work/game"
mkdir -p "$game/txt"
for d in bmp se fonts; do [ -e "$data/$d" ] && ln -s "$(realpath "$data/$d")" "$game/$d"; done
cp "$data"/txt/dw_stage*.txt "$data/txt/scoretime.txt" "$game/txt/"

# Runs the harness with a script, writing each trace line with the wall-clock
# time (seconds) at which it arrived; the first line is the start.
stamped() {  # script-file frames out-file
  local start=$EPOCHREALTIME
  { echo "$start start"
    "$harness" --dir "$game" --script "$1" --trace - --max-frames "$2" 2>/dev/null |
      while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done
  } >"$3" || true
}
median() { sort -g | awk '{v[NR]=$1} END {print (NR ? v[int((NR+1)/2)] : "nan")}'; }

# Start-up: process start to the first title frame.
printf '' >"$work/none.txt"
for i in 1 2 3 4 5; do
  stamped "$work/none.txt" 1 "$work/start.$i"
  awk 'NR==1 {t0=$1} /"ev":"frame"/ {printf "%.3f\n", $1 - t0; exit}' "$work/start.$i"
done | median >"$work/startup"

# Title entry: START, then Escape on the first play frame; the leaving curtain
# ends and the title scene loads its pictures and shows its first frame.
printf '0 mouse 300 580\n3 down lmb\n4 up lmb\n279 down esc\n280 up esc\n' >"$work/back.txt"
for i in 1 2 3 4 5; do
  stamped "$work/back.txt" 340 "$work/back.$i"
  awk '/"scene":"leave-curtain"/ {last=$1; seen=1} seen && /"scene":"title"/ {printf "%.3f\n", $1 - last; exit}' "$work/back.$i"
done | median >"$work/title"

# LoadStage and the play frame: the play benchmark.
"$build/prismveldt-bench" --benchmark_filter='BM_PlayFrame|BM_LoadStage(AfterDeath|NextStage|FromScratch)$' \
  --benchmark_format=json 2>/dev/null >"$work/bench.json" || true
bench() {  # benchmark field -> value (times in the benchmark's unit, ms)
  awk -v name="\"$1" -v field="\"$2\":" '
    index($0, "\"name\": " name) {inside = 1}
    inside && index($0, field) {v = $2; gsub(/[",]/, "", v); print v; exit}' "$work/bench.json"
}
loadstage=$(for b in BM_LoadStageAfterDeath BM_LoadStageNextStage BM_LoadStageFromScratch; do bench "$b" real_time; done | sort -g | tail -1)
p50=$(bench BM_PlayFrame p50_ms)
p99=$(bench BM_PlayFrame p99_ms)
cpu50=$(bench BM_PlayFrame cpu_p50_ms)
cpu99=$(bench BM_PlayFrame cpu_p99_ms)

# Peak memory of the headless game through every scene (KiB).
cat >"$work/all.txt" <<'SCRIPT'
0 mouse 300 580
3 down lmb
290 down e
291 up e
590 up lmb
900 down esc
SCRIPT
/usr/bin/time -f %M -o "$work/rss" "$harness" --dir "$game" --script "$work/all.txt" --max-frames 1100 >/dev/null 2>&1 || true
rss_headless=$(tail -1 "$work/rss")

# The desktop game under Xvfb: answer No, click START, wait out the
# countdown, then 10 s of play with the button held; CPU from /proc. The
# window stands at the screen's top-left corner (no window manager).
cpu="n/a"; cpu_title="n/a"; rss_desktop="n/a"
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  cat >"$work/desktop.sh" <<'SCRIPT'
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
  GAMEDIR="$game" GAME="$(realpath "$build/prismveldt")" OUT="$work/desktop" SHOT="$work/../prismveldt-budget-play.png" \
    timeout 90 xvfb-run -a -s '-screen 0 1920x1080x24' bash "$work/desktop.sh" >/dev/null 2>&1 || true
  [ -s "$work/desktop.cpu" ] && cpu=$(cat "$work/desktop.cpu")
  [ -s "$work/desktop.title" ] && cpu_title=$(cat "$work/desktop.title")
  [ -s "$work/desktop.rss" ] && rss_desktop=$(cat "$work/desktop.rss")
fi

verdict() {  # value limit -> ok / MISSED
  awk -v v="$1" -v l="$2" 'BEGIN {if (v == "" || v == "n/a" || v == "nan") print "n/a"; else print (v + 0 < l + 0 ? "ok" : "MISSED")}'
}
row() { printf '%-44s %12s %12s  %s\n' "$1" "$2" "$3" "$(verdict "$4" "$5")"; }
mb() { awk -v k="$1" 'BEGIN {if (k == "" || k == "n/a") print "n/a"; else printf "%.0f\n", k / 1024}'; }
echo
printf '%-44s %12s %12s  %s\n' "measure" "value" "target" "verdict"
row "start-up to the first title frame (s)" "$(cat "$work/startup")" "< 1.0" "$(cat "$work/startup")" 1.0
row "entering the title scene (s)" "$(cat "$work/title")" "< 0.5" "$(cat "$work/title")" 0.5
row "LoadStage, slowest kind (ms)" "$(printf '%.2f' "${loadstage:-nan}")" "< 30" "$loadstage" 30
row "play-frame work p50 (ms; cpu $(printf '%.2f' "${cpu50:-nan}"))" "$(printf '%.3f' "${p50:-nan}")" "< 1.0" "$p50" 1.0
row "play-frame work p99 (ms; cpu $(printf '%.2f' "${cpu99:-nan}"))" "$(printf '%.3f' "${p99:-nan}")" "< 2.5" "$p99" 2.5
row "peak RSS, headless game, every scene (MB)" "$(mb "$rss_headless")" "< 1024" "$(mb "$rss_headless")" 1024
row "peak RSS, desktop game (MB)" "$(mb "$rss_desktop")" "< 1024" "$(mb "$rss_desktop")" 1024
row "CPU of the desktop game while playing (%)" "$cpu" "< 15" "$cpu" 15
row "  the same on the title screen (%)" "$cpu_title" "(< 15)" "$cpu_title" 15
echo "(the desktop game's last play frame: /tmp/prismveldt-budget-play.png)"
