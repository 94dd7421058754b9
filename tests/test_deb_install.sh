#!/usr/bin/env bash
# The Debian package on a real system: installs the .deb into this machine with
# apt-get, plays the whole game (tests/replays/fullgame.txt) with the installed
# headless program from an unrelated folder, checks that the four stages' best
# times land in $XDG_DATA_HOME/prismveldt/ and that the installed files stay as
# packed, then purges the package and checks that nothing of it is left on the
# system, only the player's best times.
#
# It changes the machine, so it needs root, dpkg and apt-get, and skips
# (exit 0, "skipped: ...") without them. It refuses to run when prismveldt is
# already installed, and whatever happens it purges what it installed.
#   Usage: tests/test_deb_install.sh [PACKAGE.deb]
#          (default: the one in build/packages/, made by tools/package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

log() { echo "deb-install: $*"; }
fail() { log "FAILED: $*"; exit 1; }
skip() { log "skipped: $*"; exit 0; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null && command -v apt-get >/dev/null || skip "no dpkg and apt-get here"

if [ $# -gt 0 ]; then
  deb=$1
else
  debs=("$root"/build/packages/prismveldt_*.deb)
  [ -f "${debs[0]}" ] || fail "no build/packages/prismveldt_*.deb: run tools/package.sh first"
  ((${#debs[@]} == 1)) || fail "more than one package in build/packages/: name one"
  deb=${debs[0]}
fi
[ -f "$deb" ] || fail "no package $deb"
deb=$(realpath "$deb")
start=$SECONDS

# One run at a time on this machine: the package is installed system-wide.
exec 9>/run/lock/prismveldt-deb-install-test.lock
flock -w 900 9 || fail "another run of this test holds the machine"

status=$(dpkg-query -W -f='${db:Status-Status}' prismveldt 2>/dev/null || true)
case "$status" in
  "" | not-installed) ;;
  *) fail "prismveldt is already on this machine ($status); remove it (apt-get purge prismveldt) first" ;;
esac

work=$(mktemp -d /tmp/deb-install-XXXXXX)
installed=""
apt() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"
}
cleanup() {
  if [ -n "$installed" ]; then
    apt purge prismveldt >"$work/cleanup.log" 2>&1 || cat "$work/cleanup.log"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# What the system holds by the game's names before: afterwards it must be the same.
Leftovers() {
  find /usr /etc /var /opt -xdev -iname '*prismveldt*' 2>/dev/null | sort
}
Leftovers >"$work/before.txt"

log "installing $(basename "$deb")"
installed=yes
apt install --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get install"; }
[ "$(dpkg-query -W -f='${db:Status-Status}' prismveldt)" = installed ] || fail "not installed after apt-get install"
dpkg -L prismveldt | sort >"$work/files.txt"

program=$(grep -E '^/usr/(games|bin)/prismveldt-headless$' "$work/files.txt") ||
  fail "the package has no /usr/games or /usr/bin prismveldt-headless"
data=/usr/share/prismveldt
for file in "$data/bmp/stage/haikei.bmp" "$data/bmp/stage/checkpoint_held.bmp" "$data/se/goal.wav" \
  "$data/se/checkpoint.wav" "$data/se/death.wav" "$data/txt/dw_stage1.txt" "$data/txt/scoretime.txt" \
  "$data/fonts/fonts.conf" /usr/share/applications/io.github.prismveldt.Prismveldt.desktop \
  /usr/share/metainfo/io.github.prismveldt.Prismveldt.metainfo.xml \
  /usr/share/icons/hicolor/256x256/apps/io.github.prismveldt.Prismveldt.png \
  /usr/share/man/man6/prismveldt.6.gz; do
  grep -qxF "$file" "$work/files.txt" || fail "the package has no $file"
done

# The whole game, played by a player whose home is empty, in a folder that has
# nothing to do with the game, with a clean environment.
log "playing the whole game with $program"
mkdir -p "$work/home" "$work/xdg" "$work/elsewhere"
set +e
(cd "$work/elsewhere" && exec env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_DATA_HOME="$work/xdg" \
  "$program" --script "$root/tests/replays/fullgame.txt" --trace "$work/trace.jsonl" \
  --max-frames 30000) >"$work/game.txt" 2>&1
code=$?
set -e
[ "$code" -eq 1 ] || { cat "$work/game.txt"; fail "the game ended with status $code, not 1 (END on the title)"; }
tail -n1 "$work/trace.jsonl" | grep -qF '{"ev":"exit","code":1}' || fail "the trace does not end with the game's exit"
for stage in 1 2 3 4; do
  grep -q "\"scene\":\"results\",.*\"stageNo\":$stage[,}]" "$work/trace.jsonl" ||
    fail "no results screen of stage $stage in the trace"
done
grep -q '"ev":"dialog","text":"Bitmap' "$work/trace.jsonl" && fail "a picture failed to load"

# The best times: in the player's own folder, one new best per stage; the
# installed table untouched (dpkg --verify compares every installed file with
# the package's sums).
mine="$work/xdg/prismveldt/scoretime.txt"
[ -f "$mine" ] || fail "no best times in \$XDG_DATA_HOME/prismveldt/"
log "best times: $(cat "$mine")"
awk 'NR == FNR { for (i = 1; i <= NF; i++) shipped[i] = $i; next }
     { if (NF != 20) exit 1
       for (s = 0; s < 4; s++) if ($(5 * s + 1) + 0 >= shipped[5 * s + 1] + 0) exit 1 }' \
  "$data/txt/scoretime.txt" "$mine" || fail "the player's table does not hold a new best time for every stage"
verify=$(dpkg --verify prismveldt) || true
[ -z "$verify" ] || fail "installed files changed: $verify"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the folder it was started in: $(ls -A "$work/elsewhere")"
# Beside the table: the recording of each new best time, the best segments,
# and the best whole game with its four recordings, all of which the
# installed game verifies.
strays=$(cd "$work/xdg" && find . -type f | grep -vxE '\./prismveldt/(scoretime\.txt|segments\.txt|bestgame\.txt|(stage[1-4]-rank[1-5]|game-stage[1-4])\.replay)' || true)
[ -z "$strays" ] || fail "the game's data folder holds more than the best times, segments and their recordings: $strays"
: >"$work/verified.txt"
for replay in "$work"/xdg/prismveldt/stage{1,2,3,4}-rank1.replay "$work"/xdg/prismveldt/game-stage{1,2,3,4}.replay; do
  [ -f "$replay" ] || fail "no recording $(basename "$replay") of the new best times"
  /usr/games/prismveldt-headless --verify "$replay" >"$work/verify.txt" 2>&1 ||
    fail "the recording $(basename "$replay") does not verify: $(cat "$work/verify.txt")"
  cat "$work/verify.txt" >>"$work/verified.txt"
done
[ -s "$work/xdg/prismveldt/bestgame.txt" ] || fail "no best whole-game total was kept"
[ -s "$work/xdg/prismveldt/segments.txt" ] || fail "no best segments were kept"
log "the new best times' recordings verify: $(tr '\n' ' ' <"$work/verified.txt")"
find "$data" | sort | comm -23 - "$work/files.txt" >"$work/strays.txt"
[ ! -s "$work/strays.txt" ] || fail "files in $data that the package does not own: $(cat "$work/strays.txt")"

log "removing the package"
apt purge prismveldt >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge"; }
installed=""
status=$(dpkg-query -W -f='${db:Status-Status}' prismveldt 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "still known to dpkg after the purge ($status)"
while read -r path; do
  [ -d "$path" ] && continue # a folder other packages share
  [ ! -e "$path" ] || fail "$path is left after the purge"
done <"$work/files.txt"
for folder in "$data" /usr/share/doc/prismveldt; do
  [ ! -e "$folder" ] || fail "$folder is left after the purge"
done
Leftovers >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" >"$work/leftovers.txt" ||
  fail "left behind: $(grep '^>' "$work/leftovers.txt")"
[ -f "$mine" ] || fail "the purge took the player's best times"

log "passed in $((SECONDS - start)) s"
