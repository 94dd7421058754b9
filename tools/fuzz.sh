#!/usr/bin/env bash
# Fuzzes the game's file and script readers with libFuzzer: builds the targets
# of tests/fuzz/ with clang (-fsanitize=fuzzer,address,undefined) into
# build-fuzz/ and runs each for FUZZ_SECONDS (default 60), starting from its
# seed corpus in tests/fuzz/corpus/<name>/. Inputs that crash are written to
# build-fuzz/crashes/<name>/; keep each one (after fixing the fault) in
# tests/fuzz/regressions/<name>/, where test_fuzz_regressions replays it.
#   FUZZ_SECONDS=10 tools/fuzz.sh          # every target, 10 s each
#   tools/fuzz.sh bmp stage                # only these targets
# Exit status: 0 when no target found anything.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bmp stage score script replay settings segments bestgame)

tools/setup.sh
command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (apt-get install clang libclang-rt-dev)" >&2; exit 1; }
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPRISMVELDT_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"${JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
for name in "${targets[@]}"; do
  work="build-fuzz/corpus/$name"      # grows as the fuzzer learns; not kept in git
  crashes="build-fuzz/crashes/$name"
  mkdir -p "$work" "$crashes"
  echo "fuzz: $name for ${seconds}s"
  # -malloc_limit_mb: a reader that believes a lying size and asks for more
  # than this counts as a crash.
  # Recordings of whole runs (the forged ones in the corpus) are longer.
  length=16384
  [ "$name" = replay ] && length=32768
  if ! build-fuzz/fuzz_"$name" "$work" "tests/fuzz/corpus/$name" \
        -max_total_time="$seconds" -max_len="$length" -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=1024 \
        -artifact_prefix="$crashes/" -print_final_stats=1 \
        >"build-fuzz/$name.log" 2>&1; then
    failed+=("$name")
    echo "fuzz: $name FOUND A FAULT; see build-fuzz/$name.log and $crashes/" >&2
    grep -m1 -E "ERROR|runtime error|SUMMARY" "build-fuzz/$name.log" >&2 || true
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build-fuzz/$name.log" | tr -s ' ' | sed "s/^/fuzz: $name /"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no faults found"
