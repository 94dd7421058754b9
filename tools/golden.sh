#!/usr/bin/env bash
# The golden frames: a hash of every frame the game presents while it plays
# the committed replays (tests/replays/) and the scripted visits of the
# scenes they do not show (tests/golden/*.txt), kept in tests/golden/*.hashes.
# tests/test_golden_frames.cpp checks them on every test run.
#
#   tools/golden.sh update [--pictures DIR] [NAME...]
#       records the hashes again with the current build (for a deliberate
#       change of what the game shows) and says which frames changed; with
#       --pictures, writes expected | actual | difference pictures of the
#       first changed frames of each case to DIR.
#   tools/golden.sh show NAME FRAME OUT.png
#       one such picture: the frame as the recorded hashes saw it (rendered by
#       the commit that last recorded them, built once into build-golden-ref/)
#       beside the frame as the current build draws it, and their difference.
#   tools/golden.sh record NAME OUT
#       the hashes of the current build for one case, into OUT.
#   tools/golden.sh list
#       the cases: NAME SCRIPT, one a line.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${PRISMVELDT_BUILD:-$top/build}"
golden="$top/tests/golden"

cases() {
  for stage in 1 2 3 4; do echo "stage$stage $top/tests/replays/stage$stage.txt"; done
  echo "fullgame $top/tests/replays/fullgame.txt"
  for script in "$golden"/*.txt; do echo "$(basename "$script" .txt) $script"; done
}

script_of() {
  cases | awk -v n="$1" '$1 == n { print $2 }'
}

# A game folder of the build's data with the first score file of a fresh
# install, so that every run starts from the same best times: play BUILD
# SCRIPT HARNESS-OPTIONS...
play() {
  local build=$1 script=$2 folder status=0
  shift 2
  folder="$(mktemp -d)"
  for part in bmp se fonts; do ln -s "$build/data/$part" "$folder/$part"; done
  mkdir "$folder/txt"
  cp "$build"/data/txt/dw_stage*.txt "$folder/txt/"
  "$build/gendata" "$folder/fresh" scores >/dev/null
  cp "$folder/fresh/txt/scoretime.txt" "$folder/txt/"
  "$build/prismveldt-headless" --dir "$folder" --script "$script" "$@" >/dev/null 2>&1 || status=$?
  rm -rf "$folder"
  # The replays end with the close box answered Yes (1) or at their limit (2).
  [ "$status" -le 2 ] || { echo "golden: the game failed ($status) on $script" >&2; return 1; }
}

# hashes BUILD SCRIPT OUT
hashes() {
  play "$1" "$2" --max-frames 40000 --frame-hashes "$3"
}

# shot BUILD SCRIPT FRAME OUT.png
shot() {
  local dir
  dir="$(mktemp -d)"
  play "$1" "$2" --max-frames $(($3 + 1)) --shot-dir "$dir" --shot "$3"
  mv "$dir/frame-$(printf %06d "$3").png" "$4"
  rm -rf "$dir"
}

# The commit whose build the hashes describe, built once and kept.
reference() {
  local commit
  if [ -n "$(git -C "$top" status --porcelain -- tests/golden)" ]; then
    commit="$(git -C "$top" rev-parse HEAD)"
  else
    commit="$(git -C "$top" log -1 --format=%H -- tests/golden)"
  fi
  "$top/tools/build-commit.sh" "$commit" "$top/build-golden-ref" RelWithDebInfo \
    prismveldt-headless gendata gamedata
}

show() {
  local name=$1 frame=$2 out=$3 script ref work
  script="$(script_of "$name")"
  [ -n "$script" ] || { echo "golden: no case $name" >&2; exit 2; }
  ref="$(reference)"
  work="$(mktemp -d)"
  shot "$ref" "$script" "$frame" "$work/expected.png"
  shot "$build" "$script" "$frame" "$work/actual.png"
  # White where a pixel differs, the expected picture dimmed elsewhere.
  compare "$work/expected.png" "$work/actual.png" -highlight-color white -lowlight-color '#202020' \
    "$work/difference.png" 2>/dev/null || true
  convert "$work/expected.png" "$work/actual.png" "$work/difference.png" +append "$out"
  rm -rf "$work"
  echo "golden: $out: $name frame $frame, expected | actual | difference"
}

update() {
  local pictures=""
  if [ "${1:-}" = "--pictures" ]; then pictures=$2; shift 2; mkdir -p "$pictures"; fi
  local names=("$@")
  [ ${#names[@]} -gt 0 ] || mapfile -t names < <(cases | awk '{ print $1 }')
  for name in "${names[@]}"; do
    local script file new changed
    script="$(script_of "$name")"
    file="$golden/$name.hashes"
    new="$(mktemp)"
    hashes "$build" "$script" "$new"
    if [ -f "$file" ]; then
      changed="$( (diff "$file" "$new" || true) | awk '/^>/ { print $2 }' | tr '\n' ' ')"
    else
      changed="(new)"
    fi
    mv "$new" "$file"
    chmod 644 "$file"
    if [ -z "$changed" ]; then
      echo "golden: $name: $(wc -l <"$file") frames, none changed"
    else
      echo "golden: $name: $(wc -l <"$file") frames; changed: $(echo "$changed" | cut -c1-300)"
      if [ -n "$pictures" ] && [ "$changed" != "(new)" ]; then
        for frame in $(echo "$changed" | tr ' ' '\n' | head -3); do
          show "$name" "$frame" "$pictures/$name-$frame.png"
        done
      fi
    fi
  done
}

case "${1:-}" in
  update) shift; update "$@" ;;
  show) shift; show "$@" ;;
  record)
    script="$(script_of "$2")"
    [ -n "$script" ] || { echo "golden: no case $2" >&2; exit 2; }
    hashes "$build" "$script" "$3" ;;
  list) cases ;;
  *) sed -n '2,20p' "$0"; exit 2 ;;
esac
