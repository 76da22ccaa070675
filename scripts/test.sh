#!/usr/bin/env bash
# The test command: installs what is missing, builds both builds and runs every test.
#   native       portable core under AddressSanitizer + UndefinedBehaviorSanitizer, fuzzers
#   native-tsan  the threaded tests again under ThreadSanitizer
#   native-bench the benchmarks, built and run once briefly so they stay working
#   windows      everything, cross-compiled; tests under Wine
#   windows-release  the shipped binaries (optimised, stripped), the executable tests, the
#                    packages and the installer's round trip
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# The tests run on the stand-ins, whatever UI build the shell names.
unset ORVANE_UI_BUILD_DIR

scripts/install-deps.sh

jobs=$(nproc)
step() { printf '\n=== %s\n' "$*"; }

# Runs one CTest preset and adds its counts to the totals printed at the end.
passed=0
failed=0
summary=$(mktemp)
run_ctest() {
  local rc=0
  ctest "$@" 2>&1 | tee "$summary" || rc=$?
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$summary" | tail -n1 || true)
  if [ -n "$line" ]; then
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  return "$rc"
}

step "native build (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest --preset native -j "$jobs"

step "bounded fuzzing"
scripts/fuzz.sh build/native 20

step "native build (TSan)"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan -j "$jobs"

TSAN_OPTIONS=halt_on_error=1 run_ctest --preset native-tsan -j "$jobs"

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
run_ctest --preset windows -j "$jobs"

# Only what differs from the windows build: the shipped binaries, optimised and stripped, and the
# tests that run them (every other test program would only repeat the windows build's run).
step "windows-release build (what ships), its executable tests under Wine, the packages"
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release -j "$jobs"
ORVANE_WINEPREFIX="$root/build/windows/wineprefix" run_ctest --preset windows-release
cpack --preset windows-release >/dev/null
# Their contents are the packaging test's; here only that the package preset makes all three.
ls build/windows-release/package/Orvane-*-win64-standin{.zip,-debug.zip,-setup.exe} >/dev/null

rm -f "$summary"
step "all test programs passed"
echo "${passed} passed, ${failed} failed"
