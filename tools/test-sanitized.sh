#!/usr/bin/env bash
# Builds the game, its tools and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs the whole test suite
# there. Any memory fault, leak or undefined behaviour fails the test it
# happens in. Extra arguments go to ctest (e.g. -R bmp).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs="${JOBS:-$(nproc)}"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRISMVELDT_SANITIZE=ON >/dev/null
# The sanitizers' settings hold for the build too: the test lists are read by
# running the test programs, and the data generator runs during the build.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0}"
cmake --build build-asan -j"$jobs"
cd build-asan
ctest --output-on-failure -j"$jobs" "$@"
