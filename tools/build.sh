#!/usr/bin/env bash
# Set-up and build: installs what is missing, configures and builds into build/
# (the game, the headless harness, the tools, the tests and build/data/).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
