#!/usr/bin/env bash
# Installs, with apt-get, every Debian package the game, its tools and its
# tests need, skipping what is already there. Safe to run again and again.
set -euo pipefail
packages=(
  cmake g++ make pkg-config git ccache
  libsdl2-dev libsdl2-mixer-dev libx11-dev
  libfreetype-dev libfontconfig-dev fonts-bebas-neue fonts-ipafont-mincho fonts-urw-base35
  libpng-dev libmp3lame-dev
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick strace
  desktop-file-utils appstream
  libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev libcurl4-openssl-dev
)
"$(dirname "$0")/install-packages.sh" setup "${packages[@]}"
