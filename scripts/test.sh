#!/usr/bin/env bash
# The test command: installs what is missing, builds both builds and runs every test.
#   native       portable core under AddressSanitizer + UndefinedBehaviorSanitizer, fuzzers
#   native-tsan  the threaded tests again under ThreadSanitizer
#   native-bench the benchmarks, built and run once briefly so they stay working
#   windows      everything, cross-compiled; tests under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

jobs=$(nproc)
step() { printf '\n=== %s\n' "$*"; }

step "native build (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --preset native -j "$jobs"

step "bounded fuzzing"
scripts/fuzz.sh build/native 20

step "native build (TSan)"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan -j "$jobs"

TSAN_OPTIONS=halt_on_error=1 ctest --preset native-tsan -j "$jobs"

step "benchmarks (smoke run)"
cmake --preset native-bench >/dev/null
cmake --build --preset native-bench -j "$jobs"
for b in build/native-bench/benchmarks/*_benchmark; do
  [ -x "$b" ] || continue
  "$b" --benchmark_min_time=0.01 >/dev/null
done

step "windows build (MinGW-w64), tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
source scripts/virtual-display.sh
trap orvane_stop_display EXIT
orvane_start_display
orvane_keep_wineserver "$root/build/windows/wineprefix"
ctest --preset windows -j "$jobs"

step "all tests passed"
