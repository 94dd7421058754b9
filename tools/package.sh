#!/usr/bin/env bash
# Makes both packages of the game with one command and puts them, with their
# SHA-256 sums, in build/packages/:
#   prismveldt_<version>_amd64.deb        the Debian package (cpack -G DEB in build/)
#   prismveldt-<version>-windows.zip      the Windows game (tools/windows-build.sh)
#   SHA256SUMS                            both sums, for sha256sum --check
# Installs what is missing with apt-get (dpkg-shlibdeps for the package's
# dependencies, the metadata validators, zip), builds the native game, checks
# the desktop entry and the AppStream metadata, packs, and checks the packed
# tree again as a software centre would see it.
#   Usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build"
out="$build/packages"

packages=(dpkg-dev desktop-file-utils appstream zip)
tools/install-packages.sh package "${packages[@]}"

tools/build.sh
tools/check-metadata.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $build/CMakeCache.txt" >&2; exit 1; }
deb="prismveldt_${version}_$(dpkg --print-architecture).deb"
zip="prismveldt-$version-windows.zip"

rm -f "$build/$deb" "$build/$deb.sha256"
(cd "$build" && cpack -G DEB >cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
[ -f "$build/$deb" ] || { echo "package: cpack made no $deb" >&2; exit 1; }
# The packed tree as a software centre reads it: the metadata, the desktop
# entry it launches and that entry's icon.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$build/$deb" "$tree"
report=$(appstreamcli validate-tree --no-net "$tree" 2>&1) || { echo "$report" >&2; exit 1; }
echo "package: appstreamcli validate-tree --no-net on the .deb's files:"
sed 's/^/package:   /' <<<"$report"
! grep -qE '^ *[EW]: ' <<<"$report" || { echo "package: the packed metadata has errors or warnings" >&2; exit 1; }
tools/windows-build.sh

rm -rf "$out"
mkdir -p "$out"
cp "$build/$deb" "$out/$deb"
cp "$root/build-windows/prismveldt-windows.zip" "$out/$zip"
(cd "$out" && sha256sum "$deb" "$zip" >SHA256SUMS)
echo "package: in $out"
(cd "$out" && for f in "$deb" "$zip"; do
  printf 'package:   %-36s %9d bytes (%s)\n' "$f" "$(stat -c %s "$f")" "$(du -h "$f" | cut -f1)"
done)
sed 's/^/package:   /' "$out/SHA256SUMS"
