#!/usr/bin/env bash
# Builds the Windows game and packs it: installs what is missing (MinGW-w64 and
# zip, with apt-get), cross-compiles build-windows/prismveldt.exe with
# cmake/mingw-w64.cmake, makes sure the game data exists (the native build's
# build/data, built first if needed), and writes
# build-windows/prismveldt-windows.zip: a folder Prismveldt/ holding the .exe,
# the data folders bmp/, se/ and txt/ it reads and a README.txt for the player,
# with its SHA-256 sum in prismveldt-windows.zip.sha256 beside it. Unzip and
# run the .exe from that folder.
#   Usage: tools/windows-build.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build-windows"

# The Windows tool chain is large and only this script needs it, so it is not
# in tools/setup.sh.
packages=(mingw-w64 zip cmake make)
tools/install-packages.sh windows-build "${packages[@]}"

jobs=$(nproc); ((jobs > 2)) && jobs=2
cmake -S "$root" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"$jobs" --target prismveldt

# The game data comes from the native generator (tools/gendata, target
# gamedata) in the native build folder, build/ unless NATIVE_BUILD names
# another; it is brought up to date there first.
native="${NATIVE_BUILD:-$root/build}"
data="$native/data"
if ! [ -f "$native/CMakeCache.txt" ]; then
  tools/setup.sh
  cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
echo "windows-build: game data in $data"
cmake --build "$native" -j"$jobs" --target gamedata
for folder in bmp se txt; do
  [ -d "$data/$folder" ] || { echo "windows-build: $data/$folder is missing" >&2; exit 1; }
done

stage="$out/package/Prismveldt"
rm -rf "$out/package"
mkdir -p "$stage"
cp "$out/prismveldt.exe" "$stage/"
cp -r "$data/bmp" "$data/se" "$stage/"
mkdir -p "$stage/txt"
cp "$data"/txt/dw_stage*.txt "$stage/txt/"
# A fresh score file with the placeholder times, not whatever times were run
# up in the build folder.
"$native/gendata" "$stage" scores >/dev/null || cp "$data/txt/scoretime.txt" "$stage/txt/"
[ -f "$stage/txt/scoretime.txt" ] || { echo "windows-build: no score file" >&2; exit 1; }
# Windows line ends, so that every Notepad shows the lines as lines.
sed 's/$/\r/' data/windows/README.txt >"$stage/README.txt"
rm -f "$out/prismveldt-windows.zip" "$out/prismveldt-windows.zip.sha256"
(cd "$out/package" && zip -qr -X "$out/prismveldt-windows.zip" Prismveldt)
(cd "$out" && sha256sum prismveldt-windows.zip >prismveldt-windows.zip.sha256)
echo "windows-build: $out/prismveldt-windows.zip ($(du -h "$out/prismveldt-windows.zip" | cut -f1))"
