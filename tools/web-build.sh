#!/usr/bin/env bash
# Builds the browser version of the game into build-web/, a folder any static
# file server can host: index.html and its script, the title picture, the
# program (prismveldt.js, prismveldt.wasm.gz), the data's loader and the data
# (prismveldt-data.js, prismveldt.data.gz) and prismveldt-files.json, which
# names the compressed files and their sizes for the page's progress bar.
# Installs what is missing with apt-get: Debian's emscripten, the fonts the
# game ships, and FreeType's Debian source (the desktop's very version), which
# is built for wasm so that the text is drawn as on the desktop. The work
# (FreeType, the compiled game, the staged data) goes to build-web-work/.
#   Usage: tools/web-build.sh        then tools/web-serve.sh to play it
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build-web"
work="$root/build-web-work"
jobs=$(nproc); ((jobs > 2)) && jobs=2

packages=(emscripten node-acorn binaryen dpkg-dev cmake make
  fonts-bebas-neue fonts-ipafont-mincho)
tools/install-packages.sh web-build "${packages[@]}"
# Debian's emscripten runs its JS optimizer on a Node.js that may not look in
# Debian's own module folder (where node-acorn is).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# ---- FreeType for wasm, from the source of the version the desktop uses ----
freetype="$work/freetype"
if ! [ -f "$freetype/install/lib/libfreetype.a" ]; then
  version=$(dpkg-query -W -f='${Version}' libfreetype6 2>/dev/null || true)
  [ -n "$version" ] || { tools/install-packages.sh web-build libfreetype6; version=$(dpkg-query -W -f='${Version}' libfreetype6); }
  echo "web-build: FreeType $version from Debian's source"
  # A private apt configuration for the source lists, so that the system's
  # own sources stay as they are.
  apt="$freetype/apt"
  mkdir -p "$apt/lists/partial" "$freetype/src"
  suites=$(sed -n 's/^Suites: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | tr '\n' ' ')
  [ -n "$suites" ] || suites="bookworm bookworm-updates bookworm-security"
  : >"$apt/sources.list"
  for suite in $suites; do
    case $suite in
      *-security) echo "deb-src http://deb.debian.org/debian-security $suite main" >>"$apt/sources.list" ;;
      *) echo "deb-src http://deb.debian.org/debian $suite main" >>"$apt/sources.list" ;;
    esac
  done
  aptopts=(-o Dir::Etc::sourcelist="$apt/sources.list" -o Dir::Etc::sourceparts=/nonexistent
           -o Dir::State::Lists="$apt/lists")
  apt-get "${aptopts[@]}" update -qq
  (cd "$freetype/src" && apt-get "${aptopts[@]}" source --download-only -qq "freetype=$version")
  rm -rf "$freetype/src/freetype"
  # Unpacked with Debian's patches applied, as the desktop's library was built.
  (cd "$freetype/src" && dpkg-source -x --no-check ./freetype_*.dsc freetype >/dev/null)
  # The game opens plain TrueType and OpenType files only: no compressed or
  # colour fonts, so no zlib, bzip2, PNG, Brotli or HarfBuzz (Debian builds
  # without HarfBuzz too).
  emcmake cmake -S "$freetype/src/freetype" -B "$freetype/build" -DCMAKE_BUILD_TYPE=Release \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON -DCMAKE_INSTALL_PREFIX="$freetype/install" >/dev/null
  cmake --build "$freetype/build" -j"$jobs" >/dev/null
  cmake --install "$freetype/build" >/dev/null
fi

# ---- the game ----
emcmake cmake -S "$root" -B "$work/game" -DCMAKE_BUILD_TYPE=Release \
  -DFREETYPE_WEB_PREFIX="$freetype/install" >/dev/null
cmake --build "$work/game" -j"$jobs" --target prismveldt prismveldt-test

# ---- the data, from the native build (build/, or NATIVE_BUILD) ----
native="${NATIVE_BUILD:-$root/build}"
data="$native/data"
if ! [ -f "$native/CMakeCache.txt" ]; then
  tools/setup.sh
  cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$native" -j"$jobs" --target gamedata
stage="$work/stage/game"
rm -rf "$work/stage"
mkdir -p "$stage/fonts" "$stage/shipped-txt"
# Whatever the data folder holds but its stage files, fonts and score file
# goes as it is (hard links: nothing is copied).
for part in "$data"/*; do
  name=$(basename "$part")
  case $name in txt|fonts) continue ;; esac
  cp -rl "$part" "$stage/$name" 2>/dev/null || cp -r "$part" "$stage/$name"
done
cp "$data"/txt/dw_stage*.txt "$stage/shipped-txt/"
# A fresh score file with the placeholder times, not the build folder's times.
"$native/gendata" "$work/stage/scores" scores >/dev/null
cp "$work/stage/scores/txt/scoretime.txt" "$stage/shipped-txt/"
# The font files fontconfig picks on the desktop for the game's two faces.
cp "$data/fonts/fonts.conf" "$stage/fonts/"
cp /usr/share/fonts/opentype/bebas-neue/BebasNeue-Bold.otf "$stage/fonts/"
cp "$(readlink -f /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf)" "$stage/fonts/ipam.ttf"

# ---- the site ----
rm -rf "$out"
mkdir -p "$out"
python3 /usr/share/emscripten/tools/file_packager.py "$out/prismveldt.data" \
  --preload "$stage@/game" --js-output="$out/prismveldt-data.js" >/dev/null
gzip -9 -n "$out/prismveldt.data"
# The player's program, and the tests' (the same game with the input script
# and the frame hashes), which the page loads only when a test asks.
for program in prismveldt prismveldt-test; do
  cp "$work/game/$program.js" "$out/"
  gzip -9 -n -c "$work/game/$program.wasm" >"$out/$program.wasm.gz"
done
cp platform/web/page/index.html platform/web/page/prismveldt-page.js "$out/"
cp docs/pictures/title.png "$out/"
printf '{"data": {"name": "prismveldt.data.gz", "bytes": %d},\n "wasm": {"name": "prismveldt.wasm.gz", "bytes": %d},\n "testWasm": {"name": "prismveldt-test.wasm.gz", "bytes": %d}}\n' \
  "$(stat -c %s "$out/prismveldt.data.gz")" "$(stat -c %s "$out/prismveldt.wasm.gz")" \
  "$(stat -c %s "$out/prismveldt-test.wasm.gz")" >"$out/prismveldt-files.json"
echo "web-build: $out (a player downloads" \
  "data $(($(stat -c %s "$out/prismveldt.data.gz") / 1024)) KiB," \
  "program $(($(stat -c %s "$out/prismveldt.wasm.gz") / 1024 + $(stat -c %s "$out/prismveldt.js") / 1024)) KiB;" \
  "the tests' program $(($(stat -c %s "$out/prismveldt-test.wasm.gz") / 1024)) KiB)"
