#!/usr/bin/env bash
# Set-up, build, then run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
