#!/usr/bin/env bash
# Installs, with apt-get, every Debian package the game, its tools and its
# tests need, skipping what is already there. Safe to run again and again.
set -euo pipefail
packages=(
  cmake g++ make pkg-config git
  libsdl2-dev libsdl2-mixer-dev libx11-dev
  libfreetype-dev libfontconfig-dev fonts-bebas-neue fonts-ipafont-mincho fonts-urw-base35
  libpng-dev libmp3lame-dev
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick strace
  desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
