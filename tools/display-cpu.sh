#!/usr/bin/env bash
# What the desktop game costs the machine in each way of showing it: the
# 1280 x 720 window (on a 1920 x 1080 screen), full screen on 1920 x 1080
# (1.5 times, sharp bilinear) and on 2560 x 1440 (2 times, whole pixels),
# each under a private Xvfb with no window manager. For each: the CPU of the
# game and of the X server, in per cent of one core, over 5 s of the title and
# 10 s of play with the beam firing.
#   Usage: tools/display-cpu.sh [game]      (default build/prismveldt)
# PRESENT=software (the game's own scaler) or PRESENT=opengl (SDL's GL
# renderer) picks the presenter through SDL_RENDER_DRIVER; unset, the game
# chooses as it does for a player. Run it on a quiet machine.
set -Eeuo pipefail
trap 'echo "display-cpu: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/prismveldt}")
data=$(realpath build/data)
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "display-cpu: needs $tool" >&2; exit 1; }
done
work=$(mktemp -d /tmp/prismveldt-display-cpu-XXXXXX)
running=""  # the game and X server of the case under way, ended on any exit
trap 'for p in $running; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
[ -n "${PRESENT:-}" ] && export SDL_RENDER_DRIVER="$PRESENT"
export SDL_AUDIODRIVER=dummy

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
percent() { awk -v a="$1" -v b="$2" -v hz="$hz" -v s0="$3" -v s1="$4" 'BEGIN {printf "%.1f", 100 * (b - a) / hz / (s1 - s0)}'; }
find_window() {  # prints the id of the window titled $1, nothing when there is none yet
  for c in $(xdotool search --name . 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$c" 2>/dev/null)" = "$1" ] && { echo "$c"; return 0; }
  done
  return 0
}

# One case: screen size, the answer to the question, the picture's scale on
# the screen and its offset there.
measure() {  # label screen answer scale
  local label=$1 screen=$2 answer=$3 scale=$4
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  local xvfb=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
  (cd "$data" && PRISMVELDT_TIMING=1 exec "$game" >/dev/null 2>"$work/game.err") &
  local pid=$! w=""
  running="$pid $xvfb"
  for _ in $(seq 100); do w=$(find_window 確認); [ -n "$w" ] && break; sleep 0.1; done
  xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key "$answer" 2>/dev/null
  for _ in $(seq 100); do grep -q "first frame" "$work/game.err" && break; sleep 0.1; done
  at() { awk -v v="$1" -v s="$scale" 'BEGIN {printf "%d", v * s}'; }
  sleep 1
  local t0 x0 s0 t1 x1 s1
  t0=$(ticks $pid); x0=$(ticks $xvfb); s0=$EPOCHREALTIME
  sleep 5
  t1=$(ticks $pid); x1=$(ticks $xvfb); s1=$EPOCHREALTIME
  local title="$(percent "$t0" "$t1" "$s0" "$s1") $(percent "$x0" "$x1" "$s0" "$s1")"
  # START, the countdown, then the beam held down.
  xdotool mousemove "$(at 300)" "$(at 580)" mousedown 1 2>/dev/null; sleep 0.3; xdotool mouseup 1 2>/dev/null
  sleep 5.5
  xdotool mousemove "$(at 200)" "$(at 650)" mousedown 1 2>/dev/null
  t0=$(ticks $pid); x0=$(ticks $xvfb); s0=$EPOCHREALTIME
  sleep 10
  t1=$(ticks $pid); x1=$(ticks $xvfb); s1=$EPOCHREALTIME
  xdotool mouseup 1 2>/dev/null
  local play="$(percent "$t0" "$t1" "$s0" "$s1") $(percent "$x0" "$x1" "$s0" "$s1")"
  local scaler
  scaler=$(grep -o "scaled by .*" "$work/game.err" | head -1 || true)
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
  kill $xvfb; wait $xvfb 2>/dev/null || true
  rm -f "$work/display"
  running=""
  read -r gt xt <<<"$title"
  read -r gp xp <<<"$play"
  printf '%-36s %8s %8s %8s %8s  %s\n' "$label" "$gt" "$gp" "$xt" "$xp" "$scaler"
}

printf '%-36s %8s %8s %8s %8s\n' "" "game" "game" "X" "X"
printf '%-36s %8s %8s %8s %8s\n' "mode (CPU, % of one core)" "title" "play" "title" "play"
measure "1280 x 720 window on 1920 x 1080" 1920x1080 n 1
measure "full screen 1920 x 1080" 1920x1080 y 1.5
measure "full screen 2560 x 1440" 2560x1440 y 2
